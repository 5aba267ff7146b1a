#include "recordedsets.h"
#include "cfgfiles/configfile.h"
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace RecordedSets {

QString pathFor(const QString &csvPath, int number)
{
    const QFileInfo csv(csvPath);
    const QString base = csv.path() + QLatin1Char('/') + csv.completeBaseName();
    return number <= 1 ? base + QStringLiteral(".cfg") : base + QStringLiteral(".sada%1.cfg").arg(number);
}

QString writtenStatus(int number)
{
    return QStringLiteral("zapsána sada %1").arg(number);
}

int writtenNumber(const QString &status)
{
    static const QString prefix = QStringLiteral("zapsána sada ");
    if (!status.startsWith(prefix))
        return 0;
    bool ok = false;
    const int n = status.mid(prefix.size()).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

bool keep(const QString &csvPath, int number, const ParameterSet &set, QString *error)
{
    return ConfigFile::writeAtomically(pathFor(csvPath, number), ConfigFile::compose(set), error);
}

namespace {
// "..._2.csv", a later part of a long recording, keeps its sets with the first part "....csv".
QString firstPartOf(const QString &csvPath)
{
    const QFileInfo csv(csvPath);
    static const QRegularExpression part(QStringLiteral("^(.+)_([2-9]|[1-9][0-9]+)$"));
    const QRegularExpressionMatch m = part.match(csv.completeBaseName());
    if (!m.hasMatch())
        return {};
    const QString first = csv.path() + QLatin1Char('/') + m.captured(1) + QLatin1Char('.') + csv.suffix();
    return QFile::exists(first) ? first : QString();
}
}

std::vector<ParameterSet> load(const QString &csvPath)
{
    if (!QFile::exists(pathFor(csvPath, 1))) {
        const QString first = firstPartOf(csvPath);
        return first.isEmpty() ? std::vector<ParameterSet>{} : load(first);
    }
    std::vector<ParameterSet> sets;
    for (int n = 1;; ++n) {
        const ParameterSet set = ConfigFile::readSet(pathFor(csvPath, n));
        if (set.isEmpty())
            break;
        sets.push_back(set);
    }
    return sets;
}

}  // namespace RecordedSets

#include "recordedsets.h"
#include "cfgfiles/configfile.h"
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

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
// A part of a recording: its first part's path ("....csv") and its number (1 for the first).
struct Part
{
    QString first;
    int number = 1;
};

// "..._2.csv", a later part of a long recording, keeps its sets with the first part "....csv".
Part partOf(const QString &csvPath)
{
    const QFileInfo csv(csvPath);
    static const QRegularExpression later(QStringLiteral("^(.+)_([2-9]|[1-9][0-9]+)$"));
    const QRegularExpressionMatch m = later.match(csv.completeBaseName());
    if (!m.hasMatch())
        return {csvPath, 1};
    const QString first = csv.path() + QLatin1Char('/') + m.captured(1) + QLatin1Char('.') + csv.suffix();
    return QFile::exists(first) ? Part{first, m.captured(2).toInt()} : Part{csvPath, 1};
}

QString partPath(const Part &part, int number)
{
    if (number <= 1)
        return part.first;
    const QFileInfo first(part.first);
    return first.path() + QLatin1Char('/') + first.completeBaseName() + QStringLiteral("_%1.").arg(number) + first.suffix();
}

// The highest set number a part's rows say was written; 0 when none. The status (the last
// field of its row) is looked for in the file's bytes: a part may hold an hour of rows, and only
// this of it is wanted here.
int lastWrittenIn(const QString &csvPath)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    static const QByteArray word = ';' + writtenStatus(0).chopped(1).toUtf8();
    int last = 0;
    QByteArray carry;  // a status cut by the end of a chunk is found whole in the next one
    while (!file.atEnd()) {
        const QByteArray bytes = carry + file.read(1 << 20);
        for (qsizetype at = bytes.indexOf(word); at >= 0; at = bytes.indexOf(word, at + 1)) {
            const qsizetype digits = at + word.size();
            qsizetype end = digits;
            while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9')
                ++end;
            if (end < bytes.size() && (bytes[end] == '\r' || bytes[end] == '\n'))
                last = std::max(last, bytes.mid(digits, end - digits).toInt());
        }
        carry = bytes.right(word.size() + 12);
    }
    return last;
}
}  // namespace

int inForceAtStart(const QString &csvPath)
{
    const Part part = partOf(csvPath);
    int inForce = 1;
    for (int earlier = 1; earlier < part.number; ++earlier)
        inForce = std::max(inForce, lastWrittenIn(partPath(part, earlier)));
    return inForce;
}

std::vector<ParameterSet> load(const QString &csvPath)
{
    if (!QFile::exists(pathFor(csvPath, 1))) {
        const Part part = partOf(csvPath);
        return part.number == 1 ? std::vector<ParameterSet>{} : load(part.first);
    }
    std::vector<ParameterSet> sets;
    for (int n = 1;; ++n) {
        QFile file(pathFor(csvPath, n));
        if (!file.open(QIODevice::ReadOnly))
            break;
        const ConfigFile::Contents contents = ConfigFile::read(&file);
        if (!contents.paramValid())
            break;
        sets.push_back(contents.set());
    }
    return sets;
}

}  // namespace RecordedSets

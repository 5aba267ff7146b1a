#include "reporttexts.h"
#include "cfgfiles/setcomparison.h"
#include "diagnostics/recordfields.h"
#include "textformat/czechnumber.h"
#include "tuning/paramnames.h"
#include <QRegularExpression>

namespace ReportTexts {

namespace {
QString plural(quint32 n, const char *one, const char *few, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : (n >= 2 && n <= 4) ? few : many));
}
bool isLevel(const ParamNames::Field *field)
{
    for (const ParamNames::Field &f : ParamNames::Levels)
        if (field && qstrcmp(f.field, field->field) == 0)
            return true;
    return false;
}
}  // namespace

QString date(const QDate &date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }
QString dateTime(const QDateTime &when) { return when.toString(QStringLiteral("dd.MM.yyyy HH:mm")); }

QString duration(quint32 minutes)
{
    return plural(minutes / 43200, "měsíc", "měsíce", "měsíců") + QLatin1Char(' ')
        + plural((minutes / 1440) % 30, "den", "dny", "dní") + QStringLiteral(" %1 h %2 min").arg((minutes / 60) % 24).arg(minutes % 60);
}

QString kilometres(const QString &typed)
{
    QString digits = typed.trimmed();
    digits.remove(QLatin1Char(' '));
    static const QRegularExpression whole(QStringLiteral("^\\d+$"));
    if (!whole.match(digits).hasMatch())
        return typed.trimmed();
    // A plain space, not the locale's non-breaking one: the text is searched and copied as typed.
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits + QStringLiteral(" km");
}

QString recordCaption(int field)
{
    using namespace RecordFields;
    switch (Fields[field].kind) {
    case Kind::OperatingTime:
        return Fields[field].offset == 4 ? QStringLiteral("Provoz celkem") : QStringLiteral("Provoz na plyn");
    case Kind::Reading: return QStringLiteral("Stav tachometru v jednotce");
    default: return QString::fromUtf8(Fields[field].caption);
    }
}

QString recordValue(int field, const QByteArray &record)
{
    using namespace RecordFields;
    const Field &f = Fields[field];
    switch (f.kind) {
    case Kind::Year: return QString::number(2000 + quint8(record.at(f.offset)));
    case Kind::OperatingTime: return duration(number(record, f.offset, 3) * 16 / 10);
    case Kind::Reading: return kilometres(QString::number(number(record, f.offset, 3)));
    case Kind::Date: {
        const QDate d(2000 + quint8(record.at(f.offset + 2)), quint8(record.at(f.offset + 1)), quint8(record.at(f.offset)));
        return d.isValid() ? date(d) : QStringLiteral("nezadáno");
    }
    default: return text(f, record);
    }
}

QString settingName(const ComparisonRow &row)
{
    using ParamNames::Encoding;
    if (!row.field)
        return row.name;
    const ParamNames::Field &f = *row.field;
    if (f.encoding == Encoding::Bits || f.encoding == Encoding::Carried)
        return QString();
    if (f.encoding == Encoding::Version)
        return QStringLiteral("Verze sady");
    const QString group = QString::fromUtf8(f.group).trimmed();
    QString name = QStringLiteral("%1 %2").arg(QString::fromUtf8(f.row), QString::fromUtf8(f.caption)).trimmed();
    if (name.isEmpty())
        return group;
    if (group.isEmpty())
        return name;
    // "Doraz serva MAX, malý výkon"; "Čas emulace volnoběh, bohatá".
    return name.front().isUpper() ? name + QStringLiteral(", ") + group.toLower() : group + QStringLiteral(", ") + name;
}

QString czechValue(const QString &value)
{
    static const QRegularExpression decimal(QStringLiteral("(\\d+)\\.(\\d+) V\\b"));
    QString out = value;
    QRegularExpressionMatch m;
    while ((m = decimal.match(out)).hasMatch())
        out.replace(m.capturedStart(), m.capturedLength(),
                    czechDecimal(m.captured(0).chopped(2).toDouble(), m.captured(2).size()) + QStringLiteral(" V"));
    return out;
}

QStringList changes(const QList<ComparisonRow> &rows, bool levelsKnown)
{
    QStringList out;
    for (const ComparisonRow &row : rows) {
        if (!row.differs || (isLevel(row.field) && !levelsKnown))
            continue;
        const QString name = settingName(row);
        if (name.isEmpty())
            continue;
        if (row.field && row.field->encoding == ParamNames::Encoding::Version && row.ours.startsWith(QStringLiteral("0 ")))
            out << QStringLiteral("Verze sady: změněna ruční úpravou");
        else
            out << QStringLiteral("%1: %2 → %3").arg(name, czechValue(row.theirs), czechValue(row.ours));
    }
    return out;
}

}  // namespace ReportTexts

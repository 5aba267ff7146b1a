#include "logformat.h"
#include "textformat/safefilename.h"
#include <cstdio>

namespace LogFormat {
namespace {
const QString StartFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
}

const char *const Columns[ColumnCount] = {"t [s]",          "Čas",           "Lambda [V]", "Lambda [hodnota]",
                                          "TPS [V]",        "TPS [hodnota]", "Poloha [krok]",
                                          "Rozsah",         "Značka",        "Stav"};

QByteArray byteOrderMark()
{
    return QByteArrayLiteral("\xEF\xBB\xBF");
}

QByteArray headerLine()
{
    QByteArray line;
    for (int i = 0; i < ColumnCount; ++i) {
        if (i > 0)
            line += ';';
        line += Columns[i];
    }
    return line + "\r\n";
}

QByteArray volts(int value)
{
    // Whole hundredths: value x 0.02 V is value x 2 hundredths, exactly what "%1.2f" shows.
    char text[16];
    const int hundredths = value * 2;
    const int n = std::snprintf(text, sizeof text, "%d,%02d", hundredths / 100, hundredths % 100);
    return QByteArray(text, n);
}

void appendRow(QByteArray &out, const LogRow &row)
{
    char head[64];
    const QTime clock = row.wallClock.isValid() ? row.wallClock : QTime(0, 0);
    // The clock's fraction with a decimal comma: a Czech spreadsheet then takes it as a time.
    int n = std::snprintf(head, sizeof head, "%lld,%03d;%02d:%02d:%02d,%03d;", row.ms / 1000, int(row.ms % 1000),
                          clock.hour(), clock.minute(), clock.second(), clock.msec());
    out.append(head, n);
    if (row.hasValues) {
        out += volts(row.lambda);
        n = std::snprintf(head, sizeof head, ";%d;", row.lambda);
        out.append(head, n);
        out += volts(row.tps);
        n = std::snprintf(head, sizeof head, ";%d;%d;", row.tps, row.position);
        out.append(head, n);
    } else {
        out += ";;;;;";
    }
    appendText(out, row.range);
    out += ';';
    appendText(out, row.marker);
    out += ';';
    appendText(out, row.status);
    out += "\r\n";
}

void appendText(QByteArray &out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(';') && !bytes.contains('"')) {
        out += bytes;
        return;
    }
    out += '"';
    out += QByteArray(bytes).replace('"', "\"\"");
    out += '"';
}

QString markerField(int number, const QString &text)
{
    QString clean;
    for (const QChar c : text) {
        const bool breaks = c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        clean += breaks ? QLatin1Char(' ') : c;
    }
    clean = clean.simplified();
    return clean.isEmpty() ? QString::number(number) : QString::number(number) + QLatin1Char(' ') + clean;
}

QString fileName(const QDateTime &start, const QString &versionName, int part)
{
    QString version = safeFileNamePart(versionName);
    if (version.isEmpty())
        version = unversionedFileNamePart();
    QString name = start.toString(StartFormat) + QLatin1Char('_') + version;
    if (part > 1)
        name += QLatin1Char('_') + QString::number(part);
    return name + QStringLiteral(".csv");
}

QDateTime startOf(const QFileInfo &file)
{
    const QDateTime start = QDateTime::fromString(file.fileName().left(int(StartFormat.size())), StartFormat);
    return start.isValid() ? start : file.lastModified();
}

}  // namespace LogFormat

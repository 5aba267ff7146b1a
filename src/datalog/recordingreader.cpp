#include "recordingreader.h"
#include "logformat.h"
#include <QFile>
#include <QStringDecoder>
#include <cstdio>
#include <cstring>

namespace {

constexpr qint64 MaxMs = 0x7FFFFFFF;  // 24 days: more than any drive

struct Field
{
    const char *begin;
    const char *end;
    bool empty() const { return begin == end; }
    QByteArray bytes() const { return QByteArray(begin, int(end - begin)); }
};

// Blanks around a field do not count (a spreadsheet may pad).
Field trimmed(Field f)
{
    while (f.begin < f.end && (*f.begin == ' ' || *f.begin == '\t'))
        ++f.begin;
    while (f.end > f.begin && (f.end[-1] == ' ' || f.end[-1] == '\t'))
        --f.end;
    return f;
}

QString text(const Field &f)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString s = utf8(QByteArrayView(f.begin, f.end - f.begin));
    if (utf8.hasError())  // saved again by a program that wrote its own code page
        s = QString::fromLatin1(f.begin, int(f.end - f.begin));
    return s;
}

// A column name without its diacritics' bytes, lower case: "Čas" and "Značka" are found whether
// the header came back as UTF-8 or in a Windows code page.
QByteArray folded(Field f)
{
    QByteArray out;
    for (const char *p = f.begin; p < f.end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x80)
            out += char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return out;
}

// Milliseconds from "12,345" or "12.345"; false for anything else.
bool parseSeconds(Field f, qint64 *ms)
{
    f = trimmed(f);
    const char *p = f.begin;
    if (p == f.end)
        return false;
    qint64 whole = 0;
    int digits = 0;
    for (; p < f.end && *p >= '0' && *p <= '9'; ++p, ++digits) {
        whole = whole * 10 + (*p - '0');
        if (whole > MaxMs / 1000)
            return false;
    }
    qint64 fraction = 0;
    int scale = 1000;
    if (p < f.end && (*p == ',' || *p == '.')) {
        ++p;
        int place = 0;
        bool roundUp = false;
        for (; p < f.end && *p >= '0' && *p <= '9'; ++p, ++place, ++digits) {
            if (place < 3) {
                scale /= 10;
                fraction += (*p - '0') * scale;
            } else if (place == 3) {
                roundUp = *p >= '5';
            }
        }
        fraction += roundUp ? 1 : 0;
    }
    if (p != f.end || digits == 0)
        return false;
    *ms = whole * 1000 + fraction;
    return true;
}

// A unit byte, 0..255.
bool parseByte(Field f, int *value)
{
    f = trimmed(f);
    if (f.empty() || f.end - f.begin > 3)
        return false;
    int v = 0;
    for (const char *p = f.begin; p < f.end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + (*p - '0');
    }
    if (v > 255)
        return false;
    *value = v;
    return true;
}

// "hh:mm:ss.zzz" (or without the milliseconds) as ms since midnight; -1 for anything else.
int parseClock(Field f)
{
    f = trimmed(f);
    const QByteArray s = f.bytes();
    int h = 0, m = 0, sec = 0, msec = 0;
    char dot = 0;
    const int n = std::sscanf(s.constData(), "%2d:%2d:%2d%c%3d", &h, &m, &sec, &dot, &msec);
    if (n < 3 || h > 23 || m > 59 || sec > 59 || h < 0 || m < 0 || sec < 0 || (n == 5 && msec < 0))
        return -1;
    if (n < 5)
        msec = 0;
    return ((h * 60 + m) * 60 + sec) * 1000 + msec;
}

// Splits a line at every `;` into `fields`; the count may be larger than `max` (then it is
// wrong anyway and only counted).
int split(const char *begin, const char *end, Field *fields, int max)
{
    int count = 0;
    const char *start = begin;
    for (const char *p = begin;; ++p) {
        if (p == end || *p == ';') {
            if (count < max)
                fields[count] = {start, p};
            ++count;
            if (p == end)
                break;
            start = p + 1;
        }
    }
    return count;
}

QString lineError(int line, const QString &what)
{
    return QStringLiteral("Řádek %1: %2").arg(line).arg(what);
}

struct Columns
{
    int at[LogFormat::ColumnCount];
    int count = 0;
};

// Where each known column is; the message says what makes the header foreign.
QString readHeader(const char *begin, const char *end, Columns *columns)
{
    constexpr int MaxFields = 64;
    Field fields[MaxFields];
    const int count = split(begin, end, fields, MaxFields);
    if (count < 2) {
        const QByteArray line(begin, int(std::min<qsizetype>(end - begin, 200)));
        if (line.contains(',') || line.contains('\t'))
            return QStringLiteral("sloupce nejsou oddělené středníkem (;), soubor není záznam živých hodnot.");
        return QStringLiteral("chybí hlavička se sloupci, soubor není záznam živých hodnot.");
    }
    if (count > MaxFields)
        return QStringLiteral("příliš mnoho sloupců, soubor není záznam živých hodnot.");
    columns->count = count;
    for (int c = 0; c < LogFormat::ColumnCount; ++c) {
        columns->at[c] = -1;
        const QByteArray wanted = folded({LogFormat::Columns[c], LogFormat::Columns[c] + std::strlen(LogFormat::Columns[c])});
        for (int i = 0; i < count; ++i) {
            if (folded(trimmed(fields[i])) == wanted) {
                columns->at[c] = i;
                break;
            }
        }
    }
    for (int c : {LogFormat::Seconds, LogFormat::LambdaValue, LogFormat::TpsValue, LogFormat::Position}) {
        if (columns->at[c] < 0)
            return QStringLiteral("chybí sloupec „%1“, soubor není záznam živých hodnot.")
                .arg(QString::fromUtf8(LogFormat::Columns[c]));
    }
    return {};
}

// One data line into the recording; the message says what is wrong with it.
QString readLine(const char *begin, const char *end, const Columns &columns, qint64 *lastMs, Recording *out)
{
    constexpr int MaxFields = 64;
    Field fields[MaxFields];
    const int count = split(begin, end, fields, MaxFields);
    if (count != columns.count)
        return QStringLiteral("má jiný počet polí (%1) než hlavička (%2), řádek je useknutý nebo poškozený.")
            .arg(count)
            .arg(columns.count);
    const auto field = [&](int column) { return columns.at[column] >= 0 ? fields[columns.at[column]] : Field{end, end}; };

    qint64 ms = 0;
    if (!parseSeconds(field(LogFormat::Seconds), &ms))
        return QStringLiteral("čas „%1“ není číslo sekund.").arg(text(field(LogFormat::Seconds)));
    if (ms < *lastMs)
        return QStringLiteral("čas %1 s je menší než na řádku před ním.").arg(text(field(LogFormat::Seconds)));
    *lastMs = ms;

    const Field lambda = trimmed(field(LogFormat::LambdaValue));
    const Field tps = trimmed(field(LogFormat::TpsValue));
    const Field position = trimmed(field(LogFormat::Position));
    int l = 0, t = 0, p = 0;
    const bool values = !(lambda.empty() && tps.empty() && position.empty());
    if (values && (!parseByte(lambda, &l) || !parseByte(tps, &t) || !parseByte(position, &p)))
        return QStringLiteral("hodnoty lambda, TPS a polohy musí být celá čísla 0 až 255.");

    const Field marker = trimmed(field(LogFormat::Marker));
    int number = 0;
    const char *q = marker.begin;
    for (; q < marker.end && *q >= '0' && *q <= '9' && number < 1000000; ++q)
        number = number * 10 + (*q - '0');
    if (!marker.empty() && (q == marker.begin || number == 0))
        return QStringLiteral("značka „%1“ nezačíná svým číslem.").arg(text(marker));

    const int clock = columns.at[LogFormat::Clock] >= 0 ? parseClock(field(LogFormat::Clock)) : -1;
    out->addRow(ms, clock, values, l, t, p, text(trimmed(field(LogFormat::Range))), text(trimmed(field(LogFormat::Status))));
    if (number > 0)
        out->addMarker(number, text(trimmed({q, marker.end})));
    return {};
}

}  // namespace

RecordingRead readRecording(const QByteArray &bytes)
{
    RecordingRead result;
    const char *p = bytes.constData();
    const char *end = p + bytes.size();
    const QByteArray bom = LogFormat::byteOrderMark();
    if (bytes.startsWith(bom))
        p += bom.size();

    Columns columns;
    qint64 lastMs = 0;
    int lineNumber = 0;
    result.recording.reserve(std::size_t(bytes.size() / 48));
    while (p < end) {
        const char *eol = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)));
        const char *lineEnd = eol ? eol : end;
        const char *next = eol ? eol + 1 : end;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        ++lineNumber;
        const bool blank = trimmed({p, lineEnd}).empty();
        if (lineNumber == 1) {
            const QString problem = readHeader(p, lineEnd, &columns);
            if (!problem.isEmpty()) {
                result.error = lineError(1, problem);
                result.errorLine = 1;
                return result;
            }
        } else if (!blank) {
            const QString problem = readLine(p, lineEnd, columns, &lastMs, &result.recording);
            if (!problem.isEmpty()) {
                result.error = lineError(lineNumber, problem);
                result.errorLine = lineNumber;
                return result;
            }
        }
        p = next;
    }
    if (lineNumber == 0) {
        result.error = lineError(1, QStringLiteral("soubor je prázdný."));
        result.errorLine = 1;
    }
    return result;
}

RecordingRead readRecordingFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RecordingRead result;
        result.error = QStringLiteral("Soubor nelze otevřít: %1").arg(file.errorString());
        return result;
    }
    return readRecording(file.readAll());
}

RecordingSummary summarizeRecording(const QString &path)
{
    RecordingSummary summary;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return summary;
    summary.bytes = file.size();
    constexpr int Edge = 4096;
    const QByteArray head = file.read(Edge);
    const int headEnd = int(head.lastIndexOf('\n'));
    if (headEnd < 0)
        return summary;
    QByteArray tail = head.left(headEnd + 1);
    if (summary.bytes > Edge) {
        file.seek(summary.bytes - Edge);
        QByteArray last = file.read(Edge);
        // From the first whole line on.
        last = last.mid(last.indexOf('\n') + 1);
        const int firstEnd = int(head.indexOf('\n', head.indexOf('\n') + 1));
        tail = head.left(firstEnd + 1) + last;
    }
    const RecordingRead read = readRecording(tail);
    if (!read.usable() || read.recording.isEmpty())
        return summary;
    summary.valid = true;
    summary.durationMs = read.recording.durationMs();
    return summary;
}

#include "recordingreader.h"
#include "logformat.h"
#include "textformat/cp1250.h"
#include "textformat/czechnumber.h"
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
    bool doubledQuotes = false;  // a quoted field whose `""` stand for `"`
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
    if (utf8.hasError())  // saved again by a Czech spreadsheet in its own code page
        s = decodeWindows1250(QByteArrayView(f.begin, f.end - f.begin));
    if (f.doubledQuotes)
        s.replace(QStringLiteral("\"\""), QStringLiteral("\""));
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

// "hh:mm:ss,zzz" or "hh:mm:ss.zzz" (or without the milliseconds) as ms since midnight; -1 for anything else.
int parseClock(Field f)
{
    f = trimmed(f);
    const QByteArray s = f.bytes();
    int h = 0, m = 0, sec = 0, msec = 0, fractionAt = 0, fractionEnd = 0;
    char dot = 0;
    const int n = std::sscanf(s.constData(), "%2d:%2d:%2d%c%n%3d%n", &h, &m, &sec, &dot, &fractionAt, &msec, &fractionEnd);
    if (n < 3 || h > 23 || m > 59 || sec > 59 || h < 0 || m < 0 || sec < 0 || (n == 5 && msec < 0))
        return -1;
    if (n < 5)
        msec = 0;
    // "22,5" is half a second: a spreadsheet may write fewer than three places.
    for (int places = fractionEnd - fractionAt; n == 5 && places < 3; ++places)
        msec *= 10;
    return ((h * 60 + m) * 60 + sec) * 1000 + msec;
}

// One field from `p` on, as CSV quotes it: a field that begins with `"` runs to its closing quote,
// `""` inside it being one quote, and a `;` there belongs to the text. Returns where it ends.
const char *fieldAt(const char *p, const char *end, Field *field)
{
    const char *start = p;
    while (start < end && (*start == ' ' || *start == '\t'))
        ++start;
    if (start < end && *start == '"') {
        bool doubled = false;
        for (const char *q = start + 1; q < end; ++q) {
            if (*q != '"')
                continue;
            if (q + 1 < end && q[1] == '"') {
                doubled = true;
                ++q;
                continue;
            }
            const char *after = q + 1;
            while (after < end && (*after == ' ' || *after == '\t'))
                ++after;
            if (after == end || *after == ';') {
                *field = {start + 1, q, doubled};
                return after;
            }
            break;  // text after the closing quote: not a quoted field after all
        }
    }
    const char *stop = static_cast<const char *>(std::memchr(p, ';', std::size_t(end - p)));
    stop = stop ? stop : end;
    *field = {p, stop};
    return stop;
}

// Splits a line at every `;` outside quotes into `fields`; the count may be larger than `max`
// (then it is wrong anyway and only counted).
int split(const char *begin, const char *end, Field *fields, int max)
{
    int count = 0;
    const char *p = begin;
    for (;;) {
        Field f{p, p};
        p = fieldAt(p, end, &f);
        if (count < max)
            fields[count] = f;
        ++count;
        if (p == end)
            break;
        ++p;
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
    QString markerText;
    int number = 0;
    if (!marker.empty()) {
        markerText = text(marker);
        int digits = 0;
        for (; digits < markerText.size() && markerText.at(digits).isDigit() && markerText.at(digits).unicode() < 128
               && number < 1000000;
             ++digits)
            number = number * 10 + markerText.at(digits).digitValue();
        if (number == 0)
            return QStringLiteral("značka „%1“ nezačíná svým číslem.").arg(markerText);
        markerText = markerText.mid(digits).trimmed();
    }

    const int clock = columns.at[LogFormat::Clock] >= 0 ? parseClock(field(LogFormat::Clock)) : -1;
    out->addRow(ms, clock, values, l, t, p, text(trimmed(field(LogFormat::Range))), text(trimmed(field(LogFormat::Status))));
    if (number > 0)
        out->addMarker(number, markerText);
    return {};
}

}  // namespace

namespace {

// Takes a recording line by line, the header first; stops at the first line it cannot read.
class LineParser
{
public:
    explicit LineParser(RecordingRead *result) : m_result(result) {}

    // False when the reading ends at this line.
    bool take(const char *begin, const char *end)
    {
        if (end > begin && end[-1] == '\r')
            --end;
        ++m_line;
        QString problem;
        if (m_line == 1) {
            const QByteArray bom = LogFormat::byteOrderMark();
            if (end - begin >= bom.size() && std::memcmp(begin, bom.constData(), std::size_t(bom.size())) == 0)
                begin += bom.size();
            problem = readHeader(begin, end, &m_columns);
        } else if (!trimmed({begin, end}).empty()) {
            problem = readLine(begin, end, m_columns, &m_lastMs, &m_result->recording);
        }
        if (problem.isEmpty())
            return true;
        m_result->error = lineError(m_line, problem);
        m_result->errorLine = m_line;
        return false;
    }
    // Every whole line of `bytes` from `*from` on; `*from` ends after the last one taken.
    bool takeLines(const QByteArray &bytes, qsizetype *from)
    {
        const char *data = bytes.constData();
        for (;;) {
            const char *p = data + *from;
            const char *eol = static_cast<const char *>(std::memchr(p, '\n', std::size_t(bytes.size() - *from)));
            if (!eol)
                return true;
            *from = eol + 1 - data;
            if (!take(p, eol))
                return false;
        }
    }
    void finish()
    {
        if (m_line == 0) {
            m_result->error = lineError(1, QStringLiteral("soubor je prázdný."));
            m_result->errorLine = 1;
        }
    }
    int line() const { return m_line; }

private:
    RecordingRead *m_result;
    Columns m_columns;
    qint64 m_lastMs = 0;
    int m_line = 0;
};

constexpr qint64 HeaderReach = 64 * 1024;  // a header row is a few hundred bytes
constexpr qint64 ChunkBytes = 4 * 1024 * 1024;

QString megabytes(qint64 bytes)
{
    return czechDecimal(double(bytes) / (1024.0 * 1024.0), bytes < 10 * 1024 * 1024 ? 1 : 0) + QStringLiteral(" MB");
}

}  // namespace

RecordingRead readRecording(const QByteArray &bytes)
{
    RecordingRead result;
    LineParser parser(&result);
    qsizetype from = 0;
    if (parser.takeLines(bytes, &from) && from < bytes.size())
        parser.take(bytes.constData() + from, bytes.constData() + bytes.size());
    parser.finish();
    return result;
}

RecordingRead readRecordingFile(const QString &path)
{
    RecordingRead result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Soubor nelze otevřít: %1").arg(file.errorString());
        return result;
    }
    // The header from the first bytes: a file of another kind is refused before it is read.
    LineParser parser(&result);
    QByteArray buffer = file.read(HeaderReach);
    const qsizetype headerEnd = buffer.indexOf('\n');
    if (headerEnd < 0 && buffer.size() == HeaderReach) {
        result.error = lineError(1, QStringLiteral("chybí hlavička se sloupci, soubor není záznam živých hodnot."));
        result.errorLine = 1;
        return result;
    }
    if (headerEnd >= 0 && !parser.take(buffer.constData(), buffer.constData() + headerEnd))
        return result;
    const qint64 size = file.size();
    if (size > MaxRecordingBytes) {
        result.error = QStringLiteral("Záznam má %1, zobrazit lze záznam nejvýš do %2.")
                           .arg(megabytes(size), megabytes(MaxRecordingBytes));
        return result;
    }
    result.recording.reserve(std::size_t(size / 48));
    // The rest in chunks: a line cut at a chunk's end waits for the next one.
    qsizetype from = headerEnd >= 0 ? headerEnd + 1 : 0;
    for (;;) {
        if (!parser.takeLines(buffer, &from))
            return result;
        buffer.remove(0, from);
        from = 0;
        const QByteArray more = file.read(ChunkBytes);
        if (more.isEmpty())
            break;
        buffer += more;
    }
    if (!buffer.isEmpty())
        parser.take(buffer.constData(), buffer.constData() + buffer.size());
    parser.finish();
    return result;
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

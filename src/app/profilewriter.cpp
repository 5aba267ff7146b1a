#include "profilewriter.h"
#include "textformat/cp1250.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

namespace {

struct Line
{
    qsizetype begin;    // first byte of the text
    qsizetype end;      // one past the text, where the line end starts
    qsizetype next;     // one past the line end
};

QList<Line> splitLines(const QByteArray &bytes)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < bytes.size() && bytes[next] == '\r')
            ++next;
        if (next < bytes.size() && bytes[next] == '\n' && (next == end || bytes[end] == '\r'))
            ++next;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Read as ProfileFile reads it: a byte-order mark or valid UTF-8 with letters beyond ASCII means
// UTF-8, anything else Windows-1250.
bool isUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(bytes));
    return !utf8.hasError();
}

QString textOf(const QByteArray &bytes, bool utf8)
{
    return utf8 ? QString::fromUtf8(bytes) : decodeWindows1250(bytes);
}

QString trimmed(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

// Qt's own texts here are the system's, in English; the technician gets the gist in Czech.
QString failure(const QString &path, QFileDevice::FileError error)
{
    QString why;
    switch (error) {
    case QFileDevice::PermissionsError: why = QStringLiteral("chybí oprávnění k zápisu"); break;
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError: why = QStringLiteral("zápis se nezdařil, disk může být plný"); break;
    case QFileDevice::ReadError: why = QStringLiteral("soubor nelze přečíst"); break;
    default: why = QStringLiteral("soubor ani dočasný soubor vedle něj nelze vytvořit"); break;
    }
    return QStringLiteral("Soubor %1 nelze uložit: %2.").arg(path, why);
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// The edit on 8-bit text, Windows-1250 or UTF-8, whose line ends are single bytes.
ProfileEdit editLines(const QByteArray &file, bool utf8, const QString &section, const QString &key,
                      const QString &value)
{
    ProfileEdit edit;
    QByteArray encoded;
    if (utf8)
        encoded = value.toUtf8();
    else if (!encodeWindows1250(value, &encoded)) {
        edit.error = QStringLiteral("Hodnotu „%1“ nelze zapsat v kódování Windows-1250.").arg(value);
        return edit;
    }

    const QList<Line> lines = splitLines(file);
    QByteArray eol("\r\n");
    for (const Line &l : lines) {
        if (l.next > l.end) {
            eol = file.mid(l.end, l.next - l.end);
            break;
        }
    }

    // Find the first section of that name and, in it, the key or the line after which it belongs.
    int sectionLine = -1;
    int insertAfter = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        const QString text = trimmed(textOf(file.mid(l.begin, l.end - l.begin), utf8));
        if (text.isEmpty() || text.front() == u';')
            continue;
        if (text.front() == u'[' && text.lastIndexOf(u']') > 0) {
            if (sectionLine >= 0)
                break;
            if (sameName(trimmed(text.mid(1, text.lastIndexOf(u']') - 1)), section)) {
                sectionLine = i;
                insertAfter = i;
            }
            continue;
        }
        const qsizetype eq = text.indexOf(u'=');
        if (sectionLine < 0 || eq < 0)
            continue;
        insertAfter = i;
        if (!sameName(trimmed(text.left(eq)), key))
            continue;
        // Keep the key as written and the blanks after '='; only the value changes.
        qsizetype at = file.indexOf('=', l.begin) + 1;
        while (at < l.end && isBlank(file[at]))
            ++at;
        edit.bytes = file.left(at) + encoded + file.mid(l.end);
        return edit;
    }

    const QByteArray keyLine = (utf8 ? key.toUtf8() : key.toLatin1()) + '=' + encoded;
    if (sectionLine < 0) {
        QByteArray out = file;
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += eol;
        out += '[' + (utf8 ? section.toUtf8() : section.toLatin1()) + ']' + eol + keyLine + eol;
        edit.bytes = out;
        return edit;
    }
    const Line &after = lines[insertAfter];
    if (after.next == after.end)  // the last line of a file without a final line end
        edit.bytes = file + eol + keyLine;
    else
        edit.bytes = file.left(after.next) + keyLine + eol + file.mid(after.next);
    return edit;
}

// Notepad's "Unicode" is UTF-16 with a mark: edited as UTF-8 and turned back, which changes no
// other byte as long as the file is valid UTF-16 (checked, or the file is left alone).
ProfileEdit editUtf16(const QByteArray &file, bool littleEndian, const QString &section, const QString &key,
                      const QString &value)
{
    const auto encoding = littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
    const QByteArray body = file.mid(2);
    QStringDecoder decode(encoding);
    const QString text = decode(body);
    QStringEncoder encodeBack(encoding);
    if (decode.hasError() || QByteArray(encodeBack(text)) != body)
        return {{}, QStringLiteral("Soubor není platný text UTF-16; port do něj nelze zapsat.")};
    ProfileEdit edit = editLines(text.toUtf8(), true, section, key, value);
    if (edit.error.isEmpty()) {
        QStringEncoder encode(encoding);
        edit.bytes = file.left(2) + QByteArray(encode(QString::fromUtf8(edit.bytes)));
    }
    return edit;
}

}  // namespace

ProfileEdit setProfileValue(const QByteArray &file, const QString &section, const QString &key, const QString &value)
{
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {{}, QStringLiteral("Hodnota obsahuje řídicí znak.")};
    }
    if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF"))
        return editUtf16(file, file.startsWith("\xFF\xFE"), section, key, value);
    return editLines(file, isUtf8(file), section, key, value);
}

QString saveProfileValue(const QString &path, const QString &section, const QString &key, const QString &value)
{
    QByteArray original;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return failure(path, QFileDevice::ReadError);
        original = in.readAll();
        in.close();
        // Replacing it would go round a write protection the workshop put on purpose.
        if (!QFileInfo(path).isWritable())
            return failure(path, QFileDevice::PermissionsError);
    }
    const ProfileEdit edit = setProfileValue(original, section, key, value);
    if (!edit.error.isEmpty())
        return edit.error;

    // QSaveFile's commit() does not notice a buffered write that failed (a full disk): the count of
    // every write and the flush are checked before the temporary file replaces the original.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return failure(path, out.error());
    if (out.write(edit.bytes) != edit.bytes.size() || !out.flush()) {
        const QFileDevice::FileError error = out.error();
        out.cancelWriting();
        return failure(path, error == QFileDevice::NoError ? QFileDevice::WriteError : error);
    }
    if (!out.commit())
        return failure(path, out.error());
    return {};
}

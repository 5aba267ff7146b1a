#include "profilefile.h"

#include "cp1250.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// QString::trimmed() would also eat form feeds, non-breaking spaces and the like, which the
// platform keeps as part of the text.
QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s.at(begin)))
        ++begin;
    while (end > begin && isBlank(s.at(end - 1)))
        --end;
    return s.mid(begin, end - begin);
}

QStringView unquote(QStringView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// What a caller of the platform's functions gets: the text up to a NUL, trimmed and unquoted,
// cut to the buffer (never between the halves of a surrogate pair).
QString valueText(QStringView raw)
{
    const qsizetype nul = raw.indexOf(QChar(u'\0'));
    QStringView v = unquote(trimBlanks(nul < 0 ? raw : raw.left(nul)));
    if (v.size() > ProfileFile::MaxValueLength) {
        qsizetype length = ProfileFile::MaxValueLength;
        if (v.at(length - 1).isHighSurrogate())
            --length;
        v = v.left(length);
    }
    return v.toString();
}

// Simple case folding code point by code point: the same rule QString::compare uses without
// regard to case, so names that compared equal before still meet in the index.
QString foldName(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            const char32_t u = QChar::toCaseFolded(QChar::surrogateToUcs4(c, s.at(i + 1)));
            out += QChar(QChar::highSurrogate(u));
            out += QChar(QChar::lowSurrogate(u));
            ++i;
        } else {
            out += c.toCaseFolded();
        }
    }
    return out;
}

bool isPlainAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

// The file is Windows-1250, as workshops keep it. Notepad's "Unicode" is UTF-16 with a mark.
// One saved by a Linux editor is UTF-8, often with a mark; Czech text in Windows-1250 is
// practically never valid UTF-8, so a file that is (and has letters beyond ASCII) is read as
// UTF-8 rather than shown as mojibake. A UTF-8 mark in front of Windows-1250 text (an editor
// that added the mark to a copy) does not make the text UTF-8.
QString decodeProfileText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.sliced(2));
    const bool utf8Mark = bytes.startsWith("\xEF\xBB\xBF");
    if (utf8Mark)
        bytes = bytes.sliced(3);
    if (utf8Mark || !isPlainAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return decodeWindows1250(bytes);
}

} // namespace

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile profile;
    profile.m_exists = true;

    const QString text = decodeProfileText(bytes);
    int current = -1; // the section key lines go to; -1 while there is none or it is a repeat
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype eol = pos;
        while (eol < text.size() && text.at(eol) != u'\r' && text.at(eol) != u'\n')
            ++eol;
        const QStringView line = trimBlanks(QStringView(text).mid(pos, eol - pos));
        pos = eol + 1;

        if (line.isEmpty() || line.front() == u';')
            continue;

        if (line.front() == u'[') {
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                // Everything after the bracket is ignored, so "[Verze] ; note" still opens Verze.
                const QString name = foldName(trimBlanks(line.mid(1, close - 1)));
                const int next = int(profile.m_sections.size());
                const auto it = profile.m_sections.constFind(name);
                if (it == profile.m_sections.cend()) {
                    profile.m_sections.insert(name, next);
                    current = next;
                } else {
                    current = -1;
                }
                continue;
            }
            // Without a closing bracket the line is no header; it is read as a key line.
        }

        const qsizetype eq = line.indexOf(u'=');
        if (current < 0 || eq < 0)
            continue;
        EntryKey key{current, foldName(trimBlanks(line.left(eq)))};
        if (!profile.m_values.contains(key))
            profile.m_values.insert(std::move(key), valueText(line.mid(eq + 1)));
    }
    return profile;
}

QString ProfileFile::tooLarge()
{
    return QStringLiteral("soubor je větší než %1 MB").arg(MaxFileSize >> 20);
}

ProfileFile ProfileFile::unreadable(const QString &reason)
{
    ProfileFile profile;
    profile.m_readError = reason;
    return profile;
}

ProfileFile ProfileFile::load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    if (info.size() > MaxFileSize)
        return unreadable(tooLarge());

    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (errno == EACCES || errno == EPERM)
            return unreadable(QStringLiteral("nemáte oprávnění ho číst"));
        return unreadable(QStringLiteral("nelze ho otevřít (%1)").arg(file.errorString()));
    }
    // Bounded: the file may grow after the size was looked at.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(QStringLiteral("chyba při čtení (%1)").arg(file.errorString()));
    if (bytes.size() > MaxFileSize)
        return unreadable(tooLarge());
    return fromBytes(bytes);
}

const QString *ProfileFile::find(const QString &section, const QString &key) const
{
    const auto s = m_sections.constFind(foldName(section));
    if (s == m_sections.cend())
        return nullptr;
    const auto v = m_values.constFind(EntryKey{*s, foldName(key)});
    return v == m_values.cend() ? nullptr : &*v;
}

bool ProfileFile::hasSection(const QString &section) const
{
    return m_sections.contains(foldName(section));
}

bool ProfileFile::contains(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

QString ProfileFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString *v = find(section, key);
    return v ? *v : defaultValue;
}

int ProfileFile::intValue(const QString &section, const QString &key, int defaultValue) const
{
    const QString *found = find(section, key);
    if (!found)
        return defaultValue;

    // QString::toInt alone would also take surrounding whitespace; check the digits first so
    // only a plain decimal number passes, then let toInt reject what overflows an int.
    const QString &v = *found;
    qsizetype i = (v.startsWith(u'+') || v.startsWith(u'-')) ? 1 : 0;
    if (i == v.size())
        return defaultValue;
    for (; i < v.size(); ++i) {
        if (v.at(i) < u'0' || v.at(i) > u'9')
            return defaultValue;
    }
    bool ok = false;
    const int n = v.toInt(&ok, 10);
    return ok ? n : defaultValue;
}

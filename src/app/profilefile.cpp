#include "profilefile.h"

#include "textformat/cp1250.h"

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

// FNV-1a over the simply case-folded code points: the folding QStringView::compare uses
// without regard to case, so names that compare equal always meet in the index.
ProfileFile::Name::Name(QStringView name)
    : text(name), folded(14695981039346656037ULL)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name.at(i).unicode();
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
        } else if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            c = QChar::toCaseFolded(QChar::surrogateToUcs4(char16_t(c), name.at(++i).unicode()));
        } else {
            c = QChar::toCaseFolded(c);
        }
        folded = (folded ^ c) * 1099511628211ULL;
    }
}

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile profile;
    profile.m_exists = true;
    profile.m_text = decodeProfileText(bytes);

    const QStringView text(profile.m_text);
    int current = -1; // the section key lines go to; -1 before the first one
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype eol = pos;
        while (eol < text.size() && text[eol] != u'\r' && text[eol] != u'\n')
            ++eol;
        const QStringView line = trimBlanks(text.sliced(pos, eol - pos));
        pos = eol + 1;

        if (line.isEmpty() || line.front() == u';')
            continue;

        if (line.front() == u'[') {
            const qsizetype close = line.lastIndexOf(u']');
            if (close > 0) {
                // Everything after the bracket is ignored, so "[Verze] ; note" still opens Verze.
                const Name name(trimBlanks(line.sliced(1, close - 1)));
                current = int(profile.m_sectionNames.size());
                profile.m_sectionNames.append(name.text);
                profile.m_sectionIndex.append({name.folded, current});
                profile.m_firstEntry.append(profile.m_entries.size());
                continue;
            }
            // Without a closing bracket the line is no header; it is read as a key line.
        }

        const qsizetype eq = line.indexOf(u'=');
        if (current >= 0 && eq >= 0)
            profile.m_entries.append({trimBlanks(line.first(eq)), line.sliced(eq + 1)});
    }
    profile.m_firstEntry.append(profile.m_entries.size());
    std::sort(profile.m_sectionIndex.begin(), profile.m_sectionIndex.end(), [](const SectionRef &a, const SectionRef &b) {
        return a.folded != b.folded ? a.folded < b.folded : a.number < b.number;
    });
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

int ProfileFile::sectionNumber(const QString &section) const
{
    const Name name(section);
    auto it = std::lower_bound(m_sectionIndex.cbegin(), m_sectionIndex.cend(), name.folded,
                               [](const SectionRef &ref, size_t folded) { return ref.folded < folded; });
    for (; it != m_sectionIndex.cend() && it->folded == name.folded; ++it) {
        if (m_sectionNames.at(it->number).compare(name.text, Qt::CaseInsensitive) == 0)
            return it->number;
    }
    return -1;
}

const QStringView *ProfileFile::find(const QString &section, const QString &key) const
{
    const int number = sectionNumber(section);
    if (number < 0)
        return nullptr;
    auto keys = m_keys.find(number);
    if (keys == m_keys.end()) {
        keys = m_keys.insert(number, {});
        for (qsizetype i = m_firstEntry.at(number); i < m_firstEntry.at(number + 1); ++i) {
            // The first of equal keys wins.
            QStringView &value = (*keys)[Name(m_entries.at(i).key)];
            if (value.isNull())
                value = m_entries.at(i).rawValue;
        }
    }
    const auto v = keys->constFind(Name(key));
    return v == keys->cend() ? nullptr : &*v;
}

bool ProfileFile::hasSection(const QString &section) const
{
    return sectionNumber(section) >= 0;
}

bool ProfileFile::contains(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

QString ProfileFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QStringView *raw = find(section, key);
    return raw ? valueText(*raw) : defaultValue;
}

int ProfileFile::intValue(const QString &section, const QString &key, int defaultValue) const
{
    const QStringView *raw = find(section, key);
    if (!raw)
        return defaultValue;

    // QString::toInt alone would also take surrounding whitespace; check the digits first so
    // only a plain decimal number passes, then let toInt reject what overflows an int.
    const QString v = valueText(*raw);
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

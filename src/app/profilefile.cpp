#include "profilefile.h"

#include "cp1250.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

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

// The file is Windows-1250, as workshops keep it. One saved by a Linux editor is UTF-8, often
// with a byte-order mark; Czech text in Windows-1250 is practically never valid UTF-8, so a file
// that is (and has letters beyond ASCII) is read as UTF-8 rather than shown as mojibake.
QString decodeProfileText(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
    return decodeWindows1250(bytes);
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile profile;
    profile.m_exists = true;

    const QString text = decodeProfileText(bytes);
    Section *current = nullptr;
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
                profile.m_sections.append({trimBlanks(line.mid(1, close - 1)).toString(), {}});
                current = &profile.m_sections.last();
                continue;
            }
            // Without a closing bracket the line is no header; it is read as a key line.
        }

        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq < 0)
            continue;
        current->entries.append({trimBlanks(line.left(eq)).toString(),
                                 unquote(trimBlanks(line.mid(eq + 1))).toString()});
    }
    return profile;
}

ProfileFile ProfileFile::load(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

const ProfileFile::Entry *ProfileFile::find(const QString &section, const QString &key) const
{
    for (const Section &s : m_sections) {
        if (!sameName(s.name, section))
            continue;
        for (const Entry &e : s.entries) {
            if (sameName(e.key, key))
                return &e;
        }
        return nullptr;
    }
    return nullptr;
}

bool ProfileFile::contains(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

QString ProfileFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Entry *e = find(section, key);
    return e ? e->value : defaultValue;
}

int ProfileFile::intValue(const QString &section, const QString &key, int defaultValue) const
{
    const Entry *e = find(section, key);
    if (!e)
        return defaultValue;

    // QString::toInt alone would also take surrounding whitespace; check the digits first so
    // only a plain decimal number passes, then let toInt reject what overflows an int.
    const QString &v = e->value;
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

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// A read-only view of a Windows profile ("INI") file, matched the way the platform's profile
// functions match it, so a file a workshop edits and checks on a Windows PC reads the same here:
// - text in the Windows-1250 code page, lines ending in CR, LF or both; a file that starts
//   with a byte-order mark is UTF-16 (little or big endian) or UTF-8, as the mark says;
// - "[name]" opens a section; a key line is split at its first '=';
// - spaces and tabs around section names, keys and values do not count;
// - sections and keys match without regard to case, Czech letters included;
// - the first section with a matching name is the only one searched, and its first matching
//   key wins;
// - a value wrapped in a pair of the same quote (' or ") loses the pair, which is how a
//   value keeps blanks at its ends;
// - a value ends at a NUL character and holds at most MaxValueLength characters, as the
//   platform's functions hand values over in a caller's buffer;
// - a line whose first non-blank character is ';' is a comment; ';' further on is text;
// - key lines before the first section, and lines without '=', are ignored.
class ProfileFile
{
public:
    static constexpr int MaxValueLength = 255;
    // A settings file is a few kilobytes; anything beyond this is no settings file.
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    ProfileFile() = default;

    static ProfileFile fromBytes(const QByteArray &bytes);
    // A file that is missing, or is no regular file, gives an empty profile whose exists() is
    // false; so does one that is there but cannot be read, and readError() then says why.
    static ProfileFile load(const QString &path);

    bool exists() const { return m_exists; }
    // In Czech, for the technician; empty unless the file is there and could not be read.
    QString readError() const { return m_readError; }

    bool hasSection(const QString &section) const;
    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    // Only a whole decimal integer with an optional sign counts; anything else, "12abc"
    // included, gives defaultValue.
    int intValue(const QString &section, const QString &key, int defaultValue) const;

private:
    // A section name or key as it stands in the text, with the hash of its case-folded form.
    struct Name
    {
        explicit Name(QStringView text);
        QStringView text;
        size_t folded;
        friend bool operator==(const Name &a, const Name &b)
        {
            return a.folded == b.folded && a.text.compare(b.text, Qt::CaseInsensitive) == 0;
        }
        // Mixed again: FNV's low bits, which pick the bucket, follow only the characters' low bits.
        friend size_t qHash(const Name &n, size_t seed) { return qHash(quint64(n.folded), seed); }
    };
    struct Entry
    {
        QStringView key;
        QStringView rawValue;
    };
    using KeyIndex = QHash<Name, QStringView>;

    static ProfileFile unreadable(const QString &reason);
    static QString tooLarge();
    // The number of the first section of that name; -1 when there is none.
    int sectionNumber(const QString &section) const;
    const QStringView *find(const QString &section, const QString &key) const;

    // The decoded file; everything below points into it and never copies a name or a value,
    // so a file of a million sections costs no million allocations. It is never changed after
    // reading, so copies of a profile share it and the views stay valid.
    QString m_text;
    // Every section header's name, numbered in file order.
    QList<QStringView> m_sectionNames;
    // The index of section names, built once after reading: (folded hash, number), sorted, so
    // a look-up is a binary search however many sections the file has, and among sections of
    // the same name the first one is met first. Sorting one array costs a fraction of what a
    // hash table of a million names costs in scattered memory accesses.
    struct SectionRef
    {
        size_t folded;
        int number;
    };
    QList<SectionRef> m_sectionIndex;
    // The key lines, in file order: section n owns m_entries[m_firstEntry[n] .. m_firstEntry[n + 1]).
    QList<Entry> m_entries;
    QList<qsizetype> m_firstEntry;
    // Each section's keys, indexed at the first look-up in that section: the tool asks in five
    // sections of however many a file holds.
    mutable QHash<int, KeyIndex> m_keys;
    bool m_exists = false;
    QString m_readError;
};

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
    struct EntryKey
    {
        int section;
        QString key; // case-folded
        friend bool operator==(const EntryKey &a, const EntryKey &b)
        {
            return a.section == b.section && a.key == b.key;
        }
        friend size_t qHash(const EntryKey &k, size_t seed = 0) { return qHashMulti(seed, k.section, k.key); }
    };

    static ProfileFile unreadable(const QString &reason);
    static QString tooLarge();
    const QString *find(const QString &section, const QString &key) const;

    // Built once while reading, so each look-up costs the same however long the file is.
    // Case-folded section name -> number of its first occurrence.
    QHash<QString, int> m_sections;
    // Keys of first occurrences only: later sections of the same name are never searched.
    QHash<EntryKey, QString> m_values;
    bool m_exists = false;
    QString m_readError;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A read-only view of a Windows profile ("INI") file, matched the way the platform's profile
// functions match it, so a file a workshop edits and checks on a Windows PC reads the same here:
// - text in the Windows-1250 code page, lines ending in CR, LF or both;
// - "[name]" opens a section; a key line is split at its first '=';
// - spaces and tabs around section names, keys and values do not count;
// - sections and keys match without regard to case, Czech letters included;
// - the first section with a matching name is the only one searched, and its first matching
//   key wins;
// - a value wrapped in a pair of the same quote (' or ") loses the pair, which is how a
//   value keeps blanks at its ends;
// - a line whose first non-blank character is ';' is a comment; ';' further on is text;
// - key lines before the first section, and lines without '=', are ignored.
class ProfileFile
{
public:
    ProfileFile() = default;

    static ProfileFile fromBytes(const QByteArray &bytes);
    // A file that is missing or cannot be read gives an empty profile whose exists() is false.
    static ProfileFile load(const QString &path);

    bool exists() const { return m_exists; }

    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    // Only a whole decimal integer with an optional sign counts; anything else, "12abc"
    // included, gives defaultValue.
    int intValue(const QString &section, const QString &key, int defaultValue) const;

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
    };

    const Entry *find(const QString &section, const QString &key) const;

    QList<Section> m_sections;
    bool m_exists = false;
};

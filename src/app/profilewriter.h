#pragma once
#include <QByteArray>
#include <QString>

// Changes one value of a profile ("INI") file and nothing else: every other byte, the line ends and
// the file's encoding (Windows-1250, or UTF-8 for a file a Linux editor saved) stay as they were.
// The value written is the one ProfileFile reads back: the first section with a matching name,
// its first matching key. A missing key is added at the end of that section; a missing section
// at the end of the file. Line ends of new lines follow the file's own (CRLF for a new file).
struct ProfileEdit
{
    QByteArray bytes;
    QString error;  // empty when the value could be written
};

ProfileEdit setProfileValue(const QByteArray &file, const QString &section, const QString &key,
                            const QString &value);

// Writes the change into the file at path (created when missing) through a temporary file that
// replaces it only once everything was written and flushed. Returns why not, in Czech, or empty.
QString saveProfileValue(const QString &path, const QString &section, const QString &key, const QString &value);

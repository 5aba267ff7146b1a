#pragma once
#include <QByteArray>
#include <QString>

// The folder the tool works in: TESTER.INI, and data/ beneath it. Without --slozka it is the
// current folder, taken as it is. A folder named on the command line is the technician's own
// place (the menu entry names ~/Velkor): it is created when missing, and one without a settings
// file gets a commented sample, said once.
struct WorkingFolder
{
    QString path;                // absolute
    QString error;               // why the folder cannot be used (Czech); empty when it can
    bool sampleWritten = false;  // a sample TESTER.INI was written there by this start

    QString sampleNotice() const;
};

// "~" and "~/..." name the home folder; the desktop's menu passes them on untouched.
QString expandHome(const QString &path, const QString &home);

WorkingFolder prepareWorkingFolder(const QString &requested, const QString &currentFolder, const QString &home);

// The sample settings file: Windows-1250 with CRLF line ends, as a workshop's copy is, every key
// explained, and no port named (the port picker writes the one chosen).
QByteArray sampleSettings();

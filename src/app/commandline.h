#pragma once
#include <QString>
#include <QStringList>

// What the tool was started with. Qt's own options (-platform, -style) are not known here: the
// line is read once before QApplication exists, only for --help and --version, which must work
// without a display, and again strictly once QApplication has taken its options out.
struct CommandLine
{
    bool help = false;
    bool version = false;
    QString folder;   // --slozka / --dir as given, before ~ is expanded; empty: the current folder
    QString error;    // the first mistake, in Czech and English; empty when the line is sound

    static CommandLine parse(const QStringList &arguments);  // arguments[0] is the program
    static QStringList arguments(int argc, char *argv[]);
};

QString versionText();
QString helpText();

// --help and --version go to the standard output, a mistake to the standard error.
void printOut(const QString &text);
void printError(const QString &text);

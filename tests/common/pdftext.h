#pragma once
// Header only: a PDF read back with poppler's tools, as a viewer shows it.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace PdfText {

// What the tool (pdftotext, pdffonts, pdfinfo, pdfimages) prints; empty when it failed.
inline QString run(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    const bool ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return ok ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The text with the layout kept, so that the cells of a table row stay on one line.
inline QString text(const QString &path)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                             QStringLiteral("-")});
}

// The first line that starts with `start`, its runs of blanks made one; empty when there is none.
inline QString row(const QString &text, const QString &start)
{
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (line.simplified().startsWith(start))
            return line.simplified();
    return QString();
}

}  // namespace PdfText

#pragma once
// Header only: reading a PDF back with poppler's tools, as a technician's viewer would show it.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace PdfText {

// The output of a poppler tool (pdftotext, pdffonts, pdfinfo) run on `path`; empty when it failed.
inline QString run(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text with each line's layout kept, so the cells of a table row stay on one line.
inline QString text(const QString &path)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                             QStringLiteral("-")});
}

// The line that starts with `start` (blanks before it ignored), its runs of blanks made one, or
// empty when there is none.
inline QString row(const QString &text, const QString &start)
{
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString simple = line.simplified();
        if (simple.startsWith(start))
            return simple;
    }
    return QString();
}

}  // namespace PdfText

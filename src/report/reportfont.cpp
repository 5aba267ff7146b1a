#include "reportfont.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace ReportFont {

namespace {
bool load()
{
    const QString family = QString::fromLatin1(Family);
    if (QFontDatabase::hasFamily(family))
        return true;
    // Without it among the system's fonts (a PC that never had the package): the files shipped
    // beside the program, or where Debian keeps them when fontconfig does not list them.
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"),
                                 QStringLiteral("/usr/share/fonts/truetype/dejavu")};
    for (const QString &folder : folders) {
        for (const char *file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
            const QString path = QDir(folder).filePath(QString::fromLatin1(file));
            if (QFileInfo::exists(path))
                QFontDatabase::addApplicationFont(path);
        }
    }
    return QFontDatabase::hasFamily(family);
}
}

bool available()
{
    static const bool found = load();
    return found;
}

QFont font(qreal points)
{
    QFont f(QString::fromLatin1(Family));
    f.setPointSizeF(points);
    // No ligatures: "fi" drawn as one glyph is copied and searched as U+FB01, not as "fi".
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferNoShaping));
    return f;
}

QString missingText()
{
    return QStringLiteral("Protokol nelze vytvořit: chybí písmo %1 (v Debianu balíček fonts-dejavu-core, "
                          "jinak soubory DejaVuSans.ttf a DejaVuSans-Bold.ttf ve složce fonts vedle programu).")
        .arg(QString::fromLatin1(Family));
}

}  // namespace ReportFont

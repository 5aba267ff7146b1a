#include "windowsize.h"
#include <QDir>
#include <QSettings>
#include <QWidget>

namespace WindowSize {

QString filePath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("okno.ini"));
}

void restore(QWidget *window, const QString &dataFolder)
{
    const QSettings file(filePath(dataFolder), QSettings::IniFormat);
    const QByteArray geometry = file.value(QStringLiteral("okno")).toByteArray();
    if (!geometry.isEmpty())
        window->restoreGeometry(geometry);
}

void keep(const QWidget *window, const QString &dataFolder)
{
    if (dataFolder.isEmpty())
        return;
    QSettings file(filePath(dataFolder), QSettings::IniFormat);
    file.setValue(QStringLiteral("okno"), window->saveGeometry());
}

}  // namespace WindowSize

#pragma once
#include <QString>

class QWidget;

// The main window's size and state (maximised or not) from one start to the next, in a small
// file of the tool's own in the data folder; the settings file stays the workshop's.
namespace WindowSize {
QString filePath(const QString &dataFolder);
void restore(QWidget *window, const QString &dataFolder);
void keep(const QWidget *window, const QString &dataFolder);
}

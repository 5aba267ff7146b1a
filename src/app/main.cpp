#include "form2.h"
#include "singleinstance.h"
#include "widgetprompts.h"
#include "link/comport.h"
#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char *argv[])
{
    // A second copy leaves at once, without a window: only one may drive the serial line.
    SingleInstance instance;
    if (!instance.acquired())
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor 2"));

    ComPort port;
    WidgetPrompts prompts;
    TForm2 window(&port, &prompts);
    prompts.setOwner(&window);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    window.FormCreate(QDir::currentPath());
    app.exec();
    return 0;
}

#include "form2.h"
#include "singleinstance.h"
#include "widgetprompts.h"
#include "link/comport.h"
#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    // A second copy leaves at once, without a window: only one may drive the serial line.
    SingleInstance instance;
    if (!instance.acquired())
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor 2"));
    QFont font = QApplication::font();
    font.setPixelSize(12);
    QApplication::setFont(font);

    ComPort port;
    WidgetPrompts prompts;
    TForm2 window(&port, &prompts);
    prompts.setOwner(&window);
    window.show();
    window.FormCreate(QDir::currentPath());
    app.exec();
    return 0;
}

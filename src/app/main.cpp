#include "form2.h"
#include "singleinstance.h"
#include "widgetprompts.h"
#include "link/comport.h"
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QScreen>

int main(int argc, char *argv[])
{
    // A second copy leaves at once, without a window: only one may drive the serial line.
    SingleInstance instance;
    if (!instance.acquired())
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor 2"));

    // Qt's own dialogs (files, Yes/No buttons) speak Czech like the rest of the tool.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

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

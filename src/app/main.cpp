#include "form2.h"
#include "instancebeacon.h"
#include "qtczech.h"
#include "singleinstance.h"
#include "stopsignals.h"
#include "widgetprompts.h"
#include "link/comport.h"
#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char *argv[])
{
    // Only one copy may drive the serial line. A second start brings the running window to the
    // front and leaves at once, without a window of its own.
    SingleInstance instance;
    if (!instance.acquired()) {
        QCoreApplication app(argc, argv);
        InstanceBeacon().knock();
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor 2"));
    // Qt's own dialogs (files, Yes/No buttons) speak Czech like the rest of the tool.
    installQtCzech(app);

    ComPort port;
    WidgetPrompts prompts;
    TForm2 window(&port, &prompts);
    prompts.setOwner(&window);

    InstanceBeacon beacon;
    QObject::connect(&beacon, &InstanceBeacon::showRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    beacon.listen();

    // Ended by the system as by "Konec", but without the question about unsaved changes: they are
    // kept in a file first. The window's close lowers DTR and releases the port. exit() ends every
    // running event loop, a message box's too (quit() does nothing before the main loop runs).
    StopSignals stops;
    bool stopping = false;
    QObject::connect(&stops, &StopSignals::stopRequested, &window, [&window, &stopping] {
        stopping = true;
        window.stopBySystem();
        QCoreApplication::exit(0);
    });
    // A logout may not wait for an answer either; the stop that follows it finds the set kept.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.keepUnsavedChanges(); });

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    window.FormCreate(QDir::currentPath());
    // A stop during a start-up message ended that box's loop; the main loop must not start then.
    if (!stopping)
        app.exec();
    return 0;
}

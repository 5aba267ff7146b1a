#include "appversion.h"
#include "commandline.h"
#include "escapereport.h"
#include "mainwindow.h"
#include "guardedapplication.h"
#include "instancebeacon.h"
#include "qtczech.h"
#include "singleinstance.h"
#include "stopsignals.h"
#include "widgetprompts.h"
#include "workingfolder.h"
#include "link/comport.h"
#include <QDir>
#include <QScreen>

int main(int argc, char *argv[])
{
    // Answered on the terminal, without a display and beside a running copy. Qt's own options
    // (-platform) are not known before QApplication, so only these two are looked at here.
    if (const CommandLine early = CommandLine::parse(CommandLine::arguments(argc, argv)); early.help || early.version) {
        printOut(early.help ? helpText() : versionText());
        return 0;
    }

    // Only one copy may drive the serial line. A second start brings the running window to the
    // front and leaves at once, without a window of its own.
    SingleInstance instance;
    if (!instance.acquired()) {
        QCoreApplication app(argc, argv);
        InstanceBeacon().knock();
        return 0;
    }

    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor"));
    QApplication::setApplicationVersion(appVersion());
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments());
    if (!line.error.isEmpty()) {
        printError(line.error + QStringLiteral("\nvelkor --help\n"));
        return 2;
    }
    // Qt's own dialogs (files, Yes/No buttons) speak Czech like the rest of the tool.
    installQtCzech(app);

    ComPort port;
    WidgetPrompts prompts;
    const WorkingFolder folder = prepareWorkingFolder(line.folder, QDir::currentPath(), QDir::homePath());
    if (!folder.error.isEmpty()) {
        prompts.error(MainWindow::boxCaption(), folder.error);
        return 1;
    }
    QDir::setCurrent(folder.path);
    MainWindow window(&port, &prompts);
    prompts.setOwner(&window);
    // An exception out of an event handler ends nothing: the set is kept and the technician told.
    // One thrown where no event runs ends the tool, but keeps the set first.
    EscapeReport escapes(&window, &prompts);
    app.onEscape([&escapes](const QString &reason) { escapes.report(reason); });
    keepOnTerminate([&window] { window.keepUnsavedChanges(); });

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
    if (folder.sampleWritten)
        prompts.message(QStringLiteral("Info"), folder.sampleNotice());
    if (!stopping)
        window.startUp(folder.path);
    // A stop during a start-up message ended that box's loop; the main loop must not start then.
    if (!stopping)
        app.exec();
    keepOnTerminate({});  // the window goes now
    app.onEscape({});
    return 0;
}

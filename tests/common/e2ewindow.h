#pragma once
// Header only: it needs the window (velkor_app), which only the end-to-end tests link.
#include "scriptedprompts.h"
#include "simulatedunit.h"
#include "app/mainwindow.h"
#include "link/comport.h"
#include "link/unitdata.h"
#include "link/linktransport.h"
#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The tool's window on a real port against the simulated unit, started in a temporary folder whose
// TESTER.INI names the unit. An end-to-end test holds one as a member, opens it in each test and
// closes it in cleanup().
class E2EWindow
{
public:
    using Frames = QList<QPair<int, QString>>;  // (ms, "02 B4 4A FA 03")

    SimulatedUnit unit;

    bool folderValid() const { return m_dir->isValid(); }
    QString folder() const { return m_dir->path(); }
    QString filePath(const QString &name) const { return m_dir->filePath(name); }
    // A new empty folder, so that what one test left (backups, data files) never meets the next.
    void newFolder() { m_dir = std::make_unique<QTemporaryDir>(); }
    QString logPath() const { return filePath(QStringLiteral("unit.log")); }

    // Starts the unit with `options`, then opens the window on it; true when the port is open and
    // nothing was said. startLogged() has the unit write every frame to logPath().
    bool start(const QStringList &options = {}, int pollMs = 250, const QByteArray &moreSections = {})
    {
        return unit.start(options) && open(pollMs, moreSections);
    }
    bool startLogged(const QStringList &options = {}, int pollMs = 250, const QByteArray &moreSections = {})
    {
        return start(QStringList{QStringLiteral("--log"), logPath()} + options, pollMs, moreSections);
    }
    // Writes TESTER.INI for the running unit, then opens the window.
    bool open(int pollMs = 250, const QByteArray &moreSections = {})
    {
        if (!unit.writeSettings(folder(), pollMs, moreSections))
            return false;
        openWindow();
        return m_port->isOpen() && m_prompts->messages.isEmpty();
    }
    // Writes `settings` as the folder's TESTER.INI, then opens the window; true when nothing was said.
    bool openWith(const QByteArray &settings)
    {
        QFile file(filePath(QStringLiteral("TESTER.INI")));
        if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size())
            return false;
        file.close();
        openWindow();
        return m_prompts->messages.isEmpty();
    }
    // Shows a new window on a new port and lets it start in the folder, with its TESTER.INI.
    void openWindow()
    {
        m_window.reset();  // an earlier window goes before its port
        m_port = std::make_unique<ComPort>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<MainWindow>(m_port.get(), m_prompts.get());
        m_window->show();
        m_window->startUp(folder());
    }
    // Closes the window and the port, stops the unit and removes its log.
    void close()
    {
        m_window.reset();
        m_port.reset();
        unit.stop();
        QFile::remove(logPath());
    }

    MainWindow *window() const { return m_window.get(); }
    ComPort *port() const { return m_port.get(); }
    ScriptedPrompts *prompts() const { return m_prompts.get(); }
    UnitData *data() const { return m_window->data(); }
    const ToolSetup *setup() const { return m_window->setup(); }
    LinkTransport *link() const { return m_window->link(); }

    // The window's control of that objectName; a missing one ends the test run.
    template <typename T> T *find(const QString &name) const
    {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    template <typename T> T *find(const char *name) const { return find<T>(QString::fromLatin1(name)); }
    void click(const char *name) const { find<QAbstractButton>(name)->click(); }
    QString text(const char *name) const { return find<QLineEdit>(name)->text(); }
    QString label(const char *name) const { return find<QLabel>(name)->text(); }

    // Clicks "Button2" (read from the unit), waits for `received` of `exchange` and for the link
    // to be idle again.
    template <typename Exchange, typename Signal> void read(Exchange *exchange, Signal received, int timeoutMs)
    {
        QSignalSpy taken(exchange, received);
        click("Button2");
        QTRY_COMPARE_WITH_TIMEOUT(taken.count(), 1, timeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(link()->linkState(), 0, 3000);
    }

    // Frames of one direction ("RX" the unit received, "TX" it sent) from the unit's log, from the
    // `from`th on.
    Frames logged(const char *direction, int from = 0) const
    {
        Frames out;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray &line : log.readAll().split('\n')) {
            const QList<QByteArray> parts = line.trimmed().split(' ');
            if (parts.size() > 2 && parts[1] == direction)
                out.append({parts[0].toInt(), QString::fromLatin1(line.mid(line.indexOf(direction) + 3).trimmed())});
        }
        return out.mid(from);
    }
    Frames received(int from = 0) const { return logged("RX", from); }
    static int indexOf(const Frames &frames, const QString &hex)
    {
        for (int i = 0; i < frames.size(); ++i)
            if (frames[i].second == hex)
                return i;
        return -1;
    }

    // Starts the program itself in `folder`, off screen unless another Qt platform is named;
    // true once it runs.
    static bool startProgram(QProcess &program, const QString &folder,
                             const QString &platform = QStringLiteral("offscreen"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder);
        program.start(QStringLiteral(VELKOR_TOOL_PATH), QStringList());
        return program.waitForStarted(5000);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir = std::make_unique<QTemporaryDir>();
    std::unique_ptr<ComPort> m_port;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;
};

// The real tool against the simulated unit: its CPU while it polls, its memory, and how soon
// after start it sends its first poll. Every process started here is stopped before returning.
#include "benchsupport.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

struct Rig
{
    QTemporaryDir root;
    QString work, temp, log;
    QProcess sim, tool;
    QString pty;

    ~Rig()
    {
        stopProcess(tool);
        stopProcess(sim);
    }

    bool prepare(QString *error)
    {
        if (!root.isValid() || !QDir(root.path()).mkpath(QStringLiteral("work"))
            || !QDir(root.path()).mkpath(QStringLiteral("tmp"))) {
            *error = QStringLiteral("cannot make temporary folders");
            return false;
        }
        work = root.filePath(QStringLiteral("work"));
        temp = root.filePath(QStringLiteral("tmp"));
        log = root.filePath(QStringLiteral("unit.log"));
        if (!startSimulator(sim, log, &pty, error))
            return false;
        if (!writeSettings(work, pty, 250)) {
            *error = QStringLiteral("cannot write TESTER.INI");
            return false;
        }
        return true;
    }

    QString toolTrouble()
    {
        const QByteArray said = tool.readAll().trimmed();
        return QStringLiteral("the tool stopped (exit %1)%2")
            .arg(tool.exitCode())
            .arg(said.isEmpty() ? QString() : QStringLiteral(": ") + QString::fromLocal8Bit(said.right(300)));
    }

    // Waits for the first poll the unit hears; the time in ms, or -1.
    qint64 waitForFirstPoll(const QElapsedTimer &since, int limitMs)
    {
        QDeadlineTimer deadline(limitMs);
        while (!deadline.hasExpired() && tool.state() != QProcess::NotRunning) {
            if (countLogLines(log, pollLogEntry()) > 0)
                return since.elapsed();
            pauseMs(2);
        }
        return -1;
    }
};

Figure notMeasured(const QString &label, const QString &unit, double goal, const QString &why)
{
    Figure f;
    f.label = label;
    f.unit = unit;
    f.goal = goal;
    f.detail = why;
    return f;
}

}  // namespace

std::vector<Figure> measureCpuAndMemory()
{
    const QString cpuLabel = QStringLiteral("b) tool CPU while polling every 250 ms");
    const QString memLabel = QStringLiteral("d) tool resident memory");
    const QString cpuUnit = QStringLiteral("%");
    const QString memUnit = QStringLiteral("MB");
    constexpr int WarmUpMs = 2000;
    constexpr int WindowMs = 8000;

    Rig rig;
    QString error;
    if (!rig.prepare(&error))
        return {notMeasured(cpuLabel, cpuUnit, 1, error), notMeasured(memLabel, memUnit, 80, error)};

    QElapsedTimer sinceStart;
    sinceStart.start();
    startTool(rig.tool, rig.work, rig.temp);
    if (!rig.tool.waitForStarted(5000) || rig.waitForFirstPoll(sinceStart, 10000) < 0) {
        error = rig.tool.state() == QProcess::Running ? QStringLiteral("the tool sent no poll within 10 s")
                                                      : rig.toolTrouble();
        return {notMeasured(cpuLabel, cpuUnit, 1, error), notMeasured(memLabel, memUnit, 80, error)};
    }
    pauseMs(WarmUpMs);

    const qint64 pid = rig.tool.processId();
    const qint64 ticksBefore = cpuTicks(pid);
    const qint64 nsBefore = cpuNs(pid);
    const int pollsBefore = countLogLines(rig.log, pollLogEntry());
    QElapsedTimer window;
    window.start();
    pauseMs(WindowMs);
    const qint64 ticksAfter = cpuTicks(pid);
    const qint64 nsAfter = cpuNs(pid);
    const double seconds = window.nsecsElapsed() / 1e9;
    const int polls = countLogLines(rig.log, pollLogEntry()) - pollsBefore;
    const qint64 rssKb = residentKb(pid);
    const double ranSeconds = sinceStart.elapsed() / 1000.0;

    if (rig.tool.state() != QProcess::Running || ticksBefore < 0 || ticksAfter < 0 || rssKb < 0) {
        error = rig.tool.state() != QProcess::Running ? rig.toolTrouble()
                                                      : QStringLiteral("cannot read /proc for the tool");
        return {notMeasured(cpuLabel, cpuUnit, 1, error), notMeasured(memLabel, memUnit, 80, error)};
    }

    Figure cpu;
    cpu.label = cpuLabel;
    cpu.unit = cpuUnit;
    cpu.goal = 1;
    cpu.measured = true;
    cpu.value = 100.0 * double(ticksAfter - ticksBefore) / ticksPerSecond() / seconds;
    // The scheduler's own count is finer than the 10 ms ticks; given beside them as a cross-check.
    const QString fine = nsBefore < 0 || nsAfter < 0
        ? QStringLiteral("n/a")
        : QString::number(100.0 * double(nsAfter - nsBefore) / 1e9 / seconds, 'f', 2) + QStringLiteral(" %");
    cpu.detail = QStringLiteral("utime+stime: %1 ticks over %2 s, after %3 s of warm-up (scheduler count: "
                                "%4); %5 polls answered in the window, %6 expected")
                     .arg(ticksAfter - ticksBefore)
                     .arg(seconds, 0, 'f', 1)
                     .arg(WarmUpMs / 1000)
                     .arg(fine)
                     .arg(polls)
                     .arg(int(seconds * 4));
    if (polls < int(seconds * 4) / 2) {
        cpu.measured = false;
        cpu.detail = QStringLiteral("the tool polled only %1 times in %2 s: it is not working as it should")
                         .arg(polls)
                         .arg(seconds, 0, 'f', 1);
    }

    Figure mem;
    mem.label = memLabel;
    mem.unit = memUnit;
    mem.goal = 80;
    mem.measured = true;
    mem.value = rssKb / 1024.0;
    mem.detail = QStringLiteral("VmRSS after %1 s of polling").arg(ranSeconds, 0, 'f', 1);
    return {cpu, mem};
}

namespace {
// `moreSettings` goes at the end of the TESTER.INI the rig writes.
Figure startToFirstPoll(Figure f, const QByteArray &moreSettings)
{
    constexpr int Runs = 3;
    f.unit = QStringLiteral("s");
    f.goal = 0.5;

    std::vector<double> seconds;
    for (int run = 0; run < Runs; ++run) {
        Rig rig;
        QString error;
        if (!rig.prepare(&error)) {
            f.detail = error;
            return f;
        }
        QFile settings(QDir(rig.work).filePath(QStringLiteral("TESTER.INI")));
        if (!moreSettings.isEmpty() && (!settings.open(QIODevice::Append) || settings.write(moreSettings) != moreSettings.size())) {
            f.detail = QStringLiteral("cannot write TESTER.INI");
            return f;
        }
        settings.close();
        QElapsedTimer sinceStart;
        sinceStart.start();
        startTool(rig.tool, rig.work, rig.temp);
        const qint64 ms = rig.waitForFirstPoll(sinceStart, 10000);
        if (ms < 0) {
            f.detail = rig.tool.state() != QProcess::NotRunning ? QStringLiteral("the tool sent no poll within 10 s")
                                                                : rig.toolTrouble();
            return f;
        }
        seconds.push_back(ms / 1000.0);
    }
    QStringList each;
    for (double s : seconds)
        each << QString::number(s, 'f', 3);
    std::sort(seconds.begin(), seconds.end());
    f.measured = true;
    f.value = seconds[seconds.size() / 2];
    f.detail = QStringLiteral("median of %1 starts: %2 s (the first poll is due one poll interval, 250 ms, after "
                              "start-up)")
                   .arg(Runs)
                   .arg(each.join(QStringLiteral(", ")));
    return f;
}
}  // namespace

Figure measureStartToFirstPoll()
{
    return startToFirstPoll({QStringLiteral("c) start to first poll frame")}, {});
}

namespace {
// A history server that takes the connection and never says a word: a Unix socket of PostgreSQL's
// name that listens and never accepts, so the client waits its whole time-out on this machine alone.
class SilentServer
{
public:
    explicit SilentServer(const QString &folder)
    {
        const QByteArray path = QFile::encodeName(folder + QStringLiteral("/.s.PGSQL.5432"));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= int(sizeof address.sun_path))
            return;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (m_fd >= 0 && (::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(m_fd, 4) != 0)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~SilentServer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool listening() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
}  // namespace

Figure measureStartWithHistoryAway()
{
    // The history's connection waits its full 3 s on its own thread.
    QTemporaryDir folder(QStringLiteral("/tmp/vkb-XXXXXX"));
    const SilentServer server(folder.path());
    if (!server.listening()) {
        Figure f;
        f.label = QStringLiteral("c') the same, history server unreachable");
        f.detail = QStringLiteral("cannot make the silent server's socket");
        return f;
    }
    return startToFirstPoll({QStringLiteral("c') the same, history server unreachable")},
                            QStringLiteral("[Kartoteka]\r\nServer=%1\r\nUzivatel=dilna\r\n").arg(folder.path()).toUtf8());
}

Figure measureCpuWhilePortMissing()
{
    constexpr int WarmUpMs = 2000;
    constexpr int WindowMs = 6000;
    Figure f;
    f.label = QStringLiteral("e) tool CPU, port missing, tried 1/s");
    f.unit = QStringLiteral("%");
    f.goal = 1;

    QTemporaryDir root;
    if (!root.isValid() || !QDir(root.path()).mkpath(QStringLiteral("work")) || !QDir(root.path()).mkpath(QStringLiteral("tmp"))) {
        f.detail = QStringLiteral("cannot make temporary folders");
        return f;
    }
    const QString work = root.filePath(QStringLiteral("work"));
    if (!writeSettings(work, root.filePath(QStringLiteral("ttyGONE")), 250)) {
        f.detail = QStringLiteral("cannot write TESTER.INI");
        return f;
    }
    QProcess tool;
    startTool(tool, work, root.filePath(QStringLiteral("tmp")));
    if (!tool.waitForStarted(5000)) {
        f.detail = QStringLiteral("the tool did not start");
        return f;
    }
    // The start-up box about the missing port stays open meanwhile, as it would for a technician.
    pauseMs(WarmUpMs);
    const qint64 pid = tool.processId();
    const qint64 before = cpuTicks(pid);
    QElapsedTimer window;
    window.start();
    pauseMs(WindowMs);
    const qint64 after = cpuTicks(pid);
    const bool running = tool.state() == QProcess::Running;
    stopProcess(tool);
    if (!running || before < 0 || after < 0) {
        f.detail = running ? QStringLiteral("cannot read /proc for the tool") : QStringLiteral("the tool stopped");
        return f;
    }
    const double seconds = window.nsecsElapsed() / 1e9;
    f.measured = true;
    f.value = 100.0 * double(after - before) / ticksPerSecond() / seconds;
    f.detail = QStringLiteral("utime+stime: %1 ticks over %2 s, the port named in TESTER.INI never there")
                   .arg(after - before)
                   .arg(seconds, 0, 'f', 1);
    return f;
}

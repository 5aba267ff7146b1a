// The tool's CPU for each status poll at the fastest poll (20 ms), with the simulated unit's values
// moving as on a running engine and its bytes paced at line speed: on the tuning page and on the
// page "Aktualní", recording or not. On a real X display (Xvfb, the xcb platform) where Xvfb is
// installed, since painting there costs more than offscreen; offscreen otherwise, and then only
// the first page, as no keys can reach the tool to change pages.
#include "benchsupport.h"
#include "xdisplay.h"
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int PollMs = 20;
constexpr int WarmUpMs = 1500;
// The first page waits longer: the start (block read, port list) must not count.
constexpr int FirstWarmUpMs = 4000;
constexpr int WindowMs = 6000;

struct Phase
{
    const char *name;
    char key;  // Ctrl+key typed before it, 0 for none
};

// Ctrl+L the tuning page, Ctrl+A the page "Aktualní", Ctrl+R starts or stops a recording.
const Phase Phases[] = {
    {"tuning page", 0},
    {"\"Aktualní\"", 'a'},
    {"\"Aktualní\", recording", 'r'},
    {"tuning page, recording", 'l'},
    // No live value on screen: what the poll costs without painting, for comparison.
    {"recordings page, recording", 'g'},
};

bool recordingExists(const QString &folder)
{
    QDirIterator it(folder, {QStringLiteral("*.csv")}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext();
}

Figure pollFigure(const QString &where)
{
    Figure f;
    f.label = QStringLiteral("f) tool CPU a poll every 20 ms, moving values");
    f.unit = QStringLiteral("ms");
    f.goal = 0.25;
    f.detail = where;
    return f;
}

}  // namespace

Figure measurePollCost()
{
    QTemporaryDir root;
    XDisplay display;
    QString error;
    const bool onX = XDisplay::available() && display.start(&error);
    Figure f = pollFigure(onX ? QStringLiteral("on Xvfb %1 (xcb)").arg(display.name())
                              : QStringLiteral("offscreen (%1)").arg(error.isEmpty() ? QStringLiteral("no Xvfb") : error));
    if (!root.isValid() || !QDir(root.path()).mkpath(QStringLiteral("work")) || !QDir(root.path()).mkpath(QStringLiteral("tmp"))) {
        f.detail += QStringLiteral(": cannot make temporary folders");
        return f;
    }
    const QString work = root.filePath(QStringLiteral("work"));
    const QString log = root.filePath(QStringLiteral("unit.log"));
    QProcess sim, tool;
    QString pty;
    if (!startSimulator(sim, log, &pty, &error) || !writeSettings(work, pty, PollMs)) {
        f.detail += QStringLiteral(": ") + (error.isEmpty() ? QStringLiteral("cannot write TESTER.INI") : error);
        stopProcess(sim);
        return f;
    }
    startTool(tool, work, root.filePath(QStringLiteral("tmp")), onX ? display.name() : QString());
    QDeadlineTimer firstPoll(10000);
    while (!firstPoll.hasExpired() && tool.state() != QProcess::NotRunning && countLogLines(log, pollLogEntry()) == 0)
        pauseMs(5);

    QStringList each;
    double worst = 0;
    bool measuredAll = tool.state() == QProcess::Running && countLogLines(log, pollLogEntry()) > 0;
    if (!measuredAll)
        each << QStringLiteral("the tool sent no poll within 10 s");
    for (const Phase &phase : Phases) {
        if (!measuredAll || (phase.key && !onX))
            break;
        if (phase.key && !display.typeControlKey(tool.processId(), phase.key)) {
            each << QStringLiteral("no window of the tool to type Ctrl+%1 into").arg(QLatin1Char(phase.key));
            measuredAll = false;
            break;
        }
        pauseMs(phase.key ? WarmUpMs : FirstWarmUpMs);
        if (phase.key == 'r' && !recordingExists(work)) {
            each << QStringLiteral("Ctrl+R started no recording");
            measuredAll = false;
            break;
        }
        const qint64 pid = tool.processId();
        const qint64 nsBefore = cpuNs(pid);
        const int pollsBefore = countLogLines(log, pollLogEntry());
        pauseMs(WindowMs);
        const qint64 nsAfter = cpuNs(pid);
        const int polls = countLogLines(log, pollLogEntry()) - pollsBefore;
        if (tool.state() != QProcess::Running || nsBefore < 0 || nsAfter < 0 || polls < WindowMs / PollMs / 2) {
            each << QStringLiteral("%1: only %2 polls in %3 s").arg(QLatin1String(phase.name)).arg(polls).arg(WindowMs / 1000);
            measuredAll = false;
            break;
        }
        const double msPerPoll = double(nsAfter - nsBefore) / 1e6 / polls;
        worst = std::max(worst, msPerPoll);
        each << QStringLiteral("%1 %2 ms (%3 %)")
                    .arg(QString::fromUtf8(phase.name))
                    .arg(msPerPoll, 0, 'f', 3)
                    .arg(100.0 * msPerPoll / PollMs, 0, 'f', 2);
    }
    stopProcess(tool);
    stopProcess(sim);
    f.measured = measuredAll;
    f.value = worst;
    f.detail += QStringLiteral(", the worst of: ") + each.join(QStringLiteral("; "))
        + QStringLiteral(" (process CPU over %1 s / polls the unit answered)").arg(WindowMs / 1000);
    return f;
}

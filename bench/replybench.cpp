// How long one status reply takes from its bytes at the port to both live displays refreshed:
// the real main window on a port the bench feeds, painted by the offscreen platform.
#include "benchsupport.h"
#include "app/mainwindow.h"
#include "livepage/livevaluespage.h"
#include "link/linktransport.h"
#include "link/statuspoll.h"
#include "link/unitdata.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <ctime>

namespace {

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QByteArray statusReply(int i)
{
    QByteArray reply(6, '\0');
    reply[0] = 0x02;
    reply[1] = char((i * 3) & 0xFF);  // TPS
    reply[2] = char((i * 7) & 0xFF);  // lambda
    reply[3] = char((i * 5) & 0xFF);  // servo position
    reply[4] = 0;
    reply[5] = 0x03;
    return reply;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

}  // namespace

// CPU time of the calling thread: on a machine shared with other work, the time spent waiting for
// a processor is not the tool's.
qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct ReplyRun
{
    double meanUs = 0;
    double wallUs = 0;
    int paints = 0;
    QString problem;
};

ReplyRun runReplies(int count, int repaintEvery, bool livePage)
{
    ReplyRun run;
    QTemporaryDir folder;
    if (!folder.isValid() || !writeSettings(folder.path(), QStringLiteral("bench"), 250)) {
        run.problem = QStringLiteral("cannot prepare a work folder");
        return run;
    }
    BenchPort port;
    QuietPrompts prompts;
    MainWindow window(&port, &prompts);
    window.show();
    window.startUp(folder.path());
    // The bench brings the replies itself; the poll would only add its frames to the figure.
    window.link()->poll().disable();
    if (livePage)
        window.showPage(window.livePage());
    int statusErrors = 0;
    QObject::connect(window.statusPoll(), &StatusPoll::statusError, [&statusErrors] { ++statusErrors; });

    // The lambda bar of the page shown tells whether repaints really happen.
    QWidget *gauge = window.findChild<QWidget *>(livePage ? QStringLiteral("LaAnalog") : QStringLiteral("lambdaCG1"));
    PaintCounter counter;
    if (gauge)
        gauge->installEventFilter(&counter);
    settle();

    const int warmUp = 500;
    for (int i = 0; i < warmUp; ++i) {
        port.arrive(statusReply(i));
        if ((i + 1) % repaintEvery == 0)
            QCoreApplication::processEvents();
    }
    settle();
    counter.paints = 0;

    QElapsedTimer clock;
    clock.start();
    const qint64 cpuBefore = threadCpuNs();
    for (int i = 0; i < count; ++i) {
        port.arrive(statusReply(warmUp + i));
        if ((i + 1) % repaintEvery == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    const qint64 ns = threadCpuNs() - cpuBefore;
    const qint64 wallNs = clock.nsecsElapsed();

    run.meanUs = double(ns) / 1000.0 / count;
    run.wallUs = double(wallNs) / 1000.0 / count;
    run.paints = counter.paints;
    const QByteArray last = statusReply(warmUp + count - 1);
    if (!gauge)
        run.problem = QStringLiteral("the lambda bar was not found");
    else if (statusErrors || prompts.beeps || prompts.messages)
        run.problem = QStringLiteral("%1 replies were refused").arg(statusErrors);
    else if (window.statusPoll()->last().tps != quint8(last.at(1)) || window.statusPoll()->last().lambda != quint8(last.at(2)))
        run.problem = QStringLiteral("the last reply did not reach the live values");
    else if (run.paints == 0)
        run.problem = QStringLiteral("nothing was repainted");
    return run;
}

Figure measureReplyCost()
{
    constexpr int Count = 20000;
    constexpr int RepaintEvery = 10;
    Figure f;
    f.label = QStringLiteral("a) status reply to refreshed displays");
    f.unit = QStringLiteral("µs");
    f.goal = 15;

    const ReplyRun tuning = runReplies(Count, RepaintEvery, false);
    const ReplyRun live = runReplies(Count, RepaintEvery, true);
    const ReplyRun everyLive = runReplies(Count / 4, 1, true);
    for (const ReplyRun *r : {&tuning, &live, &everyLive}) {
        if (!r->problem.isEmpty()) {
            f.detail = r->problem;
            return f;
        }
    }
    // The figure is the worse of the two pages, each repainted every tenth reply.
    f.measured = true;
    f.value = std::max(tuning.meanUs, live.meanUs);
    f.detail = QStringLiteral("thread CPU, mean of %1 replies, repaint every %2: tuning page %3 µs (%4 paints), live "
                              "page %5 µs (%6 paints); live page repainted after every reply: %7 µs; wall clock: %8 "
                              "and %9 µs")
                   .arg(Count)
                   .arg(RepaintEvery)
                   .arg(tuning.meanUs, 0, 'f', 1)
                   .arg(tuning.paints)
                   .arg(live.meanUs, 0, 'f', 1)
                   .arg(live.paints)
                   .arg(everyLive.meanUs, 0, 'f', 1)
                   .arg(tuning.wallUs, 0, 'f', 1)
                   .arg(live.wallUs, 0, 'f', 1);
    return f;
}

// velkor_bench: prints each figure of the tool's speed and memory beside its goal.
//   velkor_bench            everything
//   velkor_bench reply      only the cost of one status reply (in-process, about 10 s)
//   velkor_bench process    only the figures of the running tool (about 25 s)
//   velkor_bench poll       only the tool's CPU a poll every 20 ms on a real display (about 35 s)
//   velkor_bench link       only the link under noise and its event-loop stalls (about 20 s)
//   velkor_bench settings   only the reading of TESTER.INI (a few seconds)
//   velkor_bench scope      only the oscilloscope's drawing and memory (about 5 s)
//   velkor_bench report     only the service report's time and size (a few seconds)
//   velkor_bench datalog    only the recordings: their cost, opening, repaint, memory (about 20 s)
//   velkor_bench analysis   only the analysis of a recorded drive (a second)
//   velkor_bench history    only the unit history on SQLite and PostgreSQL (about 30 s)
//   velkor_bench start      only start to first poll, with and without an unreachable history server
// It exits 1 when a figure could not be measured; a missed goal is printed, not a failure.
#include "benchsupport.h"
#include <QApplication>
#include <QThread>
#include <cstdio>
#include <vector>

Figure measureReplyCost();
std::vector<Figure> measureCpuAndMemory();
Figure measureStartToFirstPoll();
Figure measureStartWithHistoryAway();
std::vector<Figure> measureLink();
Figure measureSettingsRead();
std::vector<Figure> measureScope();
std::vector<Figure> measureDatalog();
Figure measureCpuWhilePortMissing();
Figure measurePollCost();
std::vector<Figure> measureReport();
std::vector<Figure> measureAnalysis();
std::vector<Figure> measureHistory();

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkor 2"));

    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("all");
    const bool all = which == QLatin1String("all");
    if (!all && which != QLatin1String("reply") && which != QLatin1String("process") && which != QLatin1String("link")
        && which != QLatin1String("settings") && which != QLatin1String("scope") && which != QLatin1String("report")
        && which != QLatin1String("datalog") && which != QLatin1String("analysis") && which != QLatin1String("poll")
        && which != QLatin1String("history") && which != QLatin1String("start")) {
        std::fprintf(stderr, "usage: %s [all|reply|process|link|poll|settings|scope|report|datalog|analysis|history|start]\n", argv[0]);
        return 2;
    }

    std::vector<Figure> figures;
    const auto report = [&figures](const Figure &f) {
        printFigure(f);
        figures.push_back(f);
    };
    std::printf("Velkor figures (Qt %s, %d cores)\n", qVersion(), QThread::idealThreadCount());
    if (all || which == QLatin1String("reply"))
        report(measureReplyCost());
    if (all || which == QLatin1String("link")) {
        for (const Figure &f : measureLink())
            report(f);
    }
    if (all || which == QLatin1String("process")) {
        const std::vector<Figure> running = measureCpuAndMemory();
        report(running.at(0));
        report(measureStartToFirstPoll());
        report(measureStartWithHistoryAway());
        report(running.at(1));
        report(measureCpuWhilePortMissing());
    }
    if (all || which == QLatin1String("poll"))
        report(measurePollCost());
    if (which == QLatin1String("start")) {
        report(measureStartToFirstPoll());
        report(measureStartWithHistoryAway());
    }
    if (all || which == QLatin1String("settings"))
        report(measureSettingsRead());
    if (all || which == QLatin1String("report")) {
        for (const Figure &f : measureReport())
            report(f);
    }
    if (all || which == QLatin1String("datalog")) {
        for (const Figure &f : measureDatalog())
            report(f);
    }
    if (all || which == QLatin1String("analysis")) {
        for (const Figure &f : measureAnalysis())
            report(f);
    }
    if (all || which == QLatin1String("history")) {
        for (const Figure &f : measureHistory())
            report(f);
    }
    // Last: the full recording it keeps would weigh on the other figures.
    if (all || which == QLatin1String("scope")) {
        for (const Figure &f : measureScope())
            report(f);
    }
    for (const Figure &f : figures) {
        if (!f.measured)
            return 1;
    }
    return 0;
}

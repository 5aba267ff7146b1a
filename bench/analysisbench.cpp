// The analysis of a recorded drive: how long an hour at the 20 ms poll takes, and its memory.
#include "benchsupport.h"
#include "analysis/driveanalyzer.h"
#include "datalog/analysiscontrol.h"
#include "datalog/driveinputbuilder.h"
#include "datalog/recording.h"
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int HourRows = 180000;

// An hour through the four ranges: the probe switching, the servo chasing it, now and then a
// missing reply.
DriveInput hourDrive()
{
    DriveInput input;
    DriveSet set;
    set.stopMax = {120, 140, 160, 180};
    set.stopMin = {40, 60, 80, 100};
    set.tpsThresholds = {50, 100, 150};
    set.lambdaThreshold = 22;
    input.sets.push_back(set);
    input.gapMs = 100;
    input.rows.reserve(HourRows);
    int pos = 100;
    for (int i = 0; i < HourRows; ++i) {
        DriveRow row;
        row.ms = i * 20;
        row.tps = quint8(std::lround(100 + 95 * std::sin(i / 3000.0)));
        const bool lean = i % 60 < 30;
        pos = std::clamp(pos + (lean ? 1 : -1), 40, 180);
        row.lambda = quint8(lean ? 8 + i % 5 : 38 + i % 5);
        row.position = quint8(pos);
        row.flags = i % 1000 == 999 ? 0 : DriveRow::Values;
        input.rows.push_back(row);
    }
    return input;
}
}

std::vector<Figure> measureAnalysis()
{
    const DriveInput input = hourDrive();
    std::vector<double> ms;
    DriveAnalysis result;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        result = analyseDrive(input, AnalysisLimits());
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    Figure time;
    time.label = QStringLiteral("k) analysing a 180 000-row recording");
    time.unit = QStringLiteral("ms");
    time.goal = 100;
    time.value = ms[ms.size() / 2];
    time.measured = result.rows == HourRows && result.whole.steadyMs > 0;
    time.detail = QStringLiteral("median of 5, one pass over the rows, figures, verdicts and proposals");

    // The recording as the page holds it, converted in the slices the window's thread runs
    // between events: the longest slice is what the window waits at most.
    Recording recording;
    recording.reserve(HourRows);
    for (const DriveRow &row : input.rows)
        recording.addRow(row.ms, -1, row.flags & DriveRow::Values, row.lambda, row.tps, row.position, QString(),
                         row.flags & DriveRow::Values ? QString() : QStringLiteral("bez odpovědi"));
    double longest = 0;
    DriveInputBuilder builder(&recording, input.sets, false);
    bool done = false;
    while (!done) {
        QElapsedTimer clock;
        clock.start();
        done = builder.step(AnalysisControl::SliceRows);
        longest = std::max(longest, clock.nsecsElapsed() / 1e6);
    }
    Figure slice;
    slice.label = QStringLiteral("l) longest slice the window runs for it");
    slice.unit = QStringLiteral("ms");
    slice.goal = 16;
    slice.value = longest;
    slice.measured = builder.result()->rows.size() == std::size_t(HourRows);
    slice.detail = QStringLiteral("%1 rows a slice turned into the analysis's rows; the analysis itself runs on a worker thread")
                       .arg(AnalysisControl::SliceRows);

    Figure memory;
    memory.label = QStringLiteral("m) the analysis's copy of the rows");
    memory.unit = QStringLiteral("bytes a row");
    memory.goal = 26;  // twice the recording's own 13 bytes a row
    memory.value = double(sizeof(DriveRow));
    memory.measured = true;
    memory.detail = QStringLiteral("the rows the analysis reads; the recording keeps 13 bytes a row");
    return {time, slice, memory};
}

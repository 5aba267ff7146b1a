#include "verdicts.h"
#include <algorithm>

namespace {
Verdict atLeast(double value, double green, double amber)
{
    return value >= green ? Verdict::Green : value >= amber ? Verdict::Amber : Verdict::Red;
}
Verdict atMost(double value, double green, double amber)
{
    return value <= green ? Verdict::Green : value <= amber ? Verdict::Amber : Verdict::Red;
}
}

void judge(RangeFigures &f, const AnalysisLimits &limits, bool probe5V)
{
    f.switching = f.transitions = f.high = f.low = f.atMax = f.atMin = Verdict::None;
    if (!f.enoughData)
        return;
    const double scale = probe5V ? 5.0 / 1.2 : 1.0;
    f.switching = atLeast(f.crossingsPer10s, limits.switchingGreen, limits.switchingAmber);
    double slowest = -1;
    for (const TransitionFigure *t : {&f.leanToRich, &f.richToLean})
        if (t->timed())
            slowest = std::max(slowest, t->meanS);
    if (slowest >= 0)
        f.transitions = atMost(slowest, limits.transitionAmberS, limits.transitionRedS);
    if (f.lambdaHigh >= 0) {
        f.high = atLeast(f.lambdaHigh * 0.02, limits.highGreenV * scale, limits.highAmberV * scale);
        f.low = atMost(f.lambdaLow * 0.02, limits.lowGreenV * scale, limits.lowAmberV * scale);
    }
    // Below the amber share is green; from it amber, from the red share red.
    const auto stopVerdict = [&limits](double share) {
        return share < limits.stopShareAmber ? Verdict::Green : share < limits.stopShareRed ? Verdict::Amber : Verdict::Red;
    };
    f.atMax = stopVerdict(f.atMaxShare);
    f.atMin = stopVerdict(f.atMinShare);
}

void judgeWholeByWorstRange(DriveAnalysis &analysis)
{
    RangeFigures &whole = analysis.whole;
    for (const RangeFigures &range : analysis.ranges)
        for (auto verdict : {&RangeFigures::switching, &RangeFigures::transitions, &RangeFigures::high, &RangeFigures::low,
                             &RangeFigures::atMax, &RangeFigures::atMin})
            if (whole.*verdict != Verdict::None)
                whole.*verdict = std::max(whole.*verdict, range.*verdict);
}

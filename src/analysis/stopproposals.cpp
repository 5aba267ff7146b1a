#include "stopproposals.h"
#include <QtMath>
#include <algorithm>
#include <cstdlib>

EnrichDirection learnDirection(qint64 towardsMax, qint64 towardsMin, const AnalysisLimits &limits, QString *why)
{
    const qint64 moves = towardsMax + towardsMin;
    const auto say = [why](const QString &text) {
        if (why)
            *why = text;
    };
    if (moves < limits.directionMinMoves) {
        say(QStringLiteral("servo se v ustáleném čase téměř nepohnulo (%1 kroků)").arg(moves));
        return EnrichDirection::Unknown;
    }
    if (towardsMax >= limits.directionRatio * double(towardsMin)) {
        say(QStringLiteral("při chudé směsi servo jde k MAX (%1 z %2 kroků)").arg(towardsMax).arg(moves));
        return EnrichDirection::TowardsMax;
    }
    if (towardsMin >= limits.directionRatio * double(towardsMax)) {
        say(QStringLiteral("při chudé směsi servo jde k MIN (%1 z %2 kroků)").arg(towardsMin).arg(moves));
        return EnrichDirection::TowardsMin;
    }
    say(QStringLiteral("směr obohacení nejasný (k MAX %1, k MIN %2 kroků)").arg(towardsMax).arg(towardsMin));
    return EnrichDirection::Unknown;
}

namespace {
int percent(double share)
{
    return qRound(share * 100);
}

// One stop moved outwards, or nothing when a limit leaves no room.
bool propose(int range, bool maxStop, bool lean, double stopShare, double sideShare, const DriveSet &current,
             const DriveSet &recorded, const AnalysisLimits &limits, StopProposal *out)
{
    const std::size_t r = std::size_t(range);
    const int from = maxStop ? current.stopMax[r] : current.stopMin[r];
    const int reference = maxStop ? recorded.stopMax[r] : recorded.stopMin[r];
    int to = maxStop ? std::min({from + limits.proposalStep, reference + limits.proposalDistance, DriveSet::StopMaxLimit})
                     : std::max({from - limits.proposalStep, reference - limits.proposalDistance, 0});
    // A set that already breaks MAX >= MIN gets nothing that would keep it broken.
    const int newMax = maxStop ? to : current.stopMax[r];
    const int newMin = maxStop ? current.stopMin[r] : to;
    if ((maxStop ? to <= from : to >= from) || newMax < newMin || std::abs(to - reference) > limits.proposalDistance)
        return false;
    out->range = range;
    out->maxStop = maxStop;
    out->from = from;
    out->to = to;
    out->stopShare = stopShare;
    out->sideShare = sideShare;
    out->lean = lean;
    out->reason = QStringLiteral("%1, doraz %2 %3 → %4: servo na dorazu %5 % ustáleného času, %6 %7 %")
                      .arg(rangeCaption(range), maxStop ? QStringLiteral("MAX") : QStringLiteral("MIN"))
                      .arg(from)
                      .arg(to)
                      .arg(percent(stopShare))
                      .arg(lean ? QStringLiteral("chudá") : QStringLiteral("bohatá"))
                      .arg(percent(sideShare));
    return true;
}
}

std::vector<StopProposal> proposeStops(const DriveAnalysis &analysis, const DriveSet &current, const DriveSet &recorded,
                                       const AnalysisLimits &limits)
{
    std::vector<StopProposal> proposals;
    if (analysis.direction == EnrichDirection::Unknown)
        return proposals;
    const bool enrichUp = analysis.direction == EnrichDirection::TowardsMax;
    for (int r = 0; r < DriveAnalysis::Ranges; ++r) {
        const RangeFigures &f = analysis.ranges[std::size_t(r)];
        if (!f.enoughData)
            continue;
        // The enriching stop while lean, then the leaning stop while rich.
        const struct
        {
            bool maxStop;
            bool lean;
        } cases[2] = {{enrichUp, true}, {!enrichUp, false}};
        for (const auto &c : cases) {
            const double stopShare = c.maxStop ? f.atMaxShare : f.atMinShare;
            const double sideShare = c.maxStop ? (c.lean ? f.leanAtMax : f.richAtMax) : (c.lean ? f.leanAtMin : f.richAtMin);
            StopProposal p;
            if (stopShare >= limits.proposalStopShare && sideShare >= limits.proposalSideShare
                && propose(r, c.maxStop, c.lean, stopShare, sideShare, current, recorded, limits, &p))
                proposals.push_back(p);
        }
    }
    return proposals;
}

DriveSet applyProposals(DriveSet set, const std::vector<StopProposal> &proposals)
{
    for (const StopProposal &p : proposals)
        (p.maxStop ? set.stopMax : set.stopMin)[std::size_t(p.range)] = p.to;
    return set;
}

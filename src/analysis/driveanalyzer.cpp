#include "driveanalyzer.h"
#include "stopproposals.h"
#include "verdicts.h"
#include <QLocale>
#include <algorithm>
#include <climits>
#include <cmath>

QString rangeCaption(int range)
{
    static const char *const names[DriveAnalysis::Ranges] = {"Volnoběh", "Malý výkon", "Velký výkon",
                                                             "Maximální výkon"};
    return range >= 0 && range < DriveAnalysis::Ranges ? QString::fromUtf8(names[range]) : QString();
}

namespace {
// Sums of one range (or of the whole drive) during the pass.
struct Sums
{
    qint64 timeMs = 0, steadyMs = 0, richMs = 0, leanMs = 0;
    int crossings = 0;
    double posSum = 0, posSquares = 0;
    int posLow = INT_MAX, posHigh = -1, lambdaLow = INT_MAX, lambdaHigh = -1;
    qint64 atMaxMs = 0, atMinMs = 0, leanAtMaxMs = 0, richAtMaxMs = 0, leanAtMinMs = 0, richAtMinMs = 0;
    qint64 riseMs = 0, fallMs = 0;
    int rises = 0, falls = 0;
    std::array<int, 3> tpsCrossings{};
};

// The probe's levels in a set's steps.
struct ProbeLevels
{
    int low = 15, high = 30;
};

ProbeLevels levelsOf(const DriveSet &set, const AnalysisLimits &limits)
{
    const double scale = set.probe5V ? 5.0 / 1.2 : 1.0;
    return {int(std::lround(limits.transitionLowV * scale / 0.02)), int(std::lround(limits.transitionHighV * scale / 0.02))};
}

double share(qint64 part, qint64 whole)
{
    return whole > 0 ? double(part) / double(whole) : 0.0;
}

RangeFigures figuresOf(const Sums &s, qint64 driveMs, const AnalysisLimits &limits, bool reversed)
{
    RangeFigures f;
    f.timeMs = s.timeMs;
    f.timeShare = share(s.timeMs, driveMs);
    f.steadyMs = s.steadyMs;
    f.enoughData = double(s.steadyMs) >= limits.minSteadyS * 1000.0;
    f.crossings = s.crossings;
    f.crossingsPer10s = s.steadyMs > 0 ? s.crossings * 10000.0 / double(s.steadyMs) : 0;
    f.richShare = share(s.richMs, s.steadyMs);
    f.leanShare = share(s.leanMs, s.steadyMs);
    TransitionFigure rise{s.rises, s.rises ? double(s.riseMs) / s.rises / 1000.0 : 0, {}};
    TransitionFigure fall{s.falls, s.falls ? double(s.fallMs) / s.falls / 1000.0 : 0, {}};
    // Rising voltage is lean to rich unless the logic is reversed.
    f.leanToRich = reversed ? fall : rise;
    f.richToLean = reversed ? rise : fall;
    if (s.lambdaHigh >= 0) {
        f.lambdaLow = s.lambdaLow;
        f.lambdaHigh = s.lambdaHigh;
        f.servoLow = s.posLow;
        f.servoHigh = s.posHigh;
    }
    if (s.steadyMs > 0) {
        const double n = double(s.steadyMs);
        f.servoMean = s.posSum / n;
        f.servoSpread = std::sqrt(std::max(0.0, s.posSquares / n - f.servoMean * f.servoMean));
    }
    f.atMaxShare = share(s.atMaxMs, s.steadyMs);
    f.atMinShare = share(s.atMinMs, s.steadyMs);
    f.leanAtMax = share(s.leanAtMaxMs, s.atMaxMs);
    f.richAtMax = share(s.richAtMaxMs, s.atMaxMs);
    f.leanAtMin = share(s.leanAtMinMs, s.atMinMs);
    f.richAtMin = share(s.richAtMinMs, s.atMinMs);
    const double minutes = double(s.timeMs) / 60000.0;
    for (int k = 0; k < 3; ++k)
        f.tpsCrossingsPerMin[std::size_t(k)] = minutes > 0 ? s.tpsCrossings[std::size_t(k)] / minutes : 0;
    return f;
}

// The middle of the times between rows with values, from a histogram: no sort of 180 000 values.
qint64 medianStep(const std::vector<int> &histogram, qint64 count)
{
    qint64 seen = 0;
    for (std::size_t ms = 0; ms < histogram.size(); ++ms) {
        seen += histogram[ms];
        if (seen * 2 >= count)
            return qint64(ms);
    }
    return qint64(histogram.size());
}
}

DriveAnalysis analyseDrive(const DriveInput &input, const AnalysisLimits &limits, int first, int last)
{
    DriveAnalysis result;
    result.setFromTool = input.setFromTool;
    const int rowCount = int(input.rows.size());
    if (last < 0 || last > rowCount)
        last = rowCount;
    first = std::clamp(first, 0, last);
    result.rows = last - first;
    if (first == last || input.sets.empty()) {
        result.directionWhy = QStringLiteral("žádné řádky s hodnotami");
        return result;
    }

    std::vector<ProbeLevels> levels;
    for (const DriveSet &set : input.sets)
        levels.push_back(levelsOf(set, limits));

    std::array<Sums, DriveAnalysis::Ranges> sums;
    Sums whole;
    const qint64 settleMs = qint64(std::lround(limits.settleS * 1000));
    std::vector<int> stepHistogram(1001, 0);
    qint64 steps = 0;
    qint64 movesTowardsMax = 0, movesTowardsMin = 0;

    qint64 disturbedAt = input.rows[std::size_t(first)].ms;  // nothing is known before the start
    int previous = -1;         // the previous row with values, joined to this one
    bool previousSteady = false;
    int previousRange = -1;
    int side = 0;              // +1 above the threshold, -1 below, 0 not yet known
    int level = 0;             // +1 last at the high level, -1 at the low one
    qint64 levelMs = 0;
    const auto restart = [&](qint64 ms) {
        disturbedAt = ms;
        side = 0;
        level = 0;
    };

    for (int i = first; i < last; ++i) {
        const DriveRow &row = input.rows[std::size_t(i)];
        const std::size_t setIndex = std::min<std::size_t>(row.set, input.sets.size() - 1);
        const DriveSet &set = input.sets[setIndex];
        const bool afterGap = i > first && row.ms - input.rows[std::size_t(i - 1)].ms > input.gapMs;
        if (!row.has(DriveRow::Values) || row.has(DriveRow::Measuring)) {
            restart(row.ms);
            previous = -1;
            previousSteady = false;
            continue;
        }
        if (afterGap)
            previous = -1;
        if (afterGap || row.has(DriveRow::SetWritten))
            restart(row.ms);
        const int range = set.rangeOf(row.tps);
        if (previousRange >= 0 && range != previousRange)
            restart(row.ms);
        if (previous >= 0) {
            const DriveRow &before = input.rows[std::size_t(previous)];
            const qint64 step = row.ms - before.ms;
            ++stepHistogram[std::size_t(std::clamp<qint64>(step, 0, 1000))];
            ++steps;
            for (int k = 0; k < 3; ++k) {
                const int t = set.tpsThresholds[std::size_t(k)];
                if ((before.tps <= t) != (row.tps <= t)) {
                    ++sums[std::size_t(previousRange)].tpsCrossings[std::size_t(k)];
                    ++whole.tpsCrossings[std::size_t(k)];
                }
            }
        }

        const DriveRow *next = i + 1 < last ? &input.rows[std::size_t(i + 1)] : nullptr;
        const qint64 dt = next && next->ms - row.ms <= input.gapMs ? next->ms - row.ms : 0;
        Sums &r = sums[std::size_t(range)];
        r.timeMs += dt;
        whole.timeMs += dt;

        const bool steady = row.ms - disturbedAt >= settleMs;
        if (steady) {
            const bool rich = set.rich(row.lambda);
            const bool atMax = row.position >= set.stopMax[std::size_t(range)] - 1;
            const bool atMin = row.position <= set.stopMin[std::size_t(range)] + 1;
            int s = side;
            if (row.lambda >= set.lambdaThreshold + limits.hysteresisSteps && row.lambda > set.lambdaThreshold)
                s = 1;
            else if (row.lambda <= set.lambdaThreshold - limits.hysteresisSteps && row.lambda < set.lambdaThreshold)
                s = -1;
            const bool crossed = side != 0 && s != side;
            side = s;
            int rise = -1, fall = -1;
            const ProbeLevels &lv = levels[setIndex];
            if (row.lambda <= lv.low) {
                if (level == 1)
                    fall = int(row.ms - levelMs);
                level = -1;
                levelMs = row.ms;
            } else if (row.lambda >= lv.high) {
                if (level == -1)
                    rise = int(row.ms - levelMs);
                level = 1;
                levelMs = row.ms;
            }
            for (Sums *t : {&r, &whole}) {
                t->steadyMs += dt;
                (rich ? t->richMs : t->leanMs) += dt;
                t->crossings += crossed;
                t->posSum += double(row.position) * dt;
                t->posSquares += double(row.position) * row.position * dt;
                t->posLow = std::min<int>(t->posLow, row.position);
                t->posHigh = std::max<int>(t->posHigh, row.position);
                t->lambdaLow = std::min<int>(t->lambdaLow, row.lambda);
                t->lambdaHigh = std::max<int>(t->lambdaHigh, row.lambda);
                if (atMax) {
                    t->atMaxMs += dt;
                    (rich ? t->richAtMaxMs : t->leanAtMaxMs) += dt;
                }
                if (atMin) {
                    t->atMinMs += dt;
                    (rich ? t->richAtMinMs : t->leanAtMinMs) += dt;
                }
                if (rise >= 0) {
                    t->riseMs += rise;
                    ++t->rises;
                }
                if (fall >= 0) {
                    t->fallMs += fall;
                    ++t->falls;
                }
            }
            if (previousSteady) {
                const DriveRow &before = input.rows[std::size_t(previous)];
                const int move = int(row.position) - int(before.position);
                const bool wasRich = input.sets[std::min<std::size_t>(before.set, input.sets.size() - 1)].rich(before.lambda);
                // Moving up while lean, or down while rich, says the servo enriches upwards.
                if ((move > 0) != wasRich)
                    movesTowardsMax += std::abs(move);
                else
                    movesTowardsMin += std::abs(move);
            }
        } else {
            side = 0;
            level = 0;
        }
        previous = i;
        previousSteady = steady;
        previousRange = range;
    }

    const DriveSet &endSet = input.sets[std::min<std::size_t>(input.rows[std::size_t(last - 1)].set, input.sets.size() - 1)];
    for (int r = 0; r < DriveAnalysis::Ranges; ++r) {
        RangeFigures &f = result.ranges[std::size_t(r)];
        f = figuresOf(sums[std::size_t(r)], whole.timeMs, limits, endSet.reversedLogic);
        f.stopMax = endSet.stopMax[std::size_t(r)];
        f.stopMin = endSet.stopMin[std::size_t(r)];
    }
    result.whole = figuresOf(whole, whole.timeMs, limits, endSet.reversedLogic);
    result.medianPollMs = steps ? medianStep(stepHistogram, steps) : 0;

    const QString slow = result.medianPollMs > limits.transitionPollMaxMs
        ? QStringLiteral("řádky po %1 ms, přechod nelze změřit (nutno nejvýše %2 ms)")
              .arg(result.medianPollMs)
              .arg(limits.transitionPollMaxMs)
        : QString();
    const ProbeLevels &lv = levels[std::min<std::size_t>(input.rows[std::size_t(last - 1)].set, input.sets.size() - 1)];
    const QString none = QStringLiteral("žádný přechod mezi %1 V a %2 V")
                             .arg(QLocale(QLocale::Czech).toString(lv.low * 0.02, 'f', 2),
                                  QLocale(QLocale::Czech).toString(lv.high * 0.02, 'f', 2));
    for (RangeFigures *f : allFigures(result)) {
        for (TransitionFigure *t : {&f->leanToRich, &f->richToLean}) {
            if (!slow.isEmpty())
                t->why = slow;
            else if (t->count == 0)
                t->why = none;
        }
        judge(*f, limits, endSet.probe5V);
    }

    result.direction = learnDirection(movesTowardsMax, movesTowardsMin, limits, &result.directionWhy);
    const DriveSet &recorded = input.sets[std::min<std::size_t>(input.rows.front().set, input.sets.size() - 1)];
    result.proposals = proposeStops(result, endSet, recorded, limits);
    return result;
}

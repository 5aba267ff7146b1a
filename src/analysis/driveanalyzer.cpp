#include "driveanalyzer.h"
#include "drivetrackers.h"
#include "stopproposals.h"
#include "verdicts.h"
#include <QLocale>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

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
    qint64 atMaxMs = 0, atMinMs = 0;
    // Time at a stop while the probe, as the unit saw it at each lag, said lean.
    std::array<qint64, ProbeLags::Count> leanAtMaxMs{}, leanAtMinMs{};
    qint64 riseMs = 0, fallMs = 0;
    int rises = 0, falls = 0;
    std::array<int, 3> tpsCrossings{};
};

LevelTransitions::Levels levelsOf(const DriveSet &set, const AnalysisLimits &limits)
{
    const double scale = set.probe5V ? 5.0 / 1.2 : 1.0;
    return {int(std::lround(limits.transitionLowV * scale / 0.02)), int(std::lround(limits.transitionHighV * scale / 0.02))};
}

double share(qint64 part, qint64 whole)
{
    return whole > 0 ? double(part) / double(whole) : 0.0;
}

RangeFigures figuresOf(const Sums &s, qint64 driveMs, const AnalysisLimits &limits, bool reversed, int lag)
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
    const qint64 leanAtMax = s.leanAtMaxMs[std::size_t(lag)], leanAtMin = s.leanAtMinMs[std::size_t(lag)];
    f.leanAtMax = share(leanAtMax, s.atMaxMs);
    f.richAtMax = share(s.atMaxMs - leanAtMax, s.atMaxMs);
    f.leanAtMin = share(leanAtMin, s.atMinMs);
    f.richAtMin = share(s.atMinMs - leanAtMin, s.atMinMs);
    const double minutes = double(s.timeMs) / 60000.0;
    for (int k = 0; k < 3; ++k)
        f.tpsCrossingsPerMin[std::size_t(k)] = minutes > 0 ? s.tpsCrossings[std::size_t(k)] / minutes : 0;
    return f;
}

// A steady row's share in the sums of its range and of the whole drive.
struct SteadyRow
{
    const DriveRow &row;
    qint64 dt;
    bool rich, atMax, atMin, crossed;
    LevelTransitions::Timed timed;
    ProbeLags seen;
};

void addSteady(Sums &t, const SteadyRow &s)
{
    const int position = s.row.position, lambda = s.row.lambda;
    t.steadyMs += s.dt;
    (s.rich ? t.richMs : t.leanMs) += s.dt;
    t.crossings += s.crossed;
    t.posSum += double(position) * s.dt;
    t.posSquares += double(position) * position * s.dt;
    t.posLow = std::min(t.posLow, position);
    t.posHigh = std::max(t.posHigh, position);
    t.lambdaLow = std::min(t.lambdaLow, lambda);
    t.lambdaHigh = std::max(t.lambdaHigh, lambda);
    t.atMaxMs += s.atMax ? s.dt : 0;
    t.atMinMs += s.atMin ? s.dt : 0;
    for (std::size_t lag = 0; lag < s.seen.rich.size(); ++lag) {
        const bool lean = !s.seen.rich[lag];
        t.leanAtMaxMs[lag] += s.atMax && lean ? s.dt : 0;
        t.leanAtMinMs[lag] += s.atMin && lean ? s.dt : 0;
    }
    if (s.timed.riseMs >= 0) {
        t.riseMs += s.timed.riseMs;
        ++t.rises;
    }
    if (s.timed.fallMs >= 0) {
        t.fallMs += s.timed.fallMs;
        ++t.falls;
    }
}

// One pass over rows [first, last): what each range and the whole drive did.
class DrivePass
{
public:
    DrivePass(const DriveInput &input, const AnalysisLimits &limits, int first, int last)
        : m_input(input), m_limits(limits), m_first(first), m_last(last),
          m_clock(input.rows[std::size_t(first)].ms, qint64(std::lround(limits.settleS * 1000)))
    {
        for (const DriveSet &set : input.sets)
            m_levels.push_back(levelsOf(set, limits));
    }
    void take(int i);
    std::size_t setOf(const DriveRow &row) const { return std::min<std::size_t>(row.set, m_input.sets.size() - 1); }
    const LevelTransitions::Levels &levels(std::size_t set) const { return m_levels[set]; }

    std::array<Sums, DriveAnalysis::Ranges> sums;
    Sums whole;
    PollSteps steps;
    DirectionMoves moves;

private:
    // The row before, when nothing came between them: no gap, no missing reply, no measurement.
    struct Joined
    {
        const DriveRow *row;
        bool steady;
    };
    void forgetRow()
    {
        m_previous.reset();
        m_history.forget();
    }
    void disturb(qint64 ms)
    {
        m_clock.disturb(ms);
        m_side.forget();
        m_transitions.forget();
    }
    void countJoin(const DriveRow &before, const DriveRow &row, const DriveSet &set);
    SteadyRow steadyRow(const DriveRow &row, std::size_t setIndex, int range, qint64 dt);

    const DriveInput &m_input;
    const AnalysisLimits &m_limits;
    const int m_first, m_last;
    std::vector<LevelTransitions::Levels> m_levels;
    SettleClock m_clock;
    ThresholdSide m_side;
    LevelTransitions m_transitions;
    ProbeHistory m_history;
    std::optional<Joined> m_previous;
    int m_previousRange = -1;  // outlives a gap: a range change after one still disturbs
};

void DrivePass::take(int i)
{
    const DriveRow &row = m_input.rows[std::size_t(i)];
    const std::size_t setIndex = setOf(row);
    const DriveSet &set = m_input.sets[setIndex];
    const bool afterGap = i > m_first && row.ms - m_input.rows[std::size_t(i - 1)].ms > m_input.gapMs;
    if (!row.has(DriveRow::Values) || row.has(DriveRow::Measuring)) {
        disturb(row.ms);
        forgetRow();
        return;
    }
    if (afterGap)
        forgetRow();
    m_history.add(row.ms, set.rich(row.lambda));
    if (afterGap || row.has(DriveRow::SetWritten))
        disturb(row.ms);
    const int range = set.rangeOf(row.tps);
    if (m_previousRange >= 0 && range != m_previousRange)
        disturb(row.ms);
    if (m_previous)
        countJoin(*m_previous->row, row, set);

    const DriveRow *next = i + 1 < m_last ? &m_input.rows[std::size_t(i + 1)] : nullptr;
    const qint64 dt = next && next->ms - row.ms <= m_input.gapMs ? next->ms - row.ms : 0;
    Sums &r = sums[std::size_t(range)];
    r.timeMs += dt;
    whole.timeMs += dt;

    const bool steady = m_clock.steady(row.ms);
    if (steady) {
        const SteadyRow s = steadyRow(row, setIndex, range, dt);
        addSteady(r, s);
        addSteady(whole, s);
        if (m_previous && m_previous->steady)
            moves.add(int(row.position) - int(m_previous->row->position), s.seen);
    } else {
        m_side.forget();
        m_transitions.forget();
    }
    m_previous = Joined{&row, steady};
    m_previousRange = range;
}

void DrivePass::countJoin(const DriveRow &before, const DriveRow &row, const DriveSet &set)
{
    steps.add(row.ms - before.ms);
    for (std::size_t k = 0; k < 3; ++k) {
        const int t = set.tpsThresholds[k];
        if ((before.tps <= t) != (row.tps <= t)) {
            ++sums[std::size_t(m_previousRange)].tpsCrossings[k];
            ++whole.tpsCrossings[k];
        }
    }
}

SteadyRow DrivePass::steadyRow(const DriveRow &row, std::size_t setIndex, int range, qint64 dt)
{
    const DriveSet &set = m_input.sets[setIndex];
    const bool crossed = m_side.crosses(row.lambda, set.lambdaThreshold, m_limits.hysteresisSteps);
    return {row,
            dt,
            set.rich(row.lambda),
            row.position >= set.stopMax[std::size_t(range)] - 1,
            row.position <= set.stopMin[std::size_t(range)] + 1,
            crossed,
            m_transitions.take(row.lambda, row.ms, m_levels[setIndex]),
            m_history.seenAt(row.ms)};
}
}  // namespace

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

    DrivePass pass(input, limits, first, last);
    for (int i = first; i < last; ++i)
        pass.take(i);
    const std::array<Sums, DriveAnalysis::Ranges> &sums = pass.sums;
    const Sums &whole = pass.whole;

    const DriveSet &endSet = input.sets[pass.setOf(input.rows[std::size_t(last - 1)])];
    const int lag = pass.moves.bestLag();
    result.probeLagMs = lag * ProbeLags::StepMs;
    for (int r = 0; r < DriveAnalysis::Ranges; ++r) {
        RangeFigures &f = result.ranges[std::size_t(r)];
        f = figuresOf(sums[std::size_t(r)], whole.timeMs, limits, endSet.reversedLogic, lag);
        f.stopMax = endSet.stopMax[std::size_t(r)];
        f.stopMin = endSet.stopMin[std::size_t(r)];
    }
    result.whole = figuresOf(whole, whole.timeMs, limits, endSet.reversedLogic, lag);
    result.medianPollMs = pass.steps.median();

    const QString slow = result.medianPollMs > limits.transitionPollMaxMs
        ? QStringLiteral("řádky po %1 ms, přechod nelze změřit (nutno nejvýše %2 ms)")
              .arg(result.medianPollMs)
              .arg(limits.transitionPollMaxMs)
        : QString();
    const LevelTransitions::Levels &lv = pass.levels(pass.setOf(input.rows[std::size_t(last - 1)]));
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
    judgeWholeByWorstRange(result);

    result.direction = learnDirection(pass.moves.towardsMax(lag), pass.moves.towardsMin(lag), limits, &result.directionWhy);
    // The guard's reference is the set the recording started with, in whichever part it was
    // kept: a later part measures its proposals from there too, so parts cannot creep.
    const DriveSet &recorded = input.sets.front();
    result.proposals = proposeStops(result, endSet, recorded, limits);
    return result;
}

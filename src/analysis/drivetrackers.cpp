#include "drivetrackers.h"
#include <algorithm>
#include <cstdlib>
#include <iterator>

bool ThresholdSide::crosses(int lambda, int threshold, int hysteresisSteps)
{
    Side now = m_side;
    if (lambda >= threshold + hysteresisSteps && lambda > threshold)
        now = Side::Above;
    else if (lambda <= threshold - hysteresisSteps && lambda < threshold)
        now = Side::Below;
    const bool crossed = m_side != Side::Unknown && now != m_side;
    m_side = now;
    return crossed;
}

LevelTransitions::Timed LevelTransitions::take(int lambda, qint64 ms, const Levels &levels)
{
    Timed timed;
    if (lambda <= levels.low) {
        if (m_level == Level::High)
            timed.fallMs = int(ms - m_sinceMs);
        m_level = Level::Low;
        m_sinceMs = ms;
    } else if (lambda >= levels.high) {
        if (m_level == Level::Low)
            timed.riseMs = int(ms - m_sinceMs);
        m_level = Level::High;
        m_sinceMs = ms;
    }
    return timed;
}

void PollSteps::add(qint64 stepMs)
{
    ++m_histogram[std::size_t(std::clamp<qint64>(stepMs, 0, qint64(m_histogram.size()) - 1))];
    ++m_count;
}

qint64 PollSteps::median() const
{
    if (m_count == 0)
        return 0;
    qint64 seen = 0;
    for (std::size_t ms = 0; ms < m_histogram.size(); ++ms) {
        seen += m_histogram[ms];
        if (seen * 2 >= m_count)
            return qint64(ms);
    }
    return qint64(m_histogram.size());
}

void ProbeHistory::add(qint64 ms, bool rich)
{
    m_rows.push_back({ms, rich});
    const qint64 oldestNeeded = ms - qint64(ProbeLags::Count - 1) * ProbeLags::StepMs;
    while (m_rows.size() > 1 && m_rows[1].ms <= oldestNeeded)
        m_rows.pop_front();
}

ProbeLags ProbeHistory::seenAt(qint64 ms) const
{
    ProbeLags seen;
    if (m_rows.empty())
        return seen;
    auto answer = m_rows.rbegin();
    for (int lag = 0; lag < ProbeLags::Count; ++lag) {
        const qint64 at = ms - qint64(lag) * ProbeLags::StepMs;
        while (answer->ms > at && std::next(answer) != m_rows.rend())
            ++answer;
        seen.rich[std::size_t(lag)] = answer->rich;
    }
    return seen;
}

void DirectionMoves::add(int move, const ProbeLags &seen)
{
    if (move == 0)
        return;
    for (std::size_t lag = 0; lag < seen.rich.size(); ++lag) {
        if ((move > 0) != seen.rich[lag])
            m_towardsMax[lag] += std::abs(move);
        else
            m_towardsMin[lag] += std::abs(move);
    }
}

int DirectionMoves::bestLag() const
{
    int best = 0;
    qint64 bestSeparation = -1;
    for (std::size_t lag = 0; lag < m_towardsMax.size(); ++lag) {
        const qint64 separation = std::abs(m_towardsMax[lag] - m_towardsMin[lag]);
        if (separation > bestSeparation) {
            bestSeparation = separation;
            best = int(lag);
        }
    }
    return best;
}

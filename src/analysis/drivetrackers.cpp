#include "drivetrackers.h"
#include <algorithm>
#include <cstdlib>

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

void DirectionMoves::add(const DriveRow &before, bool beforeRich, const DriveRow &row)
{
    const int move = int(row.position) - int(before.position);
    if ((move > 0) != beforeRich)
        m_towardsMax += std::abs(move);
    else
        m_towardsMin += std::abs(move);
}

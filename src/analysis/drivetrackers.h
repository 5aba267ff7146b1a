#pragma once
#include "driverows.h"
#include <QtGlobal>
#include <array>
#include <deque>
#include <vector>

// The running states of one pass over a drive, each with the one thing it follows. Each is told
// to forget when the rows stop being comparable (a gap, a range change, a set written).

// Whether a row is steady: long enough after the last disturbance.
class SettleClock
{
public:
    SettleClock(qint64 startMs, qint64 settleMs) : m_disturbedAt(startMs), m_settleMs(settleMs) {}
    void disturb(qint64 ms) { m_disturbedAt = ms; }
    bool steady(qint64 ms) const { return ms - m_disturbedAt >= m_settleMs; }

private:
    qint64 m_disturbedAt;
    qint64 m_settleMs;
};

// The side of the lambda threshold the probe is on, with hysteresis: a change of side is a crossing.
class ThresholdSide
{
public:
    void forget() { m_side = Side::Unknown; }
    // True when this voltage crosses to the other side of where the probe was.
    bool crosses(int lambda, int threshold, int hysteresisSteps);

private:
    enum class Side { Unknown, Above, Below };
    Side m_side = Side::Unknown;
};

// How long the probe takes from one of the two timing levels to the other.
class LevelTransitions
{
public:
    struct Levels
    {
        int low = 15, high = 30;  // 0.02 V steps
    };
    struct Timed
    {
        int riseMs = -1, fallMs = -1;  // -1: no transition ended at this row
    };
    void forget() { m_level = Level::Unknown; }
    Timed take(int lambda, qint64 ms, const Levels &levels);

private:
    enum class Level { Unknown, Low, High };
    Level m_level = Level::Unknown;
    qint64 m_sinceMs = 0;
};

// The times between joined rows, for their median: a histogram, no sort of 180 000 values.
class PollSteps
{
public:
    void add(qint64 stepMs);
    qint64 median() const;

private:
    std::vector<int> m_histogram = std::vector<int>(1001, 0);
    qint64 m_count = 0;
};

// The unit acts on what its probe said a moment ago: the probe's answers a row's time is judged
// against, for each lag the analysis tries (0, 50, .. 1000 ms).
struct ProbeLags
{
    static constexpr int Count = 21;
    static constexpr int StepMs = 50;
    std::array<bool, Count> rich{};
};

// The probe's recent answers within one joined stretch of rows.
class ProbeHistory
{
public:
    void forget() { m_rows.clear(); }
    void add(qint64 ms, bool rich);
    // What the probe said `lag` before `ms`, for each lag; the oldest answer kept where the
    // stretch is younger than the lag.
    ProbeLags seenAt(qint64 ms) const;

private:
    struct Answer
    {
        qint64 ms;
        bool rich;
    };
    std::deque<Answer> m_rows;
};

// Which way the servo moves while the probe says lean, counted in steps between steady rows, for
// each lag of the probe's answers behind the move.
class DirectionMoves
{
public:
    // Moving up while lean, or down while rich, says the servo enriches upwards.
    void add(int move, const ProbeLags &seen);
    // The lag that separates the two directions best: the probe's delay as the servo follows it.
    int bestLag() const;
    qint64 towardsMax(int lag) const { return m_towardsMax[std::size_t(lag)]; }
    qint64 towardsMin(int lag) const { return m_towardsMin[std::size_t(lag)]; }

private:
    std::array<qint64, ProbeLags::Count> m_towardsMax{}, m_towardsMin{};
};

#pragma once
#include <QString>
#include <array>
#include <vector>

enum class Verdict { None, Green, Amber, Red };

// The mean time of one kind of probe transition, or why it could not be timed.
struct TransitionFigure
{
    int count = 0;
    double meanS = 0;
    QString why;  // empty when timed
    bool timed() const { return why.isEmpty() && count > 0; }
};

// What a range (or the whole drive) did, over its steady time unless said otherwise.
struct RangeFigures
{
    qint64 timeMs = 0;        // all rows with values
    double timeShare = 0;     // of the drive's time
    qint64 steadyMs = 0;
    bool enoughData = false;  // steady time reaches the limit; else "málo dat"

    int crossings = 0;
    double crossingsPer10s = 0;
    double richShare = 0, leanShare = 0;
    TransitionFigure leanToRich, richToLean;
    int lambdaLow = -1, lambdaHigh = -1;  // 0.02 V steps, -1 without a steady row

    double servoMean = 0, servoSpread = 0;
    int servoLow = -1, servoHigh = -1;
    // Share of steady time within one step of the stops (of the set in force at each row), and of
    // that time the share lean and rich.
    double atMaxShare = 0, atMinShare = 0;
    double leanAtMax = 0, richAtMax = 0, leanAtMin = 0, richAtMin = 0;
    // Stops of the set in force at the end, for the table.
    int stopMax = -1, stopMin = -1;

    std::array<double, 3> tpsCrossingsPerMin{};

    Verdict switching = Verdict::None, transitions = Verdict::None, high = Verdict::None, low = Verdict::None,
            atMax = Verdict::None, atMin = Verdict::None;
};

// Which way the servo moves while the probe says lean.
enum class EnrichDirection { Unknown, TowardsMax, TowardsMin };

struct StopProposal
{
    int range = 0;
    bool maxStop = true;  // else the MIN stop
    int from = 0, to = 0;
    double stopShare = 0;  // of the range's steady time
    double sideShare = 0;  // lean (enriching stop) or rich (leaning stop), of the time at the stop
    bool lean = true;
    QString reason;        // in figures, for the technician
};

struct DriveAnalysis
{
    static constexpr int Ranges = 4;
    std::array<RangeFigures, Ranges> ranges;
    RangeFigures whole;
    EnrichDirection direction = EnrichDirection::Unknown;
    QString directionWhy;
    std::vector<StopProposal> proposals;
    qint64 medianPollMs = 0;
    // How long after the probe's answer the servo follows it, as the direction was learnt.
    int probeLagMs = 0;
    bool setFromTool = false;
    int rows = 0;
};

// The four ranges and the whole drive, in the order of the table.
inline std::array<RangeFigures *, DriveAnalysis::Ranges + 1> allFigures(DriveAnalysis &a)
{
    return {&a.ranges[0], &a.ranges[1], &a.ranges[2], &a.ranges[3], &a.whole};
}
inline std::array<const RangeFigures *, DriveAnalysis::Ranges + 1> allFigures(const DriveAnalysis &a)
{
    return {&a.ranges[0], &a.ranges[1], &a.ranges[2], &a.ranges[3], &a.whole};
}

// The captions of the ranges as the tool shows them.
QString rangeCaption(int range);

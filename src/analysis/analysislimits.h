#pragma once
#include <QString>
#include <functional>
#include <vector>

// The limits of the verdicts and of the proposals. Defaults from how workshops judge a
// narrow-band probe; every one can be changed in the settings file's section "Rozbor".
struct AnalysisLimits
{
    // Steady time: not within this long after a range change, a gap, a set written or a measurement.
    double settleS = 1.0;
    // Less steady time in a range gives no verdict and no proposal.
    double minSteadyS = 20.0;
    // Crossings of the lambda threshold per 10 s: green at least, amber at least.
    double switchingGreen = 3.0;
    double switchingAmber = 1.0;
    // Lean to rich and back, in seconds: amber above, red above.
    double transitionAmberS = 0.3;
    double transitionRedS = 1.0;
    // The transitions are timed only when the rows come at least this often.
    double transitionPollMaxMs = 100.0;
    // Highest voltage above, lowest below (0-1.2 V probe; a 0-5 V probe scales them by 5/1.2).
    double highGreenV = 0.6;
    double highAmberV = 0.55;
    double lowGreenV = 0.3;
    double lowAmberV = 0.4;
    // Levels between which a transition is timed (0-1.2 V probe; scaled likewise).
    double transitionLowV = 0.3;
    double transitionHighV = 0.6;
    // Servo at a stop, share of steady time: amber from, red from.
    double stopShareAmber = 0.2;
    double stopShareRed = 0.5;
    // Lambda threshold hysteresis in 0.02 V steps.
    int hysteresisSteps = 1;
    // Proposals: the servo at a stop for at least this share of steady time, the mixture on the
    // far side for at least this share of that time; a step and a distance from the recording's set.
    double proposalStopShare = 0.25;
    double proposalSideShare = 0.6;
    int proposalStep = 10;
    int proposalDistance = 25;
    // The servo's enriching direction needs this many steps of movement, the winner this many times the other.
    int directionMinMoves = 20;
    double directionRatio = 3.0;

    static QString sectionName() { return QStringLiteral("Rozbor"); }
    // A key of the section and the values it accepts.
    struct Key
    {
        const char *name;
        double low, high;
    };
    static std::vector<Key> keys();
    // The values, in the order of keys().
    std::vector<double> values() const;
    bool operator==(const AnalysisLimits &other) const;
    bool operator!=(const AnalysisLimits &other) const { return !(*this == other); }
    // Reads the keys of the section through `value` (empty when a key is missing): decimal comma
    // or point; a value that is no number, or out of reason, keeps the default.
    static AnalysisLimits read(const std::function<QString(const QString &key)> &value);
};

#include "analysislimits.h"

namespace {
// A key of the section, the values it accepts and the limit it sets (a real or a whole number).
struct Field
{
    AnalysisLimits::Key key;
    double AnalysisLimits::*real;
    int AnalysisLimits::*whole;
};

const Field Fields[] = {
    {{"UstaleniS", 0, 60}, &AnalysisLimits::settleS, nullptr},
    {{"MinUstalenoS", 1, 3600}, &AnalysisLimits::minSteadyS, nullptr},
    {{"PrechodyZelena", 0, 100}, &AnalysisLimits::switchingGreen, nullptr},
    {{"PrechodyOranzova", 0, 100}, &AnalysisLimits::switchingAmber, nullptr},
    {{"PrechodOranzovaS", 0, 10}, &AnalysisLimits::transitionAmberS, nullptr},
    {{"PrechodCervenaS", 0, 10}, &AnalysisLimits::transitionRedS, nullptr},
    {{"PrechodDotazMaxMs", 1, 10000}, &AnalysisLimits::transitionPollMaxMs, nullptr},
    {{"MaxNapetiZelenaV", 0, 1.2}, &AnalysisLimits::highGreenV, nullptr},
    {{"MaxNapetiOranzovaV", 0, 1.2}, &AnalysisLimits::highAmberV, nullptr},
    {{"MinNapetiZelenaV", 0, 1.2}, &AnalysisLimits::lowGreenV, nullptr},
    {{"MinNapetiOranzovaV", 0, 1.2}, &AnalysisLimits::lowAmberV, nullptr},
    {{"PrechodDolniV", 0, 1.2}, &AnalysisLimits::transitionLowV, nullptr},
    {{"PrechodHorniV", 0, 1.2}, &AnalysisLimits::transitionHighV, nullptr},
    {{"DorazOranzova", 0, 1}, &AnalysisLimits::stopShareAmber, nullptr},
    {{"DorazCervena", 0, 1}, &AnalysisLimits::stopShareRed, nullptr},
    {{"HysterezeKroky", 0, 20}, nullptr, &AnalysisLimits::hysteresisSteps},
    {{"NavrhDoraz", 0.01, 1}, &AnalysisLimits::proposalStopShare, nullptr},
    {{"NavrhSmes", 0.01, 1}, &AnalysisLimits::proposalSideShare, nullptr},
    {{"NavrhKrok", 1, 50}, nullptr, &AnalysisLimits::proposalStep},
    {{"NavrhVzdalenost", 1, 100}, nullptr, &AnalysisLimits::proposalDistance},
    {{"SmerMinKroku", 1, 100000}, nullptr, &AnalysisLimits::directionMinMoves},
    {{"SmerPomer", 1, 100}, &AnalysisLimits::directionRatio, nullptr},
};
}  // namespace

std::vector<AnalysisLimits::Key> AnalysisLimits::keys()
{
    std::vector<Key> keys;
    for (const Field &field : Fields)
        keys.push_back(field.key);
    return keys;
}

std::vector<double> AnalysisLimits::values() const
{
    std::vector<double> values;
    for (const Field &field : Fields)
        values.push_back(field.real ? this->*field.real : double(this->*field.whole));
    return values;
}

bool AnalysisLimits::operator==(const AnalysisLimits &other) const
{
    return values() == other.values();
}

AnalysisLimits AnalysisLimits::read(const std::function<QString(const QString &)> &value)
{
    AnalysisLimits l;
    for (const Field &field : Fields) {
        QString text = value(QString::fromLatin1(field.key.name)).trimmed();
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || v < field.key.low || v > field.key.high)
            continue;
        if (field.real)
            l.*field.real = v;
        else
            l.*field.whole = int(v);
    }
    return l;
}

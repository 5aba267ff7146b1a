#include "analysislimits.h"

namespace {
template <typename T> void take(const std::function<QString(const QString &)> &value, const char *key, T &field,
                                double low, double high)
{
    QString text = value(QString::fromLatin1(key)).trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (ok && v >= low && v <= high)
        field = T(v);
}
}

AnalysisLimits AnalysisLimits::read(const std::function<QString(const QString &)> &value)
{
    AnalysisLimits l;
    take(value, "UstaleniS", l.settleS, 0, 60);
    take(value, "MinUstalenoS", l.minSteadyS, 1, 3600);
    take(value, "PrechodyZelena", l.switchingGreen, 0, 100);
    take(value, "PrechodyOranzova", l.switchingAmber, 0, 100);
    take(value, "PrechodOranzovaS", l.transitionAmberS, 0, 10);
    take(value, "PrechodCervenaS", l.transitionRedS, 0, 10);
    take(value, "PrechodDotazMaxMs", l.transitionPollMaxMs, 1, 10000);
    take(value, "MaxNapetiZelenaV", l.highGreenV, 0, 1.2);
    take(value, "MaxNapetiOranzovaV", l.highAmberV, 0, 1.2);
    take(value, "MinNapetiZelenaV", l.lowGreenV, 0, 1.2);
    take(value, "MinNapetiOranzovaV", l.lowAmberV, 0, 1.2);
    take(value, "PrechodDolniV", l.transitionLowV, 0, 1.2);
    take(value, "PrechodHorniV", l.transitionHighV, 0, 1.2);
    take(value, "DorazOranzova", l.stopShareAmber, 0, 1);
    take(value, "DorazCervena", l.stopShareRed, 0, 1);
    take(value, "HysterezeKroky", l.hysteresisSteps, 0, 20);
    take(value, "NavrhDoraz", l.proposalStopShare, 0.01, 1);
    take(value, "NavrhSmes", l.proposalSideShare, 0.01, 1);
    take(value, "NavrhKrok", l.proposalStep, 1, 50);
    take(value, "NavrhVzdalenost", l.proposalDistance, 1, 100);
    take(value, "SmerMinKroku", l.directionMinMoves, 1, 100000);
    take(value, "SmerPomer", l.directionRatio, 1, 100);
    return l;
}

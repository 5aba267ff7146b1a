#include "livedisplay.h"
#include "bargauge.h"
#include "link/livevalues.h"
#include "link/unitset.h"

void LiveDisplay::showOnGauges(BarGauge *lambda, BarGauge *tps, const UnitSet &set, const LiveValues &values)
{
    lambda->setMaximum(lambdaMaximum(set.lambdaStatus()));
    lambda->setForeColor(gaugeColour(set.paramByte(LambdaThresholdIndex), values.lambda));
    lambda->setProgress(values.lambda);
    tps->setForeColor(gaugeColour(set.paramByte(TpsThreshold3Index), values.tps));
    tps->setProgress(values.tps);
}

#pragma once
#include "analysislimits.h"
#include "drivefigures.h"

// Sets the verdicts of `figures` from the limits; too little steady time leaves them all None.
void judge(RangeFigures &figures, const AnalysisLimits &limits, bool probe5V);

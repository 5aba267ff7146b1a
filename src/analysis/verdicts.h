#pragma once
#include "analysislimits.h"
#include "drivefigures.h"

// Sets the verdicts of `figures` from the limits; too little steady time leaves them all None.
void judge(RangeFigures &figures, const AnalysisLimits &limits, bool probe5V);

// The whole drive is never judged better than its worst range: a range held at its stop is the
// drive's fault, however short that range was.
void judgeWholeByWorstRange(DriveAnalysis &analysis);

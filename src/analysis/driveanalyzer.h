#pragma once
#include "analysislimits.h"
#include "drivefigures.h"
#include "driverows.h"

// Analyses rows [first, last) of a drive: one pass over the rows, then verdicts and proposals.
// Pure: callable from any thread.
DriveAnalysis analyseDrive(const DriveInput &input, const AnalysisLimits &limits, int first = 0, int last = -1);

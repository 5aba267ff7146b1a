#pragma once
#include "analysislimits.h"
#include "drivefigures.h"
#include "driveset.h"

// Which way the servo enriches, from the steps it moved while lean and while rich; Unknown with
// the reason when the recording does not say clearly.
EnrichDirection learnDirection(qint64 movesTowardsMax, qint64 movesTowardsMin, const AnalysisLimits &limits,
                               QString *why);

// Proposals for the stops of `current` (the set in force at the end): a range with enough steady
// time whose servo sits at its enriching stop while lean (or its leaning stop while rich) gets
// that stop moved outwards by at most the step, never further than the distance from `recorded`,
// within the controls' ranges and keeping MAX >= MIN.
std::vector<StopProposal> proposeStops(const DriveAnalysis &analysis, const DriveSet &current, const DriveSet &recorded,
                                       const AnalysisLimits &limits);

// The set with the proposals applied.
DriveSet applyProposals(DriveSet set, const std::vector<StopProposal> &proposals);

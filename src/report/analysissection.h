#pragma once
#include <QString>

class ParameterSet;
struct RecordingAnalysis;

// The customer's part of the analysis, as HTML under its heading: in words, each range the drive
// found wanting with what was done about it (the stop changed as proposed, a proposal left undone)
// or why nothing was; no figures. `current` is the unit's set as the report knows it, or null.
QString analysisForCustomer(const RecordingAnalysis &analysis, const ParameterSet *current);

// The technical appendix's part of the analysis of a recording, as HTML under its heading: what was analysed
// and against which set, the table per power range with its verdicts in words and colour, then
// the proposals with their reasons.
QString analysisSectionBody(const RecordingAnalysis &analysis);

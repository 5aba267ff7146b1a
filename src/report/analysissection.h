#pragma once
#include <QString>

struct RecordingAnalysis;

// The report's part of the analysis of a recording, as HTML under its heading: what was analysed
// and against which set, the table per power range with its verdicts in words and colour, then
// the proposals with their reasons.
QString analysisSectionBody(const RecordingAnalysis &analysis);

#pragma once
#include <QString>

struct RecordingAnalysis;

// What the unit history keeps of a recording's analysis: compact JSON with the verdicts of each
// range and of the whole drive, and the stop proposals with their reasons; the error when the
// file could not be analysed.
QString analysisSummary(const RecordingAnalysis &analysis);

#pragma once
#include "analysis/analysislimits.h"
#include "analysis/drivefigures.h"
#include "link/parameterset.h"
#include <QString>
#include <memory>

// The analysis of one recording file as a whole, for the report and the history: read, its kept
// sets (else the tool's set), analysed.
struct RecordingAnalysis
{
    QString recordingName;  // the file's name, as the page "Záznamy" lists it
    std::shared_ptr<const DriveAnalysis> analysis;  // null when the file could not be read
    QString error;
};

// Pure, so it runs on a worker thread.
RecordingAnalysis analyseRecordingFile(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits);

// Runs analyseRecordingFile on a worker thread and waits for it with the window's events still
// served: an hour of rows never holds the window. For a caller that keeps no analyses.
RecordingAnalysis analyseRecordingFileAside(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits);

#pragma once
#include "analysis/analysislimits.h"
#include "analysis/drivefigures.h"
#include <QByteArray>
#include <QString>
#include <memory>

// The analysis of one recording file for the report: read, its kept sets (else the tool's set),
// analysed whole. Pure, so it runs on a worker thread.
struct RecordingAnalysis
{
    QString recordingName;  // the file's name, as the page "Záznamy" lists it
    std::shared_ptr<const DriveAnalysis> analysis;  // null when the file could not be read
    QString error;
};

RecordingAnalysis analyseRecordingFile(const QString &csvPath, const QByteArray &toolBlock, const AnalysisLimits &limits);

// Runs analyseRecordingFile on a worker thread and waits for it with the window's events still
// served: an hour of rows never holds the window.
RecordingAnalysis analyseRecordingFileAside(const QString &csvPath, const QByteArray &toolBlock, const AnalysisLimits &limits);

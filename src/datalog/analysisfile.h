#pragma once
#include "fileanalysis.h"
#include <QJsonObject>
#include <optional>

// The analysis of a recording kept beside it, "<name>.rozbor.json", so that a later session (the
// page "Záznamy" opening it again, a report) does not make it again: the whole analysis, with
// what it was made of (the file's size and time, the limits, and the tool's set for a recording
// that kept none). It counts only while all of these are still so.
namespace AnalysisFile {

QString pathFor(const QString &csvPath);
// Writes it whole or not at all; false when it could not (the analysis is then only in memory).
bool write(const QString &csvPath, const RecordingAnalysis &analysis, const AnalysisLimits &limits, const ParameterSet &toolSet);
// The analysis the file keeps, when it was made of the recording as it is now and by these.
std::optional<RecordingAnalysis> read(const QString &csvPath, const AnalysisLimits &limits, const ParameterSet &toolSet);

QJsonObject toJson(const DriveAnalysis &analysis);
DriveAnalysis fromJson(const QJsonObject &json);

}  // namespace AnalysisFile

#pragma once
#include "fileanalysis.h"
#include <QJsonObject>
#include <optional>

// The analysis of a recording kept beside it, "<name>.rozbor.json", so that a later session (the
// page "Záznamy" opening it again, a report) does not make it again: the whole analysis, with
// what it was made of. It counts only while all of that is still so.
namespace AnalysisFile {

QString pathFor(const QString &csvPath);
// What an analysis of the recording would be made of now: the file's size and time, the sets kept
// beside it, the limits, and the tool's set when it kept none. Equal texts, equal analyses.
QByteArray madeOf(const QString &csvPath, const AnalysisLimits &limits, const ParameterSet &toolSet);
// Writes it whole or not at all; false when it could not (the analysis is then only in memory).
bool write(const QString &csvPath, const RecordingAnalysis &analysis, const QByteArray &madeOf);
// The analysis the file keeps, when it was made of what `madeOf` says.
std::optional<RecordingAnalysis> read(const QString &csvPath, const QByteArray &madeOf);

QJsonObject toJson(const DriveAnalysis &analysis);
DriveAnalysis fromJson(const QJsonObject &json);

}  // namespace AnalysisFile

#pragma once
#include <QObject>
#include <QString>
#include <functional>

struct AnalysisLimits;
struct RecordingAnalysis;

// What the unit history keeps of a recording's analysis: compact JSON with the verdicts of each
// range and of the whole drive, and the stop proposals with their reasons; the error when the
// file could not be analysed.
QString analysisSummary(const RecordingAnalysis &analysis);

// Analyses the recording on a worker thread and hands its summary to `done` on `context`'s
// thread; nothing is handed when `context` is gone by then.
void summariseRecordingLater(const QString &csvPath, const QByteArray &toolBlock, const AnalysisLimits &limits,
                             QObject *context, std::function<void(const QString &summary)> done);

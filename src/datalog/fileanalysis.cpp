#include "fileanalysis.h"
#include "analysis/driveanalyzer.h"
#include "analysis/driveset.h"
#include "driveinputbuilder.h"
#include "recordingreader.h"
#include "keptanalyses.h"
#include <QFileInfo>

RecordingAnalysis analyseRecordingFile(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits)
{
    RecordingAnalysis out;
    out.recordingName = QFileInfo(csvPath).fileName();
    const RecordingRead read = readRecordingFile(csvPath);
    if (!read.usable() || read.recording.rows() == 0) {
        out.error = read.error.isEmpty() ? QStringLiteral("záznam je prázdný") : read.error;
        return out;
    }
    const auto builder = DriveInputBuilder::forFile(&read.recording, csvPath, toolSet);
    builder->step(read.recording.rows());
    out.analysis = std::make_shared<const DriveAnalysis>(analyseDrive(*builder->result(), limits));
    return out;
}

RecordingAnalysis analyseRecordingFileAside(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits)
{
    return KeptAnalyses().await(csvPath, toolSet, limits);
}

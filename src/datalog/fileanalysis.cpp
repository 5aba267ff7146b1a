#include "recordinganalysis.h"
#include "analysis/driveanalyzer.h"
#include "analysis/driveset.h"
#include "datalog/driveinputbuilder.h"
#include "datalog/recordedsets.h"
#include "datalog/recordingreader.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

RecordingAnalysis analyseRecordingFile(const QString &csvPath, const QByteArray &toolBlock, const AnalysisLimits &limits)
{
    RecordingAnalysis out;
    out.recordingName = QFileInfo(csvPath).fileName();
    const RecordingRead read = readRecordingFile(csvPath);
    if (!read.usable() || read.recording.rows() == 0) {
        out.error = read.error.isEmpty() ? QStringLiteral("záznam je prázdný") : read.error;
        return out;
    }
    std::vector<DriveSet> sets;
    for (const QByteArray &block : RecordedSets::load(csvPath))
        sets.push_back(DriveSet::fromBlock(block));
    const bool fromTool = sets.empty();
    if (fromTool)
        sets.push_back(DriveSet::fromBlock(toolBlock));
    DriveInputBuilder builder(&read.recording, std::move(sets), fromTool);
    builder.step(read.recording.rows());
    out.analysis = std::make_shared<const DriveAnalysis>(analyseDrive(*builder.result(), limits));
    return out;
}

RecordingAnalysis analyseRecordingFileAside(const QString &csvPath, const QByteArray &toolBlock, const AnalysisLimits &limits)
{
    // Shared with the worker: the loop may be gone when a late worker finishes (application quit).
    struct Outcome
    {
        RecordingAnalysis result;
        bool done = false;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QThreadPool::globalInstance()->start([=] {
        RecordingAnalysis result = analyseRecordingFile(csvPath, toolBlock, limits);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [=] {
            outcome->result = result;
            outcome->done = true;
            if (waiting)
                waiting->quit();
        }, Qt::QueuedConnection);
    });
    if (!outcome->done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return outcome->result;
}

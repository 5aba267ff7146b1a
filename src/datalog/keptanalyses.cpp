#include "keptanalyses.h"
#include "analysisfile.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QThreadPool>

bool KeptAnalyses::holds(const Entry &entry, const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits)
{
    const QFileInfo file(csvPath);
    if (entry.limits != limits || entry.size != file.size() || entry.modified != file.lastModified())
        return false;
    // The tool's set matters only to a recording that kept none.
    const bool keptItsSet = entry.result && entry.result->analysis && !entry.result->analysis->setFromTool;
    return keptItsSet || entry.toolSet.blockFrame() == toolSet.blockFrame();
}

const RecordingAnalysis *KeptAnalyses::kept(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits) const
{
    const auto it = m_entries.find(csvPath);
    if (it == m_entries.end() || !it->second.result || !holds(it->second, csvPath, toolSet, limits))
        return nullptr;
    return &*it->second.result;
}

void KeptAnalyses::whenAnalysed(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits,
                                QObject *context, Done done)
{
    Entry &entry = m_entries[csvPath];
    if (!holds(entry, csvPath, toolSet, limits)) {
        // Those waiting for an analysis made by other limits get this one: it is the file's now.
        std::vector<Waiting> waiting = std::move(entry.waiting);
        entry = Entry{limits, toolSet, QFileInfo(csvPath).size(), QFileInfo(csvPath).lastModified(), 0, {}, std::move(waiting)};
        entry.result = AnalysisFile::read(csvPath, limits, toolSet);
        if (!entry.result)
            start(csvPath, entry);
    }
    if (!entry.result) {
        entry.waiting.push_back({context, std::move(done)});
        return;
    }
    // Those who waited for an analysis by other limits take this one.
    std::vector<Waiting> waiting = std::move(entry.waiting);
    entry.waiting.clear();
    const RecordingAnalysis result = *entry.result;
    for (const Waiting &w : waiting) {
        if (w.context)
            w.done(result);
    }
    done(result);
}

void KeptAnalyses::start(const QString &csvPath, Entry &entry)
{
    entry.generation = ++m_generation;
    ++m_made;
    QPointer<KeptAnalyses> self(this);
    const int generation = entry.generation;
    const ParameterSet toolSet = entry.toolSet;
    const AnalysisLimits limits = entry.limits;
    QThreadPool::globalInstance()->start([=] {
        const RecordingAnalysis result = analyseRecordingFile(csvPath, toolSet, limits);
        AnalysisFile::write(csvPath, result, limits, toolSet);
        // Back on this object's thread, where it may have gone meanwhile.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [=] {
            if (self)
                self->finished(csvPath, generation, result);
        }, Qt::QueuedConnection);
    });
}

void KeptAnalyses::finished(const QString &csvPath, int generation, const RecordingAnalysis &result)
{
    const auto it = m_entries.find(csvPath);
    if (it == m_entries.end() || it->second.generation != generation)
        return;
    it->second.result = result;
    const std::vector<Waiting> waiting = std::move(it->second.waiting);
    it->second.waiting.clear();
    for (const Waiting &w : waiting) {
        if (w.context)
            w.done(result);
    }
}

RecordingAnalysis KeptAnalyses::await(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits)
{
    // Shared with the callback: the loop may be gone when it comes (application quit).
    struct Outcome
    {
        RecordingAnalysis result;
        bool done = false;
    };
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    whenAnalysed(csvPath, toolSet, limits, &loop, [outcome, &loop](const RecordingAnalysis &result) {
        outcome->result = result;
        outcome->done = true;
        loop.quit();
    });
    if (!outcome->done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return outcome->result;
}

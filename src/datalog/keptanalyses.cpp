#include "keptanalyses.h"
#include "analysisfile.h"
#include <QCoreApplication>
#include <QEventLoop>
#include <QThreadPool>

const RecordingAnalysis *KeptAnalyses::kept(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits) const
{
    const auto it = m_entries.find(csvPath);
    if (it == m_entries.end() || !it->second.result || it->second.madeOf != AnalysisFile::madeOf(csvPath, limits, toolSet))
        return nullptr;
    return &*it->second.result;
}

void KeptAnalyses::whenAnalysed(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits,
                                QObject *context, Done done)
{
    Entry &entry = m_entries[csvPath];
    const QByteArray madeOf = AnalysisFile::madeOf(csvPath, limits, toolSet);
    if (entry.madeOf != madeOf) {
        // Those waiting for an analysis made by other limits get this one: it is the file's now.
        std::vector<Waiting> waiting = std::move(entry.waiting);
        entry = Entry{madeOf, limits, toolSet, 0, {}, std::move(waiting)};
        entry.result = AnalysisFile::read(csvPath, madeOf);
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
    const QByteArray madeOf = entry.madeOf;
    QThreadPool::globalInstance()->start([=] {
        const RecordingAnalysis result = analyseRecordingFile(csvPath, toolSet, limits);
        AnalysisFile::write(csvPath, result, madeOf);
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

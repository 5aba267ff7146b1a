#pragma once
#include "fileanalysis.h"
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <optional>
#include <vector>

// The analysis of each recording file as a whole, made once on a worker thread and kept for
// every part of the tool that wants it: the page "Záznamy", the report and the history. In
// memory for this session, and beside the recording (AnalysisFile) for the next ones. It holds
// while what it was made of (AnalysisFile::madeOf) is still so; any change makes it anew.
class KeptAnalyses : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const RecordingAnalysis &)>;

    explicit KeptAnalyses(QObject *parent = nullptr) : QObject(parent) {}

    // Hands the analysis to `done` on this thread: at once when it is kept, else when the one
    // analysis of the file is made (started now unless it runs already). Nothing is handed once
    // `context` is gone.
    void whenAnalysed(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits,
                      QObject *context, Done done);
    // The same, waited for with the window's events served (the report's way).
    RecordingAnalysis await(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits);
    // The analysis kept for these, or null.
    const RecordingAnalysis *kept(const QString &csvPath, const ParameterSet &toolSet, const AnalysisLimits &limits) const;
    // How many analyses were made, for a test to count.
    int made() const { return m_made; }

private:
    struct Waiting
    {
        QPointer<QObject> context;
        Done done;
    };
    struct Entry
    {
        QByteArray madeOf;  // AnalysisFile::madeOf when it was asked for
        AnalysisLimits limits;
        ParameterSet toolSet;
        int generation = 0;
        std::optional<RecordingAnalysis> result;  // none while it is made
        std::vector<Waiting> waiting;
    };
    void start(const QString &csvPath, Entry &entry);
    void finished(const QString &csvPath, int generation, const RecordingAnalysis &result);

    std::map<QString, Entry> m_entries;  // the latest analysis of each file
    int m_generation = 0;
    int m_made = 0;
};

#pragma once
#include "analysis/analysislimits.h"
#include "analysis/drivefigures.h"
#include "analysis/driverows.h"
#include "link/parameterset.h"
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class AnalysisPanel;
class DriveInputBuilder;
class KeptAnalyses;
class Prompts;
class QPushButton;
class Recording;
class RecordingsBrowser;
class RecordingsPage;
class UnitData;

// Runs the analysis of the recording shown (the part on the plot) and of the one compared with
// it, and acts on the panel's buttons. The rows are converted in slices on this thread, the
// analysis runs on a worker thread: the window is never held. Proposals taken go into the tool's
// set as hand edits through `handEdit`, never to the unit.
class AnalysisControl : public QObject
{
    Q_OBJECT
public:
    static constexpr int SliceRows = 20000;

    AnalysisControl(RecordingsPage *page, RecordingsBrowser *browser, AnalysisPanel *panel, const UnitData *data,
                    Prompts *prompts);
    ~AnalysisControl() override;

    void setLimits(const AnalysisLimits &limits);
    const AnalysisLimits &limits() const { return m_limits; }
    // Sets one parameter byte of the tool's set as if typed on the tuning page.
    void setHandEdit(std::function<void(int index, int value)> edit) { m_handEdit = std::move(edit); }
    // Where the analysis of a whole recording is kept: one shown whole (and compared with none)
    // takes it from there rather than making its own.
    void setKeptAnalyses(KeptAnalyses *kept) { m_kept = kept; }

    // Starts over (soon, once for any number of calls in a row).
    void refreshSoon()
    {
        m_busy = true;
        m_refresh.start();
    }
    bool busy() const { return m_busy; }
    const DriveAnalysis *analysis() const { return m_result ? &*m_result : nullptr; }

    void takeSelected();
    void copyTable();
    void saveCsv();

signals:
    // A new analysis is on the panel.
    void analysed();

private:
    struct Source
    {
        const Recording *recording = nullptr;
        QString path;
        std::shared_ptr<const DriveInput> input;
        std::vector<ParameterSet> kept;  // the sets kept beside it; empty: the tool's
    };
    void refresh();
    void forget(Source &source);
    void showLimits();
    void takeLimits();
    void sliceDone();
    bool prepare(Source &source, const Recording *recording, const QString &path);
    // The rows [first, last) of the recording shown that the plot shows.
    std::pair<int, int> rowsInView() const;
    bool showsKept() const;
    void showKept();
    void runAnalysis();
    void show(int generation, const DriveAnalysis &shown, const std::optional<DriveAnalysis> &compared);
    QString infoText() const;

    RecordingsPage *m_page;
    RecordingsBrowser *m_browser;
    AnalysisPanel *m_panel;
    const UnitData *m_data;
    Prompts *m_prompts;
    AnalysisLimits m_limits;
    std::function<void(int, int)> m_handEdit;
    KeptAnalyses *m_kept = nullptr;
    QTimer m_refresh;
    QTimer m_slices;
    Source m_shown, m_compared;
    std::unique_ptr<DriveInputBuilder> m_building;
    Source *m_buildingFor = nullptr;
    int m_generation = 0;
    bool m_busy = false;
    std::optional<DriveAnalysis> m_result, m_comparison;
};

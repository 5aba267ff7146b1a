#pragma once
#include <QWidget>
#include <vector>

class AnalysisControl;
class AnalysisPanel;
class QTreeWidget;
class PlotWidget;
class Prompts;
class RecordingsBrowser;
class ReplayControl;
class ToolSetup;
class UnitData;

// The page "Záznamy": the recordings in data/zaznamy, newest first; the plot of the one chosen,
// a second one over it to compare; a replay into a box of its own. Layout only: the controllers
// made in attach() connect the controls.
class RecordingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit RecordingsPage(QWidget *parent = nullptr);

    // `data` gives the data folder and the thresholds the replay's bars are coloured by.
    void attach(const UnitData *data, const ToolSetup *setup, Prompts *prompts);
    RecordingsBrowser *browser() const { return m_browser; }
    ReplayControl *replay() const { return m_replay; }
    AnalysisControl *analysis() const { return m_analysis; }
    AnalysisPanel *analysisPanel() const { return m_panel; }
    // The size the controls are placed for; a larger page gives the room to the plot and the list.
    static constexpr int DesignWidth = 628, DesignHeight = 427;

    QTreeWidget *list() const { return m_list; }
    // A control of the page by its objectName; the controllers find their controls here.
    template <typename T> T *control(const char *name) const
    {
        T *w = findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("the page has no %s", name);
        return w;
    }
    PlotWidget *plot() const { return m_plot; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QTreeWidget *m_list;
    PlotWidget *m_plot;
    RecordingsBrowser *m_browser = nullptr;
    ReplayControl *m_replay = nullptr;
    AnalysisPanel *m_panel;
    AnalysisControl *m_analysis = nullptr;
    struct Placed
    {
        QWidget *widget;
        QRect design;
    };
    std::vector<Placed> m_design;
};

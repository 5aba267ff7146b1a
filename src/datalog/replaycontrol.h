#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class PlotWidget;
class RecordingsBrowser;
class RecordingsPage;
class ReplayBox;
class UnitData;

// "Přehrát": the recording shown plays into the replay box at 1×, 4× or 16×, or moves a row at a
// time, with the slider as its position. It reads the tool's data only for the thresholds and
// never touches the link: the real values go on on their own pages.
class ReplayControl : public QObject
{
    Q_OBJECT
public:
    static constexpr int FrameMs = 40;

    ReplayControl(RecordingsPage *page, const UnitData *data);

    int row() const { return m_row; }
    bool playing() const { return m_timer.isActive(); }
    int speed() const;

    void togglePlay();
    void step(int rows);
    void seek(int row);
    // Another recording: back to its first row, stopped.
    void reset();

private:
    void tick();
    void show();
    void stop();

    const UnitData *m_data;
    RecordingsBrowser *m_browser;
    PlotWidget *m_plot;
    ReplayBox *m_box;
    QSlider *m_slider;
    QPushButton *m_play;
    QComboBox *m_speed;
    QLabel *m_time;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_startMs = 0;  // the recording's time when the clock started
    int m_row = 0;
};

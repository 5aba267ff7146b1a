#pragma once
#include "plotdrawing.h"
#include <QImage>
#include <QWidget>

class Recording;

// The plot on the page "Záznamy": the wheel zooms about the mouse, dragging with the left button
// zooms to the range dragged over, dragging with the right (or middle) button pans, a double
// click or Home shows everything. A cursor line follows the mouse with the values and the time.
class PlotWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr qint64 MinSpanMs = 200;

    explicit PlotWidget(QWidget *parent = nullptr);

    void setRecording(const Recording *recording);
    void setOverlay(const PlotOverlay &overlay);
    const Recording *recording() const { return m_recording; }
    const PlotOverlay &overlay() const { return m_overlay; }
    const PlotView &view() const { return m_view; }
    qint64 replayMs() const { return m_replayMs; }

    // The time shown, kept within what there is to show and at least MinSpanMs long.
    void setWindow(qint64 fromMs, qint64 toMs);
    void showAll();  // "Celé"
    void zoom(double factor, qint64 aboutMs);
    void pan(qint64 byMs);
    void setLaneShown(PlotView::Lane lane, bool shown);
    // A replay's position, drawn over the plot as a line; -1 for none.
    void setReplayMs(qint64 ms);
    // The earliest and latest time of the recording and what is drawn over it.
    qint64 extentFrom() const;
    qint64 extentTo() const;

    // What the cursor shows at a time, one line per recording.
    QStringList cursorText(qint64 ms) const;

signals:
    void viewChanged();
    // What the cursor points at, one line per recording; empty when it is off the lanes.
    void cursorChanged(const QStringList &lines);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void changed();
    QRect area() const { return PlotDrawing::plotArea(size()); }

    const Recording *m_recording = nullptr;
    PlotOverlay m_overlay;
    PlotView m_view;
    qint64 m_replayMs = -1;
    QImage m_cache;           // the plot without replay line, cursor and drag band
    bool m_cacheValid = false;
    int m_cursorX = -1;
    QStringList m_cursorLines;
    void showCursor(const QStringList &lines);
    int m_dragFrom = -1;      // x where a left drag began
    int m_panFrom = -1;       // x of a right drag so far
};

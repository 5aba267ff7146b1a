#pragma once
#include <QColor>
#include <QRect>
#include <QStringList>

class QPainter;
class Recording;

// What part of a recording the plot shows and how.
struct PlotView
{
    enum Lane { Lambda, Tps, Position, LaneCount };
    qint64 fromMs = 0;  // the time window, in the recording's own t
    qint64 toMs = 1000;
    bool lanes[LaneCount] = {true, true, true};

    int shownLanes() const { return int(lanes[0]) + int(lanes[1]) + int(lanes[2]); }
};

// A second recording drawn over the first: its time `shiftMs` later than its own t.
struct PlotOverlay
{
    const Recording *recording = nullptr;
    qint64 shiftMs = 0;
};

// The plot of a recording: stacked lanes for lambda, TPS and servo position, each with its own
// axis and unit, the time axis below, the markers as numbered vertical lines, rows without values
// and long pauses as gaps. The lines are drawn from at most four points per pixel column (first,
// lowest, highest, last), which gives exactly the pixels of the line through every row: a 1-hour
// recording at a 20 ms poll draws as fast as a short one.
namespace PlotDrawing {
constexpr int LeftAxis = 52;
constexpr int RightMargin = 8;
constexpr int TopMargin = 14;      // the markers' numbers
constexpr int BottomAxis = 18;     // the time labels
constexpr int LaneGap = 6;

QRect plotArea(const QSize &size);
// The lanes shown, top to bottom.
QList<QPair<PlotView::Lane, QRect>> lanes(const QSize &size, const PlotView &view);
QString laneName(PlotView::Lane lane);
QColor laneColour(PlotView::Lane lane, bool overlay = false);
// The value's top of scale in unit bytes: 60 (1.2 V) for lambda unless the recording goes above.
int laneScale(PlotView::Lane lane, const Recording &recording);
// The unit byte as the lane's unit shows it: "0,60 V", "100".
QString valueText(PlotView::Lane lane, int value);
// The recording's value in a lane's unit bytes.
int laneValue(PlotView::Lane lane, const Recording &r, int row);
// "12,5 s", "2:05", "15:00,2", "1:02:03" for a time on the axis whose labels are `stepMs` apart:
// as many decimals as the step needs (a step of 1 ms: "15:00,200").
QString timeText(qint64 ms, qint64 stepMs);
// "14:03:22,005": a wall clock time with its milliseconds after a decimal comma.
QString clockText(int msSinceMidnight);
// "2:05", "1:02:03": whole seconds as minutes, or hours from an hour on.
QString minutesText(qint64 seconds);

// The x of a time and the time of an x, in the plot area of `size`.
double xOf(qint64 ms, const QRect &area, const PlotView &view);
qint64 msAt(double x, const QRect &area, const PlotView &view);

// The whole plot into a painter of `size`.
void paint(QPainter &painter, const QSize &size, const Recording &recording, const PlotView &view,
           const PlotOverlay &overlay = {});
// A replay's position as a line across the plot area, when it lies in the view.
void drawReplayLine(QPainter &painter, const QSize &size, const PlotView &view, qint64 replayMs);
// One lane's line only, from `first` to `last` row: every row's point joined (`decimate` false)
// or four points per column; both give the same pixels.
void drawTrace(QPainter &painter, const QRect &lane, const QRect &area, const Recording &recording,
               PlotView::Lane which, const PlotView &view, qint64 shiftMs, int scale, bool decimate);
}

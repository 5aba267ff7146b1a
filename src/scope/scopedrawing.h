#pragma once
#include <QColor>
#include <QRect>

class QFont;
class QImage;
class QPainter;
class ScopeSamples;

// How the traces are drawn: the scale in samples per pixel, the pens and the channel mode.
struct ScopeStyle
{
    double zoom = 1.0;
    QColor colour1{255, 0, 0};
    QColor colour2{255, 255, 0};
    int width = 3;
    bool twoChannels = false;
};

// The oscilloscope's picture: a green screen with a grid, time labels along the bottom, value
// labels on the left and the traces. Everything is drawn for one area of the paint box only,
// so the box may be 30 020 pixels wide without an image of that size, and a new sample costs
// the area of its segment.
namespace ScopeDrawing {
constexpr int Height = 320;        // the paint box's height
constexpr int LeftMargin = 20;     // value labels
constexpr int BottomMargin = 40;   // time labels
constexpr int MaxSamples = 3000;   // the grid always spans a whole recording

inline int sampleX(int index, double zoom) { return int(index / zoom + LeftMargin); }
inline int sampleY(int value, int height) { return height - BottomMargin - value; }
// Wide enough for every sample of a whole recording at this scale.
inline int boxWidth(double zoom) { return int(MaxSamples / zoom + LeftMargin); }
// A one-channel recording takes a sample every 50 ms, a two-channel one every 100 ms.
inline double secondsPerSample(bool twoChannels) { return twoChannels ? 0.1 : 0.05; }

// Paints `area` of a paint box of `size`, exactly as a whole repaint would leave it.
void paint(QPainter &painter, const QRect &area, const QSize &size, const ScopeSamples &samples,
           const ScopeStyle &style);
// The area that the segment ending at sample `index` covers, pens included.
QRect segmentArea(int index, int height, const ScopeSamples &samples, const ScopeStyle &style);
// The whole recorded trace as a picture, at the current scale, colours and width.
QImage picture(const ScopeSamples &samples, const ScopeStyle &style, const QFont &font);
}

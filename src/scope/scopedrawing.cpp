#include "scopedrawing.h"
#include "textformat/czechnumber.h"
#include "scopesamples.h"
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ScopeDrawing {
namespace {
const QColor Screen(0, 128, 0);
const QColor Navy(0, 0, 128);
const QColor Lime(0, 255, 0);
constexpr int GridStep = 10;
constexpr int LabelStep = 50;
constexpr int LabelReach = 60;  // a time label starts 10 pixels left of its line and may be 50 wide

// b = x - 20 of the last vertical line: the largest multiple of 10 below 3000 / zoom.
int lastGridOffset(double zoom)
{
    const double limit = MaxSamples / zoom;
    return (int(std::ceil(limit / GridStep)) - 1) * GridStep;
}

// Written on the green brush; skipped when it lies outside the area being painted.
void text(QPainter &painter, const QRect &area, int x, int y, const QString &s)
{
    const QFontMetrics metrics = painter.fontMetrics();
    if (!area.intersects(QRect(x, y, metrics.horizontalAdvance(s) + 2, metrics.height() + 2)))
        return;
    painter.setPen(Qt::black);
    painter.drawText(QRect(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
}

QVector<QLine> translated(const QVector<QLine> &lines, const QPoint &by)
{
    if (by.isNull())
        return lines;
    QVector<QLine> out;
    out.reserve(lines.size());
    for (const QLine &line : lines)
        out << line.translated(by);
    return out;
}

// A trace of width w is a w x w square moved along each one-pixel line from sample to sample:
// w one-pixel lines side by side across each line's steep or flat direction, and the square at
// every sample point to close the corners. One-pixel lines and squares are the cheapest things
// the rasterizer draws, and their pixels do not depend on what part of the box is painted.
void stroke(QPainter &painter, const QVector<QPoint> &points, const QColor &colour, int width)
{
    const int first = -(width - 1) / 2;
    QVector<QLine> steep, flat;
    QVector<QRect> corners;
    corners.reserve(points.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
        corners << QRect(points[i].x() + first, points[i].y() + first, width, width);
        if (i == 0 || points[i] == points[i - 1])
            continue;
        const QPoint d = points[i] - points[i - 1];
        if (d.x() == 0 || d.y() == 0) {  // the square moved straight sweeps a rectangle
            const QRect ends = QRect(points[i - 1], points[i]).normalized();
            corners << ends.adjusted(first, first, first + width - 1, first + width - 1);
            continue;
        }
        (std::abs(d.y()) >= std::abs(d.x()) ? steep : flat) << QLine(points[i - 1], points[i]);
    }
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (int offset = first; offset < first + width; ++offset) {
        painter.drawLines(steep.isEmpty() ? steep : translated(steep, QPoint(offset, 0)));
        painter.drawLines(flat.isEmpty() ? flat : translated(flat, QPoint(0, offset)));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRects(corners);
    painter.setBrush(Qt::NoBrush);
}

// Samples that share a pixel column make vertical strokes on one line, whose union is the
// stroke from their lowest to their highest value: each column keeps at most four points, so a
// scale of 50 samples a pixel costs no more than one of 1.
void trace(QPainter &painter, int from, int to, int height, const ScopeSamples &samples,
           const ScopeStyle &style, int channel)
{
    auto value = [&](int i) { return channel == 1 ? samples.channel1(i) : samples.channel2(i); };
    QVector<QPoint> points;
    points.reserve(std::min(4 * (to - from + 2), 4 * 4096));
    int column = sampleX(from - 1, style.zoom);
    int first = sampleY(value(from - 1), height), low = first, high = first, last = first;
    auto flush = [&] {
        points << QPoint(column, first);
        if (low != first || high != last) {
            points << QPoint(column, low) << QPoint(column, high);
        }
        if (last != first || low != high)
            points << QPoint(column, last);
    };
    for (int i = from; i <= to; ++i) {
        const int x = sampleX(i, style.zoom);
        const int y = sampleY(value(i), height);
        if (x != column) {
            flush();
            column = x;
            first = low = high = y;
        }
        low = std::min(low, y);
        high = std::max(high, y);
        last = y;
    }
    flush();
    if (points.size() == 1)
        points << points.front();
    stroke(painter, points, channel == 1 ? style.colour1 : style.colour2, style.width);
}
}

void paint(QPainter &painter, const QRect &area, const QSize &size, const ScopeSamples &samples,
           const ScopeStyle &style)
{
    const int w = size.width();
    const int h = size.height();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(area);
    painter.fillRect(area, Screen);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - 1, h - 1);

    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Screen);
    const double seconds = secondsPerSample(style.twoChannels);
    const int last = lastGridOffset(style.zoom);
    const int first = std::max(0, (area.left() - LeftMargin - LabelReach) / GridStep * GridStep);
    const int end = std::min(last, area.right() - LeftMargin + GridStep);
    const bool labelRow = area.bottom() >= h - 35;
    for (int b = first; b <= end; b += GridStep) {
        const int x = b + LeftMargin;
        if (b % LabelStep == 0) {
            if (labelRow && x - 10 <= area.right())
                text(painter, area, x - 10, h - 35, czechDecimal(style.zoom * seconds * b, 1));
            painter.setPen(QPen(Navy, 1));
        } else {
            painter.setPen(QPen(Lime, 1));
        }
        if (x >= area.left() && x <= area.right())
            painter.drawLine(x, 0, x, h - BottomMargin - 1);
    }
    // The horizontal lines take the pen of the last vertical line of the whole box.
    const QPen level(last % LabelStep == 0 ? Navy : Lime, 1);
    const QRect valueLabels(0, 0, LeftMargin + LabelReach, h);
    for (int v = 0; v <= 250; v += 50) {
        const int y = h - BottomMargin - v;
        if (y >= area.top() && y <= area.bottom()) {
            painter.setPen(level);
            painter.drawLine(LeftMargin, y, w - 1, y);
        }
        if (area.intersects(valueLabels))
            text(painter, area, 0, h - 45 - v, QString::number(v));
    }

    painter.setBackgroundMode(Qt::TransparentMode);
    const int reach = style.width + 1;
    const int from = std::max(1, int(std::floor((area.left() - reach - LeftMargin) * style.zoom)));
    const int to = std::min(samples.count() - 1, int(std::ceil((area.right() + reach - LeftMargin) * style.zoom)) + 1);
    if (from <= to) {
        trace(painter, from, to, h, samples, style, 1);
        if (style.twoChannels)
            trace(painter, from, to, h, samples, style, 2);
    }
    painter.restore();
}

QRect segmentArea(int index, int height, const ScopeSamples &samples, const ScopeStyle &style)
{
    if (index < 1)
        return {};
    const int x0 = sampleX(index - 1, style.zoom);
    const int x1 = sampleX(index, style.zoom);
    int top = std::min(samples.channel1(index - 1), samples.channel1(index));
    int bottom = std::max(samples.channel1(index - 1), samples.channel1(index));
    if (style.twoChannels) {
        top = std::min({top, int(samples.channel2(index - 1)), int(samples.channel2(index))});
        bottom = std::max({bottom, int(samples.channel2(index - 1)), int(samples.channel2(index))});
    }
    const int reach = style.width / 2 + 2;
    return QRect(QPoint(x0 - reach, sampleY(bottom, height) - reach),
                 QPoint(x1 + reach, sampleY(top, height) + reach));
}

QImage picture(const ScopeSamples &samples, const ScopeStyle &style, const QFont &font)
{
    const int lastX = sampleX(std::max(samples.count() - 1, 0), style.zoom);
    const QSize size(std::min(boxWidth(style.zoom), lastX + LabelStep), Height);
    // Three bytes a pixel: a 30 020-pixel recording stays under 30 MB while it is saved.
    QImage image(size, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setFont(font);
    paint(painter, QRect(QPoint(0, 0), size), size, samples, style);
    return image;
}
}

#include "scopedrawing.h"
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

void text(QPainter &painter, int x, int y, const QString &s)
{
    painter.drawText(QRect(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
}

void trace(QPainter &painter, int from, int to, int height, const ScopeSamples &samples,
           const ScopeStyle &style, int channel)
{
    painter.setPen(QPen(channel == 1 ? style.colour1 : style.colour2, style.width, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    auto value = [&](int i) { return channel == 1 ? samples.channel1(i) : samples.channel2(i); };
    for (int i = from; i <= to; ++i)
        painter.drawLine(sampleX(i - 1, style.zoom), sampleY(value(i - 1), height),
                         sampleX(i, style.zoom), sampleY(value(i), height));
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
    for (int b = first; b <= end; b += GridStep) {
        const int x = b + LeftMargin;
        if (b % LabelStep == 0) {
            painter.setPen(Qt::black);
            text(painter, x - 10, h - 35, QString::asprintf("%02.1f", style.zoom * seconds * b));
            painter.setPen(QPen(Navy, 1));
        } else {
            painter.setPen(QPen(Lime, 1));
        }
        painter.drawLine(x, 0, x, h - BottomMargin - 1);
    }
    // The horizontal lines take the pen of the last vertical line of the whole box.
    const QPen level(last % LabelStep == 0 ? Navy : Lime, 1);
    for (int v = 0; v <= 250; v += 50) {
        painter.setPen(level);
        painter.drawLine(LeftMargin, h - BottomMargin - v, w - 1, h - BottomMargin - v);
        painter.setPen(Qt::black);
        text(painter, 0, h - 45 - v, QString::number(v));
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

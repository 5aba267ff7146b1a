#include "bargauge.h"
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

BarGauge::BarGauge(int maximum, const QColor &foreColor, QWidget *parent)
    : QWidget(parent), m_maximum(std::max(1, maximum)), m_foreColor(foreColor)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BarGauge::setMaximum(int maximum)
{
    maximum = std::max(1, maximum);
    if (maximum == m_maximum)
        return;
    m_maximum = maximum;
    m_progress = std::min(m_progress, m_maximum);
    update();
}

void BarGauge::setProgress(int value)
{
    value = std::clamp(value, 0, m_maximum);
    if (value == m_progress)
        return;
    // Only the strip between the old and the new end of the bar changes.
    const int before = filledWidth();
    m_progress = value;
    const int after = filledWidth();
    if (before != after)
        update(QRect(1 + std::min(before, after), 1, std::abs(after - before), height() - 2));
}

int BarGauge::filledWidth() const
{
    const int inner = width() - 2;
    return int(qint64(inner) * m_progress / m_maximum);
}

void BarGauge::setForeColor(const QColor &colour)
{
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    update();
}

void BarGauge::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(dirty, Qt::white);
    const int filled = filledWidth();
    // A greyed bar shows a value that is no longer live.
    if (filled > 0)
        painter.fillRect(QRect(1, 1, filled, frame.height() - 1).intersected(dirty),
                         isEnabled() ? m_foreColor : QColor(176, 176, 176));
    // A new value repaints a strip inside the frame only.
    if (!frame.adjusted(1, 1, -1, -1).contains(dirty)) {
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(frame);
    }
}

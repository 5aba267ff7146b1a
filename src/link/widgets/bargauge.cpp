#include "bargauge.h"
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
    m_progress = value;
    update();
}

void BarGauge::setForeColor(const QColor &colour)
{
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    update();
}

void BarGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), Qt::white);
    const int inner = frame.width() - 1;
    const int filled = int(qint64(inner) * m_progress / m_maximum);
    // A greyed bar shows a value that is no longer live.
    if (filled > 0)
        painter.fillRect(QRect(1, 1, filled, frame.height() - 1), isEnabled() ? m_foreColor : QColor(176, 176, 176));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(frame);
}

#include "scopeview.h"
#include <QPaintEvent>
#include <QPainter>

ScopeView::ScopeView(const ScopeSamples *samples, QWidget *parent) : QWidget(parent), m_samples(samples)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScopeView::drawSegment(int index)
{
    const QRect area = ScopeDrawing::segmentArea(index, height(), *m_samples, m_style);
    if (!area.isEmpty())
        update(area);
}

void ScopeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setFont(font());
    ScopeDrawing::paint(painter, event->rect(), size(), *m_samples, m_style);
}

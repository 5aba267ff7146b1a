#include "arrowimage.h"
#include <QPainter>
#include <QPolygonF>

ArrowImage::ArrowImage(Qt::ArrowType direction, QWidget *parent)
    : QWidget(parent), m_direction(direction)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ArrowImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width(), h = height();
    const qreal head = w * 0.5, shaft = h * 0.2;
    // Drawn pointing right, mirrored for the left arrow.
    QPolygonF arrow{QPointF(1, h / 2 - shaft), QPointF(w - head, h / 2 - shaft), QPointF(w - head, 2),
                    QPointF(w - 1, h / 2), QPointF(w - head, h - 2), QPointF(w - head, h / 2 + shaft),
                    QPointF(1, h / 2 + shaft)};
    if (m_direction == Qt::LeftArrow)
        painter.setTransform(QTransform(-1, 0, 0, 1, w, 0));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(0, 0, 160));
    painter.drawPolygon(arrow);
}

#include "markerimage.h"
#include <QPainter>
#include <QPolygon>

MarkerImage::MarkerImage(const QColor &colour, int width, int height, QWidget *parent)
    : QWidget(parent), m_colour(colour)
{
    resize(width, height);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MarkerImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_colour);
    const QPolygonF triangle{QPointF(0, 0), QPointF(width(), 0), QPointF(width() / 2.0, height())};
    painter.drawPolygon(triangle);
}

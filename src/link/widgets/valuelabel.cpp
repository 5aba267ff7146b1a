#include "valuelabel.h"
#include <QPainter>
#include <cmath>

void ValueLabel::paintEvent(QPaintEvent *event)
{
    // A greyed label (the link is not answering) is rare: the style draws it as always.
    if (!isEnabled() || text().isEmpty() || frameWidth() != 0) {
        QLabel::paintEvent(event);
        return;
    }
    const StaticTextCache::Shaped &shown = m_texts.text(text(), font());
    // Placed as the style places one line of text in the label.
    const QRectF area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = alignment();
    qreal x = area.x();
    if (align & Qt::AlignRight)
        x = area.x() + area.width() - shown.width;
    else if (align & Qt::AlignHCenter)
        x = area.x() + (area.width() - shown.width) / 2;
    qreal y = area.y();
    if (align & Qt::AlignBottom)
        y = area.y() + area.height() - shown.height;
    else if (align & Qt::AlignVCenter)
        y = area.y() + std::ceil((area.height() - shown.height) / 2);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    StaticTextCache::draw(painter, QPointF(x, y + shown.lineTop), shown);
}

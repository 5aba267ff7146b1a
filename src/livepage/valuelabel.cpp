#include "valuelabel.h"
#include <QPainter>
#include <QFontMetrics>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Each glyph of a shaped text with where it starts and ends on the line.
struct Slot
{
    quint32 glyph;
    qreal left, right;
    bool operator==(const Slot &other) const { return glyph == other.glyph && left == other.left; }
};

std::vector<Slot> slotsOf(const StaticTextCache::Shaped &shaped, qreal x)
{
    std::vector<Slot> out;
    for (const QGlyphRun &run : shaped.runs) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> at = run.positions();
        const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(glyphs);
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            out.push_back({glyphs[i], x + at[i].x(), x + at[i].x() + advances.value(i).x()});
    }
    return out;
}

}  // namespace

void ValueLabel::showValue(const QString &text)
{
    if (text == this->text())
        return;
    if (!isVisible() || !isEnabled() || frameWidth() != 0 || this->text().isEmpty() || text.isEmpty()) {
        setText(text);
        return;
    }
    const QRect changed = changedPart(this->text(), text);
    // QLabel repaints all of itself for a new text; only the changed characters need it.
    setAttribute(Qt::WA_UpdatesDisabled);
    setText(text);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    update(changed);
}

QRect ValueLabel::changedPart(const QString &before, const QString &after)
{
    const StaticTextCache::Shaped old = m_texts.text(before, font());
    const StaticTextCache::Shaped &now = m_texts.text(after, font());
    const std::vector<Slot> was = slotsOf(old, origin(old).x());
    const std::vector<Slot> is = slotsOf(now, origin(now).x());
    qreal left = width(), right = 0;
    const auto mark = [&](const std::vector<Slot> &from, const std::vector<Slot> &other) {
        for (const Slot &slot : from) {
            if (std::find(other.begin(), other.end(), slot) == other.end()) {
                left = std::min(left, slot.left);
                right = std::max(right, slot.right);
            }
        }
    };
    mark(was, is);
    mark(is, was);
    if (right <= left)
        return {};
    // Antialiasing and the glyphs' overhang reach a little beyond their advance.
    const int reach = QFontMetrics(font()).height() / 4 + 2;
    return QRect(QPoint(int(std::floor(left)) - reach, 0), QPoint(int(std::ceil(right)) + reach, height() - 1))
        .intersected(rect());
}

QPointF ValueLabel::origin(const StaticTextCache::Shaped &shaped) const
{
    const QRectF area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = alignment();
    qreal x = area.x();
    if (align & Qt::AlignRight)
        x = area.x() + area.width() - shaped.width;
    else if (align & Qt::AlignHCenter)
        x = area.x() + (area.width() - shaped.width) / 2;
    qreal y = area.y();
    if (align & Qt::AlignBottom)
        y = area.y() + area.height() - shaped.height;
    else if (align & Qt::AlignVCenter)
        y = area.y() + std::ceil((area.height() - shaped.height) / 2);
    return {x, y + shaped.lineTop};
}

void ValueLabel::paintEvent(QPaintEvent *event)
{
    // A greyed label (the link is not answering) is rare: the style draws it as always.
    if (!isEnabled() || text().isEmpty() || frameWidth() != 0) {
        QLabel::paintEvent(event);
        return;
    }
    const StaticTextCache::Shaped &shown = m_texts.text(text(), font());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    StaticTextCache::draw(painter, origin(shown), shown);
}

#include "statictextcache.h"
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

const StaticTextCache::Shaped &StaticTextCache::text(const QString &shown, const QFont &font)
{
    if (font != m_font || m_texts.size() >= MostKept) {
        m_texts.clear();
        m_font = font;
    }
    auto it = m_texts.find(shown);
    if (it == m_texts.end()) {
        QTextLayout layout(shown, font);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        Shaped shaped;
        if (line.isValid()) {
            shaped.runs = line.glyphRuns();
            shaped.width = line.horizontalAdvance();
            // As the style lays out a label's text: the font's leading above the line, on a whole pixel.
            shaped.lineTop = std::ceil(std::max(0, QFontMetrics(font).leading()));
            shaped.height = shaped.lineTop + line.height();
        }
        it = m_texts.insert(shown, shaped);
    }
    return *it;
}

void StaticTextCache::draw(QPainter &painter, const QPointF &topLeft, const Shaped &shaped)
{
    for (const QGlyphRun &run : shaped.runs)
        painter.drawGlyphRun(topLeft, run);
}

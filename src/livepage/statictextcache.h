#pragma once
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>

class QPainter;

// The shaped texts a value field has shown, so that a value seen before is drawn without shaping
// it again (a live value repeats the same few hundred texts). A text is drawn as Qt draws one line
// of it: `topLeft` is the top of the line at its start.
class StaticTextCache
{
public:
    struct Shaped
    {
        QList<QGlyphRun> runs;
        qreal width = 0;   // the line's horizontal advance
        qreal lineTop = 0;  // where the line starts below the top of the text
        qreal height = 0;   // down to the line's descent
    };

    // The text shaped in `font`; shaped now only the first time.
    const Shaped &text(const QString &shown, const QFont &font);
    static void draw(QPainter &painter, const QPointF &topLeft, const Shaped &shaped);

private:
    static constexpr int MostKept = 512;
    QHash<QString, Shaped> m_texts;
    QFont m_font;
};

#pragma once
#include <QFrame>

// A small panel in one colour that reports clicks (the trace colour swatches).
class ColourSwatch : public QFrame
{
    Q_OBJECT
public:
    explicit ColourSwatch(const QColor &colour, QWidget *parent = nullptr);
    void setColour(const QColor &colour);
    QColor colour() const { return m_colour; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_colour;
};

#pragma once
#include <QColor>
#include <QWidget>

// A small triangle pointing down at a gauge; its left edge is what the marker formulas place.
class MarkerImage : public QWidget
{
    Q_OBJECT
public:
    MarkerImage(const QColor &colour, int width, int height, QWidget *parent = nullptr);
    // The markers are positioned by their left edge only; the top stays where the layout put it.
    void setLeft(int left) { move(left, y()); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
};

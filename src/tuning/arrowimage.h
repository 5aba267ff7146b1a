#pragma once
#include <QWidget>

// A fat arrow pointing from a threshold towards one of the two ranges it separates.
class ArrowImage : public QWidget
{
    Q_OBJECT
public:
    ArrowImage(Qt::ArrowType direction, QWidget *parent = nullptr);
    Qt::ArrowType direction() const { return m_direction; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::ArrowType m_direction;
};

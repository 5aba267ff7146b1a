#pragma once
#include "statictextcache.h"
#include <QLabel>
#include <QList>
#include <QPixmap>

// A live value in a box that looks like a read-only edit: a label to everyone who reads it (its
// text, its accessibility), painted from a picture of the edit's empty frame and texts shaped
// once. Unlike a QLineEdit it does not lay out its text again for each value, and it paints all
// of itself, so a new value repaints neither the box behind it nor the box's caption.
class ValueEdit : public QLabel
{
    Q_OBJECT
public:
    explicit ValueEdit(const QString &text, QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void prepareFrame();

    StaticTextCache m_texts;
    QPixmap m_frame;
    QList<QRgb> m_frameKey;
    QFont m_frameFont;
    QRect m_textArea;
    QPoint m_textAt;
};

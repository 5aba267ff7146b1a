#pragma once
#include "statictextcache.h"
#include <QLineEdit>
#include <QList>
#include <QPixmap>

// A read-only edit for a live value: a QLineEdit to everyone who reads it, painted from a picture
// of its empty frame and laid-out texts it keeps. It paints all of itself, so a new value repaints
// neither the box behind it nor the box's caption, and costs no text shaping.
class ValueEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ValueEdit(const QString &text, QWidget *parent = nullptr);

    // Sets the text only when it differs: QLineEdit lays out even an unchanged text again.
    void showValue(const QString &text);

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

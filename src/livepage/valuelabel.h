#pragma once
#include "statictextcache.h"
#include <QLabel>

// A label for a live value: a QLabel to everyone who reads it (its text, its accessibility), but
// painted from texts shaped once, so that a new value costs no text shaping, and a new value
// repaints only the characters that changed.
class ValueLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // setText() for a value that changes often.
    void showValue(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the shaped text starts, placed as the style places one line of text in the label.
    QPointF origin(const StaticTextCache::Shaped &shaped) const;
    // The part of the label where `before` and `after` differ, character by character.
    QRect changedPart(const QString &before, const QString &after);

    StaticTextCache m_texts;
};

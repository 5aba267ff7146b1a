#pragma once
#include "statictextcache.h"
#include <QLabel>

// A label for a live value: a QLabel to everyone who reads it (its text, its accessibility), but
// painted from laid-out texts it keeps, so that a new value costs no text shaping.
class ValueLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    StaticTextCache m_texts;
};

#pragma once
#include "scopedrawing.h"
#include <QWidget>

class ScopeSamples;

// The paint box PB1: paints only what is asked for (the visible part of the box on a repaint,
// one segment for a new sample), never keeping an image of the whole box.
class ScopeView : public QWidget
{
    Q_OBJECT
public:
    ScopeView(const ScopeSamples *samples, QWidget *parent = nullptr);

    ScopeStyle &style() { return m_style; }
    const ScopeStyle &style() const { return m_style; }

    // Repaints the whole box (what of it can be seen).
    void redrawAll() { update(); }
    // Paints the piece of each trace that ends at sample `index`; nothing for sample 0.
    void drawSegment(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const ScopeSamples *m_samples;
    ScopeStyle m_style;
};

#include "valueedit.h"
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// QLineEdit's space between its contents frame and the text.
constexpr int HorizontalMargin = 2;
}

ValueEdit::ValueEdit(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setForegroundRole(QPalette::Text);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool ValueEdit::event(QEvent *event)
{
    const bool handled = QLabel::event(event);
    // A style sheet above (the page tabs have one) clears the attribute when it polishes the edit.
    if (event->type() == QEvent::Polish)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

// The frame as the style draws it, over the background of the box it sits in (the style's frame
// has rounded corners), and where the text goes in it; made again when the size, the font, the
// palette or the enabled state change.
void ValueEdit::prepareFrame()
{
    const qreal ratio = devicePixelRatioF();
    const QWidget *behind = parentWidget() ? parentWidget() : this;
    const QList<QRgb> key{behind->palette().color(behind->backgroundRole()).rgba(), palette().base().color().rgba(),
                          palette().window().color().rgba(), QRgb(isEnabled())};
    if (!m_frame.isNull() && m_frame.size() == size() * ratio && m_frameKey == key && m_frameFont == font())
        return;
    m_frame = QPixmap(size() * ratio);
    m_frame.setDevicePixelRatio(ratio);
    m_frame.fill(behind->palette().color(behind->backgroundRole()));
    QPainter painter(&m_frame);
    // As a read-only QLineEdit describes itself to the style.
    QStyleOptionFrame panel;
    panel.initFrom(this);
    panel.rect = rect();
    panel.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, this);
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    panel.features = QStyleOptionFrame::None;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    // Placed as QLineEdit places a left-aligned, vertically centred text.
    m_textArea = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    m_textAt = QPoint(m_textArea.x() + HorizontalMargin,
                      m_textArea.y() + (m_textArea.height() - fontMetrics().height() + 1) / 2);
    m_frameKey = key;
    m_frameFont = font();
}

void ValueEdit::paintEvent(QPaintEvent *)
{
    prepareFrame();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_frame);
    if (text().isEmpty())
        return;
    painter.setClipRect(m_textArea);
    painter.setPen(palette().color(foregroundRole()));
    StaticTextCache::draw(painter, m_textAt, m_texts.text(text(), font()));
}

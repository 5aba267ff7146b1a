#include "plotwidget.h"
#include "recording.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace {
constexpr double ZoomStep = 1.25;  // one notch of the wheel
constexpr int DragLeast = 5;       // a shorter left drag is a click

QString rowText(const Recording &r, qint64 ms, const QString &prefix)
{
    const int row = r.nearestRow(ms);
    if (row < 0 || std::abs(r.ms(row) - ms) > r.gapMs())
        return prefix + QStringLiteral("–");
    QString text = prefix + PlotDrawing::timeText(r.ms(row), 1);
    if (r.clockMs(row) >= 0)
        text += QStringLiteral(" (%1)").arg(PlotDrawing::clockText(r.clockMs(row)));
    if (!r.hasValues(row))
        return text + QStringLiteral("  ") + r.status(row);
    for (int l = 0; l < PlotView::LaneCount; ++l) {
        const auto lane = PlotView::Lane(l);
        text += QStringLiteral("  %1 %2").arg(PlotDrawing::laneName(lane).section(QLatin1Char(' '), 0, 0),
                                             PlotDrawing::valueText(lane, PlotDrawing::laneValue(lane, r, row)));
    }
    return text;
}
}

PlotWidget::PlotWidget(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void PlotWidget::setRecording(const Recording *recording)
{
    m_recording = recording;
    m_overlay = {};
    m_replayMs = -1;
    showAll();
}

void PlotWidget::setOverlay(const PlotOverlay &overlay)
{
    m_overlay = overlay;
    showAll();
}

qint64 PlotWidget::extentFrom() const
{
    qint64 from = m_recording ? m_recording->firstMs() : 0;
    if (m_overlay.recording && !m_overlay.recording->isEmpty())
        from = std::min(from, m_overlay.recording->firstMs() + m_overlay.shiftMs);
    return from;
}

qint64 PlotWidget::extentTo() const
{
    qint64 to = m_recording ? m_recording->lastMs() : 0;
    if (m_overlay.recording && !m_overlay.recording->isEmpty())
        to = std::max(to, m_overlay.recording->lastMs() + m_overlay.shiftMs);
    return std::max(to, extentFrom() + MinSpanMs);
}

void PlotWidget::setWindow(qint64 fromMs, qint64 toMs)
{
    const qint64 first = extentFrom(), last = extentTo();
    qint64 span = std::clamp(toMs - fromMs, MinSpanMs, last - first);
    fromMs = std::clamp(fromMs, first, last - span);
    m_view.fromMs = fromMs;
    m_view.toMs = fromMs + span;
    changed();
}

void PlotWidget::showAll()
{
    setWindow(extentFrom(), extentTo());
}

void PlotWidget::zoom(double factor, qint64 aboutMs)
{
    const double from = double(aboutMs) - double(aboutMs - m_view.fromMs) * factor;
    const double to = double(aboutMs) + double(m_view.toMs - aboutMs) * factor;
    setWindow(qint64(from), qint64(to));
}

void PlotWidget::pan(qint64 byMs)
{
    setWindow(m_view.fromMs + byMs, m_view.toMs + byMs);
}

void PlotWidget::setLaneShown(PlotView::Lane lane, bool shown)
{
    m_view.lanes[lane] = shown;
    changed();
}

void PlotWidget::setReplayMs(qint64 ms)
{
    // Every frame of a replay moves it: drawn over the cached plot, never into it.
    if (m_replayMs == ms)
        return;
    m_replayMs = ms;
    update();
}

void PlotWidget::changed()
{
    m_cacheValid = false;
    update();
    emit viewChanged();
}

QStringList PlotWidget::cursorText(qint64 ms) const
{
    QStringList lines;
    if (!m_recording)
        return lines;
    lines << rowText(*m_recording, ms, {});
    if (m_overlay.recording)
        lines << rowText(*m_overlay.recording, ms - m_overlay.shiftMs, QStringLiteral("Porovnání: "));
    return lines;
}

void PlotWidget::resizeEvent(QResizeEvent *)
{
    m_cacheValid = false;
}

void PlotWidget::paintEvent(QPaintEvent *)
{
    if (!m_cacheValid) {
        m_cache = QImage(size(), QImage::Format_RGB32);
        QPainter cache(&m_cache);
        cache.setFont(font());
        if (m_recording)
            PlotDrawing::paint(cache, size(), *m_recording, m_view, m_overlay);
        else {
            cache.fillRect(rect(), Qt::white);
            cache.setPen(Qt::darkGray);
            cache.drawText(rect(), Qt::AlignCenter, QStringLiteral("Vyberte záznam v seznamu, nebo otevřete soubor tlačítkem „Otevřít…“."));
        }
        m_cacheValid = true;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
    if (m_recording)
        PlotDrawing::drawReplayLine(painter, size(), m_view, m_replayMs);
    const QRect a = area();
    if (m_dragFrom >= 0 && m_cursorX >= 0)
        painter.fillRect(QRect(QPoint(std::min(m_dragFrom, m_cursorX), a.top()), QPoint(std::max(m_dragFrom, m_cursorX), a.bottom())),
                         QColor(0, 120, 215, 50));
    if (!m_recording || m_cursorX < a.left() || m_cursorX > a.right()) {
        showCursor({});
        return;
    }
    painter.setPen(QPen(QColor(0, 0, 0, 160), 1, Qt::DotLine));
    painter.drawLine(m_cursorX, a.top(), m_cursorX, a.bottom());
    // The values go beside the plot, never over a lane.
    showCursor(cursorText(PlotDrawing::msAt(m_cursorX, a, m_view)));
}

void PlotWidget::showCursor(const QStringList &lines)
{
    if (lines != m_cursorLines) {
        m_cursorLines = lines;
        emit cursorChanged(lines);
    }
}

void PlotWidget::mousePressEvent(QMouseEvent *event)
{
    const int x = int(event->position().x());
    if (event->button() == Qt::LeftButton)
        m_dragFrom = x;
    else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        m_panFrom = x;
        setCursor(Qt::ClosedHandCursor);
    }
}

void PlotWidget::mouseMoveEvent(QMouseEvent *event)
{
    m_cursorX = int(event->position().x());
    if (m_panFrom >= 0) {
        // The time under the mouse stays under it.
        pan(PlotDrawing::msAt(m_panFrom, area(), m_view) - PlotDrawing::msAt(m_cursorX, area(), m_view));
        m_panFrom = m_cursorX;
    }
    update();
}

void PlotWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const int x = int(event->position().x());
    if (event->button() == Qt::LeftButton && m_dragFrom >= 0) {
        const int from = std::min(m_dragFrom, x), to = std::max(m_dragFrom, x);
        m_dragFrom = -1;
        if (to - from >= DragLeast)
            setWindow(PlotDrawing::msAt(from, area(), m_view), PlotDrawing::msAt(to, area(), m_view));
        update();
    } else if (m_panFrom >= 0) {
        m_panFrom = -1;
        setCursor(Qt::CrossCursor);
    }
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent *)
{
    showAll();
}

void PlotWidget::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const qint64 span = m_view.toMs - m_view.fromMs;
    if (delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier)) {
        const int steps = (delta.x() != 0 ? delta.x() : delta.y()) / 120;
        pan(-steps * span / 10);
    } else if (delta.y() != 0) {
        const double notches = delta.y() / 120.0;
        zoom(std::pow(ZoomStep, -notches), PlotDrawing::msAt(event->position().x(), area(), m_view));
    }
    event->accept();
}

void PlotWidget::keyPressEvent(QKeyEvent *event)
{
    const qint64 span = m_view.toMs - m_view.fromMs;
    const qint64 middle = m_view.fromMs + span / 2;
    switch (event->key()) {
    case Qt::Key_Left: pan(-span / 10); break;
    case Qt::Key_Right: pan(span / 10); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoom(1 / ZoomStep, middle); break;
    case Qt::Key_Minus: zoom(ZoomStep, middle); break;
    case Qt::Key_Home: showAll(); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

void PlotWidget::leaveEvent(QEvent *)
{
    m_cursorX = -1;
    update();
}

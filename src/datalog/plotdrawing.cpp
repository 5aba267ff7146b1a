#include "plotdrawing.h"
#include "textformat/czechnumber.h"
#include <QTime>
#include "logformat.h"
#include "recording.h"
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace PlotDrawing {
namespace {

const QColor Grid(225, 225, 225);
const QColor Axis(90, 90, 90);
const QColor MarkerLine(120, 120, 120);
const QColor ReplayLine(255, 140, 0);

// 1, 2, 5 times a power of ten: the step of axis labels at least `least` apart. The steps are
// whole milliseconds or hundredths, so never less than 1: a plot of one row spans no time at all.
qint64 niceStep(double least)
{
    double step = 1;
    while (step < least)
        step *= 10;
    if (step / 5 >= least && step >= 5)
        return qint64(step / 5);
    if (step / 2 >= least && step >= 2)
        return qint64(step / 2);
    return qint64(step);
}

// Where the lines of one lane go: every snapped point joined to the one before (the reference),
// or, decimating, the points of one pixel column gathered into the stroke from the lowest to the
// highest and joined to the columns beside it by their first and last points. Qt draws both ends
// of a one-pixel line, so the two give the same pixels.
class Stroke
{
public:
    Stroke(bool decimate, QVector<QLine> &lines, QVector<QPoint> &dots) : m_decimate(decimate), m_lines(lines), m_dots(dots) {}

    void add(const QPoint &p)
    {
        if (!m_started) {
            m_started = true;
            m_prev = m_runStart = p;
            m_drawn = false;
            return;
        }
        if (!m_decimate) {
            line(m_prev, p);
            m_prev = p;
            return;
        }
        if (m_open && p.x() == m_column) {
            m_low = std::min(m_low, p.y());
            m_high = std::max(m_high, p.y());
            m_end = p;
            return;
        }
        closeColumn();
        m_open = true;
        m_column = p.x();
        m_first = m_end = p;
        m_low = m_high = p.y();
        if (m_prev.x() == m_column) {  // the run began in this column
            m_low = std::min(m_low, m_prev.y());
            m_high = std::max(m_high, m_prev.y());
        }
    }
    void endRun()
    {
        closeColumn();
        if (m_started && !m_drawn)
            m_dots << m_runStart;  // a lone row, or all in one pixel
        m_started = false;
    }

private:
    void line(const QPoint &a, const QPoint &b)
    {
        if (a == b)
            return;
        m_lines << QLine(a, b);
        m_drawn = true;
    }
    void closeColumn()
    {
        if (!m_open)
            return;
        line(m_prev, m_first);
        line(QPoint(m_column, m_low), QPoint(m_column, m_high));
        m_prev = m_end;
        m_open = false;
    }

    bool m_decimate;
    QVector<QLine> &m_lines;
    QVector<QPoint> &m_dots;
    bool m_started = false, m_drawn = false, m_open = false;
    QPoint m_prev, m_runStart, m_first, m_end;
    int m_column = 0, m_low = 0, m_high = 0;
};

void drawAxis(QPainter &painter, PlotView::Lane lane, const QRect &rect, int scale, const QRect &area)
{
    const QFontMetrics fm = painter.fontMetrics();
    const double volts = lane == PlotView::Position ? 1.0 : 0.02;
    const double top = scale * volts;
    const int rows = std::max(1, rect.height() / (fm.height() + 4));
    const double rawStep = top / rows;
    // Volts in steps of 0.1, 0.2, 0.5, 1, 2; steps in whole numbers.
    const double step = lane == PlotView::Position ? double(niceStep(rawStep)) : niceStep(rawStep * 100) / 100.0;
    for (double v = 0; v <= top + 1e-9; v += step) {
        const int y = rect.bottom() - int(std::lround(v / top * (rect.height() - 1)));
        painter.setPen(Grid);
        painter.drawLine(area.left(), y, area.right(), y);
        painter.setPen(Axis);
        painter.drawLine(area.left() - 3, y, area.left() - 1, y);
        const QString label = lane == PlotView::Position ? QString::number(int(v))
                                                         : czechDecimal(v, step < 0.1 ? 2 : 1);
        const QRect box(0, y - fm.height() / 2, area.left() - 5, fm.height());
        if (box.top() >= rect.top() - fm.height() / 2 && box.bottom() <= rect.bottom() + fm.height())
            painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label);
    }
}

}  // namespace

QRect plotArea(const QSize &size)
{
    return QRect(LeftAxis, TopMargin, std::max(1, size.width() - LeftAxis - RightMargin),
                 std::max(1, size.height() - TopMargin - BottomAxis));
}

QList<QPair<PlotView::Lane, QRect>> lanes(const QSize &size, const PlotView &view)
{
    QList<QPair<PlotView::Lane, QRect>> out;
    const QRect area = plotArea(size);
    const int n = view.shownLanes();
    if (n == 0)
        return out;
    const int each = (area.height() - LaneGap * (n - 1)) / n;
    int top = area.top();
    for (int l = 0; l < PlotView::LaneCount; ++l) {
        if (!view.lanes[l])
            continue;
        out.append({PlotView::Lane(l), QRect(area.left(), top, area.width(), std::max(4, each))});
        top += each + LaneGap;
    }
    return out;
}

QString laneName(PlotView::Lane lane)
{
    switch (lane) {
    case PlotView::Lambda: return QStringLiteral("Lambda [V]");
    case PlotView::Tps: return QStringLiteral("TPS [V]");
    default: return QStringLiteral("Poloha [krok]");
    }
}

QColor laneColour(PlotView::Lane lane, bool overlay)
{
    switch (lane) {
    case PlotView::Lambda: return overlay ? QColor(240, 150, 150) : QColor(200, 0, 0);
    case PlotView::Tps: return overlay ? QColor(140, 170, 250) : QColor(0, 60, 200);
    default: return overlay ? QColor(130, 210, 130) : QColor(0, 128, 0);
    }
}

int laneScale(PlotView::Lane lane, const Recording &recording)
{
    if (lane == PlotView::Lambda && recording.lambdaPeak() <= 60)
        return 60;
    return 255;
}

QString valueText(PlotView::Lane lane, int value)
{
    if (lane == PlotView::Position)
        return QString::number(value);
    return QString::fromLatin1(LogFormat::volts(value)) + QStringLiteral(" V");
}

int laneValue(PlotView::Lane lane, const Recording &r, int row)
{
    switch (lane) {
    case PlotView::Lambda: return r.lambda(row);
    case PlotView::Tps: return r.tps(row);
    default: return r.position(row);
    }
}

QString timeText(qint64 ms, qint64 stepMs)
{
    const bool negative = ms < 0;
    ms = std::abs(ms);
    const int decimals = stepMs >= 1000 ? 0 : stepMs >= 100 ? 1 : stepMs >= 10 ? 2 : 3;
    QString text;
    if (stepMs >= 60000 || ms >= 600000) {
        // Minutes, and the seconds' fraction as fine as the step: at 15:00 with a 200 ms step the
        // labels still differ.
        qint64 unit = 1;
        for (int i = decimals; i < 3; ++i)
            unit *= 10;
        const qint64 units = (ms + unit / 2) / unit;
        const qint64 perSecond = 1000 / unit;
        text = minutesText(units / perSecond);
        if (decimals > 0)
            text += QStringLiteral(",%1").arg(units % perSecond, decimals, 10, QLatin1Char('0'));
    } else {
        text = czechDecimal(ms / 1000.0, decimals) + QStringLiteral(" s");
    }
    return negative ? QLatin1Char('-') + text : text;
}

QString minutesText(qint64 s)
{
    return s >= 3600 ? QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'))
                     : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString clockText(int msSinceMidnight)
{
    return QTime::fromMSecsSinceStartOfDay(msSinceMidnight).toString(QStringLiteral("HH:mm:ss,zzz"));
}

double xOf(qint64 ms, const QRect &area, const PlotView &view)
{
    const double span = double(std::max<qint64>(1, view.toMs - view.fromMs));
    return area.left() + double(ms - view.fromMs) * area.width() / span;
}

qint64 msAt(double x, const QRect &area, const PlotView &view)
{
    const double span = double(std::max<qint64>(1, view.toMs - view.fromMs));
    return view.fromMs + qint64(std::llround((x - area.left()) * span / area.width()));
}

void drawTrace(QPainter &painter, const QRect &lane, const QRect &area, const Recording &r, PlotView::Lane which,
               const PlotView &view, qint64 shiftMs, int scale, bool decimate)
{
    if (r.isEmpty())
        return;
    const int first = std::max(0, r.rowAtOrAfter(view.fromMs - shiftMs) - 1);
    const int last = std::min(r.rows() - 1, r.rowAtOrAfter(view.toMs - shiftMs + 1));
    const Recording::Blocks &blocks = r.blocks();
    const qint64 gap = blocks.gapMs;
    const double yScale = double(lane.height() - 1) / scale;
    const double xPerMs = double(area.width()) / double(std::max<qint64>(1, view.toMs - view.fromMs));
    const double x0 = area.left() - double(view.fromMs - shiftMs) * xPerMs;
    const auto xAt = [&](int i) { return x0 + double(r.ms(i)) * xPerMs; };
    const auto yOf = [&](double value) { return lane.bottom() - std::min(value, double(scale)) * yScale; };
    // Pixels: the column the x falls in, the nearest row of pixels (every y here is positive).
    const auto column = [](double x) {
        const int c = int(x);
        return x < c ? c - 1 : c;
    };
    const auto pixelRow = [](double y) { return int(y + 0.5); };
    const auto joined = [&](int a, int b) { return r.hasValues(a) && r.hasValues(b) && r.ms(b) - r.ms(a) <= gap; };
    // Only the first and the last row can lie outside the window: they are brought to its edge
    // along their line, so that a far zoom never draws from far-off coordinates.
    const auto pulled = [&](int i, int towards, double edge) {
        const QPointF out(xAt(i), yOf(laneValue(which, r, i))), in(xAt(towards), yOf(laneValue(which, r, towards)));
        if (std::abs(out.x() - in.x()) < 1e-9)
            return out;
        return QPointF(edge, in.y() + (out.y() - in.y()) * (edge - in.x()) / (out.x() - in.x()));
    };

    QVector<QLine> lines;
    QVector<QPoint> dots;
    lines.reserve(4 * area.width() + 16);
    Stroke stroke(decimate, lines, dots);
    for (int i = first; i <= last; ++i) {
        if (!r.hasValues(i)) {
            stroke.endRun();
            continue;
        }
        if (i > first && !joined(i - 1, i))
            stroke.endRun();
        // Many rows in one pixel column: a whole block gives its first, lowest, highest and last
        // value without visiting its rows.
        if (decimate && i > first && i % Recording::blockSize(0) == 0) {
            int level = Recording::BlockLevels - 1;
            for (; level >= 0; --level) {
                const int size = Recording::blockSize(level);
                const int k = i / size;
                if (i % size == 0 && i + size - 1 < last && blocks.whole[level][std::size_t(k)]
                    && column(xAt(i)) == column(xAt(i + size - 1)))
                    break;
            }
            if (level >= 0) {
                const int size = Recording::blockSize(level);
                const int k = i / size;
                const int c = column(xAt(i));
                stroke.add(QPoint(c, pixelRow(yOf(laneValue(which, r, i)))));
                stroke.add(QPoint(c, pixelRow(yOf(blocks.high[level][which][std::size_t(k)]))));
                stroke.add(QPoint(c, pixelRow(yOf(blocks.low[level][which][std::size_t(k)]))));
                stroke.add(QPoint(c, pixelRow(yOf(laneValue(which, r, i + size - 1)))));
                i += size - 1;
                continue;
            }
        }
        QPointF p(xAt(i), yOf(laneValue(which, r, i)));
        if (i == first && p.x() < area.left() - 1 && i < last && joined(i, i + 1))
            p = pulled(i, i + 1, area.left() - 1);
        else if (i == last && p.x() > area.right() + 1 && i > first && joined(i - 1, i))
            p = pulled(i, i - 1, area.right() + 1);
        stroke.add(QPoint(column(p.x()), pixelRow(p.y())));
    }
    stroke.endRun();
    painter.drawLines(lines);
    painter.drawPoints(dots);
}

void paint(QPainter &painter, const QSize &size, const Recording &recording, const PlotView &view,
           const PlotOverlay &overlay)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const QRect area = plotArea(size);
    const QFontMetrics fm = painter.fontMetrics();

    // The time axis: labels at a round step, at least a label's width apart.
    const qint64 span = std::max<qint64>(1, view.toMs - view.fromMs);
    const qint64 step = niceStep(double(span) * (fm.horizontalAdvance(QStringLiteral("0:00:00")) + 16) / area.width());
    const QList<QPair<PlotView::Lane, QRect>> shown = lanes(size, view);
    for (qint64 t = (view.fromMs / step) * step; t <= view.toMs; t += step) {
        if (t < view.fromMs)
            continue;
        const int x = int(std::floor(xOf(t, area, view)));
        painter.setPen(Grid);
        painter.drawLine(x, area.top(), x, area.bottom());
        painter.setPen(Axis);
        painter.drawLine(x, area.bottom() + 1, x, area.bottom() + 3);
        const QString label = timeText(t, step);
        const int w = fm.horizontalAdvance(label);
        painter.drawText(QRect(std::min(x - w / 2, size.width() - w - 1), area.bottom() + 3, w + 2, fm.height()),
                         Qt::AlignLeft | Qt::AlignTop, label);
    }

    for (const auto &[lane, rect] : shown) {
        const int scale = laneScale(lane, recording);
        drawAxis(painter, lane, rect, scale, area);
        painter.setPen(Axis);
        painter.drawRect(rect.adjusted(0, 0, -1, 0));
        painter.save();
        painter.setClipRect(rect);
        if (overlay.recording) {
            painter.setPen(laneColour(lane, true));
            drawTrace(painter, rect, area, *overlay.recording, lane, view, overlay.shiftMs, scale, true);
        }
        painter.setPen(laneColour(lane));
        drawTrace(painter, rect, area, recording, lane, view, 0, scale, true);
        painter.restore();
        const QString name = laneName(lane);
        const QRect nameBox(rect.left() + 3, rect.top() + 1, fm.horizontalAdvance(name) + 6, fm.height());
        painter.fillRect(nameBox, QColor(255, 255, 255, 210));
        painter.setPen(laneColour(lane));
        painter.drawText(nameBox.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
    }

    // Markers: a dashed line through every lane, the number and its text above, the text cut
    // short where the next marker's label begins.
    const auto markers = [&](const Recording &r, qint64 shift, const QColor &colour) {
        QList<QPair<int, const Recording::Marker *>> shownMarkers;
        for (const Recording::Marker &m : r.markers()) {
            const qint64 ms = r.ms(m.row) + shift;
            if (ms >= view.fromMs && ms <= view.toMs)
                shownMarkers.append({int(std::floor(xOf(ms, area, view))), &m});
        }
        std::stable_sort(shownMarkers.begin(), shownMarkers.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (int i = 0; i < shownMarkers.size(); ++i) {
            const int x = shownMarkers[i].first;
            const Recording::Marker &m = *shownMarkers[i].second;
            painter.setPen(QPen(colour, 1, Qt::DashLine));
            painter.drawLine(x, area.top(), x, area.bottom());
            painter.setPen(colour);
            const QString number = QString::number(m.number);
            const int left = x - fm.horizontalAdvance(number) / 2;
            int room = size.width() - left;
            if (i + 1 < shownMarkers.size())
                room = shownMarkers[i + 1].first - fm.horizontalAdvance(QString::number(shownMarkers[i + 1].second->number)) / 2 - 4 - left;
            QString label = number;
            if (!m.text.isEmpty()) {
                const QString full = number + QLatin1Char(' ') + m.text;
                label = fm.horizontalAdvance(full) <= room ? full : fm.elidedText(full, Qt::ElideRight, room);
                if (label.size() <= number.size() + 2)  // only the number and "…": the number alone
                    label = number;
            }
            painter.drawText(QRect(left, 0, std::max(room, fm.horizontalAdvance(number)), TopMargin),
                             Qt::AlignLeft | Qt::AlignBottom, label);
        }
    };
    if (overlay.recording)
        markers(*overlay.recording, overlay.shiftMs, QColor(170, 170, 170));
    markers(recording, 0, MarkerLine);
    painter.restore();
}

void drawReplayLine(QPainter &painter, const QSize &size, const PlotView &view, qint64 replayMs)
{
    if (replayMs < view.fromMs || replayMs > view.toMs)
        return;
    const QRect area = plotArea(size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ReplayLine, 2));
    const int x = int(std::floor(xOf(replayMs, area, view)));
    painter.drawLine(x, area.top(), x, area.bottom());
    painter.restore();
}

}  // namespace PlotDrawing

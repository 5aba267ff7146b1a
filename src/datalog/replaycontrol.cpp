#include "replaycontrol.h"
#include "plotwidget.h"
#include "recording.h"
#include "recordingsbrowser.h"
#include "recordingspage.h"
#include "replaybox.h"
#include "link/livevalues.h"
#include "link/unitdata.h"
#include "livepage/livedisplay.h"
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTime>

namespace {
constexpr int Speeds[] = {1, 4, 16};
}

ReplayControl::ReplayControl(RecordingsPage *page, const UnitData *data)
    : QObject(page), m_data(data), m_browser(page->browser()), m_plot(page->plot()),
      m_box(page->control<ReplayBox>("PrehravaniBox")), m_slider(page->control<QSlider>("PoziceZaznamu")),
      m_play(page->control<QPushButton>("Prehrat")), m_speed(page->control<QComboBox>("Rychlost")),
      m_time(page->control<QLabel>("CasPrehravani"))
{
    m_timer.setInterval(FrameMs);
    connect(&m_timer, &QTimer::timeout, this, &ReplayControl::tick);
    connect(m_play, &QPushButton::clicked, this, &ReplayControl::togglePlay);
    connect(page->control<QPushButton>("KrokZpet"), &QPushButton::clicked, this, [this] { step(-1); });
    connect(page->control<QPushButton>("KrokVpred"), &QPushButton::clicked, this, [this] { step(1); });
    connect(m_slider, &QSlider::valueChanged, this, &ReplayControl::seek);
    connect(m_speed, &QComboBox::currentIndexChanged, this, [this] {
        // The new speed counts from here.
        if (playing())
            seek(m_row);
    });
    reset();
}

int ReplayControl::speed() const
{
    return Speeds[std::clamp(m_speed->currentIndex(), 0, 2)];
}

void ReplayControl::reset()
{
    stop();
    const Recording *r = m_browser->recording();
    const QSignalBlocker quiet(m_slider);
    m_slider->setRange(0, r && !r->isEmpty() ? r->rows() - 1 : 0);
    m_slider->setValue(0);
    m_row = 0;
    show();
}

void ReplayControl::togglePlay()
{
    const Recording *r = m_browser->recording();
    if (playing() || !r || r->isEmpty()) {
        stop();
        return;
    }
    if (m_row >= r->rows() - 1)
        m_row = 0;  // played to the end: from the start again
    m_startMs = r->ms(m_row);
    m_clock.start();
    m_timer.start();
    m_play->setText(QStringLiteral("Pozastavit"));
    show();
}

void ReplayControl::stop()
{
    m_timer.stop();
    m_play->setText(QStringLiteral("Přehrát"));
}

void ReplayControl::step(int rows)
{
    stop();
    seek(m_row + rows);
}

void ReplayControl::seek(int row)
{
    const Recording *r = m_browser->recording();
    if (!r || r->isEmpty())
        return;
    m_row = std::clamp(row, 0, r->rows() - 1);
    m_startMs = r->ms(m_row);
    m_clock.restart();
    show();
}

void ReplayControl::tick()
{
    const Recording *r = m_browser->recording();
    if (!r || r->isEmpty()) {
        stop();
        return;
    }
    const qint64 now = m_startMs + m_clock.elapsed() * speed();
    int row = m_row;
    while (row + 1 < r->rows() && r->ms(row + 1) <= now)
        ++row;
    m_row = row;
    if (row >= r->rows() - 1)
        stop();
    show();
}

void ReplayControl::show()
{
    const Recording *r = m_browser->recording();
    if (!r || r->isEmpty()) {
        m_box->showNothing();
        m_time->clear();
        m_plot->setReplayMs(-1);
        return;
    }
    {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(m_row);
    }
    const int i = m_row;
    if (r->hasValues(i)) {
        const auto &block = m_data->paramBlock;
        m_box->show({r->lambda(i), r->tps(i), r->position(i)}, PlotDrawing::laneScale(PlotView::Lambda, *r),
                    block[LiveDisplay::LambdaThresholdIndex], block[LiveDisplay::TpsThreshold3Index]);
    } else {
        m_box->showNothing(r->status(i));
    }
    const QString time = QStringLiteral("řádek %1: %2").arg(i + 2).arg(PlotDrawing::timeText(r->ms(i), 1));
    const QString full = r->clockMs(i) >= 0 ? time + QStringLiteral("  ") + PlotDrawing::clockText(r->clockMs(i)) : time;
    // Past an hour and a hundred thousand rows the wall clock no longer fits: it stays in the tool tip.
    m_time->setText(m_time->fontMetrics().horizontalAdvance(full) <= m_time->width() ? full : time);
    m_time->setToolTip(full);
    // The replay stays in sight: past the window's edge the window moves on.
    const PlotView &v = m_plot->view();
    const qint64 ms = r->ms(i);
    if (ms < v.fromMs || ms > v.toMs) {
        const qint64 span = v.toMs - v.fromMs;
        m_plot->setWindow(ms - span / 10, ms - span / 10 + span);
    }
    m_plot->setReplayMs(ms);
}

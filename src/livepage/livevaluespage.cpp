#include "livevaluespage.h"
#include "bargauge.h"
#include "describevalue.h"
#include "livedisplay.h"
#include "markerimage.h"
#include "valuelabel.h"
#include "link/livevalues.h"
#include "link/unitdata.h"
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int RowHeight = 140;
constexpr int GaugeLeft = 20;
constexpr int GaugeWidth = 600;
constexpr int MarkerWidth = 20;
constexpr int MarkerHeight = 12;

template<class Label = QLabel>
Label *bigLabel(const QString &name, const QString &text, int x, int y, int w, QWidget *parent)
{
    auto *label = new Label(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(64);
    label->setFont(font);
    label->setGeometry(x, y, w, 78);
    return label;
}

ValueLabel *voltageLabel(const QString &name, int x, int y, QWidget *parent)
{
    auto *label = new ValueLabel(QStringLiteral("0V"), parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(28);
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(x, y, 150, 40);
    return label;
}

MarkerImage *marker(const QString &name, int top, QWidget *parent)
{
    auto *image = new MarkerImage(Qt::red, MarkerWidth, MarkerHeight, parent);
    image->setObjectName(name);
    image->move(10, top);
    return image;
}

BarGauge *gauge(const QString &name, int maximum, int top, QWidget *parent)
{
    auto *bar = new BarGauge(maximum, LiveDisplay::designBlue(), parent);
    bar->setObjectName(name);
    bar->setGeometry(GaugeLeft, top, GaugeWidth, 24);
    return bar;
}
}

LiveValuesPage::LiveValuesPage(const UnitData *data, QWidget *parent)
    : QWidget(parent), m_data(data)
{
    const int rows[3] = {2, 2 + RowHeight, 2 + 2 * RowHeight};
    bigLabel(QStringLiteral("Label13"), QStringLiteral("Lambda"), 20, rows[0], 290, this);
    bigLabel(QStringLiteral("Label14"), QStringLiteral("TPS"), 20, rows[1], 290, this);
    bigLabel(QStringLiteral("Label15"), QStringLiteral("Poloha"), 20, rows[2], 290, this);
    m_lambdaValue = bigLabel<ValueLabel>(QStringLiteral("L2"), QStringLiteral("0"), 320, rows[0], 140, this);
    m_tpsValue = bigLabel<ValueLabel>(QStringLiteral("L3"), QStringLiteral("0"), 320, rows[1], 140, this);
    m_positionValue = bigLabel<ValueLabel>(QStringLiteral("L4"), QStringLiteral("0"), 320, rows[2], 140, this);
    m_lambdaValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_tpsValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_positionValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lambdaVolts = voltageLabel(QStringLiteral("NapetiL"), 480, rows[0] + 24, this);
    m_tpsVolts = voltageLabel(QStringLiteral("NapetiT"), 480, rows[1] + 24, this);
    describeValue(m_lambdaValue, QStringLiteral("Lambda"));
    describeValue(m_tpsValue, QStringLiteral("TPS"));
    describeValue(m_positionValue, QStringLiteral("Poloha"));
    describeValue(m_lambdaVolts, QStringLiteral("Napětí lambda"));
    describeValue(m_tpsVolts, QStringLiteral("Napětí TPS"));

    const int markerTop = 82, gaugeTop = 96;
    m_lambdaThresholdMark = marker(QStringLiteral("HraniceLambda"), rows[0] + markerTop, this);
    m_tpsMarks[0] = marker(QStringLiteral("TPS1"), rows[1] + markerTop, this);
    m_tpsMarks[1] = marker(QStringLiteral("TPS2"), rows[1] + markerTop, this);
    m_tpsMarks[2] = marker(QStringLiteral("TPS3"), rows[1] + markerTop, this);
    m_positionMaxMark = marker(QStringLiteral("PolohaMax"), rows[2] + markerTop, this);
    m_positionMinMark = marker(QStringLiteral("PolohaMin"), rows[2] + markerTop, this);
    m_lambdaGauge = gauge(QStringLiteral("LaAnalog"), 60, rows[0] + gaugeTop, this);
    m_tpsGauge = gauge(QStringLiteral("TPSAnalog"), 255, rows[1] + gaugeTop, this);
    m_positionGauge = gauge(QStringLiteral("PolohaAnalog"), 255, rows[2] + gaugeTop, this);

    // Beside the position, where the row has no voltage: recording and markers.
    const int right = 476, buttonWidth = 150;
    m_recordButton = new QPushButton(QStringLiteral("Záznam"), this);
    m_recordButton->setObjectName(QStringLiteral("Zaznam"));
    m_recordButton->setGeometry(right, rows[2] + 2, buttonWidth, 25);
    m_markerButton = new QPushButton(QStringLiteral("Značka"), this);
    m_markerButton->setObjectName(QStringLiteral("Znacka"));
    m_markerButton->setGeometry(right, rows[2] + 28, buttonWidth, 25);
    m_markerButton->setEnabled(false);
    m_recordingLabel = new QLabel(this);
    m_recordingLabel->setObjectName(QStringLiteral("StavZaznamu"));
    // Two lines, time above rows, between the buttons and the position's markers.
    m_recordingLabel->setGeometry(right - 6, rows[2] + 54, buttonWidth + 12, 28);
    m_recordingLabel->setAlignment(Qt::AlignCenter);
    m_recordingLabel->setStyleSheet(QStringLiteral("color: #c00000;"));

    for (QWidget *w : {static_cast<QWidget *>(m_lambdaThresholdMark), static_cast<QWidget *>(m_tpsMarks[0]),
                       static_cast<QWidget *>(m_tpsMarks[1]), static_cast<QWidget *>(m_tpsMarks[2]),
                       static_cast<QWidget *>(m_positionMaxMark), static_cast<QWidget *>(m_positionMinMark)})
        w->raise();
}

// The page paints its background itself, in the colour of the page tabs' pane it sits in, so that a
// new value repaints the page under that value only, not the tabs and their frame around it. The
// colour is taken from the window as drawn without the page whenever the page is shown or the look
// changes.
bool LiveValuesPage::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        if (isVisible())
            takePaneColour();
        break;
    case QEvent::Polish:
        setAttribute(Qt::WA_OpaquePaintEvent, m_pane.isValid());
        break;
    default:
        break;
    }
    return handled;
}

void LiveValuesPage::takePaneColour()
{
    m_pane = QColor();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    QWidget *top = window();
    // A corner no control covers.
    const QPoint corner = mapTo(top, QPoint(width() - 2, height() - 2));
    const QImage drawn = top->grab(QRect(corner, QSize(1, 1))).toImage();
    if (drawn.isNull())
        return;
    m_pane = drawn.pixelColor(0, 0);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LiveValuesPage::paintEvent(QPaintEvent *event)
{
    if (!m_pane.isValid())
        return;
    QPainter painter(this);
    painter.fillRect(event->rect(), m_pane);
}

void LiveValuesPage::setStale(bool stale)
{
    for (QWidget *w : {static_cast<QWidget *>(m_lambdaValue), static_cast<QWidget *>(m_tpsValue), static_cast<QWidget *>(m_positionValue),
                       static_cast<QWidget *>(m_lambdaVolts), static_cast<QWidget *>(m_tpsVolts),
                       static_cast<QWidget *>(m_lambdaGauge), static_cast<QWidget *>(m_tpsGauge),
                       static_cast<QWidget *>(m_positionGauge)})
        w->setEnabled(!stale);
}

void LiveValuesPage::showLiveValues(const LiveValues &values)
{
    m_lambdaVolts->showValue(LiveDisplay::voltageText(values.lambda));
    m_tpsVolts->showValue(LiveDisplay::voltageText(values.tps));
    m_lambdaValue->showValue(QString::number(values.lambda));
    m_tpsValue->showValue(QString::number(values.tps));
    m_positionValue->showValue(QString::number(values.position));
    LiveDisplay::showOnGauges(m_lambdaGauge, m_tpsGauge, m_data->set(), values);
    m_positionGauge->setProgress(values.position);
}

#include "replaybox.h"
#include "livepage/bargauge.h"
#include "livepage/livedisplay.h"
#include "link/livevalues.h"
#include <QLabel>

namespace {
constexpr int RowTop = 18;
constexpr int RowHeight = 19;
const char *const Captions[3] = {"Lambda", "TPS", "Poloha"};
const char *const ValueNames[3] = {"PrehL2", "PrehL3", "PrehL4"};
const char *const GaugeNames[3] = {"PrehLaAnalog", "PrehTPSAnalog", "PrehPolohaAnalog"};
const char *const VoltNames[2] = {"PrehNapetiL", "PrehNapetiT"};
}

ReplayBox::ReplayBox(QWidget *parent) : QGroupBox(QStringLiteral("Přehrávání záznamu – ne živá data"), parent)
{
    setObjectName(QStringLiteral("PrehravaniBox"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 236, 179));
    setPalette(pal);
    for (int i = 0; i < 3; ++i) {
        const int y = RowTop + i * RowHeight;
        auto *caption = new QLabel(QString::fromLatin1(Captions[i]), this);
        caption->setGeometry(6, y, 48, RowHeight - 2);
        m_values[i] = new QLabel(QStringLiteral("–"), this);
        m_values[i]->setObjectName(QString::fromLatin1(ValueNames[i]));
        m_values[i]->setGeometry(54, y, 28, RowHeight - 2);
        m_values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (i < 2) {
            m_volts[i] = new QLabel(this);
            m_volts[i]->setObjectName(QString::fromLatin1(VoltNames[i]));
            m_volts[i]->setGeometry(86, y, 50, RowHeight - 2);
        }
        m_gauges[i] = new BarGauge(i == 0 ? 60 : 255, LiveDisplay::designBlue(), this);
        m_gauges[i]->setObjectName(QString::fromLatin1(GaugeNames[i]));
        m_gauges[i]->setGeometry(138, y + 2, 250, RowHeight - 6);
    }
    m_why = new QLabel(this);
    m_why->setObjectName(QStringLiteral("PrehStav"));
    m_why->setGeometry(138, RowTop, 250, 3 * RowHeight);
    m_why->setAlignment(Qt::AlignCenter);
    showNothing();
}

void ReplayBox::show(const LiveValues &values, int lambdaScale, int lambdaThreshold, int tpsThreshold)
{
    m_why->hide();
    const int shown[3] = {values.lambda, values.tps, values.position};
    for (int i = 0; i < 3; ++i) {
        m_values[i]->setText(QString::number(shown[i]));
        m_gauges[i]->show();
    }
    m_volts[0]->setText(LiveDisplay::voltageText(values.lambda));
    m_volts[1]->setText(LiveDisplay::voltageText(values.tps));
    m_gauges[0]->setMaximum(lambdaScale);
    m_gauges[0]->setForeColor(LiveDisplay::gaugeColour(lambdaThreshold, values.lambda));
    m_gauges[0]->setProgress(values.lambda);
    m_gauges[1]->setForeColor(LiveDisplay::gaugeColour(tpsThreshold, values.tps));
    m_gauges[1]->setProgress(values.tps);
    m_gauges[2]->setProgress(values.position);
}

void ReplayBox::showNothing(const QString &why)
{
    for (int i = 0; i < 3; ++i) {
        m_values[i]->setText(QStringLiteral("–"));
        m_gauges[i]->hide();
    }
    m_volts[0]->clear();
    m_volts[1]->clear();
    m_why->setText(why);
    m_why->setVisible(!why.isEmpty());
}

#include "livebox.h"
#include "bargauge.h"
#include "describevalue.h"
#include "livedisplay.h"
#include "markerimage.h"
#include "valueedit.h"
#include "link/livevalues.h"
#include "link/unitdata.h"
#include <QLabel>

namespace {
// A caption and its value; the edit is named as captioned.
ValueEdit *valueRow(const QString &caption, int y, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(8, y, 50, 22);
    auto *edit = new ValueEdit(QStringLiteral("0"), parent);
    edit->setObjectName(caption);
    edit->setGeometry(58, y, 50, 22);
    describeValue(edit, caption);
    return edit;
}

MarkerImage *marker(const QString &name, int y, QWidget *parent)
{
    auto *image = new MarkerImage(Qt::blue, 10, 8, parent);
    image->setObjectName(name);
    image->move(125, y);
    return image;
}
}

LiveBox::LiveBox(const UnitData *data, QWidget *parent)
    : QGroupBox(QStringLiteral(" Aktualní "), parent), m_data(data)
{
    setObjectName(QStringLiteral("GroupBox1"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 255, 0));
    setPalette(pal);

    m_lambda = valueRow(QStringLiteral("Lambda"), 28, this);
    m_tps = valueRow(QStringLiteral("TPS"), 62, this);
    m_position = valueRow(QStringLiteral("Poloha"), 92, this);

    auto *richLean = new QLabel(QStringLiteral("chudá / bohatá"), this);
    richLean->setObjectName(QStringLiteral("LabelChudaBohata"));
    richLean->setGeometry(130, 10, 110, 12);
    QFont small = richLean->font();
    small.setPixelSize(10);
    richLean->setFont(small);

    m_lambdaThresholdMarkSmall = marker(QStringLiteral("HraniceLambdaL"), 22, this);
    m_lambdaGaugeSmall = new BarGauge(60, LiveDisplay::designBlue(), this);
    m_lambdaGaugeSmall->setObjectName(QStringLiteral("lambdaCG1"));
    m_lambdaGaugeSmall->setGeometry(130, 30, 100, 18);
    for (int i = 0; i < 3; ++i)
        m_tpsMarksSmall[i] = marker(QStringLiteral("TPS%1L").arg(i + 1), 56, this);
    m_tpsGaugeSmall = new BarGauge(255, LiveDisplay::designBlue(), this);
    m_tpsGaugeSmall->setObjectName(QStringLiteral("TPSCG"));
    m_tpsGaugeSmall->setGeometry(130, 64, 100, 18);
    for (QWidget *w : {static_cast<QWidget *>(m_lambdaThresholdMarkSmall), static_cast<QWidget *>(m_tpsMarksSmall[0]),
                       static_cast<QWidget *>(m_tpsMarksSmall[1]), static_cast<QWidget *>(m_tpsMarksSmall[2])})
        w->raise();
}

void LiveBox::setStale(bool stale)
{
    for (QWidget *w : {static_cast<QWidget *>(m_lambda), static_cast<QWidget *>(m_tps), static_cast<QWidget *>(m_position),
                       static_cast<QWidget *>(m_lambdaGaugeSmall), static_cast<QWidget *>(m_tpsGaugeSmall)})
        w->setEnabled(!stale);
}

void LiveBox::showLiveValues(const LiveValues &values)
{
    m_lambda->setText(QString::number(values.lambda));
    m_tps->setText(QString::number(values.tps));
    m_position->setText(QString::number(values.position));
    LiveDisplay::showOnGauges(m_lambdaGaugeSmall, m_tpsGaugeSmall, m_data->set(), values);
}

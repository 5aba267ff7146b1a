#pragma once
#include <QGroupBox>

class QLabel;
class BarGauge;
struct LiveValues;

// The live values of a replay: the gauges of the page "Aktualní", small, on a box of its own
// colour whose title says it is a recording, so nobody takes it for the unit.
class ReplayBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit ReplayBox(QWidget *parent = nullptr);

    // One row of a recording; `lambdaScale` 60 or 255 as the probe's range, the thresholds from
    // the tool's block colour the bars as the live page does.
    void show(const LiveValues &values, int lambdaScale, int lambdaThreshold, int tpsThreshold);
    // A row without values (`why` says why) or no recording at all.
    void showNothing(const QString &why = {});

private:
    QLabel *m_values[3];
    QLabel *m_volts[2];
    BarGauge *m_gauges[3];
    QLabel *m_why;
};

#pragma once
#include <QGroupBox>

class BarGauge;
class MarkerImage;
class ValueEdit;
class UnitData;
struct LiveValues;

// The green box " Aktualní " on the tuning page: the live values small, beside the parameters.
class LiveBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit LiveBox(const UnitData *data, QWidget *parent = nullptr);

    void showLiveValues(const LiveValues &values);
    // Greys the values while the link is not answering: they are the last ones, not live.
    void setStale(bool stale);

    MarkerImage *lambdaThresholdMark() const { return m_lambdaThresholdMarkSmall; }
    BarGauge *lambdaGauge() const { return m_lambdaGaugeSmall; }
    MarkerImage *tpsMark(int n) const { return m_tpsMarksSmall[n]; }

private:
    const UnitData *m_data;
    ValueEdit *m_lambda, *m_tps, *m_position;
    BarGauge *m_lambdaGaugeSmall, *m_tpsGaugeSmall;
    MarkerImage *m_lambdaThresholdMarkSmall, *m_tpsMarksSmall[3];
};

#pragma once
#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;
class BarGauge;
class MarkerImage;
class ValueLabel;
class UnitData;
struct LiveValues;

// The page "Aktualní": lambda, TPS and servo position large, as numbers, bars and voltages,
// with the markers of the thresholds and of the active range's servo stops.
class LiveValuesPage : public QWidget
{
    Q_OBJECT
public:
    explicit LiveValuesPage(const UnitData *data, QWidget *parent = nullptr);

    // Shows the values of a status reply.
    void showLiveValues(const LiveValues &values);
    // Greys the values while the link is not answering: they are the last ones, not live.
    void setStale(bool stale);

    MarkerImage *lambdaThresholdMark() const { return m_lambdaThresholdMark; }
    BarGauge *lambdaGauge() const { return m_lambdaGauge; }
    MarkerImage *tpsMark(int n) const { return m_tpsMarks[n]; }
    MarkerImage *positionMaxMark() const { return m_positionMaxMark; }
    MarkerImage *positionMinMark() const { return m_positionMinMark; }
    // The recording's controls; the recorder attaches to them.
    QPushButton *recordButton() const { return m_recordButton; }
    QPushButton *markerButton() const { return m_markerButton; }
    QLabel *recordingLabel() const { return m_recordingLabel; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void takePaneColour();

    const UnitData *m_data;
    QColor m_pane;
    ValueLabel *m_lambdaValue, *m_tpsValue, *m_positionValue, *m_lambdaVolts, *m_tpsVolts;
    BarGauge *m_lambdaGauge, *m_tpsGauge, *m_positionGauge;
    MarkerImage *m_lambdaThresholdMark, *m_tpsMarks[3], *m_positionMaxMark, *m_positionMinMark;
    QPushButton *m_recordButton, *m_markerButton;
    QLabel *m_recordingLabel;
};

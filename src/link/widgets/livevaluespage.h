#pragma once
#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;
class BarGauge;
class MarkerImage;
class ValueLabel;
class UnitData;

// The page "Aktualní": lambda, TPS and servo position large, as numbers, bars and voltages,
// with the markers of the thresholds and of the active range's servo stops.
class LiveValuesPage : public QWidget
{
    Q_OBJECT
public:
    explicit LiveValuesPage(const UnitData *data, QWidget *parent = nullptr);

    // Shows the last accepted status reply.
    void refresh();
    // Greys the values while the link is not answering: they are the last ones, not live.
    void setStale(bool stale);

    MarkerImage *lambdaThresholdMark() const { return m_hraniceLambda; }
    BarGauge *lambdaGauge() const { return m_laAnalog; }
    MarkerImage *tpsMark(int n) const { return m_tps[n]; }
    MarkerImage *positionMaxMark() const { return m_polohaMax; }
    MarkerImage *positionMinMark() const { return m_polohaMin; }
    // The recording's controls; the recorder attaches to them.
    QPushButton *recordButton() const { return m_zaznam; }
    QPushButton *markerButton() const { return m_znacka; }
    QLabel *recordingLabel() const { return m_stavZaznamu; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void takePaneColour();

    const UnitData *m_data;
    QColor m_pane;
    ValueLabel *m_l2, *m_l3, *m_l4, *m_napetiL, *m_napetiT;
    BarGauge *m_laAnalog, *m_tpsAnalog, *m_polohaAnalog;
    MarkerImage *m_hraniceLambda, *m_tps[3], *m_polohaMax, *m_polohaMin;
    QPushButton *m_zaznam, *m_znacka;
    QLabel *m_stavZaznamu;
};

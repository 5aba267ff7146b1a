#pragma once
#include <QObject>
#include <functional>

class QPushButton;
class LambdaPage;
class ToolSetup;
class MeasurementExchange;

// The unit's emulation measurement, idle or raised: started by its button, shown code by code
// from the status replies, ended by the unit's end code (the block is read again, its emulation
// times changed) or by either button (the tool stops listening; the unit is not told).
class EmulationMeasurement : public QObject
{
    Q_OBJECT
public:
    EmulationMeasurement(const ToolSetup *setup, LambdaPage *page, MeasurementExchange *measurement, QObject *parent = nullptr);

    void startOrStopIdleMeasurement();  // idle
    void startOrStopRaisedMeasurement();  // raised
    // The block read after a measurement replaces the tool's set: while `unsaved` says there is
    // unsaved work, `mayReplace` is asked first, and false keeps the set.
    void setReplaceGuard(std::function<bool()> unsaved, std::function<bool()> mayReplace)
    {
        m_unsaved = std::move(unsaved);
        m_mayReplace = std::move(mayReplace);
    }

public slots:
    // A measurement code from a status reply.
    void showMeasurement(quint8 code);

private:
    void startOrStop(QPushButton *button, quint8 code);
    void showStartCaptions();

    const ToolSetup *m_setup;
    LambdaPage *m_page;
    MeasurementExchange *m_measurement;
    std::function<bool()> m_unsaved;
    std::function<bool()> m_mayReplace;
};

#include "emulationmeasurement.h"
#include "lambdapage.h"
#include "toolsetup/toolsetup.h"
#include "link/measurementexchange.h"
#include <QLabel>
#include <QPushButton>

namespace {
// End codes after which the unit needs the line quiet while it sends the block (idle, raised) ...
constexpr quint8 EndIdleQuiet = 5, EndRaisedQuiet = 21;
// ... and those after which the poll may go on.
constexpr quint8 EndIdle = 7, EndRaised = 10;
}

EmulationMeasurement::EmulationMeasurement(const ToolSetup *setup, LambdaPage *page, MeasurementExchange *measurement,
                                           QObject *parent)
    : QObject(parent), m_setup(setup), m_page(page), m_measurement(measurement)
{
    connect(page->measureIdleButton(), &QPushButton::clicked, this, &EmulationMeasurement::startOrStopIdleMeasurement);
    connect(page->measureRaisedButton(), &QPushButton::clicked, this, &EmulationMeasurement::startOrStopRaisedMeasurement);
    connect(measurement, &MeasurementExchange::measurementCodeReceived, this, &EmulationMeasurement::showMeasurement);
}

void EmulationMeasurement::startOrStopIdleMeasurement()
{
    startOrStop(m_page->measureIdleButton(), UnitCode::MeasureIdle);
}

void EmulationMeasurement::startOrStopRaisedMeasurement()
{
    startOrStop(m_page->measureRaisedButton(), UnitCode::MeasureRaised);
}

void EmulationMeasurement::startOrStop(QPushButton *button, quint8 code)
{
    // Either button stops whichever measurement runs; it does not start the other one.
    if (m_measurement->isMeasuring()) {
        m_measurement->stopMeasurement();
        showStartCaptions();
        return;
    }
    m_measurement->startMeasurement(code);
    button->setText(QStringLiteral("Přeruš emulace"));
}

void EmulationMeasurement::showStartCaptions()
{
    m_page->measureIdleButton()->setText(QStringLiteral("Spusť emulace volnoběh"));
    m_page->measureRaisedButton()->setText(QStringLiteral("Spusť emulace zvýšené"));
}

void EmulationMeasurement::showMeasurement(quint8 code)
{
    // Bit 7 is the unit's own; the texts are indexed by the other seven.
    code &= 0x7F;
    m_page->measurementTextLabel()->setText(m_setup->measurementText(code));
    m_page->measurementCodeLabel()->setText(QString::asprintf("%02X", code));
    if (code == EndIdleQuiet || code == EndRaisedQuiet || code == EndIdle || code == EndRaised) {
        showStartCaptions();
        const bool keepPolling = code == EndIdle || code == EndRaised;
        if (!m_unsaved || !m_unsaved()) {
            m_measurement->endMeasurement(keepPolling);
            return;
        }
        m_measurement->stopMeasurement();
        // The question waits until this reply has been dealt with: a box opened inside the
        // receive handler would take in the next replies before this one is done.
        QMetaObject::invokeMethod(
            this,
            [this, keepPolling] {
                if (m_mayReplace())
                    m_measurement->endMeasurement(keepPolling);
            },
            Qt::QueuedConnection);
    }
}

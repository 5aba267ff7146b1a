#pragma once
#include "lambdafields.h"
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class EmulationLevels;
class EmulationMeasurement;
class LambdaStatusEditor;
class LiveValuesPage;
class TuningPage;
class ToolSetup;
class UnitData;
class LevelExchange;
class LinkTransport;
class MeasurementExchange;
class MemoryCheck;

// The page "Editace Lambda status": the lambda and TPS status choices, the emulation times and
// levels and the emulation measurement. It lays the controls out; the rules behind them live in
// LambdaStatusEditor, EmulationLevels and EmulationMeasurement.
class LambdaPage : public QWidget
{
    Q_OBJECT
public:
    LambdaPage(UnitData *data, const ToolSetup *setup, QWidget *parent = nullptr);

    // Puts the rules behind the controls. The block display, the byte rule and the whole-unit
    // commands are the tuning page's; the live values page carries one of the lambda gauges.
    void attach(LinkTransport *link, LevelExchange *levels, MeasurementExchange *measurement,
                MemoryCheck *check, TuningPage *tuning, LiveValuesPage *livePage);
    LambdaStatusEditor *statusEditor() const { return m_status; }
    EmulationLevels *levels() const { return m_levels; }
    EmulationMeasurement *measurement() const { return m_measurement; }

    QRadioButton *radio(int n) const { return m_radios[n]; }  // by LambdaFields::Radios
    QLineEdit *byteEdit(int n) const { return m_bytes[n]; }   // by LambdaFields::Bytes
    QPushButton *saveStatusButton() const { return m_saveStatus; }  // "Ulož"
    QPushButton *readLevelsButton() const { return m_readLevels; }  // "Načti úrovně"
    QPushButton *writeLevelsButton() const { return m_writeLevels; }  // "Ulož úrovně"
    QPushButton *readBlockButton() const { return m_readBlock; }  // "Načti z ŘJ"
    QPushButton *commitToEepromButton() const { return m_commitToEeprom; }  // "RAM->EEPROM"
    QPushButton *measureIdleButton() const { return m_measureIdle; }  // "Měření emulace volnoběh"
    QPushButton *measureRaisedButton() const { return m_measureRaised; }  // "Měření emulace zvýšené"
    QLabel *measurementTextLabel() const { return m_measurementText; }
    QLabel *measurementCodeLabel() const { return m_measurementCode; }
    QLabel *linkMessageLabel() const { return m_linkMessageLabel; }
    // Shown while choices wait for "Ulož".
    QLabel *pendingLabel() const { return m_pending; }

private:
    void buildRadioGroups();
    void buildByteGroups();
    void buildButtons();
    QPushButton *addButton(const char *name, const QString &caption, const QRect &geometry);

    UnitData *m_data;
    const ToolSetup *m_setup;
    QRadioButton *m_radios[LambdaFields::RadioCount] = {};
    QLineEdit *m_bytes[LambdaFields::ByteCount] = {};
    QLabel *m_measurementText = nullptr;
    QLabel *m_measurementCode = nullptr;
    QLabel *m_linkMessageLabel = nullptr;
    QLabel *m_pending = nullptr;
    QPushButton *m_saveStatus = nullptr;
    QPushButton *m_readLevels = nullptr;
    QPushButton *m_writeLevels = nullptr;
    QPushButton *m_readBlock = nullptr;
    QPushButton *m_commitToEeprom = nullptr;
    QPushButton *m_measureIdle = nullptr;
    QPushButton *m_measureRaised = nullptr;
    LambdaStatusEditor *m_status = nullptr;
    EmulationLevels *m_levels = nullptr;
    EmulationMeasurement *m_measurement = nullptr;
};

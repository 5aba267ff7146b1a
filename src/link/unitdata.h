#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include "unitset.h"
#include <array>
#include <cstdint>

// The one place where the data that several pages share lives for the whole run: the tool's
// copies of the unit's parameter and level blocks, the last live values, the block's form state
// and the names read from TESTER.INI. Pages read and write these fields directly; nobody keeps a
// second copy.
class UnitData : public QObject
{
    Q_OBJECT
public:
    static constexpr int ParamBlockSize = 34;
    static constexpr int LevelBlockSize = 10;
    static constexpr int VersionNameCount = 100;
    static constexpr int MeasurementTextCount = 128;
    static constexpr int AddressNameCount = 256;

    explicit UnitData(QObject *parent = nullptr);

    // The parameter and level blocks, their validity and the status bytes the pages took up.
    UnitSet &set() { return m_set; }
    const UnitSet &set() const { return m_set; }

    // Last accepted status reply.
    int lambdaValue = 0;
    int tpsValue = 0;
    int positionValue = 0;

    bool measuring = false;
    // The tachometer reading a service store sends: from the last record shown, or typed.
    int tachoValue = 0;
    // A positive reading was typed since start-up or the last request of the record: a store
    // then needs no confirmation.
    bool tachoEdited = false;

    // The diagnostic record as it last came from the unit (34 bytes); empty until one came.
    QByteArray diagRecord;
    // The error memory was cleared in this session.
    bool errorsCleared = false;
    // The record that came before the first clearing, so the counters as the car came in are
    // still known afterwards; empty when none had come.
    QByteArray recordBeforeClearing;
    // diagRecord came after the last clearing: its counters are what the unit holds now.
    bool recordAfterClearing = false;
    void takeRecord(const QByteArray &record);
    void noteErrorsCleared();

    QStringList versionNames;      // 100: entry 0 "Bez verze!", 1..99 from TESTER.INI
    QStringList measurementTexts;  // 128: 0..99 from TESTER.INI, 100..127 empty
    QStringList addressNames;      // 256: from TESTER.INI, "NIC" for no name

    QString portName;
    // The folder "data" of the working folder, absolute: configuration files, backups and exports
    // live there, and every relative name the tool writes or reads resolves inside it.
    QString dataFolder;
    QString dataFilePath(const QString &name) const;

    // Name of a configuration version; versions without a name (100 and more) read "Nedefinováno".
    QString versionName(int version) const;

    static bool isParamBlock(const QByteArray &bytes);
    static bool isLevelBlock(const QByteArray &bytes);

signals:
    // Emitted by the link after it stored a new accepted status reply in the live values.
    void liveValuesChanged();

private:
    UnitSet m_set;
};

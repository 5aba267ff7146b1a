#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The one place where the data that several pages share lives for the whole run: the tool's
// copies of the unit's parameter and level blocks, the block's form state
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

    // Start byte 0x01, 32 parameter bytes, end byte 0x03.
    std::array<quint8, ParamBlockSize> paramBlock{};
    // 0x03, four emulation levels, four bytes the unit keeps, 0x04.
    std::array<quint8, LevelBlockSize> levelBlock{};

    // Form state of the block as last shown.
    unsigned lambdaStatus = 0;
    unsigned tpsStatus = 0;
    bool tpsRising = true;

    // The tool's block came whole from a unit or from a file (false at start-up and after a failed
    // read): a block write of anything else would be blind.
    bool blockValid = false;
    // The tool's levels came from a unit's level answer or from a file, not from placeholders.
    bool levelsValid = false;

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

    // The tool has changed the unit's settings in this session (a byte or block write, a factory
    // reset, a reload from EEPROM): what the unit held before is known only from a backup.
    bool settingsWritten = false;

    QStringList versionNames;      // 100: entry 0 "Bez verze!", 1..99 from TESTER.INI
    QStringList measurementTexts;  // 128: 0..99 from TESTER.INI, 100..127 empty
    QStringList addressNames;      // 256: from TESTER.INI, "NIC" for no name

    QString portName;
    QString configFileName;
    // The folder "data" of the working folder, absolute: configuration files, backups and exports
    // live there, and every relative name the tool writes or reads resolves inside it.
    QString dataFolder;
    QString dataFilePath(const QString &name) const;

    // Resets both blocks to their start-up contents (everything 0 but the framing bytes).
    void resetBlocks();
    // Levels 1..4 as the tool holds them for a unit that gave none: 10, 60, 10, 60.
    void setPlaceholderLevels();

    // The set as a configuration file holds it: the parameter block, then the level block.
    QByteArray setBytes() const;
    QByteArray paramBytes() const;
    QByteArray levelBytes() const;
    // The set as last agreed with the unit (read, or written and checked) or with a file (saved or
    // loaded); the start-up set until then. The tool's copy differing from it is unsaved work.
    QByteArray agreedSet;
    bool unsavedChanges() const { return setBytes() != agreedSet; }
    // The backup the tool's set was last loaded from, empty when it came from elsewhere: no save
    // goes back into a backup.
    QString backupSource;

    // Name of a configuration version; versions without a name (100 and more) read "Nedefinováno".
    QString versionName(int version) const;

    static bool isParamBlock(const QByteArray &bytes);
    static bool isLevelBlock(const QByteArray &bytes);
};

#pragma once
#include "diagnosticrecord.h"
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The one place where the data that several pages share lives for the whole run: the tool's
// copies of the unit's parameter and level blocks, the block's form state and the diagnostic
// record. Pages read and write these fields directly; nobody keeps a second copy.
class UnitData : public QObject
{
    Q_OBJECT
public:
    static constexpr int ParamBlockSize = 34;
    static constexpr int LevelBlockSize = 10;

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

    DiagnosticRecord &record() { return m_record; }
    const DiagnosticRecord &record() const { return m_record; }

    // The tool has changed the unit's settings in this session (a byte or block write, a factory
    // reset, a reload from EEPROM): what the unit held before is known only from a backup.
    bool settingsWritten = false;

    QString configFileName;

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

    static bool isParamBlock(const QByteArray &bytes);
    static bool isLevelBlock(const QByteArray &bytes);

private:
    DiagnosticRecord m_record;
};

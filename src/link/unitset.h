#pragma once
#include "frames.h"
#include "parameterset.h"
#include <QByteArray>
#include <QObject>
#include <array>
#include <optional>

// The tool's set: its copies of the unit's parameter and level blocks, whether each came from a
// unit or a file, the status bytes the pages last took up, and whether the tool changed the unit's
// settings in this session. Everything changes through a named operation, which emits what changed.
class UnitSet : public QObject
{
    Q_OBJECT
public:
    explicit UnitSet(QObject *parent = nullptr);

    // Start byte 0x01, 32 parameter bytes, end byte 0x03.
    quint8 paramByte(int index) const;
    QByteArray paramBytes() const;
    // 0x03, four emulation levels, four bytes the unit keeps, 0x04.
    quint8 levelByte(int index) const;
    QByteArray levelBytes() const;
    // The set as a value: the tool's block, with its levels only when they came from a unit or a
    // file (placeholders never leave the tool).
    ParameterSet value() const;

    // The tool's block came whole from a unit or from a file (false at start-up): a block write of
    // anything else would be blind.
    bool blockValid() const { return m_blockValid; }
    // The tool's levels came from a unit's level answer or from a file, not from placeholders.
    bool levelsValid() const { return m_levelsValid; }
    // The tool has changed the unit's settings in this session (a byte or block write, a factory
    // reset, a reload from EEPROM): what the unit held before is known only from a backup.
    bool settingsWritten() const { return m_settingsWritten; }
    // The unit confirmed a write that lives in its RAM only: switching the ignition off loses it
    // until RAM->EEPROM goes.
    bool ramOnlyChanges() const { return m_ramOnlyChanges; }

    // The status bytes as the pages last took them up from the block (shown, or saved on the lambda
    // page), and the TPS direction of the block last taken over: a choice not yet saved is not here.
    unsigned lambdaStatus() const { return m_lambdaStatus; }
    unsigned tpsStatus() const { return m_tpsStatus; }
    bool tpsRising() const { return m_tpsRising; }

    // Back to the start-up set (everything 0 but the framing bytes), nothing of it valid.
    void reset();
    // A whole block from a unit or a file replaces the tool's one.
    void takeOverBlock(const QByteArray &block);
    void markBlockValid();
    // A hand edit, or a byte the unit was sent on its own.
    void setParamByte(int index, quint8 value);
    // A unit's level answer or a file's level block replaces the tool's levels.
    void setLevels(const QByteArray &levels);
    void setLevelByte(int index, quint8 value);
    // Levels 1..4 as the tool holds them for a unit that gave none: 10, 60, 10, 60, not valid.
    void setPlaceholderLevels();
    // The levels of a set taken in whole (a file, a backup, the history): its levels, or for a set
    // kept without levels the placeholders, marked not read, so that no write sends them.
    void takeOverLevels(const std::optional<ParameterSet::Levels> &levels);
    // The block's status bytes as a page now shows them or as the lambda page saved them.
    void takeUpStatus(unsigned lambdaStatus, unsigned tpsStatus);
    void setTpsRising(bool rising);
    void markWritten();
    // Another unit is on the line: nothing has been written to it yet.
    void forgetWritten();
    // A write the unit confirmed (a block, a byte, the levels).
    void markRamChanged();
    // RAM->EEPROM went: the unit's EEPROM now holds the tool's set as it stands.
    void markCommitted();
    // The unit's RAM was reloaded or reset: its RAM holds nothing that its EEPROM lacks, and
    // what that is comes only from the next read.
    void markRamSettled();
    // The tool's set when RAM->EEPROM last went to this unit; empty when it never did.
    ParameterSet committedSet() const { return m_committed; }

signals:
    void blockTakenOver(const QByteArray &block);
    void paramByteChanged(int index, quint8 value);
    void levelsChanged(const QByteArray &levels, bool valid);
    void blockValidChanged(bool valid);
    void statusTakenUp(unsigned lambdaStatus, unsigned tpsStatus, bool tpsRising);
    void settingsWrittenChanged(bool written);
    void ramOnlyChangesChanged(bool ramOnly);

private:
    void emitLevels() { emit levelsChanged(levelBytes(), m_levelsValid); }
    void emitStatus() { emit statusTakenUp(m_lambdaStatus, m_tpsStatus, m_tpsRising); }

    std::array<quint8, Reply::BlockSize> m_params{};
    std::array<quint8, Reply::LevelSize> m_levels{};
    bool m_blockValid = false;
    bool m_levelsValid = false;
    bool m_settingsWritten = false;
    bool m_ramOnlyChanges = false;
    ParameterSet m_committed;
    unsigned m_lambdaStatus = 0;
    unsigned m_tpsStatus = 0;
    bool m_tpsRising = false;
};

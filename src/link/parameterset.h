#pragma once
#include "frames.h"
#include <QByteArray>
#include <QMetaType>
#include <array>
#include <optional>

// A parameter set as a value: the unit's parameter block and its emulation levels, which are
// either the levels a unit answered (or a file that kept them from one) or absent. There is no way
// to put placeholder levels into it, so a set whose levels were never read says so wherever it is
// kept, compared, shown or sent. Every place that keeps or hands on a set uses this type; only the
// configuration file's reader and writer see its 44 bytes.
class ParameterSet
{
public:
    using Block = std::array<quint8, Reply::BlockSize>;   // 01, 32 parameter bytes, 03
    using Levels = std::array<quint8, Reply::LevelSize>;  // 03, four levels, four bytes the unit keeps, 04

    // No set at all (nothing read, nothing loaded).
    ParameterSet() = default;
    ParameterSet(const Block &block, const std::optional<Levels> &levels);

    // A set from the frames as the unit sends them. A block without its framing gives no set;
    // a level frame without its framing, or an empty one, gives a set without levels.
    static ParameterSet fromFrames(const QByteArray &block, const QByteArray &levels = QByteArray());
    // Each frame on its own, when its length and framing bytes are right.
    static std::optional<Block> blockOf(const QByteArray &frame);
    static std::optional<Levels> levelsOf(const QByteArray &frame);

    bool isEmpty() const { return !m_block.has_value(); }
    bool hasLevels() const { return m_levels.has_value(); }

    // Block byte `index` (0..33); the set must not be empty.
    quint8 param(int index) const;
    // Emulation level 1..4 as the unit answered it; the set must have levels.
    quint8 level(int number) const;
    const Block &block() const;
    const std::optional<Levels> &levels() const { return m_levels; }

    // The frames as the unit takes and answers them: 34 bytes; 10 bytes, or empty without levels.
    QByteArray blockFrame() const;
    QByteArray levelFrame() const;

    // The same set with one block byte changed, or with other levels (the levels of a unit's answer).
    ParameterSet withParam(int index, quint8 value) const;
    ParameterSet withLevels(const std::optional<Levels> &levels) const;

    bool operator==(const ParameterSet &other) const
    {
        return m_block == other.m_block && m_levels == other.m_levels;
    }
    bool operator!=(const ParameterSet &other) const { return !(*this == other); }

private:
    std::optional<Block> m_block;
    std::optional<Levels> m_levels;
};

Q_DECLARE_METATYPE(ParameterSet)

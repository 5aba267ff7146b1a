#pragma once
#include "factorydefaults.h"
#include <cstdint>
#include <vector>

namespace unitsim {

// The unit's parameter memory: the working copy in RAM, the copy in EEPROM that survives a
// power cycle, and the emulation levels, which live outside the block.
class ParamStore
{
public:
    // stuckIndex names a block byte (1..32) whose cell has a bad bit: it always stores bit 0
    // inverted, so every write to it reads back wrong. -1 for a healthy unit.
    explicit ParamStore(int stuckIndex = -1);

    const ParamBlock &ram() const { return ram_; }
    const ParamBlock &eeprom() const { return eeprom_; }
    const LevelCells &levels() const { return levels_; }

    // The block sent after code 238; its marks are the unit's own and are kept.
    void writeBlock(const ParamBlock &block);
    // A single write by block index; the marks at 0 and 33 cannot be written.
    void writeByte(int index, std::uint8_t value);
    // The unit's own results (emulation measurement) bypass the bad cell's write path.
    void storeMeasured(int index, std::uint8_t value);
    void writeLevel(int level, std::uint8_t value);  // level 0..3

    void commit() { eeprom_ = ram_; }
    void reload() { ram_ = eeprom_; }
    void factoryReset();

    std::vector<std::uint8_t> blockReply() const;  // 01 .. 03
    std::vector<std::uint8_t> levelReply() const;  // 03 L1..L4 b5..b8 04

private:
    std::uint8_t stored(int index, std::uint8_t value) const;

    int stuckIndex_;
    ParamBlock ram_;
    ParamBlock eeprom_;
    LevelCells levels_;
};

}  // namespace unitsim

#include "factorydefaults.h"

namespace unitsim {

namespace {

// Speeds are kept negated; the tool shows 256 - byte.
constexpr std::uint8_t speed(int shown) { return std::uint8_t((256 - shown) % 256); }

}  // namespace

ParamBlock factoryBlock()
{
    return {
        0x01,
        0x41,       // 1  unit status
        60,         // 2  servo start position
        0x01,       // 3  TPS status: rising throttle
        0x10,       // 4
        20,         // 5  lambda ignore time
        23,         // 6  lambda threshold, 0.46 V: the middle of the probe's swing
        0x06,       // 7  lambda status: idle/raised emulation, 0-1.2 V probe, normal logic
        speed(3),   // 8  idle down
        speed(4),   // 9  idle up
        speed(6),   // 10 low power down
        speed(8),   // 11 low power up
        speed(10),  // 12 high power down
        speed(12),  // 13 high power up
        speed(14),  // 14 maximum power down
        speed(16),  // 15 maximum power up
        3,          // 16 parameter set version
        40,         // 17 TPS thresholds, rising
        90,         // 18
        160,        // 19
        120,        // 20 cut-off threshold (address 67)
        90, 40,     // 21, 22 idle stops MAX, MIN
        140, 60,    // 23, 24 low power
        200, 90,    // 25, 26 high power
        240, 120,   // 27, 28 maximum power
        30, 30,     // 29, 30 idle emulation times, rich and lean
        20, 20,     // 31, 32 raised emulation times
        0x03,
    };
}

LevelCells factoryLevels()
{
    // Idle lean, idle rich, raised lean, raised rich; then four cells the tool only carries.
    return {12, 58, 14, 62, 5, 25, 5, 25};
}

}  // namespace unitsim

#pragma once
#include <array>
#include <cstdint>

namespace unitsim {

using ParamBlock = std::array<std::uint8_t, 34>;  // 01, parameters 1..32, 03
using LevelCells = std::array<std::uint8_t, 8>;   // four emulation levels, four further cells

// What a unit leaves the factory with, and what code 80 brings back.
ParamBlock factoryBlock();
LevelCells factoryLevels();

}  // namespace unitsim

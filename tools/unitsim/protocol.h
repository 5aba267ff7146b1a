#pragma once
#include <cstddef>
#include <cstdint>

// Bytes on the line between the service tool and the unit. The tool always asks; the unit only
// answers, and nothing in an answer says what it answers, so lengths and framing bytes are all
// the tool has to go on.
namespace unitsim {

namespace Mark {
constexpr std::uint8_t Start = 0x02;       // every request and most answers
constexpr std::uint8_t End = 0x03;
constexpr std::uint8_t BlockStart = 0x01;  // the parameter block, both directions
constexpr std::uint8_t LevelStart = 0x03;  // the level block is the odd one out: 03 .. 04
constexpr std::uint8_t LevelEnd = 0x04;
}

// Byte 1 of a 5-byte request. No command code takes these values, which is what lets the
// unit tell a 3-byte command from a 5-byte frame by its second byte.
namespace Kind {
constexpr std::uint8_t Write = 0xB4;    // 02 B4 address value 03
constexpr std::uint8_t Service = 0x14;  // 02 14 address value 03
constexpr std::uint8_t Aux = 0x24;      // 02 24 address 00 03, answered 02 value 03
}

namespace Code {
constexpr std::uint8_t Status = 15;
constexpr std::uint8_t ReadBlock = 255;
constexpr std::uint8_t WriteBlock = 238;  // the 34 block bytes follow on their own
constexpr std::uint8_t RamToEeprom = 4;
constexpr std::uint8_t FactoryReset = 80;
constexpr std::uint8_t EepromToRam = 96;
constexpr std::uint8_t ReadLevels = 170;
constexpr std::uint8_t MeasureIdle = 112;
constexpr std::uint8_t MeasureRaised = 113;
constexpr std::uint8_t ReadDiagnostics = 128;
constexpr std::uint8_t ClearErrors = 144;
}

namespace Addr {
constexpr int ParamOffset = 47;       // block byte i sits at address i + 47
constexpr int FirstLevel = 0xA3;      // the four emulation levels, 0xA3..0xA6
constexpr int CutOffThreshold = 67;   // shares its cell with block byte 20
constexpr int CutOffCurrent = 241;
constexpr int ScopeSine = 10;         // the three test waveforms and the live values,
constexpr int ScopeSawtooth = 11;     // there so the oscilloscope has something to draw
constexpr int ScopeSquare = 12;
constexpr int LiveLambda = 13;
constexpr int LiveTps = 14;
constexpr int LivePosition = 15;
}

constexpr std::size_t BlockSize = 34;
constexpr std::size_t StatusSize = 6;
constexpr std::size_t LevelSize = 10;
constexpr std::size_t DiagSize = 34;

}  // namespace unitsim

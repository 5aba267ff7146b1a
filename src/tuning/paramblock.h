#pragma once
#include "link/frames.h"
#include <QString>

// The unit's 34-byte parameter block: what each byte means, how it is encoded and where the unit
// keeps it. The bytes themselves live in UnitSet; this only names them.
namespace ParamBlock {

// Block indices, named after the control that shows the byte.
enum Index : int {
    StartMark = 0,
    UnitFlags = 1,           // unit status flags
    ServoStartPosition = 2,   // servo start position
    TpsFlags = 3,           // TPS status flags
    ReservedByte4 = 4,           // the unit's own, carried unchanged
    LambdaIgnoreTime = 5,    // lambda ignore time
    LambdaThreshold = 6,    // lambda threshold, 0.02 V steps
    LambdaFlags = 7,           // lambda status flags
    IdleSpeedMin = 8,      // servo speeds, stored negated
    IdleSpeedMax = 9,
    LowPowerSpeedMin = 10,
    LowPowerSpeedMax = 11,
    HighPowerSpeedMin = 12,
    HighPowerSpeedMax = 13,
    FullPowerSpeedMin = 14,
    FullPowerSpeedMax = 15,
    SetVersion = 16,          // version of the parameter set, 0 = none
    TpsThreshold1 = 17,         // TPS thresholds between the four power ranges
    TpsThreshold2 = 18,
    TpsThreshold3 = 19,
    ReservedByte20 = 20,         // the unit's own, carried unchanged
    IdleStopMax = 21,      // servo stops
    IdleStopMin = 22,
    LowPowerStopMax = 23,
    LowPowerStopMin = 24,
    HighPowerStopMax = 25,
    HighPowerStopMin = 26,
    FullPowerStopMax = 27,
    FullPowerStopMin = 28,
    EmulationTimeIdleRich = 29,         // lambda emulation times
    EmulationTimeIdleLean = 30,
    EmulationTimeRaisedRich = 31,
    EmulationTimeRaisedLean = 32,
    EndMark = 33,
};

constexpr int Size = 34;

// Where the unit keeps block byte `index` for a single write.
constexpr int unitAddress(int index) { return UnitAddress::fromBlockIndex(index); }

// The unit counts servo speeds the other way round: it keeps the two's-complement negation.
constexpr quint8 speedToByte(int shown) { return quint8((256 - (shown & 0xFF)) & 0xFF); }
// A byte of 0 gives 256, which no speed control can show; the control limits it.
constexpr int byteToSpeed(quint8 byte) { return 256 - byte; }

// Bits of the status bytes the tool interprets.
constexpr int TpsRisingBit = 0;        // TpsFlags
constexpr int LambdaProbe5VBit = 4;    // LambdaFlags: 0-5 V probe instead of 0-1.2 V
constexpr int EepromCommitSetBit = 6;  // UnitFlags, set and ...
constexpr int EepromCommitClearBit = 7;  // ... cleared before RAM->EEPROM

}  // namespace ParamBlock

// The four working ranges of the servo, idle side first.
enum class PowerRange { Idle = 0, LowPower = 1, HighPower = 2, FullPower = 3 };
constexpr int PowerRangeCount = 4;

// The range the engine runs in for the live TPS value `tps`. A value equal to a threshold belongs
// to the range on the idle side of it, whichever way the sensor runs.
PowerRange activePowerRange(int tps, bool tpsRising, int t1, int t2, int t3);

// Bit helpers of the status bytes.
int intPower(int base, int exponent);
bool testBit(unsigned value, int n);
void setBit(unsigned &value, int n);
void clearBit(unsigned &value, int n);
// Eight '0'/'1' characters, bit 7 first.
QString byteToBinary(unsigned value);

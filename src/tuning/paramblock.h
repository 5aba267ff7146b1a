#pragma once
#include "link/frames.h"
#include <QString>

// The unit's 34-byte parameter block: what each byte means, how it is encoded and where the unit
// keeps it. The bytes themselves live in UnitData::paramBlock; this only names them.
namespace ParamBlock {

// Block indices, named after the control that shows the byte.
enum Index : int {
    StartMark = 0,
    STAVJ = 1,           // unit status flags
    VychPolMotoru = 2,   // servo start position
    TPSST = 3,           // TPS status flags
    Prom4 = 4,           // the unit's own, carried unchanged
    CasIgnLambdy = 5,    // lambda ignore time
    HraNapLambda = 6,    // lambda threshold, 0.02 V steps
    LAMST = 7,           // lambda status flags
    VolRychMin = 8,      // servo speeds, stored negated
    VolRychMax = 9,
    MalyRychMin = 10,
    MalyRychMax = 11,
    VelkyRychMin = 12,
    VelkyRychMax = 13,
    MaxRychMin = 14,
    MaxRychMax = 15,
    Verze = 16,          // version of the parameter set, 0 = none
    TPSVol = 17,         // TPS thresholds between the four power ranges
    TPSMaly = 18,
    TPSVelky = 19,
    Prom20 = 20,         // the unit's own, carried unchanged
    VolDorMax = 21,      // servo stops
    VolDorMin = 22,
    MalyDorMax = 23,
    MalyDorMin = 24,
    VelkyDorMax = 25,
    VelkyDorMin = 26,
    MaxDorMax = 27,
    MaxDorMin = 28,
    Prom29 = 29,         // lambda emulation times
    Prom30 = 30,
    Prom31 = 31,
    Prom32 = 32,
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
constexpr int TpsRisingBit = 0;        // TPSST
constexpr int LambdaProbe5VBit = 4;    // LAMST: 0-5 V probe instead of 0-1.2 V
constexpr int EepromCommitSetBit = 6;  // STAVJ, set and ...
constexpr int EepromCommitClearBit = 7;  // ... cleared before RAM->EEPROM

}  // namespace ParamBlock

// The four working ranges of the servo, idle side first.
enum class PowerRange { Volnobeh = 0, MalyVykon = 1, VelkyVykon = 2, MaximalniVykon = 3 };
constexpr int PowerRangeCount = 4;

// The range the engine runs in for the live TPS value `tps`. A value equal to a threshold belongs
// to the range on the idle side of it, whichever way the sensor runs.
PowerRange activePowerRange(int tps, bool tpsRising, int t1, int t2, int t3);

// Bit helpers of the status bytes.
int IntPower(int base, int exponent);
bool TestBit(unsigned value, int n);
void SetBit(unsigned &value, int n);
void ClearBit(unsigned &value, int n);
// Eight '0'/'1' characters, bit 7 first.
QString ByteToBinary(unsigned value);

#pragma once
#include "paramblock.h"
#include "paramnames.h"

// The controls of the tuning page that edit block bytes: which byte each one holds, how it is
// stored and which "Ulož" button writes it. Every control is named after its byte.
namespace ParamFields {

namespace C = ParamNames::Caption;

enum class Kind { StopMax, StopMin, Speed, Threshold };

struct SpinField
{
    const char *name;        // objectName of the spin edit
    int index;               // block byte
    int maximum;             // the spin edit's MaxValue (MinValue is 0 for all)
    Kind kind;
    PowerRange range;        // the box the control sits in (thresholds: the range below them)
    const char *saveButton;  // objectName of its "Ulož" button
    const char *caption;     // the short label beside it ("MAX", "MIN", "HOR", "DOL")
};

// A servo stop "MAX" ends one step below its "MIN", which may reach 255.
constexpr int StopMaxLimit = 254;

constexpr SpinField Spins[] = {
    {"VolDorMax", ParamBlock::IdleStopMax, StopMaxLimit, Kind::StopMax, PowerRange::Idle, "Button7", C::Max},
    {"VolDorMin", ParamBlock::IdleStopMin, 255, Kind::StopMin, PowerRange::Idle, "Button8", C::Min},
    {"VolRychMax", ParamBlock::IdleSpeedMax, 255, Kind::Speed, PowerRange::Idle, "Button9", C::Up},
    {"VolRychMin", ParamBlock::IdleSpeedMin, 255, Kind::Speed, PowerRange::Idle, "Button10", C::Down},
    {"MalyDorMax", ParamBlock::LowPowerStopMax, StopMaxLimit, Kind::StopMax, PowerRange::LowPower, "Button11", C::Max},
    {"MalyDorMin", ParamBlock::LowPowerStopMin, 255, Kind::StopMin, PowerRange::LowPower, "Button14", C::Min},
    {"MalyRychMax", ParamBlock::LowPowerSpeedMax, 255, Kind::Speed, PowerRange::LowPower, "Button17", C::Up},
    {"MalyRychMin", ParamBlock::LowPowerSpeedMin, 255, Kind::Speed, PowerRange::LowPower, "Button20", C::Down},
    {"VelkyDorMax", ParamBlock::HighPowerStopMax, StopMaxLimit, Kind::StopMax, PowerRange::HighPower, "Button12", C::Max},
    {"VelkyDorMin", ParamBlock::HighPowerStopMin, 255, Kind::StopMin, PowerRange::HighPower, "Button15", C::Min},
    {"VelkyRychMax", ParamBlock::HighPowerSpeedMax, 255, Kind::Speed, PowerRange::HighPower, "Button18", C::Up},
    {"VelkyRychMin", ParamBlock::HighPowerSpeedMin, 255, Kind::Speed, PowerRange::HighPower, "Button21", C::Down},
    {"MaxDorMax", ParamBlock::FullPowerStopMax, StopMaxLimit, Kind::StopMax, PowerRange::FullPower, "Button13", C::Max},
    {"MaxDorMin", ParamBlock::FullPowerStopMin, 255, Kind::StopMin, PowerRange::FullPower, "Button16", C::Min},
    {"MaxRychMax", ParamBlock::FullPowerSpeedMax, 255, Kind::Speed, PowerRange::FullPower, "Button19", C::Up},
    {"MaxRychMin", ParamBlock::FullPowerSpeedMin, 255, Kind::Speed, PowerRange::FullPower, "Button22", C::Down},
    {"TPSVol", ParamBlock::TpsThreshold1, 255, Kind::Threshold, PowerRange::Idle, "Button29", ""},
    {"TPSMaly", ParamBlock::TpsThreshold2, 255, Kind::Threshold, PowerRange::LowPower, "Button30", ""},
    {"TPSVelky", ParamBlock::TpsThreshold3, 255, Kind::Threshold, PowerRange::HighPower, "Button31", ""},
};
constexpr int SpinCount = int(sizeof(Spins) / sizeof(Spins[0]));

// The byte a save sends for a control's value.
constexpr quint8 storedByte(const SpinField &field, int value)
{
    return field.kind == Kind::Speed ? ParamBlock::speedToByte(value) : quint8(value & 0xFF);
}

struct RangeBox
{
    const char *name;     // objectName of the group box
    const char *caption;
    int dorMax, dorMin;   // block bytes of its servo stops
};

constexpr RangeBox Ranges[PowerRangeCount] = {
    {"GroupBox2", C::Idle, ParamBlock::IdleStopMax, ParamBlock::IdleStopMin},
    {"GroupBox10", C::LowPower, ParamBlock::LowPowerStopMax, ParamBlock::LowPowerStopMin},
    {"GroupBox11", C::HighPower, ParamBlock::HighPowerStopMax, ParamBlock::HighPowerStopMin},
    {"GroupBox12", C::FullPower, ParamBlock::FullPowerStopMax, ParamBlock::FullPowerStopMin},
};

struct TextField
{
    const char *name;    // objectName of the edit
    const char *panel;   // objectName of its caption panel
    const char *caption;
    int index;
};

// In the order Enter walks through them.
constexpr TextField Texts[] = {
    {"HraNapLambda", "Panel1", C::LambdaThreshold, ParamBlock::LambdaThreshold},
    {"CasIgnLambdy", "Panel2", C::LambdaIgnoreTime, ParamBlock::LambdaIgnoreTime},
    {"VychPolMotoru", "Panel3", C::ServoStartPosition, ParamBlock::ServoStartPosition},
};
constexpr int TextCount = int(sizeof(Texts) / sizeof(Texts[0]));

const SpinField *spinField(int index);
const SpinField *spinField(const char *name);

}  // namespace ParamFields

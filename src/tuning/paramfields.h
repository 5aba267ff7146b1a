#pragma once
#include "paramblock.h"

// The controls of the tuning page that edit block bytes: which byte each one holds, how it is
// stored and which "Ulož" button writes it. Every control is named after its byte.
namespace ParamFields {

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
    {"VolDorMax", ParamBlock::VolDorMax, StopMaxLimit, Kind::StopMax, PowerRange::Volnobeh, "Button7", "MAX"},
    {"VolDorMin", ParamBlock::VolDorMin, 255, Kind::StopMin, PowerRange::Volnobeh, "Button8", "MIN"},
    {"VolRychMax", ParamBlock::VolRychMax, 255, Kind::Speed, PowerRange::Volnobeh, "Button9", "HOR"},
    {"VolRychMin", ParamBlock::VolRychMin, 255, Kind::Speed, PowerRange::Volnobeh, "Button10", "DOL"},
    {"MalyDorMax", ParamBlock::MalyDorMax, StopMaxLimit, Kind::StopMax, PowerRange::MalyVykon, "Button11", "MAX"},
    {"MalyDorMin", ParamBlock::MalyDorMin, 255, Kind::StopMin, PowerRange::MalyVykon, "Button14", "MIN"},
    {"MalyRychMax", ParamBlock::MalyRychMax, 255, Kind::Speed, PowerRange::MalyVykon, "Button17", "HOR"},
    {"MalyRychMin", ParamBlock::MalyRychMin, 255, Kind::Speed, PowerRange::MalyVykon, "Button20", "DOL"},
    {"VelkyDorMax", ParamBlock::VelkyDorMax, StopMaxLimit, Kind::StopMax, PowerRange::VelkyVykon, "Button12", "MAX"},
    {"VelkyDorMin", ParamBlock::VelkyDorMin, 255, Kind::StopMin, PowerRange::VelkyVykon, "Button15", "MIN"},
    {"VelkyRychMax", ParamBlock::VelkyRychMax, 255, Kind::Speed, PowerRange::VelkyVykon, "Button18", "HOR"},
    {"VelkyRychMin", ParamBlock::VelkyRychMin, 255, Kind::Speed, PowerRange::VelkyVykon, "Button21", "DOL"},
    {"MaxDorMax", ParamBlock::MaxDorMax, StopMaxLimit, Kind::StopMax, PowerRange::MaximalniVykon, "Button13", "MAX"},
    {"MaxDorMin", ParamBlock::MaxDorMin, 255, Kind::StopMin, PowerRange::MaximalniVykon, "Button16", "MIN"},
    {"MaxRychMax", ParamBlock::MaxRychMax, 255, Kind::Speed, PowerRange::MaximalniVykon, "Button19", "HOR"},
    {"MaxRychMin", ParamBlock::MaxRychMin, 255, Kind::Speed, PowerRange::MaximalniVykon, "Button22", "DOL"},
    {"TPSVol", ParamBlock::TPSVol, 255, Kind::Threshold, PowerRange::Volnobeh, "Button29", ""},
    {"TPSMaly", ParamBlock::TPSMaly, 255, Kind::Threshold, PowerRange::MalyVykon, "Button30", ""},
    {"TPSVelky", ParamBlock::TPSVelky, 255, Kind::Threshold, PowerRange::VelkyVykon, "Button31", ""},
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
    {"GroupBox2", " Volnoběh ", ParamBlock::VolDorMax, ParamBlock::VolDorMin},
    {"GroupBox10", " Malý výkon ", ParamBlock::MalyDorMax, ParamBlock::MalyDorMin},
    {"GroupBox11", " Velký výkon ", ParamBlock::VelkyDorMax, ParamBlock::VelkyDorMin},
    {"GroupBox12", "Maximální výkon", ParamBlock::MaxDorMax, ParamBlock::MaxDorMin},
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
    {"HraNapLambda", "Panel1", "Hranice lambda", ParamBlock::HraNapLambda},
    {"CasIgnLambdy", "Panel2", "Čas ignor.lambdy", ParamBlock::CasIgnLambdy},
    {"VychPolMotoru", "Panel3", "Start. poloha motoru", ParamBlock::VychPolMotoru},
};
constexpr int TextCount = int(sizeof(Texts) / sizeof(Texts[0]));

const SpinField *spinField(int index);
const SpinField *spinField(const char *name);

}  // namespace ParamFields

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
    {"VolDorMax", ParamBlock::VolDorMax, StopMaxLimit, Kind::StopMax, PowerRange::Volnobeh, "Button7", C::Max},
    {"VolDorMin", ParamBlock::VolDorMin, 255, Kind::StopMin, PowerRange::Volnobeh, "Button8", C::Min},
    {"VolRychMax", ParamBlock::VolRychMax, 255, Kind::Speed, PowerRange::Volnobeh, "Button9", C::Hor},
    {"VolRychMin", ParamBlock::VolRychMin, 255, Kind::Speed, PowerRange::Volnobeh, "Button10", C::Dol},
    {"MalyDorMax", ParamBlock::MalyDorMax, StopMaxLimit, Kind::StopMax, PowerRange::MalyVykon, "Button11", C::Max},
    {"MalyDorMin", ParamBlock::MalyDorMin, 255, Kind::StopMin, PowerRange::MalyVykon, "Button14", C::Min},
    {"MalyRychMax", ParamBlock::MalyRychMax, 255, Kind::Speed, PowerRange::MalyVykon, "Button17", C::Hor},
    {"MalyRychMin", ParamBlock::MalyRychMin, 255, Kind::Speed, PowerRange::MalyVykon, "Button20", C::Dol},
    {"VelkyDorMax", ParamBlock::VelkyDorMax, StopMaxLimit, Kind::StopMax, PowerRange::VelkyVykon, "Button12", C::Max},
    {"VelkyDorMin", ParamBlock::VelkyDorMin, 255, Kind::StopMin, PowerRange::VelkyVykon, "Button15", C::Min},
    {"VelkyRychMax", ParamBlock::VelkyRychMax, 255, Kind::Speed, PowerRange::VelkyVykon, "Button18", C::Hor},
    {"VelkyRychMin", ParamBlock::VelkyRychMin, 255, Kind::Speed, PowerRange::VelkyVykon, "Button21", C::Dol},
    {"MaxDorMax", ParamBlock::MaxDorMax, StopMaxLimit, Kind::StopMax, PowerRange::MaximalniVykon, "Button13", C::Max},
    {"MaxDorMin", ParamBlock::MaxDorMin, 255, Kind::StopMin, PowerRange::MaximalniVykon, "Button16", C::Min},
    {"MaxRychMax", ParamBlock::MaxRychMax, 255, Kind::Speed, PowerRange::MaximalniVykon, "Button19", C::Hor},
    {"MaxRychMin", ParamBlock::MaxRychMin, 255, Kind::Speed, PowerRange::MaximalniVykon, "Button22", C::Dol},
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
    {"GroupBox2", C::Volnobeh, ParamBlock::VolDorMax, ParamBlock::VolDorMin},
    {"GroupBox10", C::MalyVykon, ParamBlock::MalyDorMax, ParamBlock::MalyDorMin},
    {"GroupBox11", C::VelkyVykon, ParamBlock::VelkyDorMax, ParamBlock::VelkyDorMin},
    {"GroupBox12", C::MaximalniVykon, ParamBlock::MaxDorMax, ParamBlock::MaxDorMin},
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
    {"HraNapLambda", "Panel1", C::HraNapLambda, ParamBlock::HraNapLambda},
    {"CasIgnLambdy", "Panel2", C::CasIgnLambdy, ParamBlock::CasIgnLambdy},
    {"VychPolMotoru", "Panel3", C::VychPolMotoru, ParamBlock::VychPolMotoru},
};
constexpr int TextCount = int(sizeof(Texts) / sizeof(Texts[0]));

const SpinField *spinField(int index);
const SpinField *spinField(const char *name);

}  // namespace ParamFields

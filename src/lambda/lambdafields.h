#pragma once
#include "tuning/paramblock.h"
#include "tuning/paramnames.h"

// The controls of the page "Editace Lambda status" and the status bits or bytes behind them. The
// page lays the controls out from these tables and the editors run their handlers from them.
namespace LambdaFields {

// Captions come from the one table of names.
namespace C = ParamNames::Caption;
constexpr const ParamNames::StatusGroup *Named = ParamNames::StatusGroups;

enum class Status { Lambda, Tps };  // block byte 7 or block byte 3

// The four radio groups, in the order the page shows them.
enum class Group { EmulationType, ProbeVoltage, ProbeLogic, TpsLogic };
constexpr int GroupCount = 4;

struct RadioGroup
{
    const char *name;     // objectName of the group box
    const char *caption;
    Status status;
    unsigned mask;        // the status bits the group chooses
};

constexpr RadioGroup Groups[GroupCount] = {
    {"GroupBoxEmulace", Named[0].caption, Status::Lambda, 0x06},
    {"GroupBoxNapeti", Named[1].caption, Status::Lambda, 0x10},
    {"GroupBoxLogika", Named[2].caption, Status::Lambda, 0x20},
    {"GroupBoxTps", Named[3].caption, Status::Tps, 0x01},
};

struct Radio
{
    const char *name;     // objectName; the emulation buttons name bit 2, then bit 1
    const char *caption;
    Group group;
    unsigned bits;        // the group's bits when this button is chosen
};

constexpr Radio Radios[] = {
    {"R00", Named[0].choices[0].caption, Group::EmulationType, 0x00},
    {"R10", Named[0].choices[1].caption, Group::EmulationType, 0x04},
    {"R01", Named[0].choices[2].caption, Group::EmulationType, 0x02},
    {"R11", Named[0].choices[3].caption, Group::EmulationType, 0x06},
    {"Typ1", Named[1].choices[0].caption, Group::ProbeVoltage, 0x00},
    {"Typ5", Named[1].choices[1].caption, Group::ProbeVoltage, 0x10},
    {"TypNorm", Named[2].choices[0].caption, Group::ProbeLogic, 0x00},
    {"TypOpak", Named[2].choices[1].caption, Group::ProbeLogic, 0x20},
    {"Stoupajici", Named[3].choices[0].caption, Group::TpsLogic, 0x01},
    {"Klesajici", Named[3].choices[1].caption, Group::TpsLogic, 0x00},
};
constexpr int RadioCount = int(sizeof(Radios) / sizeof(Radios[0]));

constexpr const RadioGroup &groupOf(const Radio &radio) { return Groups[int(radio.group)]; }
// The status byte with `radio` chosen; the bits of the other groups pass through.
constexpr unsigned choose(unsigned status, const Radio &radio)
{
    return ((status & ~groupOf(radio).mask) | radio.bits) & 0xFF;
}
constexpr bool chosen(unsigned status, const Radio &radio) { return (status & groupOf(radio).mask) == radio.bits; }

// Bit 3 of the lambda status byte: set by every save of this page.
constexpr int SavedBit = 3;

// Emulation times by emulation type: idle times with bit 1, raised times with bits 1 and 2.
constexpr bool idleTimesUsed(unsigned lambdaStatus) { return lambdaStatus & 0x02; }
constexpr bool raisedTimesUsed(unsigned lambdaStatus) { return (lambdaStatus & 0x06) == 0x06; }

// The eight byte fields: four emulation times in the block, four emulation levels outside it.
enum class Store { Block, Levels };

struct ByteField
{
    const char *name;     // objectName of the edit
    const char *group;    // caption of its group box
    const char *caption;  // the label above it
    Store store;
    int index;            // block byte or level block byte
    const char *initial;  // text at start
    bool raised;          // a raised-speed time (enabled only for the two-band emulation)
};

constexpr ByteField Bytes[] = {
    {"Prom29", C::EmulationTimeIdle, C::Rich, Store::Block, ParamBlock::EmulationTimeIdleRich, "0", false},
    {"Prom30", C::EmulationTimeIdle, C::Lean, Store::Block, ParamBlock::EmulationTimeIdleLean, "0", false},
    {"Prom31", C::EmulationTimeRaised, C::Rich, Store::Block, ParamBlock::EmulationTimeRaisedRich, "0", true},
    {"Prom32", C::EmulationTimeRaised, C::Lean, Store::Block, ParamBlock::EmulationTimeRaisedLean, "0", true},
    {"Edit2", C::EmulationLevelsIdle, C::Lean, Store::Levels, 1, "10", false},
    {"Edit3", C::EmulationLevelsIdle, C::Rich, Store::Levels, 2, "60", false},
    {"Edit4", C::EmulationLevelsRaised, C::Lean, Store::Levels, 3, "10", true},
    {"Edit5", C::EmulationLevelsRaised, C::Rich, Store::Levels, 4, "60", true},
};
constexpr int ByteCount = int(sizeof(Bytes) / sizeof(Bytes[0]));
constexpr int FirstLevelField = 4;

}  // namespace LambdaFields

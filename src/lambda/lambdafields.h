#pragma once
#include "tuning/paramblock.h"

// The controls of the page "Editace Lambda status" and the status bits or bytes behind them. The
// page lays the controls out from these tables and the editors run their handlers from them.
namespace LambdaFields {

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
    {"GroupBoxEmulace", "Typ emulace lambdy", Status::Lambda, 0x06},
    {"GroupBoxNapeti", "Typ napětí lambdy", Status::Lambda, 0x10},
    {"GroupBoxLogika", "Typ logiky lambdy", Status::Lambda, 0x20},
    {"GroupBoxTps", "TPS Logika", Status::Tps, 0x01},
};

struct Radio
{
    const char *name;     // objectName; the emulation buttons name bit 2, then bit 1
    const char *caption;
    Group group;
    unsigned bits;        // the group's bits when this button is chosen
};

constexpr Radio Radios[] = {
    {"R00", "Otevřený okruh", Group::EmulationType, 0x00},
    {"R10", "Lambda na T", Group::EmulationType, 0x04},
    {"R01", "Emulace jednopásmová", Group::EmulationType, 0x02},
    {"R11", "Emulace volnoběh / zvýšené", Group::EmulationType, 0x06},
    {"Typ1", "0 - 1.2 V", Group::ProbeVoltage, 0x00},
    {"Typ5", "0 - 5 V", Group::ProbeVoltage, 0x10},
    {"TypNorm", "Normální", Group::ProbeLogic, 0x00},
    {"TypOpak", "Obrácená", Group::ProbeLogic, 0x20},
    {"Stoupajici", "Stoupající", Group::TpsLogic, 0x01},
    {"Klesajici", "Klesající", Group::TpsLogic, 0x00},
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
    {"Prom29", "Čas emulace volnoběh", "bohatá", Store::Block, ParamBlock::Prom29, "0", false},
    {"Prom30", "Čas emulace volnoběh", "chudá", Store::Block, ParamBlock::Prom30, "0", false},
    {"Prom31", "Čas emulace zvýšené", "bohatá", Store::Block, ParamBlock::Prom31, "0", true},
    {"Prom32", "Čas emulace zvýšené", "chudá", Store::Block, ParamBlock::Prom32, "0", true},
    {"Edit2", "Úrovně emulace volnoběh", "chudá", Store::Levels, 1, "10", false},
    {"Edit3", "Úrovně emulace volnoběh", "bohatá", Store::Levels, 2, "60", false},
    {"Edit4", "Úrovně emulace zvýšené", "chudá", Store::Levels, 3, "10", true},
    {"Edit5", "Úrovně emulace zvýšené", "bohatá", Store::Levels, 4, "60", true},
};
constexpr int ByteCount = int(sizeof(Bytes) / sizeof(Bytes[0]));
constexpr int FirstLevelField = 4;

}  // namespace LambdaFields

#pragma once
#include "paramblock.h"
#include <QString>

// What every byte of the parameter block and of the level block is called, in the words of the
// pages that show it, and which values it takes. Each caption is written here once: the pages take
// their captions from these constants, and the names that say what a value is (accessible names,
// tooltips, a comparison of two sets) are put together from them.
namespace ParamNames {

// Captions as they stand on screen, blanks included.
namespace Caption {
constexpr char Idle[] = " Volnoběh ";
constexpr char LowPower[] = " Malý výkon ";
constexpr char HighPower[] = " Velký výkon ";
constexpr char FullPower[] = "Maximální výkon";
constexpr char ServoStop[] = "Doraz serva";
constexpr char ServoSpeed[] = "Rychlost";
constexpr char Max[] = "MAX";
constexpr char Min[] = "MIN";
constexpr char Up[] = "HOR";
constexpr char Down[] = "DOL";
constexpr char Tps1[] = "1.hranice TPS";
constexpr char Tps2[] = "2.hranice TPS";
constexpr char Tps3[] = "3.hranice TPS";
constexpr char LambdaThreshold[] = "Hranice lambda";
constexpr char LambdaIgnoreTime[] = "Čas ignor.lambdy";
constexpr char ServoStartPosition[] = "Start. poloha motoru";
constexpr char SetVersion[] = "Verze Jednotky";
constexpr char UnitFlags[] = "STAVJ";
constexpr char TpsFlags[] = "TPSST";
constexpr char LambdaFlags[] = "LAMST";
constexpr char ReservedByte4[] = "Vyhrazený bajt 4";
constexpr char ReservedByte20[] = "Vyhrazený bajt 20";
constexpr char EmulationTimeIdle[] = "Čas emulace volnoběh";
constexpr char EmulationTimeRaised[] = "Čas emulace zvýšené";
constexpr char EmulationLevelsIdle[] = "Úrovně emulace volnoběh";
constexpr char EmulationLevelsRaised[] = "Úrovně emulace zvýšené";
constexpr char Rich[] = "bohatá";
constexpr char Lean[] = "chudá";
}  // namespace Caption

// How a byte turns into the value a technician sees.
enum class Encoding {
    Plain,    // the byte as it is
    Speed,    // shown = 256 - byte (the unit keeps servo speeds negated)
    Voltage,  // the byte in steps of 0.02 V, on the scale of the live values
    Bits,     // status flags, shown as eight binary digits
    Version,  // the number of a named parameter set, 0 = none
    Carried,  // the unit's own; the tool carries it unchanged
};

struct Field
{
    int index;            // byte in its block
    const char *field;    // the field's name, also the objectName of the control that edits it
    const char *group;    // caption of the box the control sits in; "" for none
    const char *row;      // caption of the row inside the box ("Doraz serva"); "" for none
    const char *caption;  // the control's own caption; "" where the box says it all
    int minimum;          // what the control lets a technician set (for a byte without a
    int maximum;          // control: what the byte may hold)
    Encoding encoding;
};

using namespace Caption;
using E = Encoding;

// Parameter block bytes 1..32, in block order: Params[i - 1] is byte i.
constexpr Field Params[] = {
    {ParamBlock::UnitFlags, "STAVJ", "", "", UnitFlags, 0, 255, E::Bits},
    {ParamBlock::ServoStartPosition, "VychPolMotoru", "", "", ServoStartPosition, 0, 255, E::Plain},
    {ParamBlock::TpsFlags, "TPSST", "", "", TpsFlags, 0, 255, E::Bits},
    {ParamBlock::ReservedByte4, "Prom4", "", "", ReservedByte4, 0, 255, E::Carried},
    {ParamBlock::LambdaIgnoreTime, "CasIgnLambdy", "", "", LambdaIgnoreTime, 0, 255, E::Plain},
    {ParamBlock::LambdaThreshold, "HraNapLambda", "", "", LambdaThreshold, 0, 255, E::Voltage},
    {ParamBlock::LambdaFlags, "LAMST", "", "", LambdaFlags, 0, 255, E::Bits},
    {ParamBlock::IdleSpeedMin, "VolRychMin", Idle, ServoSpeed, Down, 0, 255, E::Speed},
    {ParamBlock::IdleSpeedMax, "VolRychMax", Idle, ServoSpeed, Up, 0, 255, E::Speed},
    {ParamBlock::LowPowerSpeedMin, "MalyRychMin", LowPower, ServoSpeed, Down, 0, 255, E::Speed},
    {ParamBlock::LowPowerSpeedMax, "MalyRychMax", LowPower, ServoSpeed, Up, 0, 255, E::Speed},
    {ParamBlock::HighPowerSpeedMin, "VelkyRychMin", HighPower, ServoSpeed, Down, 0, 255, E::Speed},
    {ParamBlock::HighPowerSpeedMax, "VelkyRychMax", HighPower, ServoSpeed, Up, 0, 255, E::Speed},
    {ParamBlock::FullPowerSpeedMin, "MaxRychMin", FullPower, ServoSpeed, Down, 0, 255, E::Speed},
    {ParamBlock::FullPowerSpeedMax, "MaxRychMax", FullPower, ServoSpeed, Up, 0, 255, E::Speed},
    // Files name their set with 1..99; a byte beyond reads as a version without a name.
    {ParamBlock::SetVersion, "Verze", "", "", SetVersion, 0, 99, E::Version},
    {ParamBlock::TpsThreshold1, "TPSVol", Tps1, "", "", 0, 255, E::Voltage},
    {ParamBlock::TpsThreshold2, "TPSMaly", Tps2, "", "", 0, 255, E::Voltage},
    {ParamBlock::TpsThreshold3, "TPSVelky", Tps3, "", "", 0, 255, E::Voltage},
    {ParamBlock::ReservedByte20, "Prom20", "", "", ReservedByte20, 0, 255, E::Carried},
    // A stop "MAX" ends one below 255 so that it can always stand at or above its "MIN".
    {ParamBlock::IdleStopMax, "VolDorMax", Idle, ServoStop, Max, 0, 254, E::Plain},
    {ParamBlock::IdleStopMin, "VolDorMin", Idle, ServoStop, Min, 0, 255, E::Plain},
    {ParamBlock::LowPowerStopMax, "MalyDorMax", LowPower, ServoStop, Max, 0, 254, E::Plain},
    {ParamBlock::LowPowerStopMin, "MalyDorMin", LowPower, ServoStop, Min, 0, 255, E::Plain},
    {ParamBlock::HighPowerStopMax, "VelkyDorMax", HighPower, ServoStop, Max, 0, 254, E::Plain},
    {ParamBlock::HighPowerStopMin, "VelkyDorMin", HighPower, ServoStop, Min, 0, 255, E::Plain},
    {ParamBlock::FullPowerStopMax, "MaxDorMax", FullPower, ServoStop, Max, 0, 254, E::Plain},
    {ParamBlock::FullPowerStopMin, "MaxDorMin", FullPower, ServoStop, Min, 0, 255, E::Plain},
    {ParamBlock::EmulationTimeIdleRich, "Prom29", EmulationTimeIdle, "", Rich, 0, 255, E::Plain},
    {ParamBlock::EmulationTimeIdleLean, "Prom30", EmulationTimeIdle, "", Lean, 0, 255, E::Plain},
    {ParamBlock::EmulationTimeRaisedRich, "Prom31", EmulationTimeRaised, "", Rich, 0, 255, E::Plain},
    {ParamBlock::EmulationTimeRaisedLean, "Prom32", EmulationTimeRaised, "", Lean, 0, 255, E::Plain},
};
constexpr int ParamCount = int(sizeof(Params) / sizeof(Params[0]));
static_assert(ParamCount == ParamBlock::Size - 2, "one name for every parameter byte");

// The four emulation levels, level block bytes 1..4 (the rest is the unit's own).
constexpr Field Levels[] = {
    {1, "Edit2", EmulationLevelsIdle, "", Lean, 0, 255, E::Plain},
    {2, "Edit3", EmulationLevelsIdle, "", Rich, 0, 255, E::Plain},
    {3, "Edit4", EmulationLevelsRaised, "", Lean, 0, 255, E::Plain},
    {4, "Edit5", EmulationLevelsRaised, "", Rich, 0, 255, E::Plain},
};
constexpr int LevelCount = int(sizeof(Levels) / sizeof(Levels[0]));

// The options a status byte's bits stand for, as the lambda page offers them.
struct Choice
{
    unsigned bits;        // the group's bits when this option holds
    const char *button;   // objectName of its radio button
    const char *caption;
};

struct StatusGroup
{
    int index;            // status byte in the parameter block
    unsigned mask;        // the bits the group decides
    const char *caption;  // caption of the group box
    Choice choices[4];
    int count;
};

constexpr StatusGroup StatusGroups[] = {
    // Each emulation button's name gives bit 2, then bit 1.
    {ParamBlock::LambdaFlags, 0x06, "Typ emulace lambdy",
     {{0x00, "R00", "Otevřený okruh"}, {0x04, "R10", "Lambda na T"}, {0x02, "R01", "Emulace jednopásmová"},
      {0x06, "R11", "Emulace volnoběh / zvýšené"}}, 4},
    {ParamBlock::LambdaFlags, 0x10, "Typ napětí lambdy", {{0x00, "Typ1", "0 - 1.2 V"}, {0x10, "Typ5", "0 - 5 V"}}, 2},
    {ParamBlock::LambdaFlags, 0x20, "Typ logiky lambdy", {{0x00, "TypNorm", "Normální"}, {0x20, "TypOpak", "Obrácená"}}, 2},
    {ParamBlock::TpsFlags, 0x01, "TPS Logika", {{0x01, "Stoupajici", "Stoupající"}, {0x00, "Klesajici", "Klesající"}}, 2},
};
constexpr int StatusGroupCount = int(sizeof(StatusGroups) / sizeof(StatusGroups[0]));

// Parameter block byte 1..32, or null.
const Field *param(int index);
// Level block byte 1..4, or null.
const Field *level(int index);
// The field whose control carries this objectName, in either block, or null.
const Field *byName(const char *field);

// What the value is called, from its box, row and caption: "Volnoběh – doraz serva MAX",
// "2. hranice TPS", "Čas emulace zvýšené – chudá", "Hranice lambda".
QString name(const Field &field);
// "0–255", or the field's own limits.
QString rangeText(const Field &field);
// The option of a status group that a status byte holds.
const Choice &decode(const StatusGroup &group, unsigned statusByte);

}  // namespace ParamNames

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
constexpr char Volnobeh[] = " Volnoběh ";
constexpr char MalyVykon[] = " Malý výkon ";
constexpr char VelkyVykon[] = " Velký výkon ";
constexpr char MaximalniVykon[] = "Maximální výkon";
constexpr char DorazServa[] = "Doraz serva";
constexpr char Rychlost[] = "Rychlost";
constexpr char Max[] = "MAX";
constexpr char Min[] = "MIN";
constexpr char Hor[] = "HOR";
constexpr char Dol[] = "DOL";
constexpr char Tps1[] = "1.hranice TPS";
constexpr char Tps2[] = "2.hranice TPS";
constexpr char Tps3[] = "3.hranice TPS";
constexpr char HraNapLambda[] = "Hranice lambda";
constexpr char CasIgnLambdy[] = "Čas ignor.lambdy";
constexpr char VychPolMotoru[] = "Start. poloha motoru";
constexpr char Verze[] = "Verze Jednotky";
constexpr char STAVJ[] = "STAVJ";
constexpr char TPSST[] = "TPSST";
constexpr char LAMST[] = "LAMST";
constexpr char Prom4[] = "Vyhrazený bajt 4";
constexpr char Prom20[] = "Vyhrazený bajt 20";
constexpr char CasEmulaceVolnobeh[] = "Čas emulace volnoběh";
constexpr char CasEmulaceZvysene[] = "Čas emulace zvýšené";
constexpr char UrovneEmulaceVolnobeh[] = "Úrovně emulace volnoběh";
constexpr char UrovneEmulaceZvysene[] = "Úrovně emulace zvýšené";
constexpr char Bohata[] = "bohatá";
constexpr char Chuda[] = "chudá";
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
    {ParamBlock::STAVJ, "STAVJ", "", "", STAVJ, 0, 255, E::Bits},
    {ParamBlock::VychPolMotoru, "VychPolMotoru", "", "", VychPolMotoru, 0, 255, E::Plain},
    {ParamBlock::TPSST, "TPSST", "", "", TPSST, 0, 255, E::Bits},
    {ParamBlock::Prom4, "Prom4", "", "", Prom4, 0, 255, E::Carried},
    {ParamBlock::CasIgnLambdy, "CasIgnLambdy", "", "", CasIgnLambdy, 0, 255, E::Plain},
    {ParamBlock::HraNapLambda, "HraNapLambda", "", "", HraNapLambda, 0, 255, E::Voltage},
    {ParamBlock::LAMST, "LAMST", "", "", LAMST, 0, 255, E::Bits},
    {ParamBlock::VolRychMin, "VolRychMin", Volnobeh, Rychlost, Dol, 0, 255, E::Speed},
    {ParamBlock::VolRychMax, "VolRychMax", Volnobeh, Rychlost, Hor, 0, 255, E::Speed},
    {ParamBlock::MalyRychMin, "MalyRychMin", MalyVykon, Rychlost, Dol, 0, 255, E::Speed},
    {ParamBlock::MalyRychMax, "MalyRychMax", MalyVykon, Rychlost, Hor, 0, 255, E::Speed},
    {ParamBlock::VelkyRychMin, "VelkyRychMin", VelkyVykon, Rychlost, Dol, 0, 255, E::Speed},
    {ParamBlock::VelkyRychMax, "VelkyRychMax", VelkyVykon, Rychlost, Hor, 0, 255, E::Speed},
    {ParamBlock::MaxRychMin, "MaxRychMin", MaximalniVykon, Rychlost, Dol, 0, 255, E::Speed},
    {ParamBlock::MaxRychMax, "MaxRychMax", MaximalniVykon, Rychlost, Hor, 0, 255, E::Speed},
    // Files name their set with 1..99; a byte beyond reads as a version without a name.
    {ParamBlock::Verze, "Verze", "", "", Verze, 0, 99, E::Version},
    {ParamBlock::TPSVol, "TPSVol", Tps1, "", "", 0, 255, E::Voltage},
    {ParamBlock::TPSMaly, "TPSMaly", Tps2, "", "", 0, 255, E::Voltage},
    {ParamBlock::TPSVelky, "TPSVelky", Tps3, "", "", 0, 255, E::Voltage},
    {ParamBlock::Prom20, "Prom20", "", "", Prom20, 0, 255, E::Carried},
    // A stop "MAX" ends one below 255 so that it can always stand at or above its "MIN".
    {ParamBlock::VolDorMax, "VolDorMax", Volnobeh, DorazServa, Max, 0, 254, E::Plain},
    {ParamBlock::VolDorMin, "VolDorMin", Volnobeh, DorazServa, Min, 0, 255, E::Plain},
    {ParamBlock::MalyDorMax, "MalyDorMax", MalyVykon, DorazServa, Max, 0, 254, E::Plain},
    {ParamBlock::MalyDorMin, "MalyDorMin", MalyVykon, DorazServa, Min, 0, 255, E::Plain},
    {ParamBlock::VelkyDorMax, "VelkyDorMax", VelkyVykon, DorazServa, Max, 0, 254, E::Plain},
    {ParamBlock::VelkyDorMin, "VelkyDorMin", VelkyVykon, DorazServa, Min, 0, 255, E::Plain},
    {ParamBlock::MaxDorMax, "MaxDorMax", MaximalniVykon, DorazServa, Max, 0, 254, E::Plain},
    {ParamBlock::MaxDorMin, "MaxDorMin", MaximalniVykon, DorazServa, Min, 0, 255, E::Plain},
    {ParamBlock::Prom29, "Prom29", CasEmulaceVolnobeh, "", Bohata, 0, 255, E::Plain},
    {ParamBlock::Prom30, "Prom30", CasEmulaceVolnobeh, "", Chuda, 0, 255, E::Plain},
    {ParamBlock::Prom31, "Prom31", CasEmulaceZvysene, "", Bohata, 0, 255, E::Plain},
    {ParamBlock::Prom32, "Prom32", CasEmulaceZvysene, "", Chuda, 0, 255, E::Plain},
};
constexpr int ParamCount = int(sizeof(Params) / sizeof(Params[0]));
static_assert(ParamCount == ParamBlock::Size - 2, "one name for every parameter byte");

// The four emulation levels, level block bytes 1..4 (the rest is the unit's own).
constexpr Field Levels[] = {
    {1, "Edit2", UrovneEmulaceVolnobeh, "", Chuda, 0, 255, E::Plain},
    {2, "Edit3", UrovneEmulaceVolnobeh, "", Bohata, 0, 255, E::Plain},
    {3, "Edit4", UrovneEmulaceZvysene, "", Chuda, 0, 255, E::Plain},
    {4, "Edit5", UrovneEmulaceZvysene, "", Bohata, 0, 255, E::Plain},
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
    {ParamBlock::LAMST, 0x06, "Typ emulace lambdy",
     {{0x00, "R00", "Otevřený okruh"}, {0x04, "R10", "Lambda na T"}, {0x02, "R01", "Emulace jednopásmová"},
      {0x06, "R11", "Emulace volnoběh / zvýšené"}}, 4},
    {ParamBlock::LAMST, 0x10, "Typ napětí lambdy", {{0x00, "Typ1", "0 - 1.2 V"}, {0x10, "Typ5", "0 - 5 V"}}, 2},
    {ParamBlock::LAMST, 0x20, "Typ logiky lambdy", {{0x00, "TypNorm", "Normální"}, {0x20, "TypOpak", "Obrácená"}}, 2},
    {ParamBlock::TPSST, 0x01, "TPS Logika", {{0x01, "Stoupajici", "Stoupající"}, {0x00, "Klesajici", "Klesající"}}, 2},
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

#pragma once
#include <QByteArray>
#include <QString>

// The unit's diagnostic record as the page shows it: one table drives both the controls the page
// lays out and how each is filled from the 34 record bytes (02, 32 bytes, 03). Every number in
// the record is unsigned and least significant byte first.
namespace RecordFields {

enum class Kind {
    Byte,           // one byte, decimal
    Year,           // one byte, years since 2000
    OperatingTime,  // 24 bits in ticks of 1.6 minutes
    Reading,        // 24 bits, decimal (the tachometer)
    Date,           // day, month, years since 2000
};

struct Field
{
    const char *name;     // objectName of the edit
    const char *caption;  // UTF-8
    int offset;           // first record byte
    Kind kind;
};

// Top to bottom as the page shows them; also the order in which a record fills them.
constexpr Field Fields[] = {
    {"VJednotky", "Verze jednotky", 1, Kind::Byte},
    {"CSerie", "Číslo serie", 2, Kind::Byte},
    {"RVyroby", "Rok výroby", 3, Kind::Year},
    {"PCelkem", "Práce celkem", 4, Kind::OperatingTime},
    {"PLPG", "Práce LPG", 7, Kind::OperatingTime},
    {"STacho", "Stav tacho", 10, Kind::Reading},
    {"Servis", "Poslední servis", 13, Kind::Date},
    {"CServisu", "Číslo servisu", 16, Kind::Byte},
};
constexpr int FieldCount = int(sizeof(Fields) / sizeof(Fields[0]));
constexpr int TachoField = 5;

// The error counters, 16 bits each: one row per power range, rich before lean, in record order.
struct CounterRow
{
    const char *caption;
    const char *rich;
    const char *lean;
};
constexpr CounterRow Counters[] = {
    {"Volnoběh", "CVB", "CVC"},
    {"Malý", "CMB", "CMC"},
    {"Velký", "CVEB", "CVEC"},
    {"Maximální", "CMAB", "CMAC"},
};
constexpr int CounterRows = int(sizeof(Counters) / sizeof(Counters[0]));
constexpr int FirstCounter = 17;
constexpr int counterOffset(int row, int lean) { return FirstCounter + 4 * row + 2 * lean; }

// The largest tachometer reading the unit's 24 bits hold.
constexpr int MaxReading = 0xFFFFFF;

// Unsigned little-endian number of `width` bytes from `offset`.
quint32 number(const QByteArray &record, int offset, int width);
// "MM/DD  HH:MM" with months of 30 days; the month figure may run past two digits.
QString operatingTime(quint32 ticks);
// The text a field shows for a record.
QString text(const Field &field, const QByteArray &record);

}  // namespace RecordFields

#pragma once
#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <optional>

// A unit as the history, the report, the customer's details and the backups know it: the serial
// number and the year of manufacture of its diagnostic record. Serial numbers repeat between
// years, so the serial alone never names a unit. The year is unknown only for what was kept
// before the year was (an old history row without a record): it is never guessed.
struct UnitIdentity
{
    int serial = 0;       // record byte 2
    std::optional<int> year;  // 2000 + record byte 3

    // The identity a diagnostic record (34 bytes, 02 .. 03) carries; none from anything else.
    static std::optional<UnitIdentity> fromRecord(const QByteArray &record);
    // As file names carry a unit: "117-2019", "117" while the year is unknown.
    QString fileNamePart() const;

    bool operator==(const UnitIdentity &other) const { return serial == other.serial && year == other.year; }
    bool operator!=(const UnitIdentity &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(UnitIdentity)

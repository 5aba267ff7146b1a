#pragma once
#include "link/unitidentity.h"
#include <QString>
#include <optional>

// How the history writes a unit for people and in its tables: the serial number, the year of
// manufacture, "bez čísla" for a unit whose record never came, "rok neznámý" for a unit kept
// before the year was (never a guessed year).
namespace UnitName {
QString unnamed();
QString unknownYear();
// "99", or "bez čísla"; the serial column of the tables.
QString serial(const std::optional<UnitIdentity> &unit);
// "2020", "rok neznámý", or empty for a unit without a number.
QString year(const std::optional<UnitIdentity> &unit);
// "99 / 2020", "99, rok neznámý" or "bez čísla".
QString full(const std::optional<UnitIdentity> &unit);
// The unit a serial column and a year column name; none for "bez čísla".
std::optional<UnitIdentity> fromColumns(const QString &serial, const QVariant &year);
}  // namespace UnitName

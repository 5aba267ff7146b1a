#pragma once
#include <QSqlDatabase>
#include <QString>

// Brings a history of an older form to the current one, inside the caller's transaction.
namespace HistoryMigration {
// Version 1 kept a unit by its serial number alone. Each visit's diagnostic record tells its unit's
// year: the visits move to the unit of that serial and year (visits of one old unit whose records
// carry different years become two units). Where no record tells, the visit stays with a unit
// whose year is unknown: nothing is guessed.
bool addYears(QSqlDatabase db, QString *error);
}  // namespace HistoryMigration

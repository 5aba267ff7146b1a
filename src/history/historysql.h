#pragma once
#include <QSqlDatabase>
#include <QVariantList>

namespace HistorySql {
// Runs one statement; false with the driver's reason in `error`. A statement without values is
// the program's own text (PostgreSQL cannot prepare a "create" or a "set"); everything a person
// typed is always a bound value.
bool exec(QSqlDatabase db, const QString &sql, const QVariantList &values, QString *error);
}  // namespace HistorySql

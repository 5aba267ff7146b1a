#include "historymigration.h"
#include "historysql.h"
#include "visit.h"
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
struct OldUnit
{
    int serial = 0;
    QMap<int, QStringList> visitsByYear;
};

std::optional<int> yearOf(const QVariant &record, const QVariant &errorsBefore)
{
    for (const QVariant &bytes : {record, errorsBefore}) {
        if (const std::optional<UnitIdentity> unit = UnitIdentity::fromRecord(bytes.toByteArray()))
            return unit->year;
    }
    return std::nullopt;
}
}  // namespace

namespace HistoryMigration {

bool addYears(QSqlDatabase db, QString *error)
{
    if (!HistorySql::exec(db, QStringLiteral("alter table units add column year integer"), {}, error))
        return false;
    QHash<QString, OldUnit> units;
    QSqlQuery visits(db);
    if (!visits.exec(QStringLiteral("select v.id, v.unit_id, u.serial, v.record, v.errors_before from visits v"
                                    " join units u on u.id = v.unit_id"))) {
        *error = visits.lastError().text().trimmed();
        return false;
    }
    while (visits.next()) {
        bool number = false;
        const int serial = visits.value(2).toString().toInt(&number);
        if (!number)
            continue;  // "bez čísla": no unit to give a year
        OldUnit &unit = units[visits.value(1).toString()];
        unit.serial = serial;
        if (const std::optional<int> year = yearOf(visits.value(3), visits.value(4)))
            unit.visitsByYear[*year].append(visits.value(0).toString());
    }
    visits.finish();
    for (auto it = units.cbegin(); it != units.cend(); ++it) {
        const OldUnit &old = it.value();
        // The vehicle and customer were typed for one car: they go with its year only when the
        // records name one year; otherwise they stay with the unit whose year is unknown.
        const bool oneYear = old.visitsByYear.size() == 1;
        for (auto year = old.visitsByYear.cbegin(); year != old.visitsByYear.cend(); ++year) {
            const QString target = HistoryIds::unitId({old.serial, year.key()});
            const QString copied = oneYear ? QStringLiteral("vehicle, customer") : QStringLiteral("'', ''");
            if (!HistorySql::exec(db, QStringLiteral("insert into units (id, serial, year, vehicle, customer, created) select ?, serial, ?, %1, created"
                                        " from units where id = ? on conflict (id) do nothing").arg(copied),
                     {target, year.key(), it.key()}, error))
                return false;
            for (const QString &visitId : year.value()) {
                if (!HistorySql::exec(db, QStringLiteral("update visits set unit_id = ? where id = ?"), {target, visitId}, error))
                    return false;
            }
        }
        // A unit left without visits goes, unless it holds a vehicle or customer no year took.
        if (!HistorySql::exec(db, QStringLiteral("delete from units where id = ? and not exists (select 1 from visits v where v.unit_id = units.id)"
                                    " and (? or (vehicle = '' and customer = ''))"),
                 {it.key(), oneYear}, error))
            return false;
    }
    return true;
}

}  // namespace HistoryMigration

#include "historyschema.h"

namespace HistorySchema {

QStringList createStatements(bool postgres)
{
    const QString blob = postgres ? QStringLiteral("bytea") : QStringLiteral("blob");
    // Times are UTC text in ISO 8601 with milliseconds: they sort as text on both engines.
    QStringList s = {
        QStringLiteral("create table if not exists schema_version (version integer not null)"),
        QStringLiteral("create table if not exists units (id text primary key, serial text not null, year integer,"
                       " vehicle text not null default '', customer text not null default '', created text not null)"),
        QStringLiteral("create index if not exists units_serial on units (serial)"),
        QStringLiteral("create table if not exists visits (id text primary key, unit_id text not null references units (id),"
                       " started text not null, ended text, technician text not null default '', pc text not null default '',"
                       " record %1, errors_before %1, errors_after %1, service_stored text, notes text not null default '')"),
        QStringLiteral("create index if not exists visits_unit on visits (unit_id, started)"),
        QStringLiteral("create table if not exists visit_sets (id text primary key, visit_id text not null references visits (id),"
                       " at text not null, kind text not null, set_bytes %1 not null, check_result text not null)"),
        QStringLiteral("create index if not exists visit_sets_visit on visit_sets (visit_id)"),
        QStringLiteral("create table if not exists visit_recordings (id text primary key, visit_id text not null references visits (id),"
                       " at text not null, name text not null, length_ms bigint not null, pc text not null, analysis text not null default '')"),
        QStringLiteral("create index if not exists visit_recordings_visit on visit_recordings (visit_id)"),
        QStringLiteral("create table if not exists visit_reports (id text primary key, visit_id text not null references visits (id),"
                       " at text not null, name text not null, pdf %1 not null)"),
        QStringLiteral("create index if not exists visit_reports_visit on visit_reports (visit_id)"),
    };
    for (QString &statement : s)
        if (statement.contains(QLatin1String("%1")))
            statement = statement.arg(blob);
    return s;
}

}  // namespace HistorySchema

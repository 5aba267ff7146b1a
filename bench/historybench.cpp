// The unit history: one unit's history among 10 000 units with 5 visits each, opened as the page
// "Historie" opens it (the unit found by its number, its visits, one visit whole with the one
// before), on SQLite and on a private PostgreSQL server; and the unit list with nothing typed.
#include "benchsupport.h"
#include "../tests/history/historyfixture.h"
#include "../tests/history/pgserver.h"
#include "history/historydatabase.h"
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

namespace {
constexpr int Units = 10000;
constexpr int VisitsPerUnit = 5;

// The rows made by the engine itself: 10 000 units, 50 000 visits with two sets and a record each.
bool fill(HistoryDatabase &db, bool postgres, QString *error)
{
    const QStringList statements = postgres ? QStringList{
        QStringLiteral("set statement_timeout = 0"),
        QStringLiteral("insert into units (id, serial, year, vehicle, customer, created) select md5('u'||g)::uuid::text, ''||g, 2020, 'SPZ '||g, '', '2026-01-01T00:00:00.000Z'"
                       " from generate_series(1, %1) g"),
        QStringLiteral("insert into visits select md5('v'||g||'-'||k)::uuid::text, md5('u'||g)::uuid::text,"
                       " '2026-0'||k||'-01T08:00:00.000Z', '2026-0'||k||'-01T09:00:00.000Z', 'Technik', 'dilna-1',"
                       " decode(repeat('02', 34), 'hex'), decode(repeat('02', 34), 'hex'), null, null, ''"
                       " from generate_series(1, %1) g, generate_series(1, %2) k"),
        QStringLiteral("insert into visit_sets select md5('s'||g||'-'||k||'-'||n)::uuid::text, md5('v'||g||'-'||k)::uuid::text,"
                       " '2026-0'||k||'-01T08:0'||n||':00.000Z', case n when 1 then 'read' else 'write' end,"
                       " decode(repeat(lpad(to_hex(n), 2, '0'), 44), 'hex'), 'verified'"
                       " from generate_series(1, %1) g, generate_series(1, %2) k, generate_series(1, 2) n"),
        QStringLiteral("analyze")} : QStringList{
        QStringLiteral("pragma synchronous=off"),
        QStringLiteral("with recursive g(n) as (select 1 union all select n + 1 from g where n < %1)"
                       " insert into units (id, serial, year, vehicle, customer, created) select printf('u-%08d', n), ''||n, 2020, 'SPZ '||n, '', '2026-01-01T00:00:00.000Z' from g"),
        QStringLiteral("with recursive g(n) as (select 1 union all select n + 1 from g where n < %1),"
                       " k(m) as (select 1 union all select m + 1 from k where m < %2)"
                       " insert into visits select printf('v-%08d-%d', n, m), printf('u-%08d', n), '2026-0'||m||'-01T08:00:00.000Z',"
                       " '2026-0'||m||'-01T09:00:00.000Z', 'Technik', 'dilna-1', zeroblob(34), zeroblob(34), null, null, '' from g, k"),
        QStringLiteral("with recursive g(n) as (select 1 union all select n + 1 from g where n < %1),"
                       " k(m) as (select 1 union all select m + 1 from k where m < %2), s(i) as (select 1 union all select 2)"
                       " insert into visit_sets select printf('s-%08d-%d-%d', n, m, i), printf('v-%08d-%d', n, m),"
                       " '2026-0'||m||'-01T08:0'||i||':00.000Z', case i when 1 then 'read' else 'write' end, randomblob(44), 'verified'"
                       " from g, k, s"),
        QStringLiteral("analyze"),
        QStringLiteral("pragma synchronous=normal")};
    for (QString sql : statements) {
        if (sql.contains(QLatin1String("%2")))
            sql = sql.arg(Units).arg(VisitsPerUnit);
        else if (sql.contains(QLatin1String("%1")))
            sql = sql.arg(Units);
        QSqlQuery q(db.db());
        if (!q.exec(sql)) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

// As the page does it, through the store's thread: the unit by its number, its visits, the newest
// visit with the one before. Median of 7 units.
std::vector<Figure> openHistory(const HistoryTarget &target, const QString &engine, const QString &queue)
{
    Figure one{QStringLiteral("history: one unit's visits opened, ") + engine, 0, QStringLiteral("ms"), 100};
    Figure list{QStringLiteral("history: unit list, nothing typed, ") + engine, 0, QStringLiteral("ms"), 500};
    {
        HistoryDatabase db(QStringLiteral("bench-fill"));
        QString error;
        if (!db.open(target, &error) || !fill(db, target.isServer(), &error)) {
            one.detail = list.detail = QStringLiteral("the history could not be filled: ") + error;
            return {one, list};
        }
    }
    HistoryStore store(target, queue);
    store.start();
    if (!HistoryWait::settled(store)) {
        one.detail = list.detail = store.problem();
        return {one, list};
    }
    std::vector<double> times;
    for (int unit : {17, 1234, 2500, 5000, 7777, 9000, 9999}) {
        QElapsedTimer clock;
        clock.start();
        const QList<UnitSummary> units = HistoryWait::units(store, QString::number(unit));
        const auto found = std::find_if(units.cbegin(), units.cend(),
                                        [unit](const UnitSummary &u) { return u.unit && u.unit->serial == unit; });
        if (found == units.cend())
            return {one, list};
        const QList<VisitSummary> visits = HistoryWait::visits(store, found->id);
        Visit previous;
        const Visit visit = HistoryWait::visit(store, visits.value(0).id, &previous);
        times.push_back(clock.nsecsElapsed() / 1e6);
        if (visits.size() != VisitsPerUnit || visit.sets.size() != 2 || previous.id.isEmpty()) {
            one.detail = QStringLiteral("the unit's history came back incomplete");
            return {one, list};
        }
    }
    std::sort(times.begin(), times.end());
    one.value = times[times.size() / 2];
    one.measured = true;
    one.detail = QStringLiteral("%1 units × %2 visits × 2 sets; find the unit by number, its visit list, the newest visit "
                                "whole with the previous one; median of 7 (worst %3 ms)")
                     .arg(Units)
                     .arg(VisitsPerUnit)
                     .arg(times.back(), 0, 'f', 1);
    QElapsedTimer clock;
    clock.start();
    const int shown = int(HistoryWait::units(store).size());
    list.value = clock.nsecsElapsed() / 1e6;
    list.measured = shown > 0;
    list.detail = QStringLiteral("the first %1 units by last visit").arg(shown);
    return {one, list};
}
}  // namespace

std::vector<Figure> measureHistory()
{
    QTemporaryDir dir;
    HistoryTarget sqlite;
    sqlite.sqlitePath = dir.filePath(QStringLiteral("historie.sqlite"));
    std::vector<Figure> figures = openHistory(sqlite, QStringLiteral("SQLite"), dir.filePath(QStringLiteral("fronta-1")));
    PgServer server;
    QString error;
    if (PgServer::binDir().isEmpty() || !server.init(&error) || !server.start(&error)) {
        Figure skipped{QStringLiteral("history: one unit's visits opened, PostgreSQL"), 0, QStringLiteral("ms"), 100};
        skipped.detail = error.isEmpty() ? QStringLiteral("PostgreSQL is not installed") : error;
        figures.push_back(skipped);
        return figures;
    }
    for (const Figure &f : openHistory(server.target(), QStringLiteral("PostgreSQL"), dir.filePath(QStringLiteral("fronta-2"))))
        figures.push_back(f);
    return figures;
}

#pragma once
#include "history/historystore.h"
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <functional>

// Waits for the store's answers; every query runs on the store's own thread.
namespace HistoryWait {

// The first answer after `ask` that `mine` takes for its own (a page may ask the same store meanwhile).
template <typename Signal, typename Mine>
QList<QVariant> answer(HistoryStore &store, Signal signal, const std::function<void()> &ask, Mine mine)
{
    QSignalSpy spy(&store, signal);
    ask();
    QDeadlineTimer deadline(10000);
    for (int seen = 0; !deadline.hasExpired();) {
        for (; seen < spy.size(); ++seen) {
            if (mine(spy.at(seen)))
                return spy.at(seen);
        }
        spy.wait(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    return {};
}

inline QList<UnitSummary> units(HistoryStore &store, const QString &filter = {})
{
    const QList<QVariant> a = answer(store, &HistoryStore::unitsLoaded, [&] { store.requestUnits(filter); },
                                     [&](const QList<QVariant> &args) { return args.at(0).toString() == filter; });
    return a.isEmpty() ? QList<UnitSummary>() : a.at(1).value<QList<UnitSummary>>();
}

inline QList<VisitSummary> visits(HistoryStore &store, const QString &unitId)
{
    const QList<QVariant> a = answer(store, &HistoryStore::visitsLoaded, [&] { store.requestVisits(unitId); },
                                     [&](const QList<QVariant> &args) { return args.at(0).toString() == unitId; });
    return a.isEmpty() ? QList<VisitSummary>() : a.at(1).value<QList<VisitSummary>>();
}

inline Visit visit(HistoryStore &store, const QString &visitId, Visit *previous = nullptr)
{
    const QList<QVariant> a = answer(store, &HistoryStore::visitLoaded, [&] { store.requestVisit(visitId, previous != nullptr); },
                                     [&](const QList<QVariant> &args) { return args.at(0).value<Visit>().id == visitId; });
    if (a.isEmpty())
        return {};
    if (previous)
        *previous = a.at(1).value<Visit>();
    return a.at(0).value<Visit>();
}

// Until nothing waits in the queue and the history answers. The queue folder decides: the store's
// state may still be the one from before the last change.
inline bool settled(HistoryStore &store, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        if (store.queued() == 0 && store.reachable() && store.waiting() == 0)
            return true;
        QTest::qWait(20);
    }
    return false;
}

// A set whose every byte between the markers is `fill`, with levels or without.
inline ParameterSet sampleSet(int fill, bool withLevels = true)
{
    ParameterSet::Block block;
    block.fill(quint8(fill));
    block.front() = 0x01;
    block.back() = 0x03;
    ParameterSet::Levels levels;
    levels.fill(quint8(fill));
    levels.front() = 0x03;
    levels.back() = 0x04;
    return ParameterSet(block, withLevels ? std::optional(levels) : std::nullopt);
}

// The diagnostic record of unit `serial` made in `year`, with a rich idle error counter.
inline QByteArray recordOf(int serial, int year, int idleErrors = 7)
{
    QByteArray record(34, '\0');
    record[0] = 0x02;
    record[2] = char(serial);
    record[3] = char(year - 2000);
    record[17] = char(idleErrors);
    record[33] = 0x03;
    return record;
}

// A history as version 1 of the tables kept it, written with its own statements: a unit by its
// serial number alone (its id from the serial, "SPZ 99" and "Zákazník 99" typed for it), each
// visit with the record it last read; a record year of 0 is a visit that kept no record.
struct OldVisit
{
    QString id;
    int serial;
    int recordYear;
};
inline bool writeVersion1History(QSqlDatabase db, bool postgres, const QList<OldVisit> &visits, QString *error)
{
    const auto run = [&](const QString &sql, const QVariantList &values = {}) {
        QSqlQuery q(db);
        if (values.isEmpty() ? !q.exec(sql) : !q.prepare(sql))
            *error = q.lastError().text();
        for (const QVariant &value : values)
            q.addBindValue(value);
        if (!values.isEmpty() && !q.exec())
            *error = q.lastError().text();
        return error->isEmpty();
    };
    const QString blob = postgres ? QStringLiteral("bytea") : QStringLiteral("blob");
    bool ok = run(QStringLiteral("create table schema_version (version integer not null)"))
              && run(QStringLiteral("insert into schema_version (version) values (1)"))
              && run(QStringLiteral("create table units (id text primary key, serial text not null, vehicle text not null default '',"
                                    " customer text not null default '', created text not null)"))
              && run(QStringLiteral("create table visits (id text primary key, unit_id text not null references units (id),"
                                    " started text not null, ended text, technician text not null default '', pc text not null default '',"
                                    " record %1, errors_before %1, errors_after %1, service_stored text, notes text not null default '')")
                         .arg(blob));
    int month = 0;
    for (const OldVisit &v : visits) {
        const QString unitId = HistoryIds::unitId({v.serial, std::nullopt});
        const QVariant record = v.recordYear ? QVariant(recordOf(v.serial, v.recordYear)) : QVariant(QMetaType::fromType<QByteArray>());
        ok = ok
             && run(QStringLiteral("insert into units (id, serial, vehicle, customer, created) values (?, ?, ?, ?, ?) on conflict (id) do nothing"),
                    {unitId, QString::number(v.serial), QStringLiteral("SPZ %1").arg(v.serial), QStringLiteral("Zákazník %1").arg(v.serial),
                     QStringLiteral("2024-01-01T08:00:00.000Z")})
             && run(QStringLiteral("insert into visits (id, unit_id, started, record, errors_before) values (?, ?, ?, ?, ?)"),
                    {v.id, unitId, QStringLiteral("2024-0%1-01T08:00:00.000Z").arg(++month), record, record});
    }
    return ok;
}

// What writeVersion1History() of visits a: 99 (2020), b: 99 (2023), c: 99 (no record), d: 5 (2019)
// becomes: a unit per year its records name; c stays with unit 99 of an unknown year, which keeps
// what was typed for the old unit, as no single year took it; unit 5 of 2019 takes all of its own.
inline QList<OldVisit> oldVisitsOfTwoYears()
{
    return {{QStringLiteral("a"), 99, 2020}, {QStringLiteral("b"), 99, 2023}, {QStringLiteral("c"), 99, 0}, {QStringLiteral("d"), 5, 2019}};
}
inline void compareYearsTakenFromRecords(HistoryStore &store)
{
    struct Expected
    {
        UnitIdentity unit;
        QString visit;
        QString vehicle;
    };
    const QList<Expected> expected = {{{99, 2020}, QStringLiteral("a"), QString()},
                                      {{99, 2023}, QStringLiteral("b"), QString()},
                                      {{99, std::nullopt}, QStringLiteral("c"), QStringLiteral("SPZ 99")},
                                      {{5, 2019}, QStringLiteral("d"), QStringLiteral("SPZ 5")}};
    const QList<UnitSummary> all = units(store);
    QCOMPARE(all.size(), expected.size());
    for (const Expected &e : expected) {
        const auto found = std::find_if(all.cbegin(), all.cend(), [&](const UnitSummary &u) { return u.unit == e.unit; });
        QVERIFY2(found != all.cend(), qPrintable(QStringLiteral("unit %1").arg(e.visit)));
        QCOMPARE(found->id, HistoryIds::unitId(e.unit));
        QCOMPARE(found->vehicle, e.vehicle);
        const QList<VisitSummary> list = visits(store, found->id);
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].id, e.visit);
    }
}

// A visit with something of everything; `n` makes its contents its own. A unit kept "bez čísla"
// (none), or one whose year is unknown, has no record.
inline Visit sampleVisit(const std::optional<UnitIdentity> &unit, int n = 1)
{
    Visit v;
    v.id = HistoryIds::newId();
    v.unit = unit;
    v.unitId = unit ? HistoryIds::unitId(*unit) : HistoryIds::newId();
    v.vehicle = QStringLiteral("1AB 23%1").arg(n);
    v.started = QDateTime(QDate(2026, 12, 1), QTime(8, n % 60), Qt::UTC);
    v.ended = v.started.addSecs(3600);
    v.technician = QStringLiteral("Jiří Dvořák");
    v.pc = QStringLiteral("dilna-1");
    if (unit && unit->year) {
        v.record = recordOf(unit->serial, *unit->year);
        v.errorsBefore = v.record;
        v.errorsAfter = recordOf(unit->serial, *unit->year, 0);
    }
    v.serviceStored = v.started.addSecs(600);
    v.notes = QStringLiteral("Výměna filtru; '); drop table visits; --");
    const ParameterSet set = sampleSet(n, n % 2 == 1);
    v.sets.append({HistoryIds::newId(), v.started.addSecs(60), VisitSet::Kind::Read, set, VisitSet::Check::Verified});
    const ParameterSet written = set.withParam(5, 9);
    v.sets.append({HistoryIds::newId(), v.started.addSecs(120), VisitSet::Kind::Write, written, VisitSet::Check::Wrong});
    v.recordings.append({HistoryIds::newId(), v.started.addSecs(900), QStringLiteral("jizda.csv"), 125000, v.pc,
                         QStringLiteral("sonda přepíná 2× za s")});
    v.reports.append({HistoryIds::newId(), v.started.addSecs(1800), QStringLiteral("protokol.pdf"),
                      QByteArray("%PDF-1.4 \x00\x01\xff binary", 22)});
    return v;
}

inline void compareVisits(const Visit &got, const Visit &want)
{
    QCOMPARE(got.id, want.id);
    QCOMPARE(got.unit, want.unit);
    QCOMPARE(got.unitId, want.unitId);
    QCOMPARE(got.vehicle, want.vehicle);
    QCOMPARE(got.started, want.started);
    QCOMPARE(got.ended, want.ended);
    QCOMPARE(got.technician, want.technician);
    QCOMPARE(got.pc, want.pc);
    QCOMPARE(got.record, want.record);
    QCOMPARE(got.errorsBefore, want.errorsBefore);
    QCOMPARE(got.errorsAfter, want.errorsAfter);
    QCOMPARE(got.serviceStored, want.serviceStored);
    QCOMPARE(got.notes, want.notes);
    QCOMPARE(got.sets.size(), want.sets.size());
    for (int i = 0; i < want.sets.size(); ++i) {
        QCOMPARE(got.sets[i].id, want.sets[i].id);
        QCOMPARE(got.sets[i].kind, want.sets[i].kind);
        QVERIFY(got.sets[i].set == want.sets[i].set);
        QCOMPARE(got.sets[i].check, want.sets[i].check);
    }
    QCOMPARE(got.recordings.size(), want.recordings.size());
    QCOMPARE(got.recordings[0].name, want.recordings[0].name);
    QCOMPARE(got.recordings[0].lengthMs, want.recordings[0].lengthMs);
    QCOMPARE(got.recordings[0].analysis, want.recordings[0].analysis);
    QCOMPARE(got.reports.size(), want.reports.size());
    QCOMPARE(got.reports[0].pdf, want.reports[0].pdf);
}

}  // namespace HistoryWait

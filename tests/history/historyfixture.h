#pragma once
#include "history/historystore.h"
#include <QSignalSpy>
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

// A visit with something of everything; `n` makes its contents its own. A unit kept "bez čísla"
// (none) has no record.
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
    if (unit) {
        v.record = recordOf(unit->serial, unit->year.value_or(2000));
        v.errorsBefore = v.record;
        v.errorsAfter = recordOf(unit->serial, unit->year.value_or(2000), 0);
    }
    v.serviceStored = v.started.addSecs(600);
    v.notes = QStringLiteral("Výměna filtru; '); drop table visits; --");
    const QByteArray set(44, char(n));
    v.sets.append({HistoryIds::newId(), v.started.addSecs(60), VisitSet::Kind::Read, set, VisitSet::Check::Verified});
    QByteArray written = set;
    written[5] = 9;
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
        QCOMPARE(got.sets[i].bytes, want.sets[i].bytes);
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

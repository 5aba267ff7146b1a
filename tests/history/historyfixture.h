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

// A visit with something of everything; `n` makes its contents its own.
inline Visit sampleVisit(const QString &serial, int n = 1)
{
    Visit v;
    v.id = HistoryIds::newId();
    v.serial = serial;
    v.unitId = HistoryIds::unitId(serial);
    v.vehicle = QStringLiteral("1AB 23%1").arg(n);
    v.started = QDateTime(QDate(2026, 12, 1), QTime(8, n % 60), Qt::UTC);
    v.ended = v.started.addSecs(3600);
    v.technician = QStringLiteral("Jiří Dvořák");
    v.pc = QStringLiteral("dilna-1");
    QByteArray record(34, '\0');
    record[0] = 0x02;
    record[2] = char(n);
    record[17] = 7;  // a rich idle error counter
    record[33] = 0x03;
    v.record = record;
    v.errorsBefore = record;
    QByteArray cleared = record;
    cleared[17] = 0;
    v.errorsAfter = cleared;
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
    QCOMPARE(got.serial, want.serial);
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

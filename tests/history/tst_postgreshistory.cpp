#include "historyfixture.h"
#include "pgserver.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QTemporaryDir>

using namespace HistoryWait;

// The history on a real PostgreSQL server that the test starts itself.
class TestPostgresHistory : public QObject
{
    Q_OBJECT
    std::unique_ptr<PgServer> m_server;
    QTemporaryDir m_work;
    int m_queues = 0;
    QString nextQueue() { return m_work.filePath(QStringLiteral("fronta-%1").arg(++m_queues)); }

private slots:
    void initTestCase()
    {
        if (PgServer::binDir().isEmpty())
            QSKIP("PostgreSQL server binaries are not installed");
        QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")));
    }
    void init()
    {
        m_server = std::make_unique<PgServer>();
        QString error;
        QVERIFY2(m_server->init(&error), qPrintable(error));
        QVERIFY2(m_server->start(&error), qPrintable(error));
    }
    void cleanup() { m_server.reset(); }

    // Another PC's open history shows a visit within 5 s, read back whole.
    void visitOfOneStoreAppearsOnAnother()
    {
        HistoryStore a(m_server->target(), nextQueue());
        HistoryStore b(m_server->target(), nextQueue());
        a.start();
        b.start();
        QVERIFY2(settled(b), qPrintable(b.problem()));
        QCOMPARE(units(b).size(), 0);
        QSignalSpy changed(&b, &HistoryStore::changed);
        const Visit visit = sampleVisit(UnitIdentity{31, 2020});
        QElapsedTimer clock;
        clock.start();
        a.saveVisit(visit);
        QTRY_VERIFY_WITH_TIMEOUT(changed.size() > 0 && units(b).size() == 1, 5000);
        QVERIFY(clock.elapsed() < 5000);
        compareVisits(HistoryWait::visit(b, visit.id), visit);
    }

    void visitOfAnotherProcessAppearsWithin5s()
    {
        HistoryStore b(m_server->target(), nextQueue());
        b.start();
        QVERIFY2(settled(b), qPrintable(b.problem()));
        QSignalSpy changed(&b, &HistoryStore::changed);
        QProcess writer;
        const HistoryTarget t = m_server->target();
        QElapsedTimer clock;
        clock.start();
        writer.start(QCoreApplication::applicationDirPath() + QStringLiteral("/history_visitwriter"),
                     {t.host, t.database, t.user, nextQueue(), QStringLiteral("77")});
        QTRY_VERIFY_WITH_TIMEOUT(changed.size() > 0 && units(b, QStringLiteral("77")).size() == 1, 5000);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(writer.state() == QProcess::NotRunning || writer.waitForFinished(10000));
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
    }

    // The server goes away in the middle of a visit: the visit waits, the bottom line says so,
    // and it arrives once when the server is back.
    void serverStoppedMidVisitArrivesOnce()
    {
        HistoryStore store(m_server->target(), nextQueue());
        store.start();
        Visit visit = sampleVisit(UnitIdentity{5, 2020});
        store.saveVisit(visit);
        QVERIFY2(settled(store), qPrintable(store.problem()));
        QVERIFY(m_server->stop());
        visit.sets.append({HistoryIds::newId(), visit.started.addSecs(2000), VisitSet::Kind::Write, sampleSet(7),
                           VisitSet::Check::Verified});
        store.saveVisit(visit);
        QTRY_COMPARE_WITH_TIMEOUT(store.statusText(), QStringLiteral("Kartotéka nedostupná – 1 návštěva čeká"), 10000);
        const Visit other = sampleVisit(UnitIdentity{6, 2020}, 2);
        store.saveVisit(other);
        QTRY_COMPARE_WITH_TIMEOUT(store.statusText(), QStringLiteral("Kartotéka nedostupná – 2 návštěvy čekají"), 10000);
        QVERIFY(!store.problem().isEmpty());
        QVERIFY(m_server->start());
        QVERIFY(settled(store, 15000));
        QCOMPARE(store.statusText(), QString());
        QCOMPARE(HistoryWait::visit(store, visit.id).sets.size(), 3);
        QCOMPARE(visits(store, visit.unitId).size(), 1);
        QCOMPARE(units(store).size(), 2);
    }

    // Visits kept at random moments while the server stops and starts: none lost, none doubled.
    void randomStopsAndStarts()
    {
        constexpr int Cycles = 100;
        HistoryStore store(m_server->target(), nextQueue());
        store.start();
        QVERIFY2(settled(store), qPrintable(store.problem()));
        auto *random = QRandomGenerator::global();
        QList<Visit> made;
        for (int cycle = 0; cycle < Cycles; ++cycle) {
            Visit v = sampleVisit(UnitIdentity{100 + cycle % 10, 2020}, cycle);
            store.saveVisit(v);
            made << v;
            QTest::qWait(int(random->bounded(60)));
            QVERIFY(m_server->stop());
            if (random->bounded(2)) {
                // A visit that grows while the server is away.
                made.last().sets.append({HistoryIds::newId(), v.started.addSecs(3000), VisitSet::Kind::Write,
                                         sampleSet(cycle), VisitSet::Check::Unverified});
                store.saveVisit(made.last());
            }
            QVERIFY(m_server->start());
        }
        QVERIFY(settled(store, 20000));
        int total = 0;
        for (const UnitSummary &u : units(store))
            total += u.visitCount;
        QCOMPARE(total, Cycles);
        for (const Visit &v : made)
            QCOMPARE(HistoryWait::visit(store, v.id).sets.size(), v.sets.size());
    }

    // A server's history kept before a unit had its year: the visits' records give it.
    void aHistoryWithoutYearsTakesThemFromTheRecords()
    {
        const HistoryTarget t = m_server->target();
        {
            QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("version1"));
            old.setHostName(t.host);
            old.setDatabaseName(t.database);
            old.setUserName(t.user);
            QVERIFY2(old.open(), qPrintable(old.lastError().text()));
            QString error;
            QVERIFY2(writeVersion1History(old, true, oldVisitsOfTwoYears(), &error), qPrintable(error));
            old.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("version1"));
        HistoryStore store(t, nextQueue());
        store.start();
        QVERIFY2(settled(store), qPrintable(store.problem()));
        compareYearsTakenFromRecords(store);
    }

    // On a server two PCs share: notes saved on one change nothing else of the visit another PC
    // changed meanwhile, and a unit named by hand keeps its customer.
    void notesAloneAndNamesKeepWhatOthersGave()
    {
        HistoryStore a(m_server->target(), nextQueue());
        HistoryStore b(m_server->target(), nextQueue());
        a.start();
        b.start();
        Visit visit = sampleVisit(std::nullopt);
        visit.customer = QStringLiteral("Petr Malý");
        a.saveVisit(visit);
        QVERIFY2(settled(a), qPrintable(a.problem()));
        visit.technician = QStringLiteral("Eva Malá");
        b.saveVisit(visit);
        QVERIFY2(settled(b), qPrintable(b.problem()));
        a.saveNotes(visit.id, QStringLiteral("Zákazník hlásí cukání"));
        QVERIFY(settled(a));
        a.nameUnit(visit.unitId, {44, 2021});
        QTRY_COMPARE(HistoryWait::visit(a, visit.id).unit, (UnitIdentity{44, 2021}));
        const Visit kept = HistoryWait::visit(b, visit.id);
        QCOMPARE(kept.notes, QStringLiteral("Zákazník hlásí cukání"));
        QCOMPARE(kept.technician, QStringLiteral("Eva Malá"));
        QCOMPARE(kept.customer, QStringLiteral("Petr Malý"));
        QCOMPARE(kept.vehicle, visit.vehicle);
    }

    void refusedLoginSaysWhy()
    {
        HistoryTarget t = m_server->target();
        t.user = QStringLiteral("nikdo");
        HistoryStore store(t, nextQueue());
        QSignalSpy asked(&store, &HistoryStore::passwordNeeded);
        store.start();
        QTRY_VERIFY_WITH_TIMEOUT(store.problem().contains(QStringLiteral("nikdo")), 5000);
        // The server's SQLSTATE 28000 asks, whatever language its message is in.
        QTRY_COMPARE(asked.size(), 1);
        QVERIFY(store.problem().startsWith(QStringLiteral("Kartotéka nikdo@")));
        QCOMPARE(store.statusText(), QStringLiteral("Kartotéka nedostupná"));
    }
};

QTEST_MAIN(TestPostgresHistory)
#include "tst_postgreshistory.moc"

#include "historyfixture.h"
#include "cfgfiles/configfile.h"
#include "linkrig.h"
#include "history/visitqueue.h"
#include "history/visitrecorder.h"
#include "link/linkconnection.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>

using namespace HistoryWait;

namespace {
// The link with its connection, and a recorder that keeps the visits in a store.
struct RecorderRig : LinkRig
{
    LinkConnection connection{&port, &link.transport, &data};
    VisitRecorder recorder;

    explicit RecorderRig(HistoryStore *store)
        : recorder(&data, {&link.transport, &connection, &link.blockRead, &link.levels, &link.blockWrite, &link.diagnostics}, store)
    {
        recorder.setTechnician(QStringLiteral("Novák"));
    }
    // A block read whole, its levels answered.
    void readBlock()
    {
        emit link.blockRead.blockReceived(data.set().paramBytes());
        emit link.levels.levelsReceived();
    }
    int recordRequests() const
    {
        int n = 0;
        for (const FakePort::Written &w : port.written)
            n += w.bytes.size() == 3 && quint8(w.bytes.at(1)) == UnitCode::ReadDiagnostics;
        return n;
    }
};
}  // namespace

class TestSqliteHistory : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QTemporaryDir &dir() const { return *m_tmp; }
    HistoryTarget target() const
    {
        HistoryTarget t;
        t.sqlitePath = dir().filePath(QStringLiteral("data/historie.sqlite"));
        return t;
    }
    QString queue() const { return dir().filePath(QStringLiteral("data/historie-fronta")); }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(dir().isValid());
    }

    void visitReadBackAfterRestart()
    {
        const Visit visit = sampleVisit(UnitIdentity{42, 2019});
        {
            HistoryStore store(target(), queue());
            store.start();
            store.saveVisit(visit);
            QVERIFY(settled(store));
        }
        HistoryStore store(target(), queue());
        store.start();
        const QList<UnitSummary> all = units(store);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].unit, (UnitIdentity{42, 2019}));
        QCOMPARE(all[0].vehicle, visit.vehicle);
        QCOMPARE(all[0].visitCount, 1);
        QCOMPARE(all[0].lastVisit, visit.started);
        const QList<VisitSummary> list = visits(store, all[0].id);
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].writes, 1);
        QCOMPARE(list[0].reports, 1);
        compareVisits(HistoryWait::visit(store, visit.id), visit);
    }

    // A visit kept again and again as it grows is one visit, its sets kept once each; a visit
    // without a vehicle keeps the unit's.
    void savedAgainStaysOne()
    {
        HistoryStore store(target(), queue());
        store.start();
        Visit v = sampleVisit(UnitIdentity{7, 2019});
        store.saveVisit(v);
        v.sets.append({HistoryIds::newId(), v.started.addSecs(1500), VisitSet::Kind::Write, sampleSet(3),
                       VisitSet::Check::Verified});
        store.saveVisit(v);
        QVERIFY(settled(store));
        Visit next = sampleVisit(UnitIdentity{7, 2019}, 2);
        next.vehicle.clear();
        store.saveVisit(next);
        QVERIFY(settled(store));
        const QList<UnitSummary> all = units(store);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].visitCount, 2);
        QCOMPARE(all[0].vehicle, QStringLiteral("1AB 231"));
        QCOMPARE(HistoryWait::visit(store, v.id).sets.size(), 3);
    }

    void searchByTypedTextOnly_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("all") << QString() << QStringList{"13", "12", "11"};
        QTest::newRow("serial") << QStringLiteral("12") << QStringList{"12"};
        QTest::newRow("year") << QStringLiteral("2021") << QStringList{"12"};
        QTest::newRow("vehicle, any case") << QStringLiteral("1ab 233") << QStringList{"13"};
        QTest::newRow("percent is a letter") << QStringLiteral("%") << QStringList{};
        QTest::newRow("quote") << QStringLiteral("' or '1'='1") << QStringList{};
    }
    void searchByTypedTextOnly()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, serials);
        HistoryStore store(target(), queue());
        store.start();
        for (int n = 1; n <= 3; ++n)
            store.saveVisit(sampleVisit(UnitIdentity{10 + n, 2019 + n}, n));
        QVERIFY(settled(store));
        QStringList got;
        for (const UnitSummary &u : units(store, filter))
            got << QString::number(u.unit->serial);
        QCOMPARE(got, serials);
    }

    void damagedFileIsPutAside()
    {
        QDir().mkpath(dir().filePath(QStringLiteral("data")));
        QFile damaged(target().sqlitePath);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, 'x'));
        damaged.close();
        HistoryStore store(target(), queue());
        QSignalSpy notices(&store, &HistoryStore::notice);
        store.start();
        QVERIFY(notices.wait(5000));
        QVERIFY(notices.first().at(0).toString().startsWith(QStringLiteral("Soubor kartotéky byl poškozený.")));
        const QStringList aside = QDir(dir().filePath(QStringLiteral("data"))).entryList({QStringLiteral("historie.sqlite.poskozeno-*")});
        QCOMPARE(aside.size(), 1);
        QVERIFY(notices.first().at(0).toString().contains(dir().filePath(QStringLiteral("data/")) + aside[0]));
        store.saveVisit(sampleVisit(UnitIdentity{5, 2019}));
        QVERIFY(settled(store));
        QCOMPARE(units(store).size(), 1);
    }

    // A PC's existing reports (which name their unit) and the day's backups before them become visits, once.
    void existingReportsAndBackupsComeInOnce()
    {
        const QString data = dir().filePath(QStringLiteral("data"));
        const auto write = [&](const QString &name, const QByteArray &bytes) {
            QDir().mkpath(QFileInfo(QDir(data).filePath(name)).absolutePath());
            QFile f(QDir(data).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write(QStringLiteral("protokoly/2026-11-03_10-15_117.pdf"), "%PDF report 117");
        write(QStringLiteral("protokoly/2026-11-03_10-15_117_2.pdf"), "%PDF report 117 again");
        write(QStringLiteral("protokoly/2026-11-03_11-00_bez-cisla.pdf"), "%PDF no unit");
        write(QStringLiteral("zalohy/2026-11-03_09-58-01_Octavia.cfg"), ConfigFile::compose(sampleSet(1, false)));
        write(QStringLiteral("zalohy/2026-10-01_08-00-00_Fabia.cfg"), ConfigFile::compose(sampleSet(2)));
        HistoryStore store(target(), queue());
        store.start();
        store.importOnce(data, QStringLiteral("dilna-2"));
        store.importOnce(data, QStringLiteral("dilna-2"));
        QVERIFY(settled(store));
        QTRY_VERIFY(QFile::exists(QDir(data).filePath(QStringLiteral("historie-import.txt"))));
        QVERIFY(settled(store));
        const QList<UnitSummary> all = units(store);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].unit, (UnitIdentity{117, std::nullopt}));
        const QList<VisitSummary> list = visits(store, all[0].id);
        QCOMPARE(list.size(), 2);
        const Visit first = HistoryWait::visit(store, list[1].id);
        QCOMPARE(first.started, QDateTime(QDate(2026, 11, 3), QTime(9, 58, 1)));
        QCOMPARE(first.sets.size(), 1);
        QVERIFY(first.sets[0].set == sampleSet(1, false));
        QCOMPARE(first.reports.size(), 1);
        QCOMPARE(first.reports[0].pdf, QByteArray("%PDF report 117"));
        QCOMPARE(HistoryWait::visit(store, list[0].id).sets.size(), 0);
        // Another PC's report of the same name is another visit; a report that names the year is that year's unit.
        const QString otherPc = dir().filePath(QStringLiteral("jine-pc"));
        QDir().mkpath(otherPc + QStringLiteral("/protokoly"));
        for (const QString &name : {QStringLiteral("2026-11-03_10-15_117.pdf"), QStringLiteral("2026-11-05_10-15_117-2019.pdf")}) {
            QFile other(otherPc + QStringLiteral("/protokoly/") + name);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("%PDF report of another PC");
        }
        store.importOnce(otherPc, QStringLiteral("dilna-3"));
        QTRY_VERIFY(QFile::exists(QDir(otherPc).filePath(QStringLiteral("historie-import.txt"))));
        QVERIFY(settled(store));
        QCOMPARE(visits(store, all[0].id).size(), 3);
        QCOMPARE(visits(store, HistoryIds::unitId({117, 2019})).size(), 1);
        QCOMPARE(HistoryWait::visit(store, list[1].id).reports[0].pdf, QByteArray("%PDF report 117"));
        // The marker stops a later start from looking again.
        QFile::remove(QDir(data).filePath(QStringLiteral("protokoly/2026-11-03_10-15_117_2.pdf")));
        write(QStringLiteral("protokoly/2026-11-04_10-15_118.pdf"), "%PDF report 118");
        store.importOnce(data, QStringLiteral("dilna-2"));
        QVERIFY(settled(store));
        QCOMPARE(units(store).size(), 2);
    }

    // A history kept before a unit had its year: the visits' records give it, nothing is guessed.
    void aHistoryWithoutYearsTakesThemFromTheRecords()
    {
        QDir().mkpath(dir().filePath(QStringLiteral("data")));
        {
            QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("version1"));
            old.setDatabaseName(target().sqlitePath);
            QVERIFY(old.open());
            QString error;
            QVERIFY2(writeVersion1History(old, false, oldVisitsOfTwoYears(), &error), qPrintable(error));
            old.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("version1"));
        HistoryStore store(target(), queue());
        store.start();
        compareYearsTakenFromRecords(store);
    }

    // A sound file that another program holds (a second tool, an antivirus scan) is never put
    // aside as damaged: the history says so, waits, and opens it as it is once it is free.
    void aFileHeldElsewhereIsNotPutAside()
    {
        {
            HistoryStore store(target(), queue());
            store.start();
            store.saveVisit(sampleVisit(UnitIdentity{5, 2019}));
            QVERIFY(settled(store));
        }
        HistoryStore store(target(), queue());
        QSignalSpy notices(&store, &HistoryStore::notice);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(target().sqlitePath);
            QVERIFY(other.open());
            QSqlQuery hold(other);
            // Held as an antivirus or a second program may hold it: nobody else reads it.
            QVERIFY(hold.exec(QStringLiteral("pragma locking_mode=exclusive")));
            QVERIFY(hold.exec(QStringLiteral("begin exclusive")));
            QVERIFY(hold.exec(QStringLiteral("update units set vehicle = vehicle")));
            store.start();
            QTRY_VERIFY_WITH_TIMEOUT(store.problem().contains(QStringLiteral("právě používá jiný program")), 15000);
            QVERIFY(hold.exec(QStringLiteral("commit")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QVERIFY(settled(store, 15000));
        QCOMPARE(units(store).size(), 1);
        QCOMPARE(notices.size(), 0);
        QCOMPARE(QDir(dir().filePath(QStringLiteral("data"))).entryList({QStringLiteral("historie.sqlite.poskozeno-*")}).size(), 0);
    }

    // Naming a unit kept "bez čísla" moves what was typed for it too.
    void aNamedUnitKeepsItsCustomer()
    {
        HistoryStore store(target(), queue());
        store.start();
        Visit unnamed = sampleVisit(std::nullopt);
        unnamed.customer = QStringLiteral("Petr Malý");
        store.saveVisit(unnamed);
        QVERIFY(settled(store));
        store.nameUnit(unnamed.unitId, {44, 2021});
        QTRY_COMPARE(HistoryWait::visit(store, unnamed.id).unit, (UnitIdentity{44, 2021}));
        const Visit named = HistoryWait::visit(store, unnamed.id);
        QCOMPARE(named.customer, QStringLiteral("Petr Malý"));
        QCOMPARE(named.vehicle, unnamed.vehicle);
    }

    // A visit queued before units had years (its serial as text) reaches the unit its record names.
    void aVisitQueuedBeforeYearsReachesItsUnit()
    {
        QJsonObject old = QJsonDocument::fromJson(VisitQueue::toJson(sampleVisit(UnitIdentity{42, 2019}))).object();
        old.insert(QStringLiteral("serial"), QStringLiteral("42"));
        old.remove(QStringLiteral("year"));
        old.insert(QStringLiteral("unitId"), HistoryIds::unitId({42, std::nullopt}));
        QDir().mkpath(queue());
        QFile file(QDir(queue()).filePath(QStringLiteral("000000000001_%1.json").arg(old.value(QStringLiteral("id")).toString())));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(old).toJson());
        file.close();
        HistoryStore store(target(), queue());
        store.start();
        QVERIFY(settled(store));
        const QList<UnitSummary> all = units(store);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].unit, (UnitIdentity{42, 2019}));
        QCOMPARE(all[0].id, HistoryIds::unitId({42, 2019}));
    }

    void waitingTextFollowsCzechPlurals_data()
    {
        QTest::addColumn<int>("waiting");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QStringLiteral("Kartotéka nedostupná");
        QTest::newRow("1") << 1 << QStringLiteral("Kartotéka nedostupná – 1 návštěva čeká");
        QTest::newRow("2") << 2 << QStringLiteral("Kartotéka nedostupná – 2 návštěvy čekají");
        QTest::newRow("4") << 4 << QStringLiteral("Kartotéka nedostupná – 4 návštěvy čekají");
        QTest::newRow("5") << 5 << QStringLiteral("Kartotéka nedostupná – 5 návštěv čeká");
    }
    void waitingTextFollowsCzechPlurals()
    {
        QFETCH(int, waiting);
        QFETCH(QString, text);
        QCOMPARE(HistoryStore::unreachableText(waiting), text);
    }

    // The first block read of a connection brings the record once; the visit holds what followed.
    void recorderKeepsTheVisitOfTheUnitOnTheLine()
    {
        HistoryStore store(target(), queue());
        store.start();
        RecorderRig rig(&store);
        auto &parts = rig.link;
        VisitRecorder &recorder = rig.recorder;

        const ParameterSet set = rig.data.set().value();
        parts.transport.setPollInterval(20);
        parts.transport.startPolling();
        rig.readBlock();
        QTRY_COMPARE(rig.recordRequests(), 1);  // at the next tick that finds the line free
        QVERIFY(!recorder.isOpen());
        parts.transport.stopPolling();

        const QByteArray record = recordOf(99, 2020, 4);
        emit parts.diagnostics.diagnosticsReceived(record);
        QVERIFY(recorder.isOpen());
        // A second read on the same connection asks nothing more.
        rig.readBlock();
        emit parts.blockWrite.writeEnded(BlockWrite::Result::Unverified);
        parts.transport.frameWritten(parts.transport.commandFrame(UnitCode::ClearErrors));
        const QByteArray cleared = recordOf(99, 2020, 0);
        emit parts.diagnostics.diagnosticsReceived(cleared);
        emit parts.diagnostics.serviceChecked(true);
        QFile pdf(dir().filePath(QStringLiteral("protokol.pdf")));
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        pdf.write("%PDF-1.4 report");
        pdf.close();
        recorder.reportMade(pdf.fileName());
        recorder.recordingMade(QStringLiteral("/x/zaznam.csv"), 60000);
        recorder.recordingAnalysed(QStringLiteral("/x/zaznam.csv"), QStringLiteral("{\"ranges\":[]}"));
        recorder.setVehicle(QStringLiteral("4T5 6789"));
        const QString id = recorder.visit().id;
        recorder.closeVisit();
        QCOMPARE(rig.recordRequests(), 1);
        QVERIFY(settled(store));

        const Visit got = HistoryWait::visit(store, id);
        QCOMPARE(got.unit, (UnitIdentity{99, 2020}));
        QCOMPARE(got.technician, QStringLiteral("Novák"));
        QCOMPARE(got.vehicle, QStringLiteral("4T5 6789"));
        QVERIFY(got.ended.isValid());
        QCOMPARE(got.sets.size(), 2);
        QCOMPARE(got.sets[0].kind, VisitSet::Kind::Read);
        QVERIFY(got.sets[0].set == set);
        QCOMPARE(got.sets[1].check, VisitSet::Check::Unverified);
        QCOMPARE(got.errorsBefore, record);
        QCOMPARE(got.errorsAfter, cleared);
        QVERIFY(got.serviceStored.isValid());
        QCOMPARE(got.reports.size(), 1);
        QCOMPARE(got.reports[0].pdf, QByteArray("%PDF-1.4 report"));
        QCOMPARE(got.recordings.size(), 1);
        QCOMPARE(got.recordings[0].name, QStringLiteral("zaznam.csv"));
        QCOMPARE(got.recordings[0].analysis, QStringLiteral("{\"ranges\":[]}"));
    }

    // The record the recorder asks for gets no answer, and the technician picks another page
    // meanwhile: its time-out still reaches the recorder, which keeps the silent unit's visit.
    void aRecordUnansweredAcrossAPageChangeStillOpensAVisit()
    {
        HistoryStore store(target(), queue());
        store.start();
        RecorderRig rig(&store);
        auto &parts = rig.link;
        parts.transport.setPollInterval(20);
        parts.transport.startPolling();
        rig.readBlock();
        QTRY_COMPARE(parts.transport.linkState(), LinkState::DiagnosticRecord);
        parts.transport.returnToPolling();
        QVERIFY(!rig.recorder.isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(rig.recorder.isOpen(), 4000);
    }

    // The cable moves from unit 99 of 2020 to unit 99 of 2023, which holds another set: two units,
    // each with its own visit and its own first set. The unit answering again after the silence
    // of the move has its record read again; a record read by hand on the same connection tells too.
    void anotherYearsUnitOfTheSameSerialIsAnotherUnit_data()
    {
        QTest::addColumn<bool>("silence");
        QTest::newRow("answering again after silence") << true;
        QTest::newRow("record read by hand, never silent") << false;
    }
    void anotherYearsUnitOfTheSameSerialIsAnotherUnit()
    {
        QFETCH(bool, silence);
        HistoryStore store(target(), queue());
        store.start();
        RecorderRig rig(&store);
        rig.link.transport.setPollInterval(20);
        rig.link.transport.startPolling();
        rig.readBlock();
        QTRY_COMPARE(rig.recordRequests(), 1);
        emit rig.link.diagnostics.diagnosticsReceived(recordOf(99, 2020));
        const QString firstVisit = rig.recorder.visit().id;
        const ParameterSet setOf2020 = rig.data.set().value();

        if (silence) {
            emit rig.connection.healthChanged(LinkConnection::Health::Silent);
            emit rig.connection.healthChanged(LinkConnection::Health::Answering);
        }
        QByteArray block = rig.data.set().paramBytes();
        block[5] = char(block.at(5) + 1);
        rig.data.set().takeOverBlock(block);
        const ParameterSet setOf2023 = rig.data.set().value();
        rig.readBlock();
        QTRY_COMPARE(rig.recordRequests(), silence ? 2 : 1);
        emit rig.link.diagnostics.diagnosticsReceived(recordOf(99, 2023));
        rig.link.transport.stopPolling();
        QVERIFY(rig.recorder.visit().id != firstVisit);
        rig.recorder.closeVisit();
        QVERIFY(settled(store));

        QCOMPARE(units(store).size(), 2);
        for (const auto &[year, set] : {std::pair{2020, setOf2020}, std::pair{2023, setOf2023}}) {
            const QList<VisitSummary> list = visits(store, HistoryIds::unitId({99, year}));
            QCOMPARE(list.size(), 1);
            const Visit visit = HistoryWait::visit(store, list[0].id);
            QCOMPARE(visit.unit, (UnitIdentity{99, year}));
            QVERIFY(visit.firstRead());
            QVERIFY(visit.firstRead()->set == set);
        }
    }
};

QTEST_MAIN(TestSqliteHistory)
#include "tst_sqlitehistory.moc"

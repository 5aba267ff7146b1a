#include "e2ewindow.h"
#include "../history/historyfixture.h"
#include "history/visitrecorder.h"
#include "link/blockread.h"
#include "link/diagnosticsexchange.h"
#include "link/levelexchange.h"
#include "cfgfiles/servicepage.h"
#include "historypage/historypage.h"
#include <QLineEdit>
#include <QTreeWidget>
#include "link/linkconnection.h"
#include "tuning/spinedit.h"
#include <QDesktopServices>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

// A visit against the simulated unit: read, change, write, clear errors, report; the history in the
// working folder holds all of it after the tool has ended.
class TestHistoryEndToEnd : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url.toLocalFile(); }

private:
    E2EWindow e2e;
    QStringList opened;

    int count(const QString &hex) const
    {
        int n = 0;
        for (const auto &frame : e2e.received())
            n += frame.second == hex;
        return n;
    }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void theVisitHoldsWhatWasDone()
    {
        QVERIFY(e2e.startLogged({}, 250, "[Dilna]\r\nTechnik=Petr Kov\xe1\xf8\r\n"));
        VisitRecorder *recorder = e2e.window()->visitRecorder();
        // The first block read brings the record by itself, once.
        e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(recorder->isOpen(), 5000);
        QCOMPARE(recorder->visit().unit, (UnitIdentity{117, 2019}));
        e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);
        QTest::qWait(300);
        QCOMPARE(count(QStringLiteral("02 80 03")), 1);

        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QSignalSpy records(e2e.window()->diagnosticsExchange(), &DiagnosticsExchange::diagnosticsReceived);
        e2e.prompts()->answers = {true};
        e2e.click("Button33");
        QTRY_COMPARE_WITH_TIMEOUT(records.count(), 1, 5000);

        e2e.find<SpinEdit>("VolDorMax")->setValue(100);
        e2e.click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(e2e.label("Nacteni"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 5000);
        // A short live-value recording: its analysis comes aside and joins the visit's recording.
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QTest::qWait(1500);
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QTRY_VERIFY_WITH_TIMEOUT(recorder->visit().recordings.size() == 1 && !recorder->visit().recordings[0].analysis.isEmpty(), 10000);
        e2e.prompts()->reportAnswers << ReportQuestion();
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QCOMPARE(opened.size(), 1);
        const QString id = recorder->visit().id;
        const ParameterSet written = e2e.data()->set().value();
        QVERIFY(!e2e.prompts()->unexpected && e2e.prompts()->messages.isEmpty());
        e2e.close();

        HistoryTarget target;
        target.sqlitePath = e2e.filePath(QStringLiteral("data/historie.sqlite"));
        HistoryStore store(target, e2e.filePath(QStringLiteral("data/historie-fronta")));
        store.start();
        QVERIFY(HistoryWait::settled(store));
        const Visit visit = HistoryWait::visit(store, id);
        QCOMPARE(visit.unit, (UnitIdentity{117, 2019}));
        QCOMPARE(visit.technician, QStringLiteral("Petr Kovář"));
        QVERIFY(visit.ended.isValid());
        QCOMPARE(visit.sets.size(), 2);
        QCOMPARE(visit.sets[0].kind, VisitSet::Kind::Read);
        QVERIFY(visit.sets[1].set == written);
        QCOMPARE(visit.sets[1].check, VisitSet::Check::Verified);
        QVERIFY(!visit.errorsAfter.isEmpty());
        QVERIFY(visit.errorsBefore != visit.errorsAfter);
        QCOMPARE(visit.reports.size(), 1);
        QVERIFY(visit.reports[0].pdf.startsWith("%PDF"));
        QCOMPARE(visit.recordings.size(), 1);
        const QJsonObject analysis = QJsonDocument::fromJson(visit.recordings[0].analysis.toUtf8()).object();
        QCOMPARE(analysis.value("recording").toString(), visit.recordings[0].name);
        QVERIFY2(analysis.value("ranges").toArray().size() == 4, qPrintable(visit.recordings[0].analysis));
    }

    // A unit that gives no levels is kept without them: its set taken back with "Načíst do
    // programu" and written sends the block alone, and the unit's levels stay its own.
    void aSetKeptWithoutLevelsIsWrittenWithoutThem()
    {
        e2e.newFolder();
        QVERIFY(e2e.startLogged({QStringLiteral("--unit-version"), QStringLiteral("3")}));
        VisitRecorder *recorder = e2e.window()->visitRecorder();
        e2e.read(e2e.window()->levelExchange(), &LevelExchange::levelsReset, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(recorder->isOpen() && recorder->visit().firstRead(), 5000);
        // Levels from a file in the tool meanwhile: the set taken back must not keep them either.
        const QString withLevels = e2e.filePath(QStringLiteral("data/s-urovnemi.cfg"));
        QFile file(withLevels);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(e2e.data()->set().paramBytes() + QByteArray::fromHex("03153c163d0102030404"));
        file.close();
        e2e.prompts()->files << withLevels;
        e2e.window()->servicePage()->loadButton()->click();
        QVERIFY(e2e.data()->set().levelsValid());

        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_H));
        QTest::keyClicks(e2e.find<QLineEdit>("HledatJednotku"), QStringLiteral("117"));
        for (const char *name : {"Jednotky", "Navstevy", "SadyNavstevy"}) {
            auto *list = e2e.find<QTreeWidget>(name);
            QTRY_VERIFY_WITH_TIMEOUT(list->topLevelItemCount() > 0, 5000);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
        }
        QVERIFY(e2e.find<QTreeWidget>("SadyNavstevy")->topLevelItem(0)->text(1).endsWith(QStringLiteral(" – bez úrovní")));
        e2e.click("NacistSaduDoProgramu");
        QVERIFY(!e2e.data()->set().levelsValid());

        const int from = e2e.received().size();
        e2e.find<QLabel>("Nacteni")->clear();
        e2e.click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(e2e.label("Nacteni"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 8000);
        QVERIFY(E2EWindow::indexOf(e2e.received(from), QStringLiteral("02 EE 03")) >= 0);
        for (const auto &frame : e2e.received())
            QVERIFY2(!frame.second.startsWith(QLatin1String("02 B4 A")), qPrintable(frame.second));
        QVERIFY(!e2e.prompts()->unexpected && e2e.prompts()->messages.isEmpty());
        e2e.close();
    }

    // The cable moves from unit 99 of 2020 to unit 99 of 2023, which holds another set, while the
    // tool stays open: two units, each with its own visit and its own first set.
    void anotherYearsUnitOfTheSameSerialGetsItsOwnVisit()
    {
        e2e.close();
        e2e.newFolder();
        QTemporaryDir linkDir;
        const QString link = linkDir.filePath(QStringLiteral("ttyUNIT"));
        const QStringList unit99 = {QStringLiteral("--link"), link, QStringLiteral("--serial"), QStringLiteral("99")};
        const QList<QStringList> units = {{QStringLiteral("--year"), QStringLiteral("2020")},
                                          {QStringLiteral("--year"), QStringLiteral("2023"), QStringLiteral("--param"), QStringLiteral("21:100")}};
        QVERIFY(e2e.unit.start(unit99 + units[0]));
        QVERIFY(e2e.openWith("[Komunikace]\r\nPort=" + link.toLocal8Bit() + "\r\nObeznik=100\r\n"));
        VisitRecorder *recorder = e2e.window()->visitRecorder();
        QList<QPair<QString, ParameterSet>> visits;  // each unit's visit and the set read from it
        for (const QStringList &unit : units) {
            if (!visits.isEmpty()) {
                e2e.unit.stop();
                QTRY_VERIFY_WITH_TIMEOUT(e2e.window()->connection()->health() != LinkConnection::Health::Answering, 5000);
                QVERIFY(e2e.unit.start(unit99 + unit));
            }
            QTRY_COMPARE_WITH_TIMEOUT(e2e.window()->connection()->health(), LinkConnection::Health::Answering, 5000);
            e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);
            const UnitIdentity identity{99, unit[1].toInt()};
            QTRY_VERIFY_WITH_TIMEOUT(recorder->isOpen() && recorder->visit().unit == identity, 5000);
            visits.append({recorder->visit().id, e2e.data()->set().value()});
        }
        QVERIFY(visits[0].second != visits[1].second);
        QVERIFY(!e2e.prompts()->unexpected);  // the pulled cable is said; nothing is asked
        const QString historyFile = e2e.filePath(QStringLiteral("data/historie.sqlite"));
        e2e.close();

        HistoryTarget target;
        target.sqlitePath = historyFile;
        HistoryStore store(target, e2e.filePath(QStringLiteral("data/historie-fronta")));
        store.start();
        QVERIFY(HistoryWait::settled(store));
        QCOMPARE(HistoryWait::units(store).size(), 2);
        for (int i = 0; i < units.size(); ++i) {
            const QList<VisitSummary> list = HistoryWait::visits(store, HistoryIds::unitId({99, units[i][1].toInt()}));
            QCOMPARE(list.size(), 1);
            QCOMPARE(list[0].id, visits[i].first);
            const Visit visit = HistoryWait::visit(store, list[0].id);
            QVERIFY(visit.firstRead());
            QCOMPARE(visit.firstRead()->set, visits[i].second);
        }
    }
};

QTEST_MAIN(TestHistoryEndToEnd)
#include "tst_history_e2e.moc"

#include "e2ewindow.h"
#include "fakeport.h"
#include "cutoff/cutoffpage.h"
#include "diagnostics/diagnosticspage.h"
#include "link/diagnosticsexchange.h"
#include "tuning/tuningpage.h"
#include "link/levelexchange.h"
#include "link/statuspoll.h"
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QScopeGuard>
#include <QTest>
#include <csignal>

// A reader started while an exchange still waits for its answer keeps the link against the
// simulated unit: no status poll goes beside it, whatever the exchange's time-out does later. A
// page change takes the link from no exchange, and its outcome is not lost.
class TestReaderLinkEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

    void clickTab(QWidget *page) const
    {
        auto *pages = e2e.find<QTabWidget>("PageControl1");
        QTabBar *bar = pages->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(pages->indexOf(page)).center());
        QCOMPARE(pages->currentWidget(), page);
    }

private slots:
    void init() { QVERIFY(e2e.folderValid()); }
    void cleanup() { e2e.close(); }

    // "Načíst z ŘJ" on a unit without levels, then the cut-off reader before the level read's 2 s
    // are out: when they run out, the reader still has the line to itself.
    void theCutOffReaderKeepsTheLinkWhenTheLevelReadRunsOut()
    {
        QVERIFY(e2e.startLogged({QStringLiteral("--unit-version"), QStringLiteral("3")}));
        QSignalSpy levelsOut(e2e.window()->levelExchange(), &LevelExchange::levelsReset);
        e2e.click("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(E2EWindow::indexOf(e2e.received(), QStringLiteral("02 AA 03")) >= 0, 3000);
        QCOMPARE(levelsOut.count(), 0);

        CutOffPage *page = e2e.window()->cutOffPage();
        clickTab(page);
        QTest::mouseClick(page->cutOffMode(), Qt::LeftButton);
        QSignalSpy live(e2e.window()->statusPoll(), &StatusPoll::liveValues);
        QTRY_VERIFY_WITH_TIMEOUT(E2EWindow::indexOf(e2e.received(), QStringLiteral("02 24 F1 00 03")) >= 0, 3000);
        const int readerFrom = E2EWindow::indexOf(e2e.received(), QStringLiteral("02 24 F1 00 03"));

        QTRY_COMPARE_WITH_TIMEOUT(levelsOut.count(), 1, 4000);
        QTest::qWait(1500);  // six poll intervals and ten reads after the time-out
        const E2EWindow::Frames sent = e2e.received(readerFrom);
        QVERIFY(sent.size() >= 10);
        for (const auto &frame : sent)
            QCOMPARE(frame.second, QStringLiteral("02 24 F1 00 03"));
        QCOMPARE(live.count(), 0);
        QVERIFY(!e2e.link()->polling());
        const int value = page->readValueLabel()->text().toInt();
        QVERIFY2(value >= 80 && value <= 120, qPrintable(page->readValueLabel()->text()));

        // Back to tuning communication: the poll comes back with the reader's end.
        QTest::mouseClick(page->tuningMode(), Qt::LeftButton);
        QVERIFY(e2e.link()->polling());
        QTRY_VERIFY_WITH_TIMEOUT(live.count() >= 1, 3000);
        QVERIFY2(e2e.prompts()->messages.isEmpty(), qPrintable(e2e.prompts()->messages.join(QLatin1Char('|'))));
    }

    // "Uložení servisu" whose read-back the unit leaves unanswered, and a tab clicked meanwhile:
    // no poll goes out until the store's time-out, whose outcome waits on the bottom line until
    // the page is shown again.
    void aPageChangeDuringAnUnansweredStoreKeepsItsOutcome()
    {
        QVERIFY(e2e.start());
        DiagnosticsPage *page = e2e.window()->diagnosticsPage();
        clickTab(page);
        e2e.click("Button28");
        QTRY_COMPARE_WITH_TIMEOUT(e2e.label("NacteniDiag"), QStringLiteral("Načtení OK"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(e2e.link()->polling(), 3000);

        ::kill(pid_t(e2e.unit.processId()), SIGSTOP);
        const auto resume = qScopeGuard([this] { ::kill(pid_t(e2e.unit.processId()), SIGCONT); });
        QStringList sent;
        QObject::connect(e2e.link(), &LinkTransport::frameWritten, e2e.window(), [&sent](const QByteArray &frame) { sent << hex(frame); });
        qsizetype sentAtOutcome = -1;
        QObject::connect(e2e.window()->diagnosticsExchange(), &DiagnosticsExchange::serviceChecked, e2e.window(),
                         [&] { sentAtOutcome = sent.size(); });
        e2e.prompts()->answers = {true};  // the reading as the record gave it
        e2e.click("Button34");
        QTRY_VERIFY_WITH_TIMEOUT(sent.contains(QStringLiteral("02 80 03")), 3000);
        clickTab(e2e.window()->tuningPage());

        auto *line = e2e.find<QLabel>("ZpravaRadek");
        QTRY_COMPARE_WITH_TIMEOUT(line->text(), QStringLiteral("Palubní diagnostika: Nesprávné uložení!"), 4000);
        // Nothing went out between the read-back and its time-out.
        const qsizetype readBack = sent.indexOf(QStringLiteral("02 80 03"));
        QCOMPARE(sentAtOutcome, readBack + 1);
        QVERIFY(line->isVisible());
        QVERIFY(e2e.link()->polling());

        clickTab(page);
        QVERIFY(!line->isVisible());
        QVERIFY(e2e.find<QLabel>("NacteniDiag")->isVisible());
        QCOMPARE(e2e.label("NacteniDiag"), QStringLiteral("Nesprávné uložení!"));
    }
};

QTEST_MAIN(TestReaderLinkEndToEnd)
#include "tst_readerlink_e2e.moc"

#include "e2ewindow.h"
#include "diagnostics/diagnosticspage.h"
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

// The diagnostics page against the simulated unit over a pseudo-terminal: read the record, store
// a service and see it read back, clear the error counters.
class TestDiagnosticsEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

    QString text(const char *name) const { return e2e.text(name); }
    QLabel *message() const { return e2e.find<QLabel>("NacteniDiag"); }
    void click(const char *name) { e2e.click(name); }
    QString counters() const
    {
        QStringList out;
        for (const char *name : {"CVB", "CVC", "CMB", "CMC", "CVEB", "CVEC", "CMAB", "CMAC"})
            out << text(name);
        return out.join(' ');
    }
    // Reads the record and waits until "Načtení OK" says it is shown.
    bool readRecord()
    {
        message()->hide();
        click("Button28");
        return QTest::qWaitFor([this] { return message()->isVisible(); }, 5000)
            && message()->text() == QStringLiteral("Načtení OK");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(e2e.unit.start());
        QVERIFY(e2e.unit.writeSettings(e2e.folder(), 250));
        e2e.openWindow();
        QVERIFY(e2e.port()->isOpen());
        e2e.find<QAction>("Palubnidiagnostika1")->trigger();  // Ctrl+P
        QCOMPARE(e2e.window()->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet6"));
    }
    void cleanupTestCase() { e2e.close(); }

    void everyFieldShowsAsTheUnitHoldsIt()
    {
        QVERIFY(readRecord());
        QCOMPARE(text("VJednotky") + '|' + text("CSerie") + '|' + text("RVyroby"), QStringLiteral("4|117|2019"));
        // The hour meters have run less than one 1.6-minute tick since the unit started.
        QCOMPARE(text("PCelkem"), QStringLiteral("01/00  00:00"));
        QCOMPARE(text("PLPG"), QStringLiteral("00/22  18:40"));
        QCOMPARE(text("STacho") + '|' + text("Servis") + '|' + text("CServisu"), QStringLiteral("123456|14/03/23|4"));
        QCOMPARE(counters(), QStringLiteral("3 0 12 1 0 7 260 4660"));
        QTRY_VERIFY_WITH_TIMEOUT(e2e.link()->polling(), 2000);
    }

    void aStoredServiceReadsBack()
    {
        QVERIFY(readRecord());  // its "Načtení OK" is still up when the store's result comes
        QLineEdit *tacho = e2e.find<QLineEdit>("STacho");
        tacho->selectAll();
        QTest::keyClicks(tacho, QStringLiteral("150000"));
        click("Button34");
        QVERIFY(e2e.prompts()->questions.isEmpty());  // a typed reading needs no confirmation
        QTRY_COMPARE_WITH_TIMEOUT(message()->text(), QStringLiteral("Uložení OK"), 5000);
        QTest::qWait(1500);
        QVERIFY(message()->isVisible());
        QCOMPARE(text("Servis"), QDate::currentDate().toString(QStringLiteral("dd/MM/yy")));
        QCOMPARE(text("STacho") + '|' + text("CServisu"), QStringLiteral("150000|5"));
        QTRY_VERIFY_WITH_TIMEOUT(e2e.link()->polling(), 2000);
    }

    void aSilentUnitCostsTwoSecondsNeverThePoll()
    {
        E2EWindow mute;
        QVERIFY(mute.unit.start({QStringLiteral("--mute-after"), QStringLiteral("0")}));
        QVERIFY(mute.unit.writeSettings(mute.folder(), 100));
        mute.openWindow();
        mute.find<QAction>("Palubnidiagnostika1")->trigger();
        QElapsedTimer clock;
        clock.start();
        mute.click("Button28");
        QLabel *said = mute.find<QLabel>("NacteniDiag");
        QTRY_VERIFY_WITH_TIMEOUT(said->isVisible(), 5000);
        QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(said->text(), QStringLiteral("Jednotka neodpovídá!"));
        QCOMPARE(mute.link()->linkState(), LinkState::StatusReply);
        QVERIFY(mute.link()->polling());
    }

    void clearedCountersReadBackAsZero()
    {
        e2e.prompts()->answers = {true};
        click("Button33");
        QCOMPARE(e2e.prompts()->questions.size(), 1);
        QCOMPARE(counters(), QStringLiteral("3 0 12 1 0 7 260 4660"));  // unchanged until read again
        QVERIFY(readRecord());
        QCOMPARE(counters(), QStringLiteral("0 0 0 0 0 0 0 0"));
        QCOMPARE(text("STacho"), QStringLiteral("150000"));
        QCOMPARE(e2e.prompts()->beeps, 0);
    }
};

QTEST_MAIN(TestDiagnosticsEndToEnd)
#include "tst_diagnostics_e2e.moc"

#include "scriptedprompts.h"
#include "simulatedunit.h"
#include "app/form2.h"
#include "diagnostics/diagnosticspage.h"
#include "link/comport.h"
#include "link/unitlink.h"
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// The diagnostics page against the simulated unit over a pseudo-terminal: read the record, store
// a service and see it read back, clear the error counters.
class TestDiagnosticsEndToEnd : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
    SimulatedUnit unit;
    ComPort port;
    ScriptedPrompts prompts;
    std::unique_ptr<TForm2> window;

    QString text(const char *name) const { return window->findChild<QLineEdit *>(QLatin1String(name))->text(); }
    QLabel *message() const { return window->findChild<QLabel *>(QStringLiteral("NacteniDiag")); }
    void click(const char *name) { window->findChild<QPushButton *>(QLatin1String(name))->click(); }
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
        QVERIFY(unit.start());
        QVERIFY(unit.writeSettings(dir.path(), 250));
        window = std::make_unique<TForm2>(&port, &prompts);
        window->show();
        window->FormCreate(dir.path());
        QVERIFY(port.isOpen());
        window->findChild<QAction *>(QStringLiteral("Palubnidiagnostika1"))->trigger();  // Ctrl+P
        QCOMPARE(window->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet6"));
    }
    void cleanupTestCase()
    {
        window.reset();
        unit.stop();
    }

    void everyFieldShowsAsTheUnitHoldsIt()
    {
        QVERIFY(readRecord());
        QCOMPARE(text("VJednotky") + '|' + text("CSerie") + '|' + text("RVyroby"), QStringLiteral("4|117|2019"));
        // The hour meters have run less than one 1.6-minute tick since the unit started.
        QCOMPARE(text("PCelkem"), QStringLiteral("01/00  00:00"));
        QCOMPARE(text("PLPG"), QStringLiteral("00/22  18:40"));
        QCOMPARE(text("STacho") + '|' + text("Servis") + '|' + text("CServisu"), QStringLiteral("123456|14/03/23|4"));
        QCOMPARE(counters(), QStringLiteral("3 0 12 1 0 7 260 4660"));
        QTRY_VERIFY_WITH_TIMEOUT(window->link()->poll().isEnabled(), 2000);
    }

    void aStoredServiceReadsBack()
    {
        QVERIFY(readRecord());  // its "Načtení OK" is still up when the store's result comes
        QLineEdit *tacho = window->findChild<QLineEdit *>(QStringLiteral("STacho"));
        tacho->selectAll();
        QTest::keyClicks(tacho, QStringLiteral("150000"));
        click("Button34");
        QVERIFY(prompts.questions.isEmpty());  // a typed reading needs no confirmation
        QTRY_COMPARE_WITH_TIMEOUT(message()->text(), QStringLiteral("Uložení OK"), 5000);
        QTest::qWait(1500);
        QVERIFY(message()->isVisible());
        QCOMPARE(text("Servis"), QDate::currentDate().toString(QStringLiteral("dd/MM/yy")));
        QCOMPARE(text("STacho") + '|' + text("CServisu"), QStringLiteral("150000|5"));
        QTRY_VERIFY_WITH_TIMEOUT(window->link()->poll().isEnabled(), 2000);
    }

    void aSilentUnitCostsTwoSecondsNeverThePoll()
    {
        QTemporaryDir folder;
        SimulatedUnit mute;
        QVERIFY(mute.start({QStringLiteral("--mute-after"), QStringLiteral("0")}));
        QVERIFY(mute.writeSettings(folder.path(), 100));
        ComPort port2;
        ScriptedPrompts prompts2;
        TForm2 tool(&port2, &prompts2);
        tool.show();
        tool.FormCreate(folder.path());
        tool.findChild<QAction *>(QStringLiteral("Palubnidiagnostika1"))->trigger();
        QElapsedTimer clock;
        clock.start();
        tool.findChild<QPushButton *>(QStringLiteral("Button28"))->click();
        QLabel *said = tool.findChild<QLabel *>(QStringLiteral("NacteniDiag"));
        QTRY_VERIFY_WITH_TIMEOUT(said->isVisible(), 5000);
        QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(said->text(), QStringLiteral("Jednotka neodpovídá!"));
        QCOMPARE(tool.link()->linkState(), 0);
        QVERIFY(tool.link()->poll().isEnabled());
    }

    void clearedCountersReadBackAsZero()
    {
        prompts.answers = {true};
        click("Button33");
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(counters(), QStringLiteral("3 0 12 1 0 7 260 4660"));  // unchanged until read again
        QVERIFY(readRecord());
        QCOMPARE(counters(), QStringLiteral("0 0 0 0 0 0 0 0"));
        QCOMPARE(text("STacho"), QStringLiteral("150000"));
        QCOMPARE(prompts.beeps, 0);
    }
};

QTEST_MAIN(TestDiagnosticsEndToEnd)
#include "tst_diagnostics_e2e.moc"

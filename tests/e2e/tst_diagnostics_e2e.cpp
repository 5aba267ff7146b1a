#include "scriptedprompts.h"
#include "simulatedunit.h"
#include "app/form2.h"
#include "diagnostics/diagnosticspage.h"
#include "link/comport.h"
#include "link/unitlink.h"
#include <QAction>
#include <QFile>
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

    // Frames the unit at `log` received, in order: the unit's milliseconds and the bytes in hex.
    static QList<QPair<qint64, QString>> received(const QString &log)
    {
        QList<QPair<qint64, QString>> out;
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &line : file.readAll().split('\n'))
                if (line.contains(" RX "))
                    out.append({line.left(line.indexOf(' ')).toLongLong(),
                                QString::fromLatin1(line.mid(line.indexOf(" RX ") + 4).trimmed())});
        return out;
    }
    // Where `frame` was received at or after `from`; -1 when it was not.
    static int indexOf(const QList<QPair<qint64, QString>> &rx, const QString &frame, int from = 0)
    {
        for (int i = std::max(from, 0); i < rx.size(); ++i)
            if (rx[i].second.startsWith(frame))
                return i;
        return -1;
    }
    QString logPath() const { return dir.filePath(QStringLiteral("unit.log")); }

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
        QVERIFY(unit.start({QStringLiteral("--log"), logPath()}));
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
        QLineEdit *tacho = window->findChild<QLineEdit *>(QStringLiteral("STacho"));
        tacho->selectAll();
        QTest::keyClicks(tacho, QStringLiteral("150000"));
        click("Button34");
        QVERIFY(prompts.questions.isEmpty());  // a typed reading needs no confirmation
        QTRY_COMPARE_WITH_TIMEOUT(message()->text(), QStringLiteral("Uložení OK"), 5000);
        QCOMPARE(text("Servis"), QDate::currentDate().toString(QStringLiteral("dd/MM/yy")));
        QCOMPARE(text("STacho") + '|' + text("CServisu"), QStringLiteral("150000|5"));
        QTRY_VERIFY_WITH_TIMEOUT(window->link()->poll().isEnabled(), 2000);
        // What reached the unit: the seven service frames in order, nothing between, then the request.
        const auto rx = received(logPath());
        const int at = indexOf(rx, QStringLiteral("02 14 5C"));
        QVERIFY(at >= 0);
        QStringList frames;
        for (int i = at; i < std::min(int(rx.size()), at + 8); ++i)
            frames << rx[i].second;
        const QDate day = QDate::currentDate();
        const QString sent = QString::asprintf("02 14 5C %02X 03|02 14 5D %02X 03|02 14 5E %02X 03|02 14 5F 00 03|"
                                               "02 14 59 F0 03|02 14 5A 49 03|02 14 5B 02 03|02 80 03",
                                               day.day(), day.month(), day.year() - 2000);
        QCOMPARE(frames.join('|'), sent);
    }

    void aSilentUnitCostsTwoSecondsNeverThePoll()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath(QStringLiteral("mute.log"));
        SimulatedUnit mute;
        QVERIFY(mute.start({QStringLiteral("--mute-after"), QStringLiteral("0"), QStringLiteral("--log"), log}));
        QVERIFY(mute.writeSettings(folder.path(), 100));
        ComPort port2;
        ScriptedPrompts prompts2;
        TForm2 tool(&port2, &prompts2);
        tool.show();
        tool.FormCreate(folder.path());
        QVERIFY(port2.isOpen());
        tool.findChild<QAction *>(QStringLiteral("Palubnidiagnostika1"))->trigger();
        tool.findChild<QPushButton *>(QStringLiteral("Button28"))->click();
        QLabel *said = tool.findChild<QLabel *>(QStringLiteral("NacteniDiag"));
        QTRY_VERIFY_WITH_TIMEOUT(said->isVisible(), 5000);
        QCOMPARE(said->text(), QStringLiteral("Jednotka neodpovídá!"));
        QCOMPARE(tool.link()->linkState(), 0);
        // The poll asks again once the guard has given up, and not before.
        int request = -1, poll = -1;
        QTRY_VERIFY_WITH_TIMEOUT((request = indexOf(received(log), QStringLiteral("02 80 03"))) >= 0
                                     && (poll = indexOf(received(log), QStringLiteral("02 0F 03"), request)) > 0, 3000);
        const auto rx = received(log);
        QVERIFY2(rx[poll].first - rx[request].first >= 1900, qPrintable(QString::number(rx[poll].first - rx[request].first)));
        QVERIFY(tool.link()->poll().isEnabled());
        mute.stop();
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

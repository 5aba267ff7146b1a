#include "e2ewindow.h"
#include "app/instancebeacon.h"
#include "link/statuspoll.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

// The tool against the simulated unit over a real pseudo-terminal.
class TestLiveE2E : public QObject
{
    Q_OBJECT
private:
    // The longest the event loop stood still while `ms` passed.
    static qint64 longestStall(int ms)
    {
        QElapsedTimer clock, sinceTick;
        clock.start();
        sinceTick.start();
        qint64 worst = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            worst = std::max(worst, sinceTick.restart());
        });
        tick.start(10);
        while (clock.elapsed() < ms)
            QTest::qWait(20);
        return worst;
    }

private slots:
    void liveValuesReachTheLabels()
    {
        E2EWindow tool;
        SimulatedUnit &unit = tool.unit;
        QVERIFY(unit.start());
        QVERIFY2(tool.open(100), qPrintable(tool.prompts()->messages.join('\n')));
        MainWindow &form = *tool.window();

        QSignalSpy refreshed(form.statusPoll(), &StatusPoll::liveValues);
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 3, 5000);
        QCOMPARE(tool.label("L2"), QString::number(form.statusPoll()->last().lambda));
        QCOMPARE(tool.label("L3"), QString::number(form.statusPoll()->last().tps));
        QCOMPARE(tool.label("L4"), QString::number(form.statusPoll()->last().position));
        // The unit's lambda swings between rich and lean: the label follows it.
        const QString first = tool.label("L2");
        QTRY_VERIFY_WITH_TIMEOUT(tool.label("L2") != first, 5000);
        QCOMPARE(tool.prompts()->beeps, 0);
    }

    void aNoisyLineNeverFreezesTheTool()
    {
        E2EWindow tool;
        SimulatedUnit &unit = tool.unit;
        QVERIFY(unit.start({QStringLiteral("--corrupt-every"), QStringLiteral("3"), QStringLiteral("--stray-every"),
                            QStringLiteral("4"), QStringLiteral("--slow-every"), QStringLiteral("5"),
                            QStringLiteral("--drop-every"), QStringLiteral("7")}));
        QVERIFY(tool.open(100));
        MainWindow &form = *tool.window();
        QSignalSpy refreshed(form.statusPoll(), &StatusPoll::liveValues);
        QSignalSpy errors(form.statusPoll(), &StatusPoll::statusError);

        const qint64 stall = longestStall(4000);
        QVERIFY2(stall < 1500, qPrintable(QString::number(stall)));
        QVERIFY2(refreshed.count() >= 5, qPrintable(QString::number(refreshed.count())));
        QVERIFY(errors.count() >= 2);
        QVERIFY(tool.port()->isOpen());
        QVERIFY(tool.prompts()->messages.isEmpty());
    }

    void anUnpluggedLineIsReportedOnceAndTheToolGoesOn()
    {
        E2EWindow tool;
        SimulatedUnit &unit = tool.unit;
        QVERIFY(unit.start());
        QVERIFY(tool.open(50));
        MainWindow &form = *tool.window();
        ScriptedPrompts &prompts = *tool.prompts();
        QSignalSpy refreshed(form.statusPoll(), &StatusPoll::liveValues);
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 2, 5000);
        const int tps = form.statusPoll()->last().tps;

        unit.stop();  // the other end of the line goes away
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 5000);
        const qint64 stall = longestStall(1000);
        QVERIFY2(stall < 500, qPrintable(QString::number(stall)));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(!tool.port()->isOpen());
        QVERIFY(form.isVisible());
        QCOMPARE(form.statusPoll()->last().tps, tps);  // the data stays
    }

    void aSecondCopyLeavesAtOnceAndACrashedOneDoesNotBlock()
    {
        SimulatedUnit unit;
        QVERIFY(unit.start());
        QTemporaryDir folder;
        QVERIFY(unit.writeSettings(folder.path(), 250));
        const auto tool = [&](QProcess &p) { return E2EWindow::startProgram(p, folder.path()); };

        // A copy holds the lock once its beacon answers; a loaded machine may take seconds to start it.
        const auto listening = [](QProcess &p) {
            QTRY_VERIFY_WITH_TIMEOUT(p.state() != QProcess::Running || InstanceBeacon().knock(200), 30000);
            QVERIFY2(p.state() == QProcess::Running,
                     qPrintable(QStringLiteral("exit %1 (%2): %3")
                                    .arg(p.exitCode())
                                    .arg(p.exitStatus() == QProcess::NormalExit ? "normal" : "crash")
                                    .arg(QString::fromLocal8Bit(p.readAllStandardError()))));
        };

        QProcess first;
        QVERIFY(tool(first));
        listening(first);
        if (QTest::currentTestFailed())
            return;

        QProcess second;
        QVERIFY(tool(second));
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        ::kill(pid_t(first.processId()), SIGKILL);  // a crash leaves its lock and its beacon's socket behind
        QVERIFY(first.waitForFinished(5000));
        QVERIFY(!InstanceBeacon().knock(200));
        QProcess third;
        QVERIFY(tool(third));
        listening(third);
        third.terminate();
        if (!third.waitForFinished(5000))
            third.kill();
        third.waitForFinished(3000);
    }
};

QTEST_MAIN(TestLiveE2E)
#include "tst_live_e2e.moc"

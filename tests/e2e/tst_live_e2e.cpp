#include "scriptedprompts.h"
#include "simulatedunit.h"
#include "app/form2.h"
#include "link/comport.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

// The tool's window on a real port, started in a folder whose TESTER.INI names the unit.
struct ToolOnUnit
{
    QTemporaryDir folder;
    ComPort port;
    ScriptedPrompts prompts;
    TForm2 form{&port, &prompts};

    bool start(const SimulatedUnit &unit, int pollMs)
    {
        if (!unit.writeSettings(folder.path(), pollMs))
            return false;
        form.show();
        form.FormCreate(folder.path());
        return prompts.messages.isEmpty();
    }
};

// The tool against the simulated unit over a real pseudo-terminal.
class TestLiveE2E : public QObject
{
    Q_OBJECT
private:
    static QString label(TForm2 &form, const char *name) { return form.findChild<QLabel *>(QLatin1String(name))->text(); }

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
        SimulatedUnit unit;
        QVERIFY(unit.start());
        ToolOnUnit tool;
        QVERIFY2(tool.start(unit, 100), qPrintable(tool.prompts.messages.join('\n')));
        TForm2 &form = tool.form;

        QSignalSpy refreshed(form.data(), &UnitData::liveValuesChanged);
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 3, 5000);
        QCOMPARE(label(form, "L2"), QString::number(form.data()->lambdaValue));
        QCOMPARE(label(form, "L3"), QString::number(form.data()->tpsValue));
        QCOMPARE(label(form, "L4"), QString::number(form.data()->positionValue));
        // The unit's lambda swings between rich and lean: the label follows it.
        const QString first = label(form, "L2");
        QTRY_VERIFY_WITH_TIMEOUT(label(form, "L2") != first, 5000);
        QCOMPARE(tool.prompts.beeps, 0);
    }

    void aNoisyLineNeverFreezesTheTool()
    {
        SimulatedUnit unit;
        QVERIFY(unit.start({QStringLiteral("--corrupt-every"), QStringLiteral("3"), QStringLiteral("--stray-every"),
                            QStringLiteral("4"), QStringLiteral("--slow-every"), QStringLiteral("5"),
                            QStringLiteral("--drop-every"), QStringLiteral("7")}));
        ToolOnUnit tool;
        QVERIFY(tool.start(unit, 100));
        TForm2 &form = tool.form;
        QSignalSpy refreshed(form.data(), &UnitData::liveValuesChanged);
        QSignalSpy errors(form.link(), &UnitLink::statusError);

        const qint64 stall = longestStall(4000);
        QVERIFY2(stall < 1500, qPrintable(QString::number(stall)));
        QVERIFY2(refreshed.count() >= 5, qPrintable(QString::number(refreshed.count())));
        QVERIFY(errors.count() >= 2);
        QVERIFY(tool.port.isOpen());
        QVERIFY(tool.prompts.messages.isEmpty());
    }

    void anUnpluggedLineIsReportedOnceAndTheToolGoesOn()
    {
        SimulatedUnit unit;
        QVERIFY(unit.start());
        ToolOnUnit tool;
        QVERIFY(tool.start(unit, 50));
        TForm2 &form = tool.form;
        ScriptedPrompts &prompts = tool.prompts;
        QSignalSpy refreshed(form.data(), &UnitData::liveValuesChanged);
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 2, 5000);
        const int tps = form.data()->tpsValue;

        unit.stop();  // the other end of the line goes away
        QTRY_COMPARE_WITH_TIMEOUT(prompts.messages.size(), 1, 5000);
        const qint64 stall = longestStall(1000);
        QVERIFY2(stall < 500, qPrintable(QString::number(stall)));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(!tool.port.isOpen());
        QVERIFY(form.isVisible());
        QCOMPARE(form.data()->tpsValue, tps);  // the data stays
    }

    void aSecondCopyLeavesAtOnceAndACrashedOneDoesNotBlock()
    {
        SimulatedUnit unit;
        QVERIFY(unit.start());
        QTemporaryDir folder;
        QVERIFY(unit.writeSettings(folder.path(), 250));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        auto tool = [&](QProcess &p) {
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(folder.path());
            p.start(QStringLiteral(VELKOR_TOOL_PATH), QStringList());
            return p.waitForStarted(5000);
        };

        QProcess first;
        QVERIFY(tool(first));
        QVERIFY(!first.waitForFinished(1500));  // it runs

        QProcess second;
        QVERIFY(tool(second));
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        ::kill(pid_t(first.processId()), SIGKILL);  // a crash leaves its lock behind
        QVERIFY(first.waitForFinished(5000));
        QProcess third;
        QVERIFY(tool(third));
        QVERIFY(!third.waitForFinished(1500));
        third.terminate();
        if (!third.waitForFinished(5000))
            third.kill();
        third.waitForFinished(3000);
    }
};

QTEST_MAIN(TestLiveE2E)
#include "tst_live_e2e.moc"

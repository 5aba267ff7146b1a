#include "e2ewindow.h"
#include "app/connectionline.h"
#include "link/linkconnection.h"
#include "link/statuspoll.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <ctime>

using Health = LinkConnection::Health;

// The connection against the simulated unit over a real pseudo-terminal: a unit that goes away and
// comes back, a unit that stops answering, the shortest poll, and a stop by the system.
class TestConnectionE2E : public QObject
{
    Q_OBJECT
private:
    // The window on a folder whose TESTER.INI is `settings`.
    struct Tool : E2EWindow
    {
        bool start(const QByteArray &settings) { return openWith(settings); }
        Health health() const { return window()->connection()->health(); }
    };

    static double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

private slots:
    void aUnitThatGoesAndComesBackIsPickedUpAgain()
    {
        QTemporaryDir linkDir;
        const QString link = linkDir.filePath(QStringLiteral("ttyUNIT"));
        Tool tool;
        SimulatedUnit &unit = tool.unit;
        QVERIFY(unit.start({QStringLiteral("--link"), link}));
        QVERIFY(tool.start("[Komunikace]\r\nPort=" + link.toLocal8Bit() + "\r\nObeznik=100\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(tool.health(), Health::Answering, 5000);
        QSignalSpy refreshed(tool.window()->statusPoll(), &StatusPoll::liveValues);

        // Gone in the middle of a read: the request waits in the stopped unit, which then ends at
        // once on its pending stop signal (removing its link, which no other unit may take over).
        ::kill(pid_t(unit.processId()), SIGSTOP);
        tool.click("Button2");
        ::kill(pid_t(unit.processId()), SIGTERM);
        ::kill(pid_t(unit.processId()), SIGCONT);
        unit.stop();
        QTRY_COMPARE_WITH_TIMEOUT(tool.health(), Health::Lost, 5000);
        // The technician stays where they were; the read ends with its own message.
        QTRY_COMPARE_WITH_TIMEOUT(tool.label("Nacteni"), QStringLiteral("Jednotka neodpovídá!"), 6000);
        QCOMPARE(tool.window()->pages()->currentIndex(), 0);
        QVERIFY(!tool.prompts()->notice.isEmpty());
        // Out for three seconds: the tool waits quietly, without a storm of errors or boxes.
        QElapsedTimer outage;
        outage.start();
        const double cpuBefore = cpuSeconds();
        QTest::qWait(3000);
        const double cpu = cpuSeconds() - cpuBefore;
        QVERIFY2(cpu < 0.3 * outage.elapsed() / 1000.0, qPrintable(QString::number(cpu)));
        QCOMPARE(tool.prompts()->messages.size(), 1);
        QCOMPARE(tool.health(), Health::Lost);

        QVERIFY(unit.start({QStringLiteral("--link"), link}));
        QElapsedTimer back;
        back.start();
        const int before = refreshed.count();
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() > before, 5000);
        // Due within 2 s (an attempt a second, then the next poll); a busy machine gets slack, a tool
        // that does not retry never gets here.
        QVERIFY2(back.elapsed() < 4000, qPrintable(QString::number(back.elapsed())));
        QCOMPARE(tool.health(), Health::Answering);
        QCOMPARE(tool.prompts()->messages.size(), 1);
        QVERIFY(tool.prompts()->notice.isEmpty());  // the box went with the outage
        QCOMPARE(tool.window()->pages()->currentIndex(), 0);
    }

    void aPausedUnitTurnsAmberAndGreenAgain()
    {
        Tool tool;
        SimulatedUnit &unit = tool.unit;
        QVERIFY(unit.start());
        QVERIFY(tool.start("[Komunikace]\r\nPort=" + unit.devicePath().toLocal8Bit() + "\r\nObeznik=100\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(tool.health(), Health::Answering, 5000);
        ::kill(pid_t(unit.processId()), SIGSTOP);
        QTRY_COMPARE_WITH_TIMEOUT(tool.health(), Health::Silent, 5000);
        QVERIFY(tool.port()->isOpen());
        ::kill(pid_t(unit.processId()), SIGCONT);
        QTRY_COMPARE_WITH_TIMEOUT(tool.health(), Health::Answering, 5000);
        QVERIFY(tool.prompts()->messages.isEmpty());
    }

    void theShortestPollRunsHalfAMinuteWithoutLoss()
    {
        Tool tool;
        SimulatedUnit &unit = tool.unit;
        QVERIFY(unit.start());
        QVERIFY(tool.start("[Komunikace]\r\nPort=" + unit.devicePath().toLocal8Bit() + "\r\nObeznik=1\r\n"));
        QCOMPARE(tool.window()->pollInterval(), 20);
        QSignalSpy lost(tool.port(), &SerialIo::deviceLost);
        QSignalSpy refreshed(tool.window()->statusPoll(), &StatusPoll::liveValues);
        QSignalSpy changes(tool.window()->connection(), &LinkConnection::healthChanged);
        QTest::qWait(30000);
        QCOMPARE(lost.count(), 0);
        QVERIFY(tool.port()->isOpen());
        QCOMPARE(tool.health(), Health::Answering);
        for (const QList<QVariant> &change : changes)
            QVERIFY(change.first().value<Health>() != Health::Lost);
        // Every 20 ms a poll; on a busy machine far fewer still make it.
        QVERIFY2(refreshed.count() > 300, qPrintable(QString::number(refreshed.count())));
        QVERIFY(tool.prompts()->messages.isEmpty());
    }

    void aStopBySystemEndsLikeKonec()
    {
        SimulatedUnit unit;
        QVERIFY(unit.start());
        QTemporaryDir folder;
        QVERIFY(unit.writeSettings(folder.path(), 250));
        // The port's lock file, wherever Qt keeps it: "LCK..pts_N" for /dev/pts/N, the path with
        // "_" for "/" for the link TESTER.INI names.
        const QString lockName = QStringLiteral("LCK..") + QString(unit.linkPath()).replace(u'/', u'_');
        QStringList lockDirs{QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
                             QStringLiteral("/var/spool/uucp"), QStringLiteral("/tmp"), QStringLiteral("/var/tmp"),
                             QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"), QDir::tempPath()};
        // Only a lock naming the tool counts: another test's tool killed outright leaves its lock for
        // the same device number behind, and the tool would be stopped before it had started.
        const auto lockFile = [&](qint64 pid) {
            for (const QString &dir : lockDirs) {
                QFile lock(QDir(dir).filePath(lockName));
                if (lock.open(QIODevice::ReadOnly) && lock.readLine().trimmed() == QByteArray::number(pid))
                    return lock.fileName();
            }
            return QString();
        };

        for (int signal : {SIGTERM, SIGINT}) {
            QProcess tool;
            QVERIFY(E2EWindow::startProgram(tool, folder.path()));
            const qint64 pid = tool.processId();
            QTRY_VERIFY_WITH_TIMEOUT(!lockFile(pid).isEmpty(), 5000);
            ::kill(pid_t(pid), signal);
            QVERIFY(tool.waitForFinished(5000));
            QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
            QCOMPARE(tool.exitCode(), 0);
            QCOMPARE(lockFile(pid), QString());
        }
    }
};

QTEST_MAIN(TestConnectionE2E)
#include "tst_connection_e2e.moc"

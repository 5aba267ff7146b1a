#include "e2ewindow.h"
#include "link/statuspoll.h"
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <iterator>

// Damaged TESTER.INI files against the real port and the real program.
class TestSettingsE2E : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    ComPort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    MainWindow *form = nullptr;
    const QByteArray prefix = "velkore2e" + QByteArray::number(QCoreApplication::applicationPid());

    bool writeIni(const QByteArray &bytes)
    {
        QFile file(folder.filePath(QStringLiteral("TESTER.INI")));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QStringList lockFiles() const
    {
        const QStringList mask{QStringLiteral("LCK..") + QString::fromLatin1(prefix) + QLatin1Char('*')};
        return QDir(QStringLiteral("/var/lock")).entryList(mask, QDir::Files | QDir::System)
            + QDir::temp().entryList(mask, QDir::Files | QDir::System);
    }

private slots:
    void init()
    {
        port = new ComPort;
        prompts = new ScriptedPrompts;
        form = new MainWindow(port, prompts);
        form->show();
    }
    void cleanup()
    {
        delete form;
        delete prompts;
        delete port;
        QCOMPARE(lockFiles(), QStringList());
    }

    // Notepad's "Unicode", and a port name followed by garbage after a NUL: the unit is reached.
    void aUtf16FileWithANulAfterThePortReachesTheUnit()
    {
        SimulatedUnit unit;
        QVERIFY(unit.start());
        QByteArray ini("\xFF\xFE", 2);
        static constexpr char16_t rest[] = u"\0COM9\r\nObeznik=100\r\n[Tlacitka]\r\nTl1=Poslat do ŘJ\r\n";
        const QString text = QStringLiteral("[Komunikace]\r\nPort=") + unit.devicePath()
            + QStringView(rest, std::size(rest) - 1).toString();
        for (const QChar c : text)
            ini.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        QVERIFY(writeIni(ini));
        QSignalSpy refreshed(form->statusPoll(), &StatusPoll::liveValues);
        form->startUp(folder.path());
        QCOMPARE(prompts->messages, QStringList());
        QCOMPARE(form->pollInterval(), 100);
        QCOMPARE(form->findChild<QPushButton *>(QStringLiteral("Button1"))->text(), QStringLiteral("Poslat do ŘJ"));
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() >= 2, 5000);
        QVERIFY(port->isOpen());
    }

    void aPortNameThatCannotBeADeviceIsRefusedAndStartUpGoesOn_data()
    {
        QTest::addColumn<QByteArray>("port");
        QTest::addColumn<QString>("says");
        QTest::newRow("control character") << prefix + "\x01" "1" << QStringLiteral("řídicí znak (kód 1)");
        QTest::newRow("a megabyte") << prefix + QByteArray(1 << 20, 'A') << QStringLiteral("AAAAA…");
    }

    void aPortNameThatCannotBeADeviceIsRefusedAndStartUpGoesOn()
    {
        QFETCH(QByteArray, port);
        QFETCH(QString, says);
        QVERIFY(writeIni("[Komunikace]\r\nPort=" + port + "\r\nObeznik=100\r\n"));
        QElapsedTimer clock;
        clock.start();
        form->startUp(folder.path());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().contains(says), qPrintable(prompts->messages.first()));
        QVERIFY2(prompts->messages.first().size() < 400, qPrintable(prompts->messages.first()));
        QVERIFY(!this->port->isOpen());
        QVERIFY(!form->link()->polling());  // nobody to ask
        QCOMPARE(form->windowTitle(), MainWindow::captionPrefix() + QStringLiteral(" Novy.cfg"));
    }

    // A NUL in Port= once left a lock file that made every later start crash: start twice.
    void theProgramSurvivesANulInThePortTwice()
    {
        QVERIFY(writeIni("[Komunikace]\r\nPort=" + prefix + QByteArray("\0x", 2) + "\r\n"));
        for (int start = 0; start < 2; ++start) {
            QProcess tool;
            QVERIFY(E2EWindow::startProgram(tool, folder.path()));
            // It shows why the port did not open and waits for the technician.
            QVERIFY2(!tool.waitForFinished(1500), qPrintable(tool.readAllStandardError()));
            tool.kill();
            QVERIFY(tool.waitForFinished(5000));
            QCOMPARE(lockFiles(), QStringList());
        }
    }
};

QTEST_MAIN(TestSettingsE2E)
#include "tst_settings_e2e.moc"

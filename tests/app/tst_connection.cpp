#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/connectionline.h"
#include "app/mainwindow.h"
#include "app/instancebeacon.h"
#include "app/qtczech.h"
#include "app/singleinstance.h"
#include "app/widgetprompts.h"
#include "history/historystore.h"
#include "link/linkconnection.h"
#include "link/linktransport.h"
#include "livepage/bargauge.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <memory>

// The connection line of the window: the port picker, the write-back of the choice and the health.
class TestConnection : public QObject
{
    Q_OBJECT
private:
    FakePort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    MainWindow *form = nullptr;
    QTemporaryDir *folder = nullptr;
    QList<PortEntry> ports;

    QString iniPath() const { return folder->filePath(QStringLiteral("TESTER.INI")); }
    QByteArray ini() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void start(const QByteArray &settings)
    {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(settings);
        f.close();
        form->show();
        form->startUp(folder->path());
    }
    PortPicker *picker() const { return form->findChild<PortPicker *>(QStringLiteral("PortPicker")); }
    QString state() const { return form->findChild<QLabel *>(QStringLiteral("PortState"))->text(); }
    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < picker()->count(); ++i)
            out << picker()->itemText(i) + QStringLiteral(" => ") + picker()->itemData(i).toString();
        return out;
    }

private slots:
    void init()
    {
        port = new FakePort;
        prompts = new ScriptedPrompts;
        folder = new QTemporaryDir;
        ports = {{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("0403:6001"), QStringLiteral("FTDI")},
                 {QStringLiteral("/dev/ttyS0"), QString(), QString(), QString()}};
        form = new MainWindow(port, prompts, nullptr, [this] { return ports; });
    }
    void cleanup()
    {
        QVERIFY(!prompts->unexpected);
        delete form;
        delete folder;
        delete prompts;
        delete port;
    }

    void thePickerListsThePortsPresentAndTheOneInUse()
    {
        // Open, though the system does not list it (as a pseudo-terminal or a symlink): it is there.
        start("[Komunikace]\r\nPort=/dev/ttyACM3\r\n");
        const QStringList listed{QStringLiteral("USB – FTDI FT232R USB UART (/dev/ttyUSB0) => /dev/ttyUSB0"),
                                 QStringLiteral("/dev/ttyS0 => /dev/ttyS0")};
        QVERIFY(port->isOpen());
        QCOMPARE(items(), listed + QStringList{QStringLiteral("/dev/ttyACM3 => /dev/ttyACM3")});
        QCOMPARE(picker()->currentText(), QStringLiteral("/dev/ttyACM3"));
        port->failNextOpen(ENOENT);
        port->loseDevice();
        QCOMPARE(items(), listed + QStringList{QStringLiteral("/dev/ttyACM3 – nenalezen => /dev/ttyACM3")});
        QCOMPARE(picker()->currentText(), QStringLiteral("/dev/ttyACM3"));
        // Back while the technician types another path: the mark goes, the typing stays.
        QVERIFY(QTest::qWaitForWindowActive(form));
        picker()->lineEdit()->setFocus();
        picker()->lineEdit()->selectAll();
        QTest::keyClicks(picker()->lineEdit(), QStringLiteral("/dev/ttyX"));
        port->allowOpen();
        QTRY_VERIFY_WITH_TIMEOUT(port->isOpen(), 3000);
        QCOMPARE(items().last(), QStringLiteral("/dev/ttyACM3 => /dev/ttyACM3"));
        QCOMPARE(picker()->currentText(), QStringLiteral("/dev/ttyX"));
        // An adapter plugged in later shows when the list is opened again.
        ports.append({QStringLiteral("/dev/ttyACM3"), QStringLiteral("CDC"), QString(), QString()});
        picker()->showPopup();
        picker()->hidePopup();
        QCOMPARE(items().size(), 3);
        QCOMPARE(items().last(), QStringLiteral("/dev/ttyACM3 – CDC => /dev/ttyACM3"));
    }

    void aChosenPortOpensAtOnceAndIsRemembered()
    {
        start("; dilna\r\n[Komunikace]\r\nPort=/dev/ttyS0\r\nObeznik=5000\r\n");
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyS0"));
        picker()->activated(0);
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(port->isOpen() && port->dtr);
        QCOMPARE(ini(), QByteArray("; dilna\r\n[Komunikace]\r\nPort=/dev/ttyUSB0\r\nObeznik=5000\r\n"));
        QCOMPARE(form->pages()->currentIndex(), 0);  // a change of port is no close of the session

        // A path the system does not list, typed and confirmed with Enter.
        picker()->lineEdit()->setText(QStringLiteral("/tmp/ttyUNIT"));
        QTest::keyClick(picker()->lineEdit(), Qt::Key_Return);
        QCOMPARE(port->openedName, QStringLiteral("/tmp/ttyUNIT"));
        QCOMPARE(ini(), QByteArray("; dilna\r\n[Komunikace]\r\nPort=/tmp/ttyUNIT\r\nObeznik=5000\r\n"));
        QVERIFY(prompts->messages.isEmpty());
    }

    // A click into the field, then a path typed: it replaces the port shown, it is not appended.
    void aPathTypedIntoTheFieldReplacesTheOneShown()
    {
        start("[Komunikace]\r\nPort=COM2\r\n");
        QVERIFY(QTest::qWaitForWindowActive(form));
        QLineEdit *edit = picker()->lineEdit();
        QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
        QVERIFY(edit->hasFocus());
        QTRY_COMPARE(edit->selectedText(), QStringLiteral("COM2"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("/dev/ttyUSB0"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(ini(), QByteArray("[Komunikace]\r\nPort=/dev/ttyUSB0\r\n"));
    }

    // No port named and the default not there: no alarm, the picker open with the one USB adapter first.
    void aFirstStartWithoutAPortOffersThePicker()
    {
        ports = {{QStringLiteral("/dev/ttyS0"), QString(), QString(), QString()},
                 {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("0403:6001"), QStringLiteral("FTDI")}};
        port->failNextOpen(ENOENT);
        start("[Komunikace]\r\nObeznik=250\r\n");
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(state(), QStringLiteral("Vyberte port"));
        QVERIFY(!form->link()->polling());  // there is nobody to ask
        QTRY_VERIFY(picker()->view()->isVisible());
        QCOMPARE(picker()->itemData(0).toString(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(picker()->currentText(), QString());
        QTest::qWait(LinkConnection::RetryMs + 300);  // the default is not tried again behind the technician's back
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(state(), QStringLiteral("Vyberte port"));
        picker()->activated(0);
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(ini(), QByteArray("[Komunikace]\r\nObeznik=250\r\nPort=/dev/ttyUSB0\r\n"));
    }

    void aSettingsFileThatCannotBeWrittenIsReported()
    {
        start("[Komunikace]\r\nPort=/dev/ttyS0\r\n");
        // The history opens its file in the data folder on its own thread; then nothing writes there.
        QTRY_VERIFY(form->historyStore()->reachable());
        QVERIFY(folder->remove());  // the working folder is gone: nothing can be written there
        picker()->activated(0);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().contains(QStringLiteral("platí jen do ukončení programu")),
                 qPrintable(prompts->messages.first()));
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(port->isOpen());
    }

    void theLineAndTheLiveValuesFollowTheHealth()
    {
        start("[Komunikace]\r\nPort=/dev/ttyS0\r\nObeznik=100\r\n");
        auto *l2 = form->findChild<QLabel *>(QStringLiteral("L2"));
        auto *gauge = form->findChild<BarGauge *>(QStringLiteral("lambdaCG1"));
        QCOMPARE(state(), QStringLiteral("Čekám na jednotku"));
        QVERIFY(!l2->isEnabled() && !gauge->isEnabled());
        port->feed(bytesOf({0x02, 0x80, 0x1E, 0x64, 0x00, 0x03}));
        QCOMPARE(state(), QStringLiteral("Připojeno"));
        QVERIFY(l2->isEnabled() && gauge->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(state(), QStringLiteral("Jednotka neodpovídá"), 4000);
        QVERIFY(!l2->isEnabled());
        QCOMPARE(l2->text(), QStringLiteral("30"));  // the last value stays, greyed

        port->failNextOpen(ENOENT);
        port->loseDevice();
        QCOMPARE(state(), QStringLiteral("Spojení přerušeno"));
        QTRY_COMPARE(prompts->messages.size(), 1);  // said once, not at every attempt

        // Offline, the unit's operations say so on the page's status label.
        form->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Nacteni"))->text(), QStringLiteral("Port není otevřen"));
        QVERIFY(port->written.size() > 0 && hex(port->written.last().bytes) == QStringLiteral("02 0F 03"));
    }

    void aSecondStartReachesTheRunningCopy()
    {
        InstanceBeacon running(QStringLiteral("velkor-test-beacon"));
        QVERIFY(running.listen());
        QSignalSpy shown(&running, &InstanceBeacon::showRequested);
        QVERIFY(InstanceBeacon(QStringLiteral("velkor-test-beacon")).knock());
        QTRY_COMPARE(shown.count(), 1);
        QVERIFY(!InstanceBeacon(QStringLiteral("velkor-test-nobody")).knock(200));
    }

    // A Unix socket's path holds 107 bytes: a deep temp folder gets a short beacon of its own,
    // still one per temp folder.
    void theBeaconListensWhateverTheTempFolder()
    {
        QTemporaryDir root;
        const QString deep = root.filePath(QString(60, QLatin1Char('d')) + QLatin1Char('/') + QString(60, QLatin1Char('e')));
        const QString other = root.filePath(QString(130, QLatin1Char('o')));
        QVERIFY(QDir().mkpath(deep) && QDir().mkpath(other));
        const QByteArray before = qgetenv("TMPDIR");
        const auto beaconIn = [](const QString &temp) {
            qputenv("TMPDIR", QFile::encodeName(temp));
            return std::make_unique<InstanceBeacon>(QStringLiteral("velkor-test-beacon"));
        };
        const auto running = beaconIn(deep);
        QVERIFY(running->listen());
        QVERIFY(QFile::encodeName(running->socketName()).size() <= 107);
        QSignalSpy shown(running.get(), &InstanceBeacon::showRequested);
        const bool sameFolder = beaconIn(deep)->knock();
        const bool otherFolder = beaconIn(other)->knock(200);
        qputenv("TMPDIR", before);
        QVERIFY(sameFolder);
        QTRY_COMPARE(shown.count(), 1);
        QVERIFY(!otherFolder);
    }

    // Only a living copy keeps another out: a lock left by a killed copy is taken over, also one
    // left empty by a copy killed between creating it and writing its process id.
    void onlyALivingCopyKeepsAnotherOut_data()
    {
        QTest::addColumn<bool>("heldHere");
        QTest::addColumn<QByteArray>("leftOver");
        QTest::newRow("held by a living copy") << true << QByteArray();
        QTest::newRow("left by a killed copy") << false << QByteArray("2147483647\nvelkor\n\n");
        QTest::newRow("left empty") << false << QByteArray();
    }
    void onlyALivingCopyKeepsAnotherOut()
    {
        QFETCH(bool, heldHere);
        QFETCH(QByteArray, leftOver);
        const QString name = QStringLiteral("velkor-test-instance");
        const QString path = QDir::temp().filePath(name + QStringLiteral(".lock"));
        QLockFile living(path);
        if (heldHere) {
            QVERIFY(living.tryLock(0));
        } else {
            QFile left(path);
            QVERIFY(left.open(QIODevice::WriteOnly) && left.write(leftOver) == leftOver.size());
        }
        const bool acquired = SingleInstance(name).acquired();
        living.unlock();
        QFile::remove(path);
        QCOMPARE(acquired, !heldHere);
    }

    // The real box for a lost device: one however often it is said, gone when told.
    void theLostDeviceBoxIsOneAndClosesByItself()
    {
        QWidget owner;
        owner.show();
        WidgetPrompts real(&owner);
        const auto shown = [] {
            QStringList texts;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                    texts << box->text();
            return texts;
        };
        real.showNotice(QStringLiteral("Velkor 2"), QStringLiteral("port zmizel"));
        real.showNotice(QStringLiteral("Velkor 2"), QStringLiteral("port zmizel znovu"));
        QCOMPARE(shown(), QStringList{QStringLiteral("port zmizel znovu")});
        real.closeNotice();
        QCOMPARE(shown(), QStringList());
    }

    void qtsOwnButtonsSpeakCzech()
    {
        QVERIFY(installQtCzech(*qApp));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Pozor !!!"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Ano"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Ne"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Zrušit"));  // Qt's own Czech word
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"

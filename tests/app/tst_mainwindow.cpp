#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/connectionline.h"
#include "app/mainwindow.h"
#include "lambda/lambdapage.h"
#include "livepage/bargauge.h"
#include "link/unitdata.h"
#include "link/linktransport.h"
#include "link/cutoffreader.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    FakePort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    MainWindow *form = nullptr;
    QTemporaryDir *folder = nullptr;

    void writeIni(const QByteArray &text)
    {
        QFile file(folder->filePath(QStringLiteral("TESTER.INI")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    template <typename T> T *find(const QString &name) const
    {
        T *w = form->findChild<T *>(name);
        if (!w)
            qWarning("no %s", qPrintable(name));
        return w;
    }
    void start()
    {
        form->show();
        form->startUp(folder->path());
    }

private slots:
    void init()
    {
        port = new FakePort;
        prompts = new ScriptedPrompts;
        folder = new QTemporaryDir;
        form = new MainWindow(port, prompts);
    }
    void cleanup()
    {
        QVERIFY(!prompts->unexpected);
        delete form;
        delete folder;
        delete prompts;
        delete port;
    }

    void startsWithDefaultsWhenTheSettingsFileIsMissing()
    {
        start();
        QCOMPARE(prompts->messages, QStringList{QStringLiteral(
            "Info: Pozor v pracovním adresáři není tester.ini\nPoužijí se defaultní hodnoty")});
        QCOMPARE(port->openedName, QStringLiteral("COM2"));
        QVERIFY(port->dtr);
        QCOMPARE(form->pollInterval(), 250);
        QVERIFY(form->link()->polling());
        QCOMPARE(form->windowTitle(), QStringLiteral(" Dasmin - Velkor 3.0   -->  Novy.cfg"));
        QVERIFY(QDir(folder->filePath(QStringLiteral("data"))).exists());
        const QStringList captions{QStringLiteral("Odeslat do ŘJ"), QStringLiteral("Načíst z ŘJ"), QStringLiteral("Konec"),
                                   QStringLiteral("RAM->EEPROM"), QStringLiteral("Tovární reset"), QStringLiteral("EEPROM -> RAM")};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(find<QPushButton>(QStringLiteral("Button%1").arg(i + 1))->text(), captions[i]);
        QCOMPARE(form->setup()->versionNames().at(0), QStringLiteral("Bez verze!"));
        QCOMPARE(form->setup()->versionNames().at(99), QStringLiteral("Nedefinováno"));
        QCOMPARE(form->link()->frames().command.toHex(), QByteArray("020003"));

        QStringList tabs;
        for (int i = 0; i < form->pages()->count(); ++i)
            tabs << form->pages()->widget(i)->objectName() + QLatin1Char('=') + form->pages()->tabText(i);
        QCOMPARE(tabs, (QStringList{QStringLiteral("TabSheet1=Ladění"), QStringLiteral("TabSheet2=Aktualní"),
                                    QStringLiteral("TabSheet3=Servis"), QStringLiteral("TabSheet4=Editace Lambda status"),
                                    QStringLiteral("TabSheet6=Palubní diagnostika"), QStringLiteral("data=Cut-off"),
                                    QStringLiteral("TabSheet5=Oscil"), QStringLiteral("Zaznamy=Záznamy"),
                                    QStringLiteral("Historie=Historie"), QStringLiteral("TabSheet7=Info - F1")}));
        QCOMPARE(form->pages()->currentIndex(), 0);
        QCOMPARE(form->pages()->geometry(), QRect(0, 0, 632, 451));
        // The connection line adds its height below the pages.
        QCOMPARE(form->size(), QSize(632, 451 + ConnectionLine::Height));
    }

    void settingsFileSetsPortPollCaptionsAndNames()
    {
        // Windows-1250: 0xD8 is Ř, 0xE8 is č; the file name's case does not matter.
        QFile file(folder->filePath(QStringLiteral("tester.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[komunikace]\r\nPort = /dev/ttyUSB0\r\nObeznik=100\r\n[Tlacitka]\r\nTl1=Poslat do \xD8J\r\n"
                   "[Verze]\r\n07=Octavia \xE8\xE1st\r\n");
        file.close();
        start();
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(form->pollInterval(), 100);
        QCOMPARE(find<QPushButton>(QStringLiteral("Button1"))->text(), QStringLiteral("Poslat do ŘJ"));
        QCOMPARE(find<QPushButton>(QStringLiteral("Button2"))->text(), QStringLiteral("Načíst z ŘJ"));
        QCOMPARE(form->setup()->versionNames().at(7), QStringLiteral("Octavia část"));
    }

    void pollFollowsTheConfiguredInterval()
    {
        writeIni("[Komunikace]\nObeznik=100\n");
        start();
        QTRY_VERIFY_WITH_TIMEOUT(port->written.size() >= 6, 3000);
        const auto &w = port->written;
        const double mean = double(w[5].atMs - w[0].atMs) / 5;
        QVERIFY2(mean >= 90 && mean < 200, qPrintable(QString::number(mean)));
        QCOMPARE(hex(w[0].bytes), QStringLiteral("02 0F 03"));
    }

    void aPortThatCannotBeOpenedIsReportedAndStartUpGoesOn()
    {
        writeIni("[Komunikace]\nPort=COM7\nObeznik=50\n");
        port->failNextOpen(2);
        start();
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().startsWith(QStringLiteral("Velkor 3.0: Port COM7 nebyl nalezen: zkontrolujte kabel")),
                 qPrintable(prompts->messages.first()));
        QCOMPARE(form->windowTitle(), QStringLiteral(" Dasmin - Velkor 3.0   -->  Novy.cfg"));
        QVERIFY(!form->link()->polling());  // nobody to ask until the port opens
        QTest::qWait(1300);  // the port is tried again, silently
        QVERIFY(port->written.isEmpty());
        QCOMPARE(prompts->messages.size(), 1);
    }

    void statusRepliesReachTheLiveDisplays()
    {
        writeIni("[Komunikace]\nObeznik=5000\n");
        start();
        port->feed(bytesOf({0x02, 0x80, 0x1E, 0x64, 0x00, 0x03}));
        QCOMPARE(find<QLabel>(QStringLiteral("L2"))->text(), QStringLiteral("30"));
        QCOMPARE(find<QLabel>(QStringLiteral("L3"))->text(), QStringLiteral("128"));
        QCOMPARE(find<QLabel>(QStringLiteral("L4"))->text(), QStringLiteral("100"));
        QCOMPARE(find<QLabel>(QStringLiteral("NapetiL"))->text(), QStringLiteral("0,60 V"));
        QCOMPARE(find<QLabel>(QStringLiteral("NapetiT"))->text(), QStringLiteral("2,56 V"));
        QCOMPARE(find<QLabel>(QStringLiteral("Lambda"))->text(), QStringLiteral("30"));
        QCOMPARE(find<QLabel>(QStringLiteral("TPS"))->text(), QStringLiteral("128"));
        QCOMPARE(find<QLabel>(QStringLiteral("Poloha"))->text(), QStringLiteral("100"));
        // Thresholds 0: both values lie above them, so the lambda and TPS bars are red.
        auto *la = find<BarGauge>(QStringLiteral("LaAnalog"));
        QCOMPARE(la->foreColor(), QColor(Qt::red));
        QCOMPARE(la->progress(), 30);
        QCOMPARE(find<BarGauge>(QStringLiteral("lambdaCG1"))->progress(), 30);
        QCOMPARE(find<BarGauge>(QStringLiteral("TPSAnalog"))->foreColor(), QColor(Qt::red));
        QCOMPARE(find<BarGauge>(QStringLiteral("PolohaAnalog"))->foreColor(), QColor(0, 0, 255));
        QCOMPARE(find<BarGauge>(QStringLiteral("PolohaAnalog"))->progress(), 100);

        // A lambda equal to its threshold stays green; with a 0-1.2 V probe 100 fills the bar.
        form->data()->set().setParamByte(6, 100);
        port->feed(bytesOf({0x02, 0, 100, 0, 0, 0x03}));
        QCOMPARE(la->foreColor(), QColor(0, 128, 0));
        QCOMPARE(la->progress(), 60);
        QCOMPARE(find<QLabel>(QStringLiteral("L2"))->text(), QStringLiteral("100"));
        QCOMPARE(find<QLabel>(QStringLiteral("NapetiL"))->text(), QStringLiteral("2,00 V"));
        form->data()->set().takeUpStatus(0x10, form->data()->set().tpsStatus());
        port->feed(bytesOf({0x02, 0, 255, 0, 0, 0x03}));
        QCOMPARE(la->maximum(), 255);
        QCOMPARE(find<QLabel>(QStringLiteral("NapetiL"))->text(), QStringLiteral("5,10 V"));
    }

    void linkMessagesShowOnBothStatusLabels()
    {
        start();
        auto *tuningLinkMessage = find<QLabel>(QStringLiteral("Nacteni"));
        auto *linkMessageLabel = find<QLabel>(QStringLiteral("Nacteni1"));
        QVERIFY(tuningLinkMessage->isHidden() && linkMessageLabel->isHidden());
        form->link()->announceLinkMessage(QStringLiteral("Uložení OK"));
        QVERIFY(!tuningLinkMessage->isHidden() && !linkMessageLabel->isHidden());
        QCOMPARE(linkMessageLabel->text(), QStringLiteral("Uložení OK"));
        QTRY_VERIFY_WITH_TIMEOUT(tuningLinkMessage->isHidden() && linkMessageLabel->isHidden(), 4000);

        port->feed(bytesOf({0x02, 0, 0, 0, 0, 0x04}));
        // Rejected once the line has stayed quiet past the byte gap.
        QTRY_COMPARE_WITH_TIMEOUT(tuningLinkMessage->text(), QStringLiteral("Error Obeznik"), 2000);
        QVERIFY(tuningLinkMessage->isHidden());
        QCOMPARE(prompts->beeps, 1);
    }

    void shortcutsShowPagesWithoutThePageChangeHandling_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("page");
        QTest::newRow("Ctrl+A") << QKeySequence(Qt::CTRL | Qt::Key_A) << "TabSheet2";
        QTest::newRow("Ctrl+S") << QKeySequence(Qt::CTRL | Qt::Key_S) << "TabSheet3";
        QTest::newRow("Ctrl+E") << QKeySequence(Qt::CTRL | Qt::Key_E) << "TabSheet4";
        QTest::newRow("Ctrl+P") << QKeySequence(Qt::CTRL | Qt::Key_P) << "TabSheet6";
        QTest::newRow("Ctrl+C") << QKeySequence(Qt::CTRL | Qt::Key_C) << "data";
        QTest::newRow("Ctrl+O") << QKeySequence(Qt::CTRL | Qt::Key_O) << "TabSheet5";
        QTest::newRow("F1") << QKeySequence(Qt::Key_F1) << "TabSheet7";
        QTest::newRow("Ctrl+G") << QKeySequence(Qt::CTRL | Qt::Key_G) << "Zaznamy";
        QTest::newRow("Ctrl+H") << QKeySequence(Qt::CTRL | Qt::Key_H) << "Historie";
    }
    void shortcutsShowPagesWithoutThePageChangeHandling()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, page);
        writeIni("[Komunikace]\nObeznik=5000\n");
        start();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QSignalSpy userChanges(form, &MainWindow::pageSelectedByUser);
        QSignalSpy saves(form, &MainWindow::saveCurrentStateRequested);
        form->link()->stopPolling();
        QTest::keySequence(form, keys);
        QCOMPARE(form->pages()->currentWidget()->objectName(), page);
        QCOMPARE(userChanges.count(), 0);
        QVERIFY(!form->link()->polling());
        QCOMPARE(saves.count(), page == QLatin1String("TabSheet3") ? 1 : 0);
        QTest::keySequence(form, QKeySequence(Qt::CTRL | Qt::Key_L));
        QCOMPARE(form->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
    }

    void selectingATabRestartsThePoll()
    {
        start();
        QSignalSpy userChanges(form, &MainWindow::pageSelectedByUser);
        form->link()->stopPolling();
        form->cutOffReader()->cutOffRequestTimer().enable();
        auto *bar = form->pages()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(5).center());
        QCOMPARE(form->pages()->currentWidget()->objectName(), QStringLiteral("data"));
        QCOMPARE(userChanges.count(), 1);
        QVERIFY(form->link()->polling());
        QVERIFY(!form->cutOffReader()->cutOffRequestTimer().isEnabled());
    }

    // A read started on the lambda page, then another tab: its outcome waits on the bottom line
    // until the page is shown again, and shows there once more.
    void anOutcomeGivenWhileItsPageIsHiddenWaitsUntilItIsShown()
    {
        start();
        form->showPage(form->lambdaPage());
        find<QPushButton>(QStringLiteral("Button42"))->click();
        QTabBar *bar = form->pages()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        auto *line = find<QLabel>(QStringLiteral("ZpravaRadek"));
        QTRY_COMPARE_WITH_TIMEOUT(line->text(), QStringLiteral("Ladění: Jednotka neodpovídá!"), 4000);
        QVERIFY(line->isVisible());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(form->pages()->indexOf(form->lambdaPage())).center());
        QVERIFY(!line->isVisible());
        auto *said = find<QLabel>(QStringLiteral("Nacteni1"));
        QVERIFY(said->isVisible());
        QCOMPARE(said->text(), QStringLiteral("Jednotka neodpovídá!"));
    }

    void closingLowersDtrAndClosesThePort()
    {
        start();
        QSignalSpy closed(port, &SerialIo::afterClose);
        find<QPushButton>(QStringLiteral("Button3"))->click();
        QVERIFY(!port->dtr);
        QVERIFY(!port->isOpen());
        QCOMPARE(closed.count(), 1);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet2"));
    }

    // Changes the unit confirmed but holds in RAM alone are lost with the ignition: "Konec" and the
    // window's close button ask whether RAM->EEPROM goes first, and close once it has gone.
    void closingAsksToCommitRamChanges_data()
    {
        QTest::addColumn<bool>("byKonec");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("committed");
        QTest::addColumn<bool>("closed");
        QTest::newRow("Uložit") << true << int(Prompts::SaveChoice::Save) << true << true;
        QTest::newRow("Zahodit") << true << int(Prompts::SaveChoice::Discard) << false << true;
        QTest::newRow("Zrušit") << true << int(Prompts::SaveChoice::Cancel) << false << false;
        QTest::newRow("close button, Uložit") << false << int(Prompts::SaveChoice::Save) << true << true;
    }
    void closingAsksToCommitRamChanges()
    {
        QFETCH(bool, byKonec);
        QFETCH(int, choice);
        start();
        form->data()->set().markRamChanged();
        port->written.clear();
        prompts->saveChoices << Prompts::SaveChoice(choice);
        if (byKonec)
            find<QPushButton>(QStringLiteral("Button3"))->click();
        else
            form->close();
        QFETCH(bool, committed);
        // The commit sets the status bits in the tool's set, which no file holds yet: asked next.
        if (committed)
            prompts->saveChoices << Prompts::SaveChoice::Discard;
        QFETCH(bool, closed);
        QTRY_COMPARE_WITH_TIMEOUT(form->isVisible(), !closed, 3000);
        QCOMPARE(prompts->questions.value(0), QStringLiteral("Pozor !!!: Jednotka má v RAM změny, které nejsou v EEPROM. "
                                                             "Uložit je do EEPROM (RAM->EEPROM)?"));
        QCOMPARE(prompts->questions.size(), committed ? 2 : 1);
        QCOMPARE(port->isOpen(), !closed);
        QStringList sent;
        for (const FakePort::Written &w : port->written)
            sent << hex(w.bytes);
        QCOMPARE(sent.contains(QStringLiteral("02 04 03")), committed);
        QVERIFY(!prompts->unexpected);
    }

    // The technician stays on the page; the one box goes by itself when the port is back, and
    // the read that was running ends with its own message.
    void aLostDeviceIsReportedOnceAndTheToolGoesOn()
    {
        writeIni("[Komunikace]\nObeznik=20\n");
        start();
        prompts->messages.clear();
        form->showPage(form->lambdaPage());
        find<QPushButton>(QStringLiteral("Button42"))->click();
        port->failNextOpen(ENOENT);
        port->loseDevice();
        QTRY_COMPARE(prompts->messages.size(), 1);
        QVERIFY(!prompts->notice.isEmpty());
        QTest::qWait(200);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(form->isVisible());
        QCOMPARE(form->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>(QStringLiteral("Nacteni1"))->text(), QStringLiteral("Jednotka neodpovídá!"), 4000);
        port->allowOpen();
        QTRY_VERIFY_WITH_TIMEOUT(prompts->notice.isEmpty(), 3000);
        QVERIFY(port->isOpen());
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(form->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
    }

    // The page tabs take their look from a style sheet, all ten in one row; the controls on the
    // pages keep the application's own style, since a sheet above them sends them all through the
    // slower style-sheet painting.
    void tabsFitInOneRowAndTheControlsKeepThePlainStyle()
    {
        start();
        QTabBar *bar = form->pages()->tabBar();
        QCOMPARE(bar->count(), 10);
        for (int i = 0; i < bar->count(); ++i) {
            QCOMPARE(bar->tabRect(i).top(), bar->tabRect(0).top());
            QVERIFY2(bar->tabRect(i).right() < form->pages()->width(), qPrintable(bar->tabText(i)));
        }
        QVERIFY(bar->style() != qApp->style());
        for (const char *name : {"PageControl1", "TabSheet1", "GroupBox1", "MalyDorMax", "TabSheet2", "L2"}) {
            auto *control = form->findChild<QWidget *>(QLatin1String(name));
            QVERIFY2(control && control->style() == qApp->style(), name);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

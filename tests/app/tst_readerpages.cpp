#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "cutoff/cutoffpage.h"
#include "link/blockread.h"
#include "link/blockwrite.h"
#include "link/cutoffreader.h"
#include "link/diagnosticsexchange.h"
#include "link/levelexchange.h"
#include "link/scoperecording.h"
#include "link/unitdata.h"
#include "scope/scopepage.h"
#include "scope/scopesamples.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include "link/linktransport.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The cut-off and oscilloscope pages in the window: what selecting a tab ends, what a shortcut
// leaves running, answers that come after the change, and where the export goes.
class TestReaderPages : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakePort> port;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<MainWindow> form;

    CutOffPage *cutOff() const { return form->cutOffPage(); }
    ScopePage *scope() const { return form->scopePage(); }
    void selectTab(int index)
    {
        auto *bar = form->pages()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    void startRecording()
    {
        form->showPage(scope());
        QTest::mouseClick(scope()->recordBox(), Qt::LeftButton);
        QVERIFY(form->scopeRecording()->recording());
    }

private slots:
    void init()
    {
        port = std::make_unique<FakePort>();
        prompts = std::make_unique<ScriptedPrompts>();
        folder = std::make_unique<QTemporaryDir>();
        QFile ini(folder->filePath(QStringLiteral("TESTER.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Osciloskop]\r\n10=Sinus\r\n11=Pila\r\n");
        ini.close();
        form = std::make_unique<MainWindow>(port.get(), prompts.get());
        form->show();
        form->startUp(folder->path());
        QVERIFY(prompts->messages.isEmpty());
    }
    void cleanup() { form.reset(); }

    void selectingATabEndsARecording()
    {
        startRecording();
        port->feed(bytesOf({0x02, 0x33, 0x03}));
        QCOMPARE(scope()->samples().count(), 1);
        selectTab(0);
        QVERIFY(!scope()->recordBox()->isChecked());
        QVERIFY(!form->scopeRecording()->recording());
        QVERIFY(cutOff()->tuningMode()->isChecked());
        QVERIFY(!cutOff()->cutOffMode()->isChecked());
        QVERIFY(form->link()->polling());
        QCOMPARE(form->link()->linkState(), LinkState::StatusReply);

        // A late answer neither counts as a sample nor restarts the recording's requests.
        port->feed(bytesOf({0x02, 0x34, 0x03}));
        QCOMPARE(scope()->samples().count(), 1);
        QVERIFY(!form->scopeRecording()->scopeTimer().isEnabled());

        form->showPage(scope());
        QTest::mouseClick(scope()->exportButton(), Qt::LeftButton);
        QFile out(QDir(form->setup()->dataFolder()).filePath(QStringLiteral("OUT.TX")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), QByteArray("0;51;0;\r\n"));
    }

    void selectingATabEndsCutOffCommunication()
    {
        form->showPage(cutOff());
        QTest::mouseClick(cutOff()->cutOffMode(), Qt::LeftButton);
        QVERIFY(form->cutOffReader()->cutOffReading());
        port->feed(bytesOf({0x02, 0x7B, 0x03}));
        selectTab(1);
        QVERIFY(!form->cutOffReader()->cutOffReading());
        QVERIFY(cutOff()->tuningMode()->isChecked());
        QVERIFY(!cutOff()->cutOffMode()->isChecked());
        QVERIFY(form->link()->polling());
        QCOMPARE(form->link()->linkState(), LinkState::StatusReply);
        QCOMPARE(cutOff()->readValueLabel()->text(), QStringLiteral("123"));
    }

    void anExchangeThatAwaitsAnAnswerOrASaveEndsTheReadersFirst_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("frame");
        // The last two are the tuning page's "Ulož" of a stop and "RAM->EEPROM", pressed after Ctrl+L.
        const char *frames[] = {"02 FF 03", "02 EE 03", "02 AA 03", "02 80 03", "02 B4 4A FA 03", "02 B4 30 40 03"};
        for (int op = 0; op < 6; ++op) {
            QTest::addRow("recording, %s", frames[op]) << true << op << QString::fromLatin1(frames[op]);
            QTest::addRow("cut-off, %s", frames[op]) << false << op << QString::fromLatin1(frames[op]);
        }
    }
    void anExchangeThatAwaitsAnAnswerOrASaveEndsTheReadersFirst()
    {
        QFETCH(bool, recording);
        QFETCH(int, operation);
        QFETCH(QString, frame);
        if (recording)
            startRecording();
        else
            QTest::mouseClick(cutOff()->cutOffMode(), Qt::LeftButton);
        LinkTransport *link = form->link();
        ScopeRecording *recorder = form->scopeRecording();
        CutOffReader *reader = form->cutOffReader();
        form->data()->set().markBlockValid();  // a block write asks nothing first
        // The first frame that is not a reader's own request, and whether a reader still ran then.
        auto first = std::make_shared<QPair<QString, bool>>();
        port->onWrite = [first, recorder, reader](const QByteArray &bytes) {
            if (first->first.isEmpty() && quint8(bytes.at(1)) != 0x24)
                *first = {hex(bytes), recorder->recording() || reader->cutOffReading()};
        };
        switch (operation) {
        case 0: form->blockRead()->readBlock(); break;
        case 1: form->blockWrite()->writeBlock(); break;
        case 2: form->levelExchange()->requestLevels(); break;
        case 3: form->diagnosticsExchange()->requestDiagnostics(); break;
        default: {
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            QTest::keySequence(form.get(), QKeySequence(Qt::CTRL | Qt::Key_L));
            QCOMPARE(form->pages()->currentWidget(), static_cast<QWidget *>(form->tuningPage()));
            form->findChild<SpinEdit *>(QStringLiteral("MaxDorMax"))->setValue(250);
            QTest::mouseClick(form->findChild<QPushButton *>(operation == 4 ? "Button13" : "Button4"), Qt::LeftButton);
            // Both turn the poll on again, which must never run beside a reader.
            QTRY_VERIFY_WITH_TIMEOUT(link->polling(), 2000);
        }
        }
        // An answer to the reader's last request may still be due: the exchange waits for it.
        QTRY_VERIFY_WITH_TIMEOUT(!first->first.isEmpty(), 2000);
        QCOMPARE(first->first, frame);
        QVERIFY(!first->second);  // the readers ended before it went
        QVERIFY(!recorder->recording() && !reader->cutOffReading() && !recorder->scopeTimer().isEnabled());
        QVERIFY(!scope()->recordBox()->isChecked());
        QCOMPARE(cutOff()->tuningMode()->isChecked(), !recording);  // a recording leaves both modes clear
        QVERIFY(!cutOff()->cutOffMode()->isChecked());
        QVERIFY(link->linkState() != LinkState::CutOffByte && link->linkState() != LinkState::ScopeSample);
    }

    void aShortcutLeavesTheReadersRunning()
    {
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        startRecording();
        QTest::keySequence(form.get(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(form->pages()->currentWidget(), static_cast<QWidget *>(cutOff()));
        QVERIFY(form->scopeRecording()->recording());
        QVERIFY(scope()->recordBox()->isChecked());
        // "Komunikace Cut-off" during a recording only ends it; a second click enters cut-off.
        QTest::mouseClick(cutOff()->cutOffMode(), Qt::LeftButton);
        QVERIFY(!scope()->recordBox()->isChecked());
        QVERIFY(!form->cutOffReader()->cutOffReading());
        QVERIFY(form->link()->polling());
        QCOMPARE(form->link()->linkState(), LinkState::StatusReply);
        QVERIFY(!cutOff()->cutOffMode()->isChecked() && !cutOff()->tuningMode()->isChecked());
        QTest::mouseClick(cutOff()->cutOffMode(), Qt::LeftButton);
        QVERIFY(form->cutOffReader()->cutOffReading());
        QVERIFY(!form->link()->polling());
        QTest::keySequence(form.get(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(form->pages()->currentWidget(), static_cast<QWidget *>(scope()));
        QVERIFY(form->cutOffReader()->cutOffReading());
    }
};

QTEST_MAIN(TestReaderPages)
#include "tst_readerpages.moc"

#include "e2ewindow.h"
#include "cfgfiles/servicepage.h"
#include "link/levelexchange.h"
#include "tuning/paramblock.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

// What the tool writes into the simulated unit is what it got from a unit or a file, and a single
// save says whether the unit holds it: checked in the unit's own log of the frames it received.
class TestTrustedSetEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

    QString said() const { return e2e.label("Nacteni"); }

private slots:
    void init()
    {
        e2e.newFolder();
        QVERIFY(e2e.folderValid());
    }
    void cleanup() { e2e.close(); }

    // A unit without levels: its set saved (Ctrl+S), loaded and sent back carries no level frame.
    void aSetWithoutLevelsSendsNoneAfterSaveAndLoad()
    {
        QVERIFY(e2e.startLogged({QStringLiteral("--unit-version"), QStringLiteral("3")}));
        e2e.read(e2e.window()->levelExchange(), &LevelExchange::levelsReset, 5000);
        const QString path = e2e.filePath(QStringLiteral("data/bez-urovni.cfg"));
        e2e.prompts()->files << path;
        e2e.find<QAction>("Uloz")->trigger();
        QVERIFY(QFile::exists(path));
        e2e.data()->set().setLevels(e2e.data()->set().levelBytes());  // whatever the tool thought before, the file decides
        e2e.prompts()->answers << true;  // levels taken for the unit's are a change the load lets go
        e2e.prompts()->files << path;
        e2e.window()->servicePage()->loadButton()->click();

        const int from = e2e.received().size();
        e2e.find<QLabel>("Nacteni")->clear();
        e2e.click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(said(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 8000);
        const E2EWindow::Frames frames = e2e.received(from);
        QVERIFY(E2EWindow::indexOf(frames, QStringLiteral("02 EE 03")) >= 0);
        for (const auto &frame : frames)
            QVERIFY2(!frame.second.startsWith(QLatin1String("02 B4 A")), qPrintable(frame.second));
        QVERIFY(!e2e.data()->set().levelsValid());
        QVERIFY(e2e.prompts()->messages.isEmpty());
    }

    // A single save is read back where the unit answers memory reads.
    void aSingleSaveSaysWhetherTheUnitHoldsIt_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("result");
        QTest::newRow("version 1: no memory reads") << "1" << "Odesláno";
        QTest::newRow("version 4") << "4" << "Uloženo do RAM – trvale uloží RAM->EEPROM";
        QTest::newRow("version 5") << "5" << "Uloženo do RAM – trvale uloží RAM->EEPROM";
    }
    void aSingleSaveSaysWhetherTheUnitHoldsIt()
    {
        QFETCH(QString, version);
        QFETCH(QString, result);
        QVERIFY(e2e.startLogged({QStringLiteral("--unit-version"), version}));
        const int from = e2e.received().size();
        e2e.find<SpinEdit>("VolDorMax")->setValue(200);
        e2e.window()->tuningPage()->saveButton(ParamBlock::IdleStopMax)->click();
        QTRY_COMPARE_WITH_TIMEOUT(said(), result, 4000);
        const E2EWindow::Frames frames = e2e.received(from);
        const int write = E2EWindow::indexOf(frames, QStringLiteral("02 B4 44 C8 03"));
        const int read = E2EWindow::indexOf(frames, QStringLiteral("02 24 44 00 03"));
        QVERIFY(write >= 0 && read > write);
        QTRY_COMPARE_WITH_TIMEOUT(e2e.link()->linkState(), LinkState::StatusReply, 3000);
    }
};

QTEST_MAIN(TestTrustedSetEndToEnd)
#include "tst_trustedset_e2e.moc"

#include "e2ewindow.h"
#include "fakeport.h"
#include "cfgfiles/servicepage.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"
#include "tuning/spinedit.h"
#include "link/levelexchange.h"
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace ParamBlock;

// A set read from the simulated unit, saved (by hand or as the backup of the read), edited and
// written, then loaded and written back: the unit holds the first set again.
class TestConfigFilesEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

    template <typename T> T *find(const char *name) const { return e2e.find<T>(name); }
    QByteArray toolSet() const { return e2e.data()->set().paramBytes() + e2e.data()->set().levelBytes(); }
    void readUnit()
    {
        e2e.read(e2e.window()->levelExchange(), &LevelExchange::levelsReceived, 4000);
    }
    void writeUnit()
    {
        // The label keeps the text of an earlier write: only a new result tells this one ended.
        find<QLabel>("Nacteni")->clear();
        find<QPushButton>("Button1")->click();
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("Nacteni")->text(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 6000);
        QTRY_COMPARE_WITH_TIMEOUT(e2e.link()->linkState(), LinkState::StatusReply, 3000);
    }

    void start()
    {
        e2e.newFolder();
        QVERIFY(e2e.folderValid());
        QVERIFY(e2e.unit.start());
        QVERIFY(e2e.unit.writeSettings(e2e.folder(), 250));
        e2e.openWindow();
        QVERIFY(e2e.port()->isOpen());
    }
    void editAndWrite(const QByteArray &first)
    {
        find<SpinEdit>("VolDorMax")->setValue(quint8(first[IdleStopMax]) == 200 ? 201 : 200);
        find<SpinEdit>("MaxDorMin")->setValue(quint8(first[FullPowerStopMin]) == 5 ? 6 : 5);
        writeUnit();
        readUnit();
        QVERIFY(toolSet() != first);
    }

private slots:
    void cleanup() { e2e.close(); }

    void aSavedSetGoesBackIntoTheUnit()
    {
        start();
        readUnit();
        const QByteArray first = toolSet();
        const QString file = e2e.filePath(QStringLiteral("data/z-auta.cfg"));
        e2e.prompts()->files << file;
        e2e.window()->servicePage()->saveButton()->click();
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(hex(saved.readAll()), hex(first));

        editAndWrite(first);

        e2e.prompts()->files << file;
        e2e.window()->servicePage()->loadButton()->click();
        QCOMPARE(hex(toolSet()), hex(first));
        writeUnit();
        e2e.data()->set().reset();
        e2e.prompts()->answers << true;  // the emptied set may go
        readUnit();
        QCOMPARE(hex(toolSet()), hex(first));
        QVERIFY2(e2e.prompts()->messages.isEmpty(), qPrintable(e2e.prompts()->messages.join(QLatin1Char('|'))));
    }

    // The unit's first set comes back from the backup its read left, with no save by hand.
    void theBackupOfAReadRestoresTheUnit()
    {
        start();
        readUnit();
        const QByteArray first = toolSet();
        QTreeWidget *backups = e2e.window()->servicePage()->backupList();
        QCOMPARE(backups->topLevelItemCount(), 1);
        editAndWrite(first);
        QCOMPARE(backups->topLevelItemCount(), 2);

        backups->setCurrentItem(backups->topLevelItem(1));  // the older one
        e2e.window()->servicePage()->loadBackupButton()->click();
        QCOMPARE(hex(toolSet()), hex(first));
        writeUnit();
        e2e.data()->set().reset();
        e2e.prompts()->answers << true;  // the emptied set may go
        readUnit();
        QCOMPARE(hex(toolSet()), hex(first));
        QVERIFY2(e2e.prompts()->messages.isEmpty(), qPrintable(e2e.prompts()->messages.join(QLatin1Char('|'))));
    }

    // A unit without levels: its backup brings back no levels, so a write of it sends none.
    void theBackupOfAUnitWithoutLevelsWritesNoLevels()
    {
        e2e.newFolder();
        QVERIFY(e2e.startLogged({QStringLiteral("--unit-version"), QStringLiteral("3")}));
        e2e.read(e2e.window()->levelExchange(), &LevelExchange::levelsReset, 6000);
        QTreeWidget *backups = e2e.window()->servicePage()->backupList();
        QCOMPARE(backups->topLevelItemCount(), 1);
        backups->setCurrentItem(backups->topLevelItem(0));
        e2e.window()->servicePage()->loadBackupButton()->click();
        QVERIFY(!e2e.data()->set().levelsValid());

        const int from = e2e.received().size();
        find<QLabel>("Nacteni")->clear();
        find<QPushButton>("Button1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!find<QLabel>("Nacteni")->text().isEmpty(), 6000);
        QTRY_COMPARE_WITH_TIMEOUT(e2e.link()->linkState(), LinkState::StatusReply, 3000);
        const E2EWindow::Frames sent = e2e.received(from);
        QVERIFY(E2EWindow::indexOf(sent, QStringLiteral("02 EE 03")) >= 0);  // the block did go
        for (const auto &frame : sent)
            QVERIFY2(!frame.second.startsWith(QStringLiteral("02 B4 A")), qPrintable(frame.second));
        QVERIFY2(e2e.prompts()->messages.isEmpty(), qPrintable(e2e.prompts()->messages.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(TestConfigFilesEndToEnd)
#include "tst_cfgfiles_e2e.moc"

#include "servicefixture.h"
#include "app/mainwindow.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/backupstore.h"
#include "cfgfiles/servicepage.h"
#include "cfgfiles/setcomparison.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace ParamBlock;

// Backups of what a unit held and the comparison of two sets, in the window on a fake port whose
// stand-in unit answers the block read and, when it is told to, the level read.
class TestSafeChanges : public ServiceFixture
{
    Q_OBJECT
private:
    QString backups() const { return folder->filePath(QStringLiteral("data/zalohy")); }
    QStringList backupFiles() const { return QDir(backups()).entryList({QStringLiteral("*.cfg")}, QDir::Files, QDir::Name); }
    QString status() const { return form->servicePage()->statusLabel()->text(); }
    void readUnit()
    {
        QSignalSpy taken(form->servicePage()->backups(), &BackupKeeper::backupTaken);
        form->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(taken.count(), 1, 5000);
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Nacteni"))->text(), QStringLiteral("Načteno  OK"));
    }

private slots:
    void init() { startWindow("[Verze]\r\n03=\x8akoda Octavia 1.6\r\n"); }  // Windows-1250
    void cleanup() { stopWindow(); }

    void namesAreSafeOnEverySystem_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("name");
        QTest::newRow("Czech letters") << QStringLiteral("Škoda Octavia 1.6") << QStringLiteral("Skoda-Octavia-1.6");
        QTest::newRow("every mark") << QStringLiteral("Žluťoučký kůň ÚĚ") << QStringLiteral("Zlutoucky-kun-UE");
        QTest::newRow("illegal on Windows") << QStringLiteral("Fabia: 1.4/16V? <A|B> \"x\" *") << QStringLiteral("Fabia-1.4-16V-A-B-x");
        QTest::newRow("a way out of the folder") << QStringLiteral("..\\..\\etc/passwd.") << QStringLiteral("etc-passwd");
        QTest::newRow("nothing left") << QStringLiteral(" ?? ") << QStringLiteral("Bez-verze");
    }
    void namesAreSafeOnEverySystem()
    {
        QFETCH(QString, version);
        QFETCH(QString, name);
        const QDateTime at(QDate(2026, 12, 7), QTime(14, 3, 22));
        QCOMPARE(BackupStore::fileName(at, version), QStringLiteral("2026-12-07_14-03-22_") + name + QStringLiteral(".cfg"));
    }

    void readsWithinOneSecondKeepTheirOrder()
    {
        BackupStore store(backups());
        const QDateTime at(QDate(2026, 12, 7), QTime(14, 3, 22, 100));
        const QStringList versions{QStringLiteral("Nedefinováno"), QStringLiteral("Bez verze!"), QStringLiteral("Nedefinováno")};
        for (int i = 0; i < versions.size(); ++i)
            QCOMPARE(int(store.store(setOf(set(90 + i) + unitLevels), at.addMSecs(i), versions[i]).outcome), int(BackupStore::Outcome::Written));
        QStringList newestFirst;
        for (const BackupStore::Entry &e : store.list())
            newestFirst << QFileInfo(e.path).fileName();
        QCOMPARE(newestFirst, (QStringList{QStringLiteral("2026-12-07_14-03-22-3_Nedefinovano.cfg"),
                                           QStringLiteral("2026-12-07_14-03-22-2_Bez-verze.cfg"),
                                           QStringLiteral("2026-12-07_14-03-22_Nedefinovano.cfg")}));
    }

    // A backup names its unit where it is known; a name without one (as every backup was named
    // before) still reads.
    void aBackupNamesItsUnitWhereKnown()
    {
        BackupStore store(backups());
        const QDateTime at(QDate(2026, 12, 7), QTime(14, 3, 22));
        const std::optional<UnitIdentity> units[] = {std::nullopt, UnitIdentity{117, 2019}, UnitIdentity{99, std::nullopt}};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(int(store.store(setOf(set(90 + i) + unitLevels), at.addSecs(i), QStringLiteral("Fabia"), units[i]).outcome),
                     int(BackupStore::Outcome::Written));
        const QList<BackupStore::Entry> entries = store.list();
        QCOMPARE(QFileInfo(entries[0].path).fileName(), QStringLiteral("2026-12-07_14-03-24_jednotka-99_Fabia.cfg"));
        QCOMPARE(QFileInfo(entries[1].path).fileName(), QStringLiteral("2026-12-07_14-03-23_jednotka-117-2019_Fabia.cfg"));
        QCOMPARE(QFileInfo(entries[2].path).fileName(), QStringLiteral("2026-12-07_14-03-22_Fabia.cfg"));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(entries[i].unit, units[2 - i]);
            QCOMPARE(entries[i].versionName, QStringLiteral("Fabia"));
        }
    }

    void everyNewSetReadIsKeptOnce()
    {
        readUnit();
        QCOMPARE(backupFiles().size(), 1);
        QVERIFY2(backupFiles().first().endsWith(QStringLiteral("_Skoda-Octavia-1.6.cfg")), qPrintable(backupFiles().first()));
        // Exactly what "Ulož aktualní stav" writes for the same data.
        prompts->files << folder->filePath(QStringLiteral("data/ulozeno.cfg"));
        form->servicePage()->saveButton()->click();
        QCOMPARE(hex(readAll(backups() + QLatin1Char('/') + backupFiles().first())),
                 hex(readAll(folder->filePath(QStringLiteral("data/ulozeno.cfg")))));
        QCOMPARE(hex(readAll(backups() + QLatin1Char('/') + backupFiles().first())), hex(unitBlock + unitLevels));

        readUnit();
        QCOMPARE(backupFiles().size(), 1);
        QVERIFY2(status().contains(QStringLiteral("beze změny")), qPrintable(status()));

        // A unit that does not answer the level read: kept when the wait gives up, as a set without
        // levels, whatever levels the tool still holds.
        unitBlock = set(91, 0);
        answersLevels = false;
        readUnit();
        QCOMPARE(backupFiles().size(), 2);
        QTreeWidget *list = form->servicePage()->backupList();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("Bez verze! – bez úrovní"));  // newest first
        QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("Škoda Octavia 1.6"));
        const QByteArray noLevels = bytesOf({0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        QCOMPARE(hex(readAll(list->topLevelItem(0)->data(0, Qt::UserRole).toString())), hex(unitBlock + noLevels));

        // Loaded, it leaves no levels to write, and says so without an error box.
        list->setCurrentItem(list->topLevelItem(0));
        form->servicePage()->loadBackupButton()->click();
        QVERIFY(!form->data()->set().levelsValid());
        QCOMPARE(hex(levels()), hex(bytesOf({0x03, 10, 60, 10, 60, 1, 2, 3, 4, 0x04})));
        QVERIFY2(status().endsWith(QStringLiteral(" – bez úrovní")), qPrintable(status()));
        QVERIFY(prompts->messages.isEmpty());

        // Loading a backup is loading a file: the tool's copy changes, nothing is sent.
        list->setCurrentItem(list->topLevelItem(1));
        const int sent = port->written.size();
        form->servicePage()->loadBackupButton()->click();
        QCOMPARE(port->written.size(), sent);
        QCOMPARE(hex(toolSet()), hex(set(90) + unitLevels));
        QVERIFY(form->data()->set().levelsValid());
    }

    void aLoadedBackupIsNeverTheFileSavedTo()
    {
        readUnit();
        QTreeWidget *list = form->servicePage()->backupList();
        list->setCurrentItem(list->topLevelItem(0));
        form->servicePage()->loadBackupButton()->click();
        const QString backup = list->topLevelItem(0)->data(0, Qt::UserRole).toString();
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("ze zálohy ") + QFileInfo(backup).fileName()));

        // Ctrl+S proposes the version's name in the data folder; the saved file is the current one.
        const QString proposed = folder->filePath(QStringLiteral("data/Skoda-Octavia-1.6.cfg"));
        prompts->files << proposed;
        form->findChild<QAction *>(QStringLiteral("Uloz"))->trigger();
        QCOMPARE(prompts->fileQuestions.last().fileName, proposed);
        QCOMPARE(hex(readAll(proposed)), hex(toolSet()));
        QCOMPARE(hex(readAll(backup)), hex(toolSet()));
        QCOMPARE(form->windowTitle(), caption(proposed));
    }

    void aBackupThatCannotBeWrittenIsSaidAndTheReadGoesOn()
    {
        QFile blocker(backups());  // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        readUnit();
        QVERIFY2(status().startsWith(QStringLiteral("Zálohu nelze uložit")), qPrintable(status()));
        QCOMPARE(hex(toolSet()), hex(unitBlock + unitLevels));
        QVERIFY(prompts->messages.isEmpty());
    }

    void theComparisonSaysWhatDiffersInTheTechniciansWords()
    {
        QByteArray theirs = set(99) + bytesOf({0x03, 12, 70, 15, 91, 0, 0, 0, 0, 0x04});
        theirs[LambdaFlags] = 0x10 | 0x04;  // 0-5 V probe, "Lambda na T"
        theirs[TpsFlags] = 0x00;
        const QList<ComparisonRow> rows = compareSets(setOf(set(90) + unitLevels), setOf(theirs), form->setup()->versionNames());
        auto find = [&rows](const QString &name) {
            for (const ComparisonRow &r : rows)
                if (r.name == name)
                    return r;
            return ComparisonRow{name, QStringLiteral("<none>"), QString(), false};
        };
        const QList<ComparisonRow> expected = {
            {QStringLiteral("Verze Jednotky"), QStringLiteral("3 Škoda Octavia 1.6"), QStringLiteral("3 Škoda Octavia 1.6"), false},
            {QStringLiteral("Volnoběh – doraz serva MAX"), QStringLiteral("90"), QStringLiteral("99"), true},
            {QStringLiteral("Volnoběh – rychlost HOR"), QStringLiteral("4"), QStringLiteral("4"), false},
            {QStringLiteral("2. hranice TPS"), QStringLiteral("90 (1,80 V)"), QStringLiteral("90 (1,80 V)"), false},
            {QStringLiteral("Typ emulace lambdy"), QStringLiteral("Emulace volnoběh / zvýšené"), QStringLiteral("Lambda na T"), true},
            {QStringLiteral("Typ napětí lambdy"), QStringLiteral("0 - 1.2 V"), QStringLiteral("0 - 5 V"), true},
            {QStringLiteral("TPS Logika"), QStringLiteral("Stoupající"), QStringLiteral("Klesající"), true},
            {QStringLiteral("Čas emulace zvýšené – chudá"), QStringLiteral("20"), QStringLiteral("20"), false},
            {QStringLiteral("Úrovně emulace zvýšené – bohatá"), QStringLiteral("90"), QStringLiteral("91"), true},
        };
        for (const ComparisonRow &e : expected) {
            const ComparisonRow r = find(e.name);
            QCOMPARE(r.ours, e.ours);
            QCOMPARE(r.theirs, e.theirs);
            QCOMPARE(r.differs, e.differs);
        }
        // A damaged part is said in each of its rows and counts as a difference.
        const QList<ComparisonRow> damaged = compareSets(setOf(set(90) + unitLevels), ConfigFile::parse(set(90)), form->setup()->versionNames());
        QCOMPARE(damaged.size(), rows.size());
        for (const ComparisonRow &r : damaged)
            QCOMPARE(r.differs, r.theirs == QStringLiteral("poškozeno"));
    }

    void porovnatShowsTheDifferencesAndLoadsTheFile()
    {
        readUnit();
        const QString backup = form->servicePage()->backups()->store().list().first().path;
        unitBlock = set(95);
        form->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(int(form->data()->set().paramByte(IdleStopMax)), 95, 5000);

        form->servicePage()->backupList()->setCurrentItem(form->servicePage()->backupList()->topLevelItem(0));
        prompts->files << backup;
        form->servicePage()->compareButton()->click();
        QCOMPARE(prompts->fileQuestions.last().fileName, backup);  // the selected backup is proposed
        QTreeWidget *table = form->servicePage()->comparisonTable();
        QVERIFY(table->topLevelItemCount() > 30);
        QCOMPARE(table->topLevelItem(1)->text(0), QStringLiteral("Volnoběh – doraz serva MAX"));
        QVERIFY(table->topLevelItem(1)->font(0).bold() && !table->topLevelItem(2)->font(0).bold());
        QVERIFY2(form->servicePage()->comparedFileLabel()->text().endsWith(QStringLiteral(": 1 rozdíl")),
                 qPrintable(form->servicePage()->comparedFileLabel()->text()));

        form->servicePage()->loadComparedButton()->click();
        QCOMPARE(int(form->data()->set().paramByte(IdleStopMax)), 90);
        QVERIFY(form->servicePage()->comparedFileLabel()->text().endsWith(QStringLiteral(": shodné")));
    }
};

QTEST_MAIN(TestSafeChanges)
#include "tst_safechanges.moc"

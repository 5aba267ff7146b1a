#include "servicefixture.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/configfile.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTreeWidget>
#include <algorithm>

using Choice = Prompts::SaveChoice;

// What the tool holds and has not saved anywhere: marked in the caption, asked about before it is
// closed or replaced, and kept in a file when the system stops the tool.
class TestUnsavedChanges : public ServiceFixture
{
    Q_OBJECT
private:
    const QString closeQuestion = QStringLiteral("Pozor !!!: Máte neuložené změny. Uložit je do souboru?");
    const QString loadQuestion = QStringLiteral("Pozor !!!: Máte neuložené změny. Zahodit změny a načíst?");

    bool marked() const { return form->windowTitle().endsWith(QLatin1Char('*')); }
    // Types into the idle MAX stop as the technician does; the caption follows.
    void edit()
    {
        QLineEdit *field = form->tuningPage()->spinEdit(ParamBlock::IdleStopMax)->editor();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("7"));
        QTRY_VERIFY(marked());
    }
    void readUnit()
    {
        QSignalSpy taken(form->servicePage()->backups(), &BackupKeeper::backupTaken);
        form->tuningPage()->readBlockButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(taken.count(), 1, 5000);
    }

private slots:
    void init() { startWindow("[Verze]\r\n03=Octavia 1.6\r\n"); }
    void cleanup() { stopWindow(); }

    void theMarkGoesWhenTheSetAgreesWithAFileOrTheUnit_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"saved", "loaded", "read", "written and checked"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }
    void theMarkGoesWhenTheSetAgreesWithAFileOrTheUnit()
    {
        QFETCH(QString, way);
        const QString file = dataFile(QStringLiteral("auto.cfg"));
        write(file, someParams() + someLevels());
        readUnit();
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        edit();
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg*")));

        const bool replaces = way == QLatin1String("loaded") || way == QLatin1String("read");
        if (replaces)
            prompts->answers << true;
        if (way == QLatin1String("saved"))
            save(file);
        else if (way == QLatin1String("loaded"))
            load(file);
        else if (way == QLatin1String("read"))
            readUnit();
        else
            form->tuningPage()->writeBlockButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!marked(), 5000);
        QCOMPARE(prompts->questions, replaces ? QStringList{loadQuestion} : QStringList{});
    }

    void closingAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<bool>("byKonec");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("savedAs");  // the save dialog's answer; none is Cancel
        QTest::addColumn<bool>("closed");
        QTest::newRow("Zahodit") << true << int(Choice::Discard) << QString() << true;
        QTest::newRow("Zrušit") << true << int(Choice::Cancel) << QString() << false;
        QTest::newRow("Uložit, dialog cancelled") << true << int(Choice::Save) << QString() << false;
        QTest::newRow("Uložit") << true << int(Choice::Save) << QStringLiteral("konec.cfg") << true;
        QTest::newRow("close button, Zahodit") << false << int(Choice::Discard) << QString() << true;
    }
    void closingAsksAboutUnsavedChanges()
    {
        QFETCH(bool, byKonec);
        QFETCH(int, choice);
        QFETCH(QString, savedAs);
        QFETCH(bool, closed);
        edit();
        prompts->saveChoices << Choice(choice);
        if (!savedAs.isEmpty())
            prompts->files << dataFile(savedAs);
        if (byKonec)
            form->tuningPage()->closeButton()->click();
        else
            form->close();
        QCOMPARE(prompts->questions, QStringList{closeQuestion});
        QCOMPARE(form->isVisible(), !closed);
        QCOMPARE(port->isOpen(), !closed);
        if (!savedAs.isEmpty())
            QCOMPARE(hex(readAll(dataFile(savedAs))), hex(ConfigFile::compose(form->data()->set().value())));
    }

    void aSetWithNothingUnsavedClosesWithoutAQuestion()
    {
        readUnit();
        form->tuningPage()->closeButton()->click();
        QVERIFY(!form->isVisible());
        QVERIFY(prompts->questions.isEmpty());
    }

    void replacingUnsavedChangesAsksFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Načíst z ŘJ") << QStringLiteral("Button2");
        QTest::newRow("Načti z ŘJ on the lambda page") << QStringLiteral("Button42");
        QTest::newRow("Načti ze souboru") << QStringLiteral("Button23");
        QTest::newRow("Načti zálohu") << QStringLiteral("NactiZalohu");
    }
    void replacingUnsavedChangesAsksFirst()
    {
        QFETCH(QString, button);
        readUnit();
        form->servicePage()->backupList()->setCurrentItem(form->servicePage()->backupList()->topLevelItem(0));
        write(dataFile(QStringLiteral("zaloha.cfg")), unitBlock + unitLevels);
        edit();
        const QByteArray edited = toolSet();
        const auto reads = [this] {
            return std::count_if(port->written.cbegin(), port->written.cend(),
                                 [](const FakePort::Written &w) { return w.bytes == bytesOf({0x02, 0xFF, 0x03}); });
        };
        const auto readsBefore = reads();

        for (const bool discard : {false, true}) {
            prompts->answers << discard;
            if (button == QLatin1String("Button23"))
                prompts->files << dataFile(QStringLiteral("zaloha.cfg"));
            form->findChild<QPushButton *>(button)->click();
            if (!discard) {
                QCOMPARE(prompts->questions, QStringList{loadQuestion});
                QTest::qWait(100);
                QCOMPARE(hex(toolSet()), hex(edited));
                QCOMPARE(reads(), readsBefore);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(hex(toolSet()), hex(unitBlock + unitLevels), 5000);
        QTRY_VERIFY(!marked());
    }

    void aStopKeepsUnsavedChangesAndTheNextStartSaysWhere()
    {
        form->stopBySystem();  // nothing unsaved: nothing kept
        form->show();
        edit();
        form->stopBySystem();
        QVERIFY(!form->isVisible() && prompts->questions.isEmpty());
        const QDir backups(folder->filePath(QStringLiteral("data/zalohy")));
        const QStringList kept = backups.entryList({QStringLiteral("neulozeno_*.cfg")});
        QCOMPARE(kept.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^neulozeno_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.cfg$")).match(kept.first()).hasMatch(),
                 qPrintable(kept.first()));

        // Said once, by the next start; it is no backup of a unit's set.
        for (const int said : {1, 0}) {
            delete form;
            form = new MainWindow(port, prompts);
            prompts->messages.clear();
            form->startUp(folder->path());
            QCOMPARE(prompts->messages.filter(QDir::toNativeSeparators(backups.filePath(kept.first()))).size(), said);
            QCOMPARE(form->servicePage()->backupList()->topLevelItemCount(), 0);
        }
    }
};

QTEST_MAIN(TestUnsavedChanges)
#include "tst_unsavedchanges.moc"

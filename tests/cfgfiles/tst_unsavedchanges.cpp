#include "servicefixture.h"
#include "app/form2.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/servicepage.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include <QDir>
#include <QRegularExpression>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

using namespace ParamBlock;
using Choice = Prompts::SaveChoice;

// What the tool holds and has not saved anywhere: marked in the caption, asked about before it is
// closed or replaced, and kept in a file when the system stops the tool.
class TestUnsavedChanges : public ServiceFixture
{
    Q_OBJECT
private:
    enum Way { Saved, Loaded, Read, Written };
    const QString closeQuestion = QStringLiteral("Pozor !!!: Máte neuložené změny. Uložit je do souboru?");
    const QString loadQuestion = QStringLiteral("Pozor !!!: Máte neuložené změny. Zahodit změny a načíst?");

    bool marked() const { return form->windowTitle().endsWith(QLatin1Char('*')); }
    // Types into the idle MAX stop as the technician does; the caption follows.
    void edit(const QString &digits = QStringLiteral("7"))
    {
        QLineEdit *field = form->tuningPage()->spinEdit(VolDorMax)->editor();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, digits);
        QTRY_VERIFY(marked());
    }
    void readUnit()
    {
        QSignalSpy taken(form->servicePage()->backups(), &BackupKeeper::backupTaken);
        form->tuningPage()->commandButton(2)->click();
        QTRY_COMPARE_WITH_TIMEOUT(taken.count(), 1, 5000);
    }

private slots:
    void init() { startWindow("[Verze]\r\n03=Octavia 1.6\r\n"); }
    void cleanup() { stopWindow(); }

    void theMarkGoesWhenTheSetAgreesWithAFileOrTheUnit_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("saved") << int(Saved);
        QTest::newRow("loaded") << int(Loaded);
        QTest::newRow("read") << int(Read);
        QTest::newRow("written and checked") << int(Written);
    }
    void theMarkGoesWhenTheSetAgreesWithAFileOrTheUnit()
    {
        QFETCH(int, way);
        const QString file = dataFile(QStringLiteral("auto.cfg"));
        write(file, someParams() + someLevels());
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        readUnit();
        QVERIFY(!marked());
        edit();
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg*")));

        switch (Way(way)) {
        case Saved: save(file); break;
        case Loaded:
            prompts->answers << true;
            load(file);
            break;
        case Read:
            prompts->answers << true;
            readUnit();
            break;
        case Written:
            form->tuningPage()->commandButton(1)->click();
            QTRY_COMPARE_WITH_TIMEOUT(form->findChild<QLabel *>(QStringLiteral("Nacteni"))->text(), QStringLiteral("Uložení OK"), 5000);
            break;
        }
        QTRY_VERIFY(!marked());
        QCOMPARE(prompts->questions, way == Loaded || way == Read ? QStringList{loadQuestion} : QStringList{});
    }

    void aSetWithNothingUnsavedClosesWithoutAQuestion()
    {
        readUnit();
        form->tuningPage()->commandButton(3)->click();
        QVERIFY(!form->isVisible());
        QVERIFY(prompts->questions.isEmpty());
    }

    void closingAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<bool>("byKonec");
        QTest::addColumn<QList<Choice>>("choices");
        QTest::addColumn<QStringList>("saveDialog");
        QTest::addColumn<bool>("closed");
        const QStringList cancelled{}, named{QStringLiteral("konec.cfg")};
        QTest::newRow("Zahodit") << true << QList<Choice>{Choice::Discard} << cancelled << true;
        QTest::newRow("Zrušit") << true << QList<Choice>{Choice::Cancel} << cancelled << false;
        QTest::newRow("Uložit, dialog cancelled") << true << QList<Choice>{Choice::Save} << cancelled << false;
        QTest::newRow("Uložit") << true << QList<Choice>{Choice::Save} << named << true;
        QTest::newRow("close button, Zahodit") << false << QList<Choice>{Choice::Discard} << cancelled << true;
    }
    void closingAsksAboutUnsavedChanges()
    {
        QFETCH(bool, byKonec);
        QFETCH(QList<Choice>, choices);
        QFETCH(QStringList, saveDialog);
        QFETCH(bool, closed);
        edit();
        prompts->saveChoices = choices;
        for (const QString &name : saveDialog)
            prompts->files << dataFile(name);
        if (byKonec)
            form->tuningPage()->commandButton(3)->click();
        else
            form->close();
        QCOMPARE(prompts->questions, QStringList{closeQuestion});
        QCOMPARE(form->isVisible(), !closed);
        QCOMPARE(port->isOpen(), !closed);
        if (!saveDialog.isEmpty())
            QCOMPARE(hex(readAll(dataFile(saveDialog.first()))), hex(toolSet()));
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
        edit();
        const QByteArray edited = toolSet();
        auto press = [&] {
            if (button == QLatin1String("Button23"))
                prompts->files << dataFile(QStringLiteral("zaloha.cfg"));
            form->findChild<QPushButton *>(button)->click();
        };
        write(dataFile(QStringLiteral("zaloha.cfg")), unitBlock + unitLevels);
        const auto reads = [this] {
            return std::count_if(port->written.cbegin(), port->written.cend(),
                                 [](const FakePort::Written &w) { return w.bytes == bytesOf({0x02, 0xFF, 0x03}); });
        };
        const auto readsBefore = reads();

        prompts->answers << false;
        press();
        QCOMPARE(prompts->questions, QStringList{loadQuestion});
        QTest::qWait(100);
        QCOMPARE(hex(toolSet()), hex(edited));
        QCOMPARE(reads(), readsBefore);

        prompts->answers << true;
        press();
        QTRY_COMPARE_WITH_TIMEOUT(hex(toolSet()), hex(unitBlock + unitLevels), 5000);
        QTRY_VERIFY(!marked());
    }

    void aStopKeepsUnsavedChangesAndTheNextStartSaysWhere()
    {
        form->stopBySystem();  // nothing unsaved: nothing kept
        QVERIFY(!form->isVisible());
        form->show();
        edit();
        form->stopBySystem();
        QVERIFY(!form->isVisible() && prompts->questions.isEmpty());
        const QDir backups(folder->filePath(QStringLiteral("data/zalohy")));
        const QStringList kept = backups.entryList({QStringLiteral("neulozeno_*.cfg")});
        QCOMPARE(kept.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^neulozeno_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.cfg$")).match(kept.first()).hasMatch(),
                 qPrintable(kept.first()));
        // The levels never came from a unit or a file: the file does not pass them off as levels.
        QCOMPARE(hex(readAll(backups.filePath(kept.first()))), hex(params() + bytesOf({0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})));

        // Said once, by the next start; it is no backup of a unit's set.
        for (const int said : {1, 0}) {
            delete form;
            form = new TForm2(port, prompts);
            prompts->messages.clear();
            form->FormCreate(folder->path());
            QCOMPARE(prompts->messages.filter(QDir::toNativeSeparators(backups.filePath(kept.first()))).size(), said);
            QCOMPARE(form->servicePage()->backupList()->topLevelItemCount(), 0);
        }
    }
};

QTEST_MAIN(TestUnsavedChanges)
#include "tst_unsavedchanges.moc"

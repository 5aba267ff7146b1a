#include "servicefixture.h"
#include "app/mainwindow.h"
#include "cfgfiles/configfiles.h"
#include "cfgfiles/filelistbox.h"
#include "cfgfiles/servicepage.h"
#include "link/unitdata.h"
#include "tuning/blockdisplay.h"
#include "tuning/paramblock.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include <QRegularExpression>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace ParamBlock;

// The page "Servis" in the whole window with a fake port: save, load, the list and Ctrl+S.
class TestConfigFiles : public ServiceFixture
{
    Q_OBJECT
private:
    FileListBox *list() const { return form->servicePage()->fileList(); }

private slots:
    void init() { startWindow("[Verze]\r\n03=Octavia 1.6\r\n"); }
    void cleanup() { stopWindow(); }

    void aSaveRightAfterStartUpWritesTheEmptyBlocks()
    {
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        save(dataFile(QStringLiteral("prvni.cfg")));

        QCOMPARE(prompts->fileQuestions.size(), 1);
        const FileQuestion q = prompts->fileQuestions.first();
        QCOMPARE(q.title, QStringLiteral("Uložit konfiguraci do souboru"));
        QCOMPARE(q.fileName, QStringLiteral("Novy.cfg"));
        QCOMPARE(q.folder, QDir(folder->filePath(QStringLiteral("data"))).absolutePath());
        QCOMPARE(q.filter, QStringLiteral("*.cfg"));
        QCOMPARE(q.defaultSuffix, QStringLiteral("cfg"));
        QVERIFY(q.confirmOverwrite);

        // The start-up levels are nobody's: the file says it has none.
        QCOMPARE(hex(readAll(dataFile(QStringLiteral("prvni.cfg")))),
                 hex(QByteArray("\x01") + QByteArray(32, '\0') + "\x03" + ConfigFile::noLevelsPart()));
        QCOMPARE(form->windowTitle(), caption(dataFile(QStringLiteral("prvni.cfg"))));
        QCOMPARE(list()->count(), 1);
        QCOMPARE(list()->item(0)->text(), QStringLiteral("prvni.cfg"));
        QVERIFY(prompts->messages.isEmpty());
    }

    void aSavedSetLoadsBackByteForByteWithoutSendingAnything()
    {
        form->tuningPage()->display()->takeOverBlock(someParams());
        form->data()->set().setLevels(someLevels());  // as a unit's level answer leaves them
        save(dataFile(QStringLiteral("sada.cfg")));
        QCOMPARE(hex(readAll(dataFile(QStringLiteral("sada.cfg")))), hex(someParams() + someLevels()));

        form->data()->set().reset();
        form->tuningPage()->display()->showParamBlock();
        QSignalSpy taken(form->tuningPage()->display(), &BlockDisplay::blockTakenOver);
        QSignalSpy levelsShown(form->servicePage()->files(), &ConfigFiles::levelsLoaded);
        const int sent = port->written.size();

        prompts->answers << true;  // the reset set is not the one saved: it may go
        load(dataFile(QStringLiteral("sada.cfg")));
        QCOMPARE(port->written.size(), sent);
        QCOMPARE(hex(params()), hex(someParams()));
        QCOMPARE(hex(levels()), hex(someLevels()));
        QVERIFY(form->data()->set().blockValid() && form->data()->set().levelsValid());
        QCOMPARE(taken.count(), 1);
        QCOMPARE(levelsShown.count(), 1);
        // The lambda page shows the loaded levels.
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(form->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(i + 1))->text(), QString::number(quint8(someLevels()[i])));
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Verze"))->text(), QStringLiteral("Octavia 1.6"));
        QCOMPARE(form->tuningPage()->spinEdit(IdleStopMax)->value(), int(quint8(someParams()[IdleStopMax])));
        QCOMPARE(form->windowTitle(), caption(dataFile(QStringLiteral("sada.cfg"))));
        QCOMPARE(prompts->fileQuestions.last().title, QStringLiteral("Vyber soubor s konfigurací"));
        QVERIFY(prompts->messages.isEmpty());
    }

    void eachDamagedPartIsSaidAndKeepsItsBlock_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("paramsTaken");
        QTest::addColumn<bool>("levelsTaken");
        const QByteArray p = someParams(), l = someLevels();
        const QString one = QStringLiteral("Chyba: Poškozený konfigurační soubor 1.část!");
        const QString two = QStringLiteral("Chyba: Poškozený konfigurační soubor 2.část!");
        QByteArray badEnd = p + l;
        badEnd[43] = 0x05;
        QByteArray badStart = p + l;
        badStart[0] = 0x02;
        QByteArray badParamEnd = p + l;
        badParamEnd[33] = 0x04;
        QTest::newRow("level end marker wrong") << badEnd << QStringList{two} << true << false;
        QTest::newRow("only the 34 bytes of part 1") << p << QStringList{two} << true << false;
        QTest::newRow("part 1 starts with 02") << badStart << QStringList{one} << false << true;
        QTest::newRow("part 1 ends with 04") << badParamEnd << QStringList{one} << false << true;
        QTest::newRow("43 bytes") << (p + l).left(43) << QStringList{two} << true << false;
        QTest::newRow("empty file") << QByteArray() << QStringList{one, two} << false << false;
        QTest::newRow("not a configuration") << QByteArray("[Verze]\r\n03=x\r\n....") << QStringList{one, two}
                                             << false << false;
        QTest::newRow("longer than 44 bytes") << p + l + QByteArray(20, '\x55') << QStringList{} << true << true;
    }
    void eachDamagedPartIsSaidAndKeepsItsBlock()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, said);
        QFETCH(bool, paramsTaken);
        QFETCH(bool, levelsTaken);
        const QByteArray paramsBefore = params(), levelsBefore = levels();
        write(dataFile(QStringLiteral("x.cfg")), file);

        load(dataFile(QStringLiteral("x.cfg")));
        QCOMPARE(prompts->messages, said);
        QCOMPARE(hex(params()), hex(paramsTaken ? someParams() : paramsBefore));
        QCOMPARE(hex(levels()), hex(levelsTaken ? someLevels() : levelsBefore));
        QCOMPARE(form->data()->set().blockValid(), paramsTaken);
        QCOMPARE(form->data()->set().levelsValid(), levelsTaken);
        // A file that gave a part is the current one; one that gave nothing is not even named.
        const QString current = paramsTaken || levelsTaken ? dataFile(QStringLiteral("x.cfg")) : QStringLiteral("Novy.cfg");
        QCOMPARE(form->windowTitle(), caption(current));
        QCOMPARE(form->servicePage()->files()->fileName(), current);
    }

    void aFileThatCannotBeOpenedChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("chybi.cfg");
        QTest::newRow("a folder") << QStringLiteral("slozka.cfg");
    }
    void aFileThatCannotBeOpenedChangesNothing()
    {
        QFETCH(QString, name);
        QDir(folder->filePath(QStringLiteral("data"))).mkdir(QStringLiteral("slozka.cfg"));
        const QByteArray before = params();
        load(dataFile(name));
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().startsWith(QStringLiteral("Chyba: ")), qPrintable(prompts->messages.first()));
        QVERIFY2(prompts->messages.first().contains(name), qPrintable(prompts->messages.first()));
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        QCOMPARE(form->servicePage()->files()->fileName(), QStringLiteral("Novy.cfg"));
        QCOMPARE(hex(params()), hex(before));
    }

    void ctrlSFromAnotherPageShowsServisAndAsksWhereToSave()
    {
        form->showPage(form->tuningPage());
        QAction *saveAction = form->findChild<QAction *>(QStringLiteral("Uloz"));
        QVERIFY(saveAction);
        QCOMPARE(saveAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        saveAction->trigger();  // no file chosen: Cancel
        QCOMPARE(form->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet3"));
        QCOMPARE(prompts->fileQuestions.size(), 1);
        QCOMPARE(prompts->fileQuestions.first().title, ConfigFiles::saveTitle());
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        // Nothing saved (the data folder holds only the unit history).
        QVERIFY(QDir(folder->filePath(QStringLiteral("data"))).entryList({QStringLiteral("*.cfg")}, QDir::Files).isEmpty());
    }

    void aDoubleClickConfirmsAndLoadsWhatTheConfirmationReturns()
    {
        write(dataFile(QStringLiteral("a.cfg")), someParams() + someLevels());
        QByteArray other = someParams() + someLevels();
        other[IdleStopMax] = 99;
        write(dataFile(QStringLiteral("b.cfg")), other);
        form->showPage(form->servicePage());
        QTRY_COMPARE(list()->count(), 2);  // the list follows the folder on disk
        const QByteArray before = params();
        auto doubleClick = [this](int row = 0) {
            list()->setCurrentRow(row);
            const QRect r = list()->visualItemRect(list()->item(row));
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, r.center());
        };

        // Cancelled: nothing loaded, the caption stays, but the next save proposes the clicked file.
        doubleClick();
        QCOMPARE(prompts->fileQuestions.size(), 1);
        QCOMPARE(prompts->fileQuestions.last().fileName, dataFile(QStringLiteral("a.cfg")));
        QCOMPARE(hex(params()), hex(before));
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        form->servicePage()->saveButton()->click();
        QCOMPARE(prompts->fileQuestions.last().fileName, dataFile(QStringLiteral("a.cfg")));
        form->servicePage()->loadButton()->click();
        QCOMPARE(prompts->fileQuestions.last().fileName, dataFile(QStringLiteral("a.cfg")));

        // The technician picks another file in the confirmation: that one is loaded.
        prompts->files << dataFile(QStringLiteral("b.cfg"));
        doubleClick();
        QCOMPARE(int(quint8(params()[IdleStopMax])), 99);
        QCOMPARE(form->windowTitle(), caption(dataFile(QStringLiteral("b.cfg"))));

        // A file that gives nothing takes the click's name back: b.cfg stays the one to save to.
        write(dataFile(QStringLiteral("c.cfg")), QByteArray("nic"));
        QTRY_COMPARE(list()->count(), 3);
        prompts->files << dataFile(QStringLiteral("c.cfg"));
        doubleClick(2);
        QCOMPARE(prompts->messages.size(), 2);
        QCOMPARE(form->windowTitle(), caption(dataFile(QStringLiteral("b.cfg"))));
        form->servicePage()->saveButton()->click();
        QCOMPARE(prompts->fileQuestions.last().fileName, dataFile(QStringLiteral("b.cfg")));
    }

    void aFailingSaveKeepsTheOldFileAndSaysSo()
    {
        const QString path = dataFile(QStringLiteral("dobry.cfg"));
        write(path, someParams() + someLevels());
        form->data()->set().setParamByte(IdleStopMax, 1);

        // A file-size limit below 44 bytes: the write breaks off half way, as on a full disk.
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = old;
        tight.rlim_cur = 40;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        save(path);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(hex(readAll(path)), hex(someParams() + someLevels()));
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().startsWith(QStringLiteral("Chyba: ")) && prompts->messages.first().contains(QStringLiteral("dobry.cfg")),
                 qPrintable(prompts->messages.first()));
        QCOMPARE(form->windowTitle(), caption(QStringLiteral("Novy.cfg")));
        QCOMPARE(form->servicePage()->files()->fileName(), QStringLiteral("Novy.cfg"));
        // Nothing left of the failed write; the unit history's own files do not count.
        const QStringList left = QDir(folder->filePath(QStringLiteral("data"))).entryList(QDir::Files);
        QCOMPARE(left.filter(QRegularExpression(QStringLiteral("^(?!historie)"))), QStringList{QStringLiteral("dobry.cfg")});
    }
};

QTEST_MAIN(TestConfigFiles)
#include "tst_configfiles.moc"

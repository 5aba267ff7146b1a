#include "servicefixture.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/configfile.h"
#include "cfgfiles/unsavedchanges.h"
#include "datalog/logrecorder.h"
#include "datalog/recordedsets.h"
#include "datalog/recordingcontrol.h"
#include "history/visitrecorder.h"
#include "historypage/historypage.h"
#include "diagnostics/diagnosticspage.h"
#include "lambda/lambdapage.h"
#include "link/levelexchange.h"
#include "link/statuspoll.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>

using namespace ParamBlock;

// Nothing the tool did not get from a unit or a file passes for it: in files it writes, on the
// lambda page, in a service store; nothing replaces unsaved work unasked; a single save counts as
// written only when the unit confirms it. The window on a fake port with a stand-in unit that
// also answers memory reads (02 24 address 00 03) from what it was sent, while `answersMemory`.
class TestTrustedSet : public ServiceFixture
{
    Q_OBJECT
private:
    bool answersMemory = true;

    void actAsUnitWithMemory()
    {
        const auto blockAndLevels = port->onWrite;
        port->onWrite = [this, blockAndLevels](const QByteArray &frame) {
            blockAndLevels(frame);
            if (frame.size() != 5)
                return;
            const int address = quint8(frame[2]);
            const bool inBlock = address > UnitAddress::ParamOffset && address < UnitAddress::ParamOffset + 33;
            const bool level = address >= UnitAddress::FirstLevel && address < UnitAddress::FirstLevel + 4;
            if (quint8(frame[1]) == 0xB4 && inBlock)
                unitBlock[address - UnitAddress::ParamOffset] = frame[3];
            if (quint8(frame[1]) != 0x24 || !answersMemory)
                return;
            const char held = inBlock ? unitBlock[address - UnitAddress::ParamOffset]
                              : level ? unitLevels[address - UnitAddress::FirstLevel + 1]
                                      : char(0);
            port->feedSoon(QByteArray("\x02", 1) + held + '\x03', 3);
        };
    }
    void readUnit()
    {
        QSignalSpy levelsSettled(form->levelExchange(), answersLevels ? &LevelExchange::levelsReceived : &LevelExchange::levelsReset);
        form->tuningPage()->readBlockButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(levelsSettled.count(), 1, 5000);
        QTRY_COMPARE(form->link()->linkState(), LinkState::StatusReply);
    }
    QStringList written(int from = 0) const
    {
        QStringList out;
        for (int i = from; i < port->written.size(); ++i)
            out << hex(port->written[i].bytes);
        return out;
    }
    bool marked() const { return form->windowTitle().endsWith(QLatin1Char('*')); }
    QLineEdit *edit(const char *name) const { return form->lambdaPage()->findChild<QLineEdit *>(QLatin1String(name)); }
    QPushButton *lambdaButton(const char *name) const { return form->lambdaPage()->findChild<QPushButton *>(QLatin1String(name)); }
    // The level fields' texts, and whether the fields and "Ulož úrovně" can be used.
    QString levelsShown() const
    {
        QStringList out;
        for (const char *name : {"Edit2", "Edit3", "Edit4", "Edit5"})
            out << edit(name)->text() + (edit(name)->isEnabled() ? QString() : QStringLiteral("-"));
        return out.join(QLatin1Char(' ')) + (lambdaButton("Button38")->isEnabled() ? QString() : QStringLiteral(" -"));
    }
    // The stand-in unit answers the record with serial number 33 of 2021.
    void answerRecord()
    {
        QByteArray record(34, '\0');
        record[0] = 0x02;
        record[2] = char(33);
        record[3] = char(21);
        record[33] = 0x03;
        answerRecord(record);
    }
    void answerRecord(const QByteArray &record)
    {
        const auto unit = port->onWrite;
        port->onWrite = [this, unit, record](const QByteArray &frame) {
            if (frame == bytesOf({0x02, 0x80, 0x03}))
                port->feedSoon(record, 5);
            else
                unit(frame);
        };
    }
    // Unit 33's only visit on the page "Historie", its set `row` taken in with "Načíst do programu".
    void takeFromHistory(int row)
    {
        QTRY_VERIFY(form->visitRecorder()->isOpen() && form->visitRecorder()->visit().sets.size() > row);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
        QWidget *history = form->historyPage();
        QTest::keyClicks(history->findChild<QLineEdit *>(QStringLiteral("HledatJednotku")), QStringLiteral("33"));
        for (const char *name : {"Jednotky", "Navstevy", "SadyNavstevy"}) {
            auto *list = history->findChild<QTreeWidget *>(QLatin1String(name));
            const int wanted = qstrcmp(name, "SadyNavstevy") == 0 ? row : 0;
            QTRY_VERIFY(list->topLevelItemCount() > wanted);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(wanted)).center());
        }
        history->findChild<QPushButton *>(QStringLiteral("NacistSaduDoProgramu"))->click();
    }

private slots:
    void init()
    {
        startWindow("[Verze]\r\n03=Octavia\r\n");
        answersMemory = true;
        actAsUnitWithMemory();
    }
    void cleanup() { stopWindow(); }

    // Every writer of a set composes its file the same way: levels the unit never gave are kept
    // as "no levels", so that loading the file cannot make them real.
    void aSetWithoutReadLevelsIsWrittenWithoutThem_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::newRow("Ulož aktualní stav") << "button";
        QTest::newRow("Ctrl+S") << "shortcut";
        QTest::newRow("save offered on quitting") << "quit";
        QTest::newRow("kept on a stop by the system") << "stop";
    }
    void aSetWithoutReadLevelsIsWrittenWithoutThem()
    {
        QFETCH(QString, writer);
        answersLevels = false;  // a unit of version 1 to 3
        readUnit();
        QVERIFY(!form->data()->set().levelsValid());
        form->tuningPage()->spinEdit(IdleStopMax)->setValue(200);
        QTRY_VERIFY(marked());
        QString path = dataFile(QStringLiteral("sada.cfg"));
        if (writer == QLatin1String("button")) {
            save(path);
        } else if (writer == QLatin1String("shortcut")) {
            prompts->files << path;
            form->findChild<QAction *>(QStringLiteral("Uloz"))->trigger();
        } else if (writer == QLatin1String("quit")) {
            prompts->saveChoices << Prompts::SaveChoice::Save;
            prompts->files << path;
            form->close();
        } else {
            form->keepUnsavedChanges();
            const QDir kept(folder->filePath(QStringLiteral("data/zalohy")));
            path = kept.absoluteFilePath(kept.entryList({QStringLiteral("neulozeno_*.cfg")}).value(0));
        }
        const QByteArray file = readAll(path);
        QCOMPARE(file.size(), ConfigFile::Size);
        QCOMPARE(file.left(34)[IdleStopMax], char(200));
        QCOMPARE(hex(file.mid(34)), hex(ConfigFile::noLevelsPart()));

        // Loaded again, the set still has no levels: the lambda page offers none to edit or write.
        form->data()->set().setLevels(levels());
        prompts->answers << true;  // levels taken for the unit's are a change the load lets go
        load(path);
        QVERIFY(!form->data()->set().levelsValid());
        QCOMPARE(levelsShown(), QStringLiteral("10- 60- 10- 60- -"));
    }

    // A set of a unit that gives no levels keeps saying so, whichever way it comes back into the
    // tool: "Odeslat do ŘJ" then sends code 238 and the block, no level frame, and the unit keeps
    // its own levels. Before it arrives the tool holds levels from a file, which must not stay.
    void aSetWithoutLevelsWritesNoneWhereverItCameFrom_data()
    {
        QTest::addColumn<QString>("arrival");
        for (const char *arrival : {"read", "file", "backup", "history, first read", "history, written", "recording"})
            QTest::newRow(arrival) << QString::fromLatin1(arrival);
    }
    void aSetWithoutLevelsWritesNoneWhereverItCameFrom()
    {
        QFETCH(QString, arrival);
        const QString withLevels = dataFile(QStringLiteral("s-urovnemi.cfg"));
        write(withLevels, set(80) + bytesOf({0x03, 21, 71, 22, 72, 1, 2, 3, 4, 0x04}));
        answersLevels = false;
        answerRecord();
        if (arrival != QLatin1String("read"))
            readUnit();
        if (arrival == QLatin1String("history, written")) {
            form->tuningPage()->spinEdit(IdleStopMax)->setValue(95);
            form->tuningPage()->writeBlockButton()->click();
            QTRY_COMPARE_WITH_TIMEOUT(form->findChild<QLabel *>(QStringLiteral("Nacteni"))->text(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 10000);
        }
        QString recording;
        if (arrival == QLatin1String("recording")) {
            auto *record = form->findChild<QPushButton *>(QStringLiteral("Zaznam"));
            record->click();
            recording = form->recording()->recorder()->files().value(0);
            record->click();
            QVERIFY(!recording.isEmpty() && !form->recording()->recorder()->isRecording());
        }
        load(withLevels);
        QVERIFY(form->data()->set().levelsValid());

        if (arrival == QLatin1String("read")) {
            readUnit();
        } else if (arrival == QLatin1String("file")) {
            write(dataFile(QStringLiteral("bez-urovni.cfg")), set(90) + ConfigFile::noLevelsPart());
            load(dataFile(QStringLiteral("bez-urovni.cfg")));
        } else if (arrival == QLatin1String("backup")) {
            QTreeWidget *list = form->servicePage()->backupList();
            QCOMPARE(list->topLevelItemCount(), 1);
            list->setCurrentItem(list->topLevelItem(0));
            form->servicePage()->loadBackupButton()->click();
        } else if (arrival.startsWith(QLatin1String("history"))) {
            takeFromHistory(arrival.endsWith(QLatin1String("written")) ? 1 : 0);
        } else {
            load(RecordedSets::pathFor(recording, 1));
        }
        QCOMPARE(form->data()->set().paramByte(IdleStopMax), quint8(arrival.endsWith(QLatin1String("written")) ? 95 : 90));
        QVERIFY(!form->data()->set().levelsValid());

        const int from = port->written.size();
        QLabel *said = form->findChild<QLabel *>(QStringLiteral("Nacteni"));
        said->clear();
        form->tuningPage()->writeBlockButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!said->text().isEmpty(), 10000);
        QCOMPARE(said->text(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"));
        const QStringList frames = written(from);
        QCOMPARE(frames.value(0), QStringLiteral("02 EE 03"));
        QCOMPARE(frames.value(1), hex(unitBlock));
        QCOMPARE(frames.filter(QStringLiteral("02 B4 A")), QStringList());
        QCOMPARE(hex(unitLevels), hex(someLevels()));
        QCOMPARE(prompts->messages, QStringList());
    }

    // The level fields and "Ulož úrovně" follow the set, whichever way it came.
    void levelFieldsFollowEveryWayASetArrives()
    {
        QVERIFY(QDir().mkpath(folder->filePath(QStringLiteral("data/zalohy"))));
        const QString backup = folder->filePath(QStringLiteral("data/zalohy/2026-12-07_10-00-00_Octavia.cfg"));
        write(backup, set(90) + ConfigFile::noLevelsPart());
        write(dataFile(QStringLiteral("s-urovnemi.cfg")), set(90) + bytesOf({0x03, 21, 71, 22, 72, 1, 2, 3, 4, 0x04}));
        QCOMPARE(levelsShown(), QStringLiteral("10- 60- 10- 60- -"));

        readUnit();  // levels 12, 70, 15, 90
        QCOMPARE(levelsShown(), QStringLiteral("12 70 15 90"));

        form->servicePage()->backups()->refresh();
        QTreeWidget *list = form->servicePage()->backupList();
        QCOMPARE(list->topLevelItemCount(), 2);  // the one read just now, and the old one without levels
        list->setCurrentItem(list->topLevelItem(1));
        form->servicePage()->loadBackupButton()->click();
        QVERIFY(!form->data()->set().levelsValid());
        QCOMPARE(levelsShown(), QStringLiteral("10- 60- 10- 60- -"));

        load(dataFile(QStringLiteral("s-urovnemi.cfg")));
        QCOMPARE(levelsShown(), QStringLiteral("21 71 22 72"));
    }

    // "Načti úrovně" and the block read after a measurement replace unsaved work only when the
    // technician lets it go, as "Načíst z ŘJ" does.
    void overwritesAsk()
    {
        readUnit();
        const QString question = QStringLiteral("Pozor !!!: Máte neuložené změny. Zahodit změny a načíst?");
        edit("Edit3")->setText(QStringLiteral("99"));
        int from = port->written.size();
        prompts->answers << false;
        lambdaButton("Button39")->click();
        QCOMPARE(prompts->questions, QStringList{question});
        QVERIFY(!written(from).contains(QStringLiteral("02 AA 03")));
        QCOMPARE(edit("Edit3")->text(), QStringLiteral("99"));
        prompts->answers << true;
        lambdaButton("Button39")->click();
        QTRY_COMPARE_WITH_TIMEOUT(edit("Edit3")->text(), QStringLiteral("70"), 3000);
        QTRY_COMPARE(form->link()->linkState(), LinkState::StatusReply);

        // A measurement's end reads the block again: over unsaved changes only when allowed.
        for (const bool yes : {false, true}) {
            form->tuningPage()->spinEdit(IdleStopMax)->setValue(yes ? 201 : 200);
            QTRY_VERIFY(marked());
            prompts->questions.clear();
            prompts->answers << yes;
            lambdaButton("Button27")->click();
            QTRY_VERIFY(written().contains(QStringLiteral("02 70 03")));
            from = port->written.size();
            port->feed(bytesOf({0x02, 1, 2, 3, 0x05, 0x03}));
            QTRY_COMPARE(prompts->questions, QStringList{question});
            QTest::qWait(300);
            QCOMPARE(written(from).contains(QStringLiteral("02 FF 03")), yes);
            QCOMPARE(form->tuningPage()->spinEdit(IdleStopMax)->value(), yes ? 90 : 200);
            QVERIFY(!form->statusPoll()->measuring());
            QTRY_COMPARE_WITH_TIMEOUT(form->link()->linkState(), LinkState::StatusReply, 3000);
        }
    }

    // A single save the unit confirms counts as written; one it cannot confirm keeps the mark.
    void aConfirmedSaveCountsAsWritten()
    {
        readUnit();
        QVERIFY(!marked());
        QLabel *said = form->findChild<QLabel *>(QStringLiteral("Nacteni"));
        for (const bool answers : {false, true}) {
            answersMemory = answers;
            form->tuningPage()->spinEdit(IdleStopMax)->setValue(answers ? 210 : 200);
            QTRY_VERIFY(marked());
            form->tuningPage()->saveButton(IdleStopMax)->click();
            QTRY_COMPARE_WITH_TIMEOUT(said->text(), answers ? QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM") : QStringLiteral("Odesláno"), 3000);
            QTest::qWait(50);
            QCOMPARE(marked(), !answers);
            QTRY_COMPARE(form->link()->linkState(), LinkState::StatusReply);
        }
        // So does "Ulož úrovně": the levels read back at 163..166.
        edit("Edit2")->setText(QStringLiteral("13"));
        QTRY_VERIFY(marked());
        lambdaButton("Button38")->click();
        QTRY_COMPARE_WITH_TIMEOUT(form->lambdaPage()->linkMessageLabel()->text(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 3000);
        QTRY_VERIFY(!marked());
        QCOMPARE(written().filter(QStringLiteral("02 24 A")),
                 (QStringList{"02 24 A3 00 03", "02 24 A4 00 03", "02 24 A5 00 03", "02 24 A6 00 03"}));
    }

    // A link that went away may come back to another car: its record must be read anew.
    void aLostLinkForgetsTheRecordRead()
    {
        DiagnosticsPage *page = form->diagnosticsPage();
        QByteArray record(34, '\0');
        record[0] = 0x02;
        record[10] = char(0x40), record[11] = char(0xE2), record[12] = 0x01;
        record[33] = 0x03;
        answerRecord(record);
        page->readButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(page->tachoEdit()->text(), QStringLiteral("123456"), 3000);
        QTRY_COMPARE(form->link()->linkState(), LinkState::StatusReply);
        port->loseDevice();
        QTRY_COMPARE(page->tachoEdit()->text(), QString());
        const int from = port->written.size();
        page->storeButton()->click();
        QCOMPARE(prompts->messages.filter(QStringLiteral("Nejdříve načtěte záznam jednotky")).size(), 1);
        QVERIFY(prompts->questions.isEmpty());
        QCOMPARE(port->written.size(), from);
    }
};

QTEST_MAIN(TestTrustedSet)
#include "tst_trustedset.moc"

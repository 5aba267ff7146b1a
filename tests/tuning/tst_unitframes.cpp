#include "tuningfixture.h"
#include "tuning/spinedit.h"
#include "tuning/unitcommands.h"
#include <QSignalSpy>
#include <QTest>

using namespace ParamBlock;

// What the tuning page puts on the line, and when.
class TestUnitFrames : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TuningFixture> f;
    QPushButton *button(const char *name) const { return f->find<QPushButton>(QString::fromLatin1(name)); }
    SpinEdit *spin(const char *name) const { return f->find<SpinEdit>(QString::fromLatin1(name)); }
    qint64 gap(int i) const { return f->port.written[i].atMs - f->port.written[i - 1].atMs; }
    // The single writes among the frames sent, without the reads that check them.
    QStringList writes() const { return f->writtenHex().filter(QStringLiteral("02 B4")); }

    // A stand-in for the unit: keeps what it is sent and answers the block and level requests.
    // `stuck` >= 0 makes it keep that block byte one off.
    void actAsUnit(int stuck = -1)
    {
        f->port.onWrite = [this, stuck](const QByteArray &frame) {
            static QByteArray stored;
            if (frame.size() == ParamBlock::Size) {
                stored = frame;
                if (stuck >= 0)
                    stored[stuck] = char(stored[stuck] ^ 1);
            } else if (frame == bytesOf({0x02, 0xFF, 0x03})) {
                f->port.feedSoon(stored, 5);
            } else if (frame == bytesOf({0x02, 0xAA, 0x03})) {
                f->port.feedSoon(f->data.set().levelBytes(), 5);
            }
        };
    }

private slots:
    void init() { f = std::make_unique<TuningFixture>(); }
    void cleanup() { f.reset(); }

    void singleSaveSendsTheValueThenTheVersion()
    {
        f->page.display()->takeOverBlock([] { QByteArray b = TuningFixture::sampleBlock(); b[SetVersion] = 4; return b; }());
        spin("TPSVol")->setValue(44);  // keeps version 4
        f->link.setPollInterval(60);
        f->link.startPolling();
        QTest::qWait(40);
        QElapsedTimer clock;
        clock.start();
        button("Button29")->click();
        QCOMPARE(f->writtenHex(), QStringList{QStringLiteral("02 B4 40 2C 03")});  // the version follows, nothing blocks
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 2, 2000);
        QCOMPARE(f->writtenHex(), (QStringList{QStringLiteral("02 B4 40 2C 03"), QStringLiteral("02 B4 3F 04 03")}));
        QVERIFY2(gap(1) >= 9, qPrintable(QString::number(gap(1))));
        // The unit is asked for the value back after its pause; one that answers no memory read
        // has it sent, not confirmed, and the poll runs again.
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 3, 2000);
        QCOMPARE(f->writtenHex(2), QStringList{QStringLiteral("02 24 40 00 03")});
        QVERIFY2(gap(2) >= 95, qPrintable(QString::number(gap(2))));
        QVERIFY(!f->link.polling());
        QTRY_COMPARE_WITH_TIMEOUT(f->label("Nacteni"), QStringLiteral("Odesláno"), 2000);
        QVERIFY(f->link.polling());
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 4, 2000);
        QCOMPARE(f->writtenHex(3), QStringList{QStringLiteral("02 0F 03")});
        QVERIFY2(clock.elapsed() >= 155, qPrintable(QString::number(clock.elapsed())));
        f->link.stopPolling();

        // A speed goes out negated, a stop as it is; both are followed by the version byte, now 0.
        f->port.written.clear();
        spin("MaxRychMax")->setValue(10);
        button("Button19")->click();
        spin("VolDorMax")->setValue(254);
        button("Button7")->click();
        QTRY_COMPARE_WITH_TIMEOUT(writes().size(), 4, 2000);
        QCOMPARE(writes(), (QStringList{QStringLiteral("02 B4 3E F6 03"), QStringLiteral("02 B4 3F 00 03"),
                                        QStringLiteral("02 B4 44 FE 03"), QStringLiteral("02 B4 3F 00 03")}));
        // The value comes from the control, not from the block.
        f->data.set().setParamByte(HighPowerStopMin, 1);
        spin("VelkyDorMin")->setValue(90);
        f->data.set().setParamByte(HighPowerStopMin, 1);
        button("Button15")->click();
        QTRY_COMPARE_WITH_TIMEOUT(writes().size(), 6, 4000);
        QCOMPARE(writes().value(4), QStringLiteral("02 B4 49 5A 03"));
    }

    // After a single save the unit is asked for the parameter byte and the version byte back, with
    // the oscilloscope's memory read; the page says what came of it.
    void singleSaveIsReadBack_data()
    {
        QTest::addColumn<QString>("unit");  // how the stand-in answers memory reads
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QString>("said");
        const QString value = QStringLiteral("02 24 44 00 03"), version = QStringLiteral("02 24 3F 00 03");
        QTest::newRow("holds both") << "memory" << QStringList{value, version} << "Uloženo do RAM – trvale uloží RAM->EEPROM";
        QTest::newRow("kept its old value") << "other" << QStringList{value} << "Uložení neověřeno!";
        QTest::newRow("garbled answer") << "garbled" << QStringList{value} << "Uložení neověřeno!";
        QTest::newRow("answers no memory read") << "silent" << QStringList{value} << "Odesláno";
    }
    void singleSaveIsReadBack()
    {
        QFETCH(QString, unit);
        QFETCH(QStringList, reads);
        QFETCH(QString, said);
        auto memory = std::make_shared<QByteArray>(256, '\x55');
        f->port.onWrite = [this, unit, memory](const QByteArray &frame) {
            const quint8 address = frame.size() > 2 ? quint8(frame[2]) : 0;
            if (frame.size() == 5 && quint8(frame[1]) == 0xB4)
                (*memory)[address] = frame[3];
            if (frame.size() != 5 || quint8(frame[1]) != 0x24 || unit == QLatin1String("silent"))
                return;
            const char held = unit == QLatin1String("other") ? char(memory->at(address) ^ 1) : memory->at(address);
            f->port.feedSoon(QByteArray("\x02", 1) + held + (unit == QLatin1String("garbled") ? '\x05' : '\x03'), 3);
        };
        f->page.display()->takeOverBlock(TuningFixture::sampleBlock());
        spin("VolDorMax")->setValue(254);
        button("Button7")->click();
        QTRY_COMPARE_WITH_TIMEOUT(f->label("Nacteni"), said, 3000);
        QStringList asked;
        for (const QString &frame : f->writtenHex())
            if (frame.startsWith(QLatin1String("02 24")))
                asked << frame;
        QCOMPARE(asked, reads);
        QTRY_COMPARE(f->link.linkState(), LinkState::StatusReply);
        QVERIFY(f->link.polling());
    }

    void ramToEepromCommitsTheStatusByte()
    {
        QByteArray b = TuningFixture::sampleBlock();
        b[UnitFlags] = char(0x85);
        b[SetVersion] = 6;
        f->page.display()->takeOverBlock(b);
        QCOMPARE(f->label("Verze"), QStringLiteral("Sada 6"));
        f->link.startPolling();
        button("Button4")->click();
        QCOMPARE(f->writtenHex(), (QStringList{QStringLiteral("02 B4 30 45 03"), QStringLiteral("02 04 03")}));
        QCOMPARE(f->label("STAVJ"), QStringLiteral("01000101"));
        QCOMPARE(int(f->data.set().paramByte(UnitFlags)), 0x45);
        QCOMPARE(int(f->data.set().paramByte(SetVersion)), 0);
        QCOMPARE(f->label("Verze"), QStringLiteral("Bez verze!"));
        QVERIFY(f->link.polling());

        f->port.written.clear();
        f->data.set().setParamByte(UnitFlags, 0x40);
        button("Button4")->click();
        QCOMPARE(f->writtenHex(), (QStringList{QStringLiteral("02 B4 30 40 03"), QStringLiteral("02 04 03")}));
    }

    void factoryResetOnlyAfterYesAndReloadDropsTheVersion()
    {
        f->prompts.answers = {false};
        button("Button5")->click();
        QCOMPARE(f->prompts.questions, QStringList{QStringLiteral("Pozor !!!: Opravdu provést tovární RESET ?")});
        QVERIFY(f->port.written.isEmpty());

        f->prompts.answers = {true};
        button("Button5")->click();
        QCOMPARE(f->writtenHex(), QStringList{QStringLiteral("02 50 03")});
        QVERIFY(!f->prompts.unexpected);

        f->page.display()->takeOverBlock([] { QByteArray b = TuningFixture::sampleBlock(); b[SetVersion] = 9; return b; }());
        f->port.written.clear();
        button("Button6")->click();
        QCOMPARE(f->writtenHex(), QStringList{QStringLiteral("02 60 03")});
        QCOMPARE(f->label("Verze"), QStringLiteral("Bez verze!"));
        QCOMPARE(int(f->data.set().paramByte(SetVersion)), 0);
    }

    // A block that never came from a unit or a file is written only after a Yes; a read that
    // failed after a good one leaves the block as it was, the unit's.
    void aBlindWriteAsksFirst_data()
    {
        QTest::addColumn<QByteArray>("readAnswer");  // empty: no read before the write
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("sent");
        QByteArray garbled(ParamBlock::Size, char(0x20));
        garbled[0] = 0x02;
        garbled[ParamBlock::Size - 1] = 0x03;
        QTest::newRow("start-up block, No") << QByteArray() << QList<bool>{false} << false;
        QTest::newRow("start-up block, Yes") << QByteArray() << QList<bool>{true} << true;
        QTest::newRow("failed read after a good one") << garbled << QList<bool>{} << true;
        QTest::newRow("good read") << TuningFixture::sampleBlock() << QList<bool>{} << true;
    }
    void aBlindWriteAsksFirst()
    {
        QFETCH(QByteArray, readAnswer);
        QFETCH(QList<bool>, answers);
        QFETCH(bool, sent);
        if (!readAnswer.isEmpty()) {
            f->data.set().markBlockValid();
            f->parts.blockRead.readBlock();
            f->port.feed(readAnswer);
            QTRY_COMPARE_WITH_TIMEOUT(f->link.linkState(), LinkState::Levels, 2000);
            f->port.feed(bytesOf({0x03, 1, 2, 3, 4, 1, 2, 3, 4, 0x04}));
        }
        const int before = f->port.written.size();
        f->prompts.answers = answers;
        button("Button1")->click();
        QCOMPARE(f->prompts.questions.size(), answers.size());
        if (!answers.isEmpty())
            QVERIFY(f->prompts.questions.first().startsWith(QStringLiteral("Pozor !!!: ")));
        QVERIFY(!f->prompts.unexpected);
        QCOMPARE(f->writtenHex(before), sent ? QStringList{QStringLiteral("02 EE 03")} : QStringList{});
        QCOMPARE(f->link.linkState(), sent ? LinkState::SilenceAfterWriteCode : LinkState::StatusReply);
    }

    void readShowsTheBlock()
    {
        actAsUnit();
        f->port.onWrite(TuningFixture::sampleBlock());  // what the unit holds
        button("Button2")->click();
        QCOMPARE(f->writtenHex().value(0), QStringLiteral("02 FF 03"));
        QTRY_COMPARE_WITH_TIMEOUT(f->block(), TuningFixture::sampleBlock(), 2000);
        QCOMPARE(spin("MaxDorMax")->value(), 240);
        QCOMPARE(f->label("Verze"), QStringLiteral("Sada 3"));
        QTRY_COMPARE_WITH_TIMEOUT(f->link.linkState(), LinkState::StatusReply, 2000);
        QCOMPARE(f->label("Nacteni"), QStringLiteral("Načteno  OK"));
        QVERIFY(f->find<QLabel>(QStringLiteral("Nacteni"))->isVisibleTo(&f->page));
    }

    void writeChecksTheBlockByReadingItBack_data()
    {
        QTest::addColumn<int>("stuck");
        QTest::addColumn<QString>("result");
        QTest::newRow("unit keeps it") << -1 << QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM");
        QTest::newRow("unit keeps one byte wrong") << int(LowPowerSpeedMax) << QStringLiteral("Nesprávné uložení!");
    }
    void writeChecksTheBlockByReadingItBack()
    {
        QFETCH(int, stuck);
        QFETCH(QString, result);
        f->page.display()->takeOverBlock(TuningFixture::sampleBlock());
        f->data.set().markBlockValid();  // as if it had been read
        f->data.set().setLevels(f->data.set().levelBytes());
        spin("MalyRychMax")->setValue(20);
        actAsUnit(stuck);
        QSignalSpy shown(&f->link, &LinkTransport::linkMessage);
        button("Button1")->click();
        QCOMPARE(f->writtenHex().value(0), QStringLiteral("02 EE 03"));
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 3000);
        QCOMPARE(shown.first().first().toString(), result);
        QCOMPARE(f->label("Nacteni"), result);
        const QStringList w = f->writtenHex();
        QCOMPARE(w.value(1), hex(f->block()));
        QVERIFY2(gap(1) >= 45, qPrintable(QString::number(gap(1))));
        QCOMPARE(int(f->data.set().paramByte(LowPowerSpeedMax)), 236);
        QCOMPARE(w.value(6), QStringLiteral("02 FF 03"));
        QCOMPARE(w.contains(QStringLiteral("02 AA 03")), stuck < 0);

        // Only a confirmed write lives in the unit's RAM, and the page says so until the commit goes.
        QLabel *ramOnly = f->find<QLabel>(QStringLiteral("ZmenyJenVRam"));
        QCOMPARE(ramOnly->isVisibleTo(&f->page), stuck < 0);
        QCOMPARE(ramOnly->text(), QStringLiteral("Změny jen v RAM – nejsou v EEPROM"));
        QTRY_VERIFY(f->link.polling());
        const int before = int(f->port.written.size());
        button("Button4")->click();
        QTRY_COMPARE_WITH_TIMEOUT(f->label("Nacteni"), QStringLiteral("Odesláno do EEPROM"), 2000);
        QCOMPARE(f->writtenHex(before).last(), QStringLiteral("02 04 03"));
        QVERIFY(!ramOnly->isVisibleTo(&f->page));
    }

    // A reload or a reset drops what the unit holds in RAM alone: asked first, and the block is
    // read again afterwards so the page shows what the unit now holds.
    void reloadAndResetAskForRamChangesThenReadAgain_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("ramOnly");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("sent");
        const QString reload = QStringLiteral("02 60 03"), reset = QStringLiteral("02 50 03"), read = QStringLiteral("02 FF 03");
        QTest::newRow("reload, nothing in RAM alone") << "Button6" << false << QList<bool>{} << QStringList{reload, read};
        QTest::newRow("reload, RAM changes kept") << "Button6" << true << QList<bool>{false} << QStringList{};
        QTest::newRow("reload, RAM changes dropped") << "Button6" << true << QList<bool>{true} << QStringList{reload, read};
        QTest::newRow("reset, nothing in RAM alone") << "Button5" << false << QList<bool>{true} << QStringList{reset, read};
        QTest::newRow("reset, RAM changes kept") << "Button5" << true << QList<bool>{false} << QStringList{};
        QTest::newRow("reset, RAM changes dropped") << "Button5" << true << QList<bool>{true, true} << QStringList{reset, read};
    }
    void reloadAndResetAskForRamChangesThenReadAgain()
    {
        QFETCH(QString, button);
        QFETCH(bool, ramOnly);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, sent);
        QByteArray held = TuningFixture::sampleBlock();
        held[HighPowerStopMax] = char(150);
        f->port.onWrite = [this, held](const QByteArray &frame) {
            if (frame == bytesOf({0x02, 0xFF, 0x03}))
                f->port.feedSoon(held, 5);
            else if (frame == bytesOf({0x02, 0xAA, 0x03}))
                f->port.feedSoon(f->data.set().levelBytes(), 5);
        };
        f->page.display()->takeOverBlock(TuningFixture::sampleBlock());
        if (ramOnly)
            f->data.set().markRamChanged();
        f->prompts.answers = answers;
        f->find<QPushButton>(button)->click();
        QCOMPARE(f->prompts.questions.value(0).startsWith(QStringLiteral("Pozor !!!: Jednotka má v RAM změny, které nejsou v EEPROM.")),
                 ramOnly);
        QVERIFY(!f->prompts.unexpected);
        // The status poll goes on between them.
        const auto commands = [this] {
            QStringList out = f->writtenHex();
            out.removeAll(QStringLiteral("02 0F 03"));
            return out.mid(0, 2);
        };
        QTRY_COMPARE_WITH_TIMEOUT(commands(), sent, 3000);
        if (sent.isEmpty()) {
            QTest::qWait(UnitCommands::SettleBeforeReadMs + 100);
            QVERIFY(commands().isEmpty());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(int(f->data.set().paramByte(HighPowerStopMax)), 150, 3000);
        QVERIFY(!f->find<QLabel>(QStringLiteral("ZmenyJenVRam"))->isVisibleTo(&f->page));
    }
};

QTEST_MAIN(TestUnitFrames)
#include "tst_unitframes.moc"

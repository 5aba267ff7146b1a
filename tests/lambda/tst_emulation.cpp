#include "lambdafixture.h"
#include <QSignalSpy>
#include <QTest>

using namespace ParamBlock;

// Emulation levels and the emulation measurement: the frames they put on the line, and when.
class TestEmulation : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LambdaFixture> f;
    qint64 gap(int i) const { return f->port.written[i].atMs - f->port.written[i - 1].atMs; }
    QStringList levelTexts() const
    {
        QStringList out;
        for (const char *name : {"Edit2", "Edit3", "Edit4", "Edit5"})
            out << f->edit(name)->text();
        return out;
    }
    bool levelsEditable() const { return f->edit("Edit2")->isEnabled() && f->on<QPushButton>("Button38")->isEnabled(); }

    // A unit that keeps what it is sent; its level answer carries `own` in the bytes the tool
    // never writes. A unit with `ownLevel` keeps level 1 at that value whatever it is sent.
    void actAsUnit(int own, int ownLevel)
    {
        auto stored = std::make_shared<QByteArray>(TuningFixture::sampleBlock());
        auto levels = std::make_shared<QByteArray>(LambdaFixture::levelAnswer(10, 60, 10, 60, own));
        f->port.onWrite = [this, stored, levels, ownLevel](const QByteArray &frame) {
            if (frame.size() == ParamBlock::Size)
                *stored = frame;
            else if (frame.size() == 5 && quint8(frame[2]) >= 0xA3 && quint8(frame[2]) <= 0xA6)
                (*levels)[quint8(frame[2]) - 0xA3 + 1] = char(ownLevel >= 0 && frame[2] == char(0xA3) ? ownLevel : frame[3]);
            else if (frame == bytesOf({0x02, 0xFF, 0x03}))
                f->port.feedSoon(*stored, 5);
            else if (frame == bytesOf({0x02, 0xAA, 0x03}))
                f->port.feedSoon(*levels, 5);
        };
    }

private slots:
    void init() { f = std::make_unique<LambdaFixture>(); }
    void cleanup() { f.reset(); }

    void levelFieldsFollowTheLevelAnswers()
    {
        QVERIFY(!levelsEditable());
        QCOMPARE(levelTexts(), (QStringList{"10", "60", "10", "60"}));
        f->click("Button39");
        QCOMPARE(f->writtenHex(), QStringList{QStringLiteral("02 AA 03")});
        f->port.feed(LambdaFixture::levelAnswer(11, 61, 12, 62));
        QVERIFY(levelsEditable());
        QCOMPARE(levelTexts(), (QStringList{"11", "61", "12", "62"}));

        // An unanswered read keeps the unit's levels: the set still holds them, editable.
        f->click("Button39");
        QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 4000);
        QCOMPARE(levelTexts(), (QStringList{"11", "61", "12", "62"}));
        QCOMPARE(int(f->data.set().levelByte(1)), 11);
        QVERIFY(levelsEditable());
        // A set's levels are shown, and editable exactly when they are real ones.
        UnitSet &set = f->data.set();
        const QByteArray levels = set.levelBytes();
        set.setPlaceholderLevels();
        for (int i = 1; i <= 4; ++i)
            set.setLevelByte(i, i == 3 ? 33 : quint8(levels.at(i)));
        f->lambda.levels()->showLevels();
        QCOMPARE(levelTexts(), (QStringList{"11", "61", "33", "62"}));
        QVERIFY(!levelsEditable());
        set.setLevels(set.levelBytes());
        f->lambda.levels()->showLevels();
        QVERIFY(levelsEditable());
    }

    // After "Ulož úrovně" the unit is asked for the four levels back (163..166).
    void levelSaveIsReadBack_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QString>("said");
        QTest::newRow("unit holds them") << true << 4 << "Uloženo do RAM – trvale uloží RAM->EEPROM";
        QTest::newRow("unit answers no memory read") << false << 1 << "Odesláno";
    }
    void levelSaveIsReadBack()
    {
        QFETCH(bool, answers);
        f->click("Button39");
        f->port.feed(LambdaFixture::levelAnswer(10, 60, 10, 60));
        f->edit("Edit3")->setText(QStringLiteral("70"));
        auto memory = std::make_shared<QByteArray>(256, '\0');
        f->port.onWrite = [this, answers, memory](const QByteArray &frame) {
            if (frame.size() == 5 && quint8(frame[1]) == 0xB4)
                (*memory)[quint8(frame[2])] = frame[3];
            else if (answers && frame.size() == 5 && quint8(frame[1]) == 0x24)
                f->port.feedSoon(QByteArray("\x02", 1) + memory->at(quint8(frame[2])) + '\x03', 3);
        };
        f->port.written.clear();
        f->click("Button38");
        QFETCH(QString, said);
        QTRY_COMPARE_WITH_TIMEOUT(f->lambda.linkMessageLabel()->text(), said, 3000);
        const QStringList reads = f->writtenHex().filter(QStringLiteral("02 24"));
        QTEST(int(reads.size()), "reads");
        QCOMPARE(reads.value(0), QStringLiteral("02 24 A3 00 03"));
        QCOMPARE(reads.last(), answers ? QStringLiteral("02 24 A6 00 03") : QStringLiteral("02 24 A3 00 03"));
        QTRY_VERIFY(f->link.polling());

        // Levels the unit confirmed live in its RAM; this page's "RAM->EEPROM" makes them last.
        QLabel *ramOnly = f->on<QLabel>("ZmenyJenVRam1");
        QCOMPARE(ramOnly->isVisibleTo(&f->lambda), answers);
        f->click("Button35");
        QTRY_COMPARE_WITH_TIMEOUT(f->lambda.linkMessageLabel()->text(), QStringLiteral("Odesláno do EEPROM"), 2000);
        QVERIFY(!ramOnly->isVisibleTo(&f->lambda));
    }

    void levelWriteSendsFourFramesApartThenPollsAgain()
    {
        f->click("Button39");
        f->port.feed(LambdaFixture::levelAnswer(10, 60, 10, 60));
        f->edit("Edit4")->setText(QStringLiteral("12"));
        f->edit("Edit5")->setText(QStringLiteral("70"));
        f->link.setPollInterval(5000);
        f->port.written.clear();
        f->click("Button38");
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 4, 2000);
        QCOMPARE(f->writtenHex().mid(0, 4), (QStringList{"02 B4 A3 0A 03", "02 B4 A4 3C 03", "02 B4 A5 0C 03", "02 B4 A6 46 03"}));
        for (int i = 1; i < 4; ++i)
            QVERIFY2(gap(i) >= 95, qPrintable(QString::number(gap(i))));
        QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 2000);
    }

    void blockWriteSendsOnlyLevelsTheToolHas_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("unitsOwnBytes");
        QTest::addColumn<int>("unitsLevel1");
        QTest::addColumn<QString>("result");
        QTest::newRow("no level answer: placeholders stay home") << false << 1 << -1 << "Uloženo do RAM – trvale uloží RAM->EEPROM";
        QTest::newRow("levels from this unit") << true << 1 << -1 << "Uloženo do RAM – trvale uloží RAM->EEPROM";
        QTest::newRow("levels from another unit's file") << true << 9 << -1 << "Uloženo do RAM – trvale uloží RAM->EEPROM";
        QTest::newRow("unit keeps a level of its own") << true << 1 << 13 << "Nesprávné uložení!";
    }
    void blockWriteSendsOnlyLevelsTheToolHas()
    {
        QFETCH(bool, answered);
        QFETCH(int, unitsOwnBytes);
        QFETCH(int, unitsLevel1);
        QFETCH(QString, result);
        f->page.display()->takeOverBlock(TuningFixture::sampleBlock());
        f->click("Button39");
        if (answered) {
            f->port.feed(LambdaFixture::levelAnswer(14, 64, 15, 65, 1));
            f->edit("Edit3")->setText(QStringLiteral("66"));
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 4000);
        }
        actAsUnit(unitsOwnBytes, unitsLevel1);
        f->port.written.clear();
        QSignalSpy shown(&f->link, &LinkTransport::linkMessage);
        f->click("Button25");
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 4000);
        QCOMPARE(shown.first().first().toString(), result);
        QCOMPARE(f->lambda.linkMessageLabel()->text(), result);

        QStringList levelFrames;
        for (const QString &frame : f->writtenHex())
            if (frame.startsWith(QLatin1String("02 B4 A")))
                levelFrames << frame;
        const QStringList expected{"02 B4 A3 0E 03", "02 B4 A4 42 03", "02 B4 A5 0F 03", "02 B4 A6 41 03"};
        QCOMPARE(levelFrames, answered ? expected : QStringList());
        QCOMPARE(f->writtenHex().value(answered ? 6 : 2), QStringLiteral("02 FF 03"));
    }

    void measurementRunsUntilTheUnitsEndCode_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pollOn");
        QTest::newRow("idle ends on 0x85, bit 7 ignored") << "Button27" << QList<int>{1, 3, 0x85} << "kód 5" << false;
        QTest::newRow("raised ends on 21") << "Button32" << QList<int>{17, 21} << "kód 21" << false;
        QTest::newRow("idle ends on 7, polling on") << "Button27" << QList<int>{2, 7} << "kód 7" << true;
        QTest::newRow("raised ends on 10, polling on") << "Button32" << QList<int>{10} << "kód 10" << true;
    }
    void measurementRunsUntilTheUnitsEndCode()
    {
        QFETCH(QString, button);
        QFETCH(QList<int>, codes);
        QFETCH(QString, text);
        QFETCH(bool, pollOn);
        QSignalSpy taken(f->page.display(), &BlockDisplay::blockTakenOver);
        const bool idle = button == QLatin1String("Button27");
        f->click(qPrintable(button));
        QCOMPARE(f->writtenHex(), QStringList{idle ? QStringLiteral("02 70 03") : QStringLiteral("02 71 03")});
        QCOMPARE(f->on<QPushButton>(qPrintable(button))->text(), QStringLiteral("Přeruš emulace"));
        QCOMPARE(f->on<QPushButton>(idle ? "Button32" : "Button27")->text(),
                 idle ? QStringLiteral("Měření emulace zvýšené") : QStringLiteral("Měření emulace volnoběh"));
        QVERIFY(f->link.polling());
        for (int i = 0; i < codes.size(); ++i) {
            QCOMPARE(f->writtenHex().size(), 1);
            f->port.feed(bytesOf({0x02, 1, 2, 3, codes[i], 0x03}));
        }
        QCOMPARE(f->on<QLabel>("EmText")->text(), text);
        QCOMPARE(f->on<QLabel>("EmHex")->text(), QString::asprintf("%02X", codes.last() & 0x7F));
        QVERIFY(f->on<QLabel>("EmHex")->isHidden());
        QVERIFY(!f->parts.measurement.isMeasuring());
        QCOMPARE(f->on<QPushButton>("Button27")->text(), QStringLiteral("Spusť emulace volnoběh"));
        QCOMPARE(f->on<QPushButton>("Button32")->text(), QStringLiteral("Spusť emulace zvýšené"));
        QCOMPARE(f->writtenHex(1), QStringList{QStringLiteral("02 FF 03")});
        QCOMPARE(f->link.polling(), pollOn);
        QCOMPARE(f->parts.status.last().tps, 0);  // the live values stood still

        // The block comes again with the times the unit measured, then the levels are asked for.
        QByteArray b = TuningFixture::sampleBlock();
        b[EmulationTimeIdleRich] = 44;
        f->port.feed(b);
        QCOMPARE(taken.count(), 1);
        QCOMPARE(f->edit("Prom29")->text(), QStringLiteral("44"));
        QTRY_COMPARE_WITH_TIMEOUT(f->writtenHex(2), QStringList{QStringLiteral("02 AA 03")}, 2000);
    }

    void eitherButtonStopsAMeasurementAndSendsNothing_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::newRow("idle, stopped by raised") << "Button27" << "Button32";
        QTest::newRow("raised, stopped by itself") << "Button32" << "Button32";
    }
    void eitherButtonStopsAMeasurementAndSendsNothing()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        f->click(qPrintable(start));
        f->port.feed(bytesOf({0x02, 1, 2, 3, 0x70, 0x03}));
        QCOMPARE(f->on<QLabel>("EmText")->text(), QString());  // codes 100..127 have no text
        f->click(qPrintable(stop));
        QCOMPARE(f->port.written.size(), 1);
        QVERIFY(!f->parts.measurement.isMeasuring());
        QCOMPARE(f->on<QPushButton>("Button27")->text(), QStringLiteral("Spusť emulace volnoběh"));
        QCOMPARE(f->on<QPushButton>("Button32")->text(), QStringLiteral("Spusť emulace zvýšené"));
        // The next status reply is live values again.
        f->port.feed(bytesOf({0x02, 0x80, 0x1E, 0x64, 5, 0x03}));
        QCOMPARE(f->parts.status.last().tps, 128);
        QCOMPARE(f->port.written.size(), 1);
    }
};

QTEST_MAIN(TestEmulation)
#include "tst_emulation.moc"

#include "lambdafixture.h"
#include "livepage/bargauge.h"
#include "livepage/livebox.h"
#include <QTest>

using namespace ParamBlock;

// The status choices of the lambda page: what is shown from a block, what a click changes at
// once, and what "Ulož" commits and sends.
class TestLambdaStatus : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LambdaFixture> f;

private slots:
    void init() { f = std::make_unique<LambdaFixture>(); }
    void cleanup() { f.reset(); }

    void aBlockSetsEveryChoiceWithoutEditing_data()
    {
        QTest::addColumn<int>("lamst");
        QTest::addColumn<int>("tpsst");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QString>("times");
        QTest::newRow("0x36: two-band, 5 V, inverted") << 0x36 << 0x01
            << QStringList{"R11", "Typ5", "TypOpak", "Stoupajici"} << "1111";
        QTest::newRow("0x02: single band") << 0x02 << 0xFE << QStringList{"R01", "Typ1", "TypNorm", "Klesajici"} << "1100";
        QTest::newRow("0xC4: lambda on T") << 0xC4 << 0x00 << QStringList{"R10", "Typ1", "TypNorm", "Klesajici"} << "0000";
        QTest::newRow("0x00: open loop") << 0x00 << 0x03 << QStringList{"R00", "Typ1", "TypNorm", "Stoupajici"} << "0000";
    }
    void aBlockSetsEveryChoiceWithoutEditing()
    {
        QFETCH(int, lamst);
        QFETCH(int, tpsst);
        QFETCH(QStringList, checked);
        QFETCH(QString, times);
        QByteArray b = f->blockWith(lamst, tpsst);
        b[SetVersion] = 5;
        b[EmulationTimeIdleRich] = 7, b[EmulationTimeIdleLean] = 8, b[EmulationTimeRaisedRich] = 9, b[EmulationTimeRaisedLean] = 10;
        f->page.display()->takeOverBlock(b);
        QCOMPARE(f->checked(), checked);
        QCOMPARE(f->timesEnabled(), times);
        QCOMPARE(f->edit("Prom31")->text(), QStringLiteral("9"));
        // Showing is no edit: the version, the times and the wire stay as they were.
        QCOMPARE(f->block(), b);
        QCOMPARE(f->label("Verze"), QStringLiteral("Sada 5"));
        QVERIFY(f->port.written.isEmpty());
        QCOMPARE(f->prompts.beeps, 0);
    }

    void saveCommitsTheChoicesAndWritesTheBlock_data()
    {
        QTest::addColumn<int>("lamst");
        QTest::addColumn<int>("tpsst");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("savedLamst");
        QTest::addColumn<int>("savedTpsst");
        QTest::addColumn<QString>("times");
        QTest::newRow("no change sets only bit 3") << 0x00 << 0x01 << QStringList{} << 0x08 << 0x01 << "0000";
        QTest::newRow("lambda on T keeps bits 0, 6, 7") << 0xC1 << 0x01 << QStringList{"R10"} << 0xCD << 0x01 << "0000";
        QTest::newRow("every group changed") << 0x00 << 0xFF << QStringList{"R11", "Typ5", "TypOpak", "Klesajici"}
                                             << 0x3E << 0xFE << "1111";
        QTest::newRow("back and forth") << 0x36 << 0x00 << QStringList{"R01", "R00", "Typ1", "TypNorm", "Stoupajici", "R01"}
                                        << 0x0A << 0x01 << "1100";
    }
    void saveCommitsTheChoicesAndWritesTheBlock()
    {
        QFETCH(int, lamst);
        QFETCH(int, tpsst);
        QFETCH(QStringList, clicks);
        QFETCH(int, savedLamst);
        QFETCH(int, savedTpsst);
        QFETCH(QString, times);
        QByteArray b = f->blockWith(lamst, tpsst);
        b[SetVersion] = 5;
        f->page.display()->takeOverBlock(b);
        for (const QString &name : clicks)
            f->click(qPrintable(name));
        QCOMPARE(f->timesEnabled(), times);
        // A click drops the version at once; the status bytes wait for "Ulož".
        QCOMPARE(int(f->data.set().paramByte(SetVersion)), clicks.isEmpty() ? 5 : 0);
        QCOMPARE(int(f->data.set().paramByte(LambdaFlags)), lamst);
        QCOMPARE(int(f->data.set().paramByte(TpsFlags)), tpsst);
        QVERIFY(f->port.written.isEmpty());

        f->click("Button25");
        QCOMPARE(int(f->data.set().paramByte(LambdaFlags)), savedLamst);
        QCOMPARE(int(f->data.set().paramByte(TpsFlags)), savedTpsst);
        QCOMPARE(int(f->data.set().paramByte(SetVersion)), 0);
        QCOMPARE(int(f->data.set().lambdaStatus()), savedLamst);
        QCOMPARE(f->data.set().tpsRising(), bool(savedTpsst & 1));
        QCOMPARE(f->label("LAMST"), byteToBinary(unsigned(savedLamst)));
        QCOMPARE(f->label("TPSST"), byteToBinary(unsigned(savedTpsst)));
        QCOMPARE(f->writtenHex(), QStringList{QStringLiteral("02 EE 03")});
        QCOMPARE(f->link.linkState(), LinkState::SilenceAfterWriteCode);
    }

    // "Ulož" writes as the tuning page's button does: a block that is no unit's or file's goes
    // only after a Yes.
    void saveOfABlindBlockAsksFirst()
    {
        f->data.set().reset();  // the start-up set: no unit's or file's block
        f->prompts.answers = {false};
        f->click("Button25");
        QCOMPARE(f->prompts.questions.size(), 1);
        QVERIFY(f->prompts.questions.first().startsWith(QStringLiteral("Pozor !!!: ")));
        QVERIFY(f->port.written.isEmpty());
        f->prompts.answers = {true};
        f->click("Button25");
        QCOMPARE(f->writtenHex(), QStringList{QStringLiteral("02 EE 03")});
        QVERIFY(!f->prompts.unexpected);
    }

    void unsavedChoicesGoWithANewBlock()
    {
        f->page.display()->takeOverBlock(f->blockWith(0x06, 0x01));
        f->click("Klesajici");
        f->click("R00");
        f->page.display()->takeOverBlock(f->blockWith(0x06, 0x01));
        QCOMPARE(f->checked(), (QStringList{"R11", "Typ1", "TypNorm", "Stoupajici"}));
        // One click now changes that one choice against the bytes just taken over.
        f->click("TypOpak");
        f->click("Button25");
        QCOMPARE(int(f->data.set().paramByte(LambdaFlags)), 0x2E);
        QCOMPARE(int(f->data.set().paramByte(TpsFlags)), 0x01);
    }

    void probeChoiceSetsBothLambdaGaugesAtOnce()
    {
        BarGauge *gauges[2] = {f->page.liveBox()->lambdaGauge(), f->live.lambdaGauge()};
        f->click("Typ5");
        for (BarGauge *g : gauges)
            QCOMPARE(g->maximum(), 255);
        f->click("Typ1");
        for (BarGauge *g : gauges)
            QCOMPARE(g->maximum(), 60);
    }

    void byteFieldsKeepToOneByte_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("beeps");
        QTest::newRow("level above 255") << "Edit3" << "300" << "255" << 255 << 0;
        QTest::newRow("negative level") << "Edit3" << "-4" << "0" << 0 << 0;
        QTest::newRow("level") << "Edit4" << "12" << "12" << 12 << 0;
        QTest::newRow("cleared time") << "Prom30" << "" << "0" << 0 << 1;
        QTest::newRow("time") << "Prom32" << "77" << "77" << 77 << 0;
    }
    void byteFieldsKeepToOneByte()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        QFETCH(int, beeps);
        f->page.display()->takeOverBlock([] { QByteArray b = TuningFixture::sampleBlock(); b[SetVersion] = 5; return b; }());
        const bool time = field.startsWith(QLatin1String("Prom"));
        const int index = field.mid(4).toInt();
        f->edit(qPrintable(field))->setText(QStringLiteral("1"));
        f->edit(qPrintable(field))->setText(typed);
        QCOMPARE(f->edit(qPrintable(field))->text(), shown);
        QCOMPARE(f->prompts.beeps, beeps);
        // Times are block bytes and drop the version; levels live outside the block.
        if (time)
            QCOMPARE(int(f->data.set().paramByte(index)), stored);
        else
            QCOMPARE(int(f->data.set().levelByte(index - 1)), stored);
        QCOMPARE(int(f->data.set().paramByte(SetVersion)), time ? 0 : 5);
    }
};

QTEST_MAIN(TestLambdaStatus)
#include "tst_lambdastatus.moc"

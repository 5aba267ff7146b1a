#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include <QSignalSpy>
#include <QTest>

namespace {
QByteArray block(quint8 first = 0x01, quint8 fill = 0x20)
{
    QByteArray b(34, char(fill));
    b[0] = char(first);
    b[33] = 0x03;
    return b;
}
QByteArray levels(int a, int b, int c, int d) { return bytesOf({0x03, a, b, c, d, 1, 2, 3, 4, 0x04}); }
}

class TestUnitLink : public QObject
{
    Q_OBJECT
private:
    FakePort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    UnitData *data = nullptr;
    UnitLink *link = nullptr;

    QStringList writtenHex(int from = 0) const
    {
        QStringList out;
        for (int i = from; i < port->written.size(); ++i)
            out << hex(port->written[i].bytes);
        return out;
    }

private slots:
    void init()
    {
        port = new FakePort;
        prompts = new ScriptedPrompts;
        data = new UnitData;
        link = new UnitLink(port, data, prompts);
        port->open(QStringLiteral("fake"), nullptr);
        link->prepareFrames();
    }
    void cleanup()
    {
        delete link;
        delete data;
        delete prompts;
        delete port;
    }

    void framesArePreparedWithTheirFixedBytes()
    {
        QCOMPARE(hex(link->frames().command), QStringLiteral("02 00 03"));
        QCOMPARE(hex(link->frames().write), QStringLiteral("02 B4 00 00 03"));
        QCOMPARE(hex(link->frames().service), QStringLiteral("02 14 00 00 03"));
        QCOMPARE(hex(link->frames().aux), QStringLiteral("02 24 00 00 03"));
        QCOMPARE(data->paramBlock.front(), quint8(1));
        QCOMPARE(data->paramBlock.back(), quint8(3));
        QCOMPARE(int(std::count(data->paramBlock.begin(), data->paramBlock.end(), 0)), 32);
        QCOMPARE(hex(QByteArray(reinterpret_cast<const char *>(data->levelBlock.data()), 10)),
                 QStringLiteral("03 00 00 00 00 00 00 00 00 04"));
        QVERIFY(port->written.isEmpty());
    }

    void statusReplyInPiecesGivesTheLiveValues()
    {
        QSignalSpy refreshed(data, &UnitData::liveValuesChanged);
        port->arriveLater(bytesOf({0x64, 0x00, 0x03}), 40);
        port->feed(bytesOf({0x02, 0x80, 0x1E}));
        QCOMPARE(data->tpsValue, 128);
        QCOMPARE(data->lambdaValue, 30);
        QCOMPARE(data->positionValue, 100);
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(link->linkState(), 0);
        QCOMPARE(prompts->beeps, 0);
    }

    void malformedStatusRepliesAreRejectedAndTheLineIsResynchronised_data()
    {
        QTest::addColumn<QByteArray>("arrives");
        QTest::addColumn<QByteArray>("thenLate");
        QTest::newRow("wrong end byte") << bytesOf({0x02, 1, 2, 3, 0, 0x04}) << QByteArray();
        QTest::newRow("wrong start byte") << bytesOf({0x01, 1, 2, 3, 0, 0x03}) << QByteArray();
        // Three bytes, then silence past the 200 ms gap: the old reply's end byte must not complete it.
        QTest::newRow("short read") << bytesOf({0x02, 1, 2}) << bytesOf({3, 0, 3});
        // A stray byte in front shifts the frame; the rest of it must not start the next read.
        QTest::newRow("stray byte") << bytesOf({0x55, 0x02, 1, 2, 3, 0, 0x03}) << QByteArray();
    }
    void malformedStatusRepliesAreRejectedAndTheLineIsResynchronised()
    {
        QFETCH(QByteArray, arrives);
        QFETCH(QByteArray, thenLate);
        port->feed(bytesOf({0x02, 9, 9, 9, 0, 0x03}));
        QCOMPARE(data->tpsValue, 9);
        QSignalSpy errors(link, &UnitLink::statusError);
        if (!thenLate.isEmpty())
            port->arriveLater(thenLate, 250);
        port->feed(arrives);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Error Obeznik"));
        QCOMPARE(prompts->beeps, 1);
        QCOMPARE(data->tpsValue, 9);
        QCOMPARE(data->lambdaValue, 9);
        QVERIFY(port->inbound.isEmpty());
        port->feed(bytesOf({0x02, 7, 8, 6, 0, 0x03}));
        QCOMPARE(data->tpsValue, 7);
        QCOMPARE(data->lambdaValue, 8);
        QCOMPARE(data->positionValue, 6);
    }

    void pollTickAsksForStatusAndReturnsTheLinkToStatus()
    {
        link->setLinkState(UnitLink::LevelReadState);
        link->poll().setInterval(30);
        link->poll().enable();
        QTRY_VERIFY_WITH_TIMEOUT(port->written.size() >= 2, 2000);
        link->poll().disable();
        QCOMPARE(writtenHex().first(), QStringLiteral("02 0F 03"));
        QCOMPARE(link->linkState(), 0);
        const qint64 gap = port->written[1].atMs - port->written[0].atMs;
        QVERIFY2(gap >= 20 && gap < 500, qPrintable(QString::number(gap)));
    }

    void blockReadTakesTheBlockThenAsksForTheLevels()
    {
        QSignalSpy taken(link, &UnitLink::blockReceived);
        QSignalSpy shown(link, &UnitLink::linkMessage);
        QSignalSpy levelsIn(link, &UnitLink::levelsReceived);
        link->poll().enable();
        link->readBlock();
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 FF 03")});
        QCOMPARE(link->linkState(), 1);
        QVERIFY(!link->poll().isEnabled());
        QVERIFY(link->replyGuard().isEnabled());

        port->arriveLater(block().mid(20), 5);
        port->feed(block().left(20));
        QCOMPARE(taken.count(), 1);
        QCOMPARE(taken.first().first().toByteArray(), block());
        QCOMPARE(shown.first().first().toString(), QStringLiteral("Načteno  OK"));
        QCOMPARE(writtenHex(1), QStringList{QStringLiteral("02 AA 03")});
        const qint64 pause = port->written[1].atMs - port->written[0].atMs;
        QVERIFY2(pause >= 95, qPrintable(QString::number(pause)));
        QCOMPARE(link->linkState(), 170);

        port->feed(levels(11, 61, 12, 62));
        QCOMPARE(levelsIn.count(), 1);
        QCOMPARE(int(data->levelBlock[1]), 11);
        QCOMPARE(int(data->levelBlock[4]), 62);
        QCOMPARE(int(data->levelBlock[9]), 4);
        QCOMPARE(link->linkState(), 0);
        QVERIFY(link->poll().isEnabled());
        QVERIFY(!link->replyGuard().isEnabled());
    }

    void rejectedBlockStillAsksForTheLevels()
    {
        QSignalSpy taken(link, &UnitLink::blockReceived);
        link->readBlock();
        port->feed(block(0x02));
        QCOMPARE(taken.count(), 0);
        QCOMPARE(writtenHex(1), QStringList{QStringLiteral("02 AA 03")});
        // A level block whose last byte is not 04 is not taken.
        QByteArray bad = levels(1, 2, 3, 4);
        bad[9] = 0x05;
        port->feed(bad);
        QCOMPARE(int(data->levelBlock[1]), 0);
    }

    void blockWriteSendsBlockAndLevelsThenChecksBoth()
    {
        for (int i = 1; i <= 32; ++i)
            data->paramBlock[std::size_t(i)] = quint8(i * 3);
        data->paramBlock[0] = 0;
        std::array<quint8, 4> lv{10, 60, 12, 70};
        std::copy(lv.begin(), lv.end(), data->levelBlock.begin() + 1);
        QSignalSpy shown(link, &UnitLink::linkMessage);

        link->writeBlock();
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 EE 03")});
        QCOMPARE(link->linkState(), 5);
        QCOMPARE(int(data->paramBlock[0]), 1);
        QTRY_COMPARE_WITH_TIMEOUT(link->linkState(), 20, 3000);

        const QByteArray sent(reinterpret_cast<const char *>(data->paramBlock.data()), 34);
        QCOMPARE(writtenHex(1), (QStringList{hex(sent), QStringLiteral("02 B4 A3 0A 03"), QStringLiteral("02 B4 A4 3C 03"),
                                             QStringLiteral("02 B4 A5 0C 03"), QStringLiteral("02 B4 A6 46 03"),
                                             QStringLiteral("02 FF 03")}));
        const auto &w = port->written;
        QVERIFY(w[1].atMs - w[0].atMs >= 45);
        for (int i = 2; i <= 5; ++i)
            QVERIFY2(w[i].atMs - w[i - 1].atMs >= 95, qPrintable(QString::number(i)));
        QVERIFY(link->poll().isEnabled());
        QVERIFY(link->replyGuard().isEnabled());

        port->feed(sent);
        QCOMPARE(link->linkState(), 21);
        QCOMPARE(writtenHex(7), QStringList{QStringLiteral("02 AA 03")});
        QVERIFY(w[7].atMs - w[6].atMs >= 95);
        port->feed(bytesOf({0x03, 10, 60, 12, 70, 0, 0, 0, 0, 0x04}));
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Uložení OK"));
        QCOMPARE(link->linkState(), 0);
        QVERIFY(!link->replyGuard().isEnabled());
    }

    void writeCheckReportsADifferentBlockOrLevels()
    {
        QSignalSpy shown(link, &UnitLink::linkMessage);
        link->writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->linkState(), 20, 3000);
        const int before = port->written.size();
        QByteArray back(reinterpret_cast<const char *>(data->paramBlock.data()), 34);
        back[17] = 0x33;
        port->feed(back);
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Nesprávné uložení!"));
        QCOMPARE(port->written.size(), before);  // the levels are not asked for
        QVERIFY(!link->replyGuard().isEnabled());

        link->writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->linkState(), 20, 3000);
        port->feed(QByteArray(reinterpret_cast<const char *>(data->paramBlock.data()), 34));
        QCOMPARE(link->linkState(), 21);
        port->feed(levels(1, 0, 0, 0));
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Nesprávné uložení!"));
        QCOMPARE(int(data->levelBlock[1]), 0);  // the tool's levels are not replaced by the answer
    }

    void aStatusTailWhileTheBlockIsPendingDoesNotLoseTheWrite()
    {
        link->writeBlock();
        port->feed(bytesOf({0x1E, 0x64, 0x00, 0x03}));
        QCOMPARE(link->linkState(), 5);
        QVERIFY(port->inbound.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(link->linkState(), 20, 3000);
        QCOMPARE(port->written.size(), 7);  // 238, the block, four levels, 255
        QCOMPARE(port->written[1].bytes.size(), 34);
    }

    void otherUnexpectedBytesAreDroppedAndTheLinkReturnsToStatus()
    {
        link->setLinkState(99);
        port->feed(bytesOf({0x02, 0x0F}));
        QCOMPARE(link->linkState(), 0);
        QVERIFY(port->inbound.isEmpty());
    }

    void aLostReadBackKeepsTheLevelsJustWritten()
    {
        std::array<quint8, 4> lv{11, 55, 13, 66};
        std::copy(lv.begin(), lv.end(), data->levelBlock.begin() + 1);
        QSignalSpy reset(link, &UnitLink::levelsReset);
        link->writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->linkState(), 20, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!link->replyGuard().isEnabled(), 3000);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(int(data->levelBlock[1]), 11);
        QCOMPARE(int(data->levelBlock[4]), 66);
        QVERIFY(link->poll().isEnabled());
    }

    void silentUnitEndsInTheReplyGuard()
    {
        QSignalSpy reset(link, &UnitLink::levelsReset);
        link->readBlock();
        QTest::qWait(1500);
        QVERIFY(!link->poll().isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(reset.count(), 1, 2000);
        QVERIFY(link->poll().isEnabled());
        QCOMPARE((std::array<int, 4>{data->levelBlock[1], data->levelBlock[2], data->levelBlock[3], data->levelBlock[4]}),
                 (std::array<int, 4>{10, 60, 10, 60}));
        QCOMPARE(link->linkState(), 1);  // the next poll tick returns it to 0
    }

    void aSecondMessageDoesNotExtendTheFirst()
    {
        QSignalSpy hidden(link, &UnitLink::linkMessageHidden);
        QElapsedTimer clock;
        clock.start();
        link->ShowLinkMessage(QStringLiteral("Načteno  OK"));
        QTest::qWait(800);
        link->ShowLinkMessage(QStringLiteral("Uložení OK"));
        QTRY_COMPARE_WITH_TIMEOUT(hidden.count(), 1, 4000);
        QVERIFY2(clock.elapsed() < 2700, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!link->messageTimer().isEnabled());
    }

    void enablingARunningTimerKeepsItsCountdown()
    {
        LinkTimer timer(QStringLiteral("t"), 300, true);
        QSignalSpy fired(&timer, &LinkTimer::fired);
        QElapsedTimer clock;
        clock.start();
        timer.enable();
        QTest::qWait(200);
        timer.enable();
        QTRY_COMPARE_WITH_TIMEOUT(fired.count(), 1, 2000);
        QVERIFY2(clock.elapsed() < 450, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!timer.isEnabled());
    }

    void aClosedPortSendsNothingAndNothingFails()
    {
        port->close();
        link->readBlock();
        link->writeBlock();
        link->commandWithoutAnswer(UnitCode::RamToEeprom);
        link->WriteParamByte(63, 0);
        QVERIFY(port->written.isEmpty());
    }

    void measurementCodesGoToTheMeasurementWhileItRuns()
    {
        QList<int> codes;
        link->measurementHandler = [&](quint8 code) { codes << code; return code != 5; };
        data->measuring = true;
        link->poll().enable();
        port->feed(bytesOf({0x02, 1, 2, 3, 0x83, 0x03}));
        QVERIFY(link->poll().isEnabled());
        port->feed(bytesOf({0x02, 1, 2, 3, 5, 0x03}));
        QCOMPARE(codes, (QList<int>{0x83, 5}));
        QVERIFY(!link->poll().isEnabled());
        QCOMPARE(data->tpsValue, 0);  // the live displays stand still
    }

    void featureStatesHandTheirPayloadOn()
    {
        QSignalSpy diag(link, &UnitLink::diagnosticsReceived);
        link->requestDiagnostics();
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 80 03")});
        port->feed(block(0x02));
        QCOMPARE(diag.count(), 1);
        QVERIFY(link->diagMessageTimer().isEnabled());
        QCOMPARE(link->linkState(), 0);

        QSignalSpy aux(link, &UnitLink::auxValueReceived);
        link->setLinkState(UnitLink::CutOffState);
        port->feed(bytesOf({0x02, 0x2A, 0x03}));
        port->feed(bytesOf({0x02, 0x2B, 0x04}));
        QCOMPARE(aux.count(), 1);
        QCOMPARE(aux.first().first().toInt(), 42);
        QCOMPARE(link->linkState(), 6);

        QList<int> samples;
        connect(link, &UnitLink::recordedValue, this, [&](int, int, int value) { samples << value; });
        link->startRecording(5, 6, true);
        const int clearsBefore = port->clears;
        port->feed(bytesOf({0x02, 7, 0x03, 0x02}));
        QCOMPARE(port->clears, clearsBefore);  // first channel of two: the next answer may be waiting
        port->feed(bytesOf({8, 0x03}));
        QCOMPARE(samples, (QList<int>{7, 8}));
        QCOMPARE(port->clears, clearsBefore + 1);
        QVERIFY(link->scopeTimer().isEnabled());
        QCOMPARE(link->linkState(), 10);
    }
};

QTEST_GUILESS_MAIN(TestUnitLink)
#include "tst_unitlink.moc"

#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "link/linkclock.h"
#include "link/unitdata.h"
#include <QRandomGenerator>
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
QByteArray status(int tps) { return bytesOf({0x02, tps, 0x1E, 0x64, 0x00, 0x03}); }
// Noise as a disturbed line brings it: framing bytes in the wrong places included.
QByteArray noise() { return bytesOf({0x55, 0x03, 0x01, 0xFF, 0x02, 0x00, 0x04, 0x02, 0x7E, 0x03, 0x01}); }
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
        link = new UnitLink(port, data);
        announceLinkOutcomes(*link);
        port->open(QStringLiteral("fake"), nullptr);
        link->transport.prepareFrames();
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
        QCOMPARE(hex(link->transport.frames().command), QStringLiteral("02 00 03"));
        QCOMPARE(hex(link->transport.frames().write), QStringLiteral("02 B4 00 00 03"));
        QCOMPARE(hex(link->transport.frames().service), QStringLiteral("02 14 00 00 03"));
        QCOMPARE(hex(link->transport.frames().aux), QStringLiteral("02 24 00 00 03"));
        const QByteArray params = data->set().paramBytes();
        QCOMPARE(quint8(params.front()), quint8(1));
        QCOMPARE(quint8(params.back()), quint8(3));
        QCOMPARE(int(params.count('\0')), 32);
        QCOMPARE(hex(data->set().levelBytes()),
                 QStringLiteral("03 00 00 00 00 00 00 00 00 04"));
        QVERIFY(port->written.isEmpty());
    }

    void statusReplyInPiecesGivesTheLiveValues()
    {
        QSignalSpy refreshed(&link->status, &StatusPoll::liveValues);
        port->arriveLater(bytesOf({0x64, 0x00, 0x03}), 40);
        port->feed(bytesOf({0x02, 0x80, 0x1E}));
        QCOMPARE(refreshed.count(), 0);  // the first half waits, nothing blocks
        QTRY_COMPARE_WITH_TIMEOUT(refreshed.count(), 1, 2000);
        QCOMPARE(link->status.last().tps, 128);
        QCOMPARE(link->status.last().lambda, 30);
        QCOMPARE(link->status.last().position, 100);
        QCOMPARE(refreshed.count(), 1);
        QVERIFY(refreshed.first().first().value<LiveValues>() == (LiveValues{30, 128, 100}));
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QCOMPARE(prompts->beeps, 0);
    }

    void malformedStatusRepliesAreRejectedAndTheLineIsResynchronised_data()
    {
        QTest::addColumn<QByteArray>("arrives");
        QTest::addColumn<QByteArray>("thenLate");
        QTest::addColumn<int>("rejections");
        QTest::newRow("wrong end byte") << bytesOf({0x02, 1, 2, 3, 0, 0x04}) << QByteArray() << 1;
        QTest::newRow("wrong start byte") << bytesOf({0x01, 1, 2, 3, 0, 0x03}) << QByteArray() << 1;
        // Three bytes, then silence past the 200 ms gap: the old reply's end byte must not complete
        // it, and the late rest is noise of its own.
        QTest::newRow("short read") << bytesOf({0x02, 1, 2}) << bytesOf({3, 0, 3}) << 2;
    }
    void malformedStatusRepliesAreRejectedAndTheLineIsResynchronised()
    {
        QFETCH(QByteArray, arrives);
        QFETCH(QByteArray, thenLate);
        QFETCH(int, rejections);
        port->feed(bytesOf({0x02, 9, 9, 9, 0, 0x03}));
        QCOMPARE(link->status.last().tps, 9);
        QSignalSpy errors(&link->status, &StatusPoll::statusError);
        if (!thenLate.isEmpty())
            port->arriveLater(thenLate, 250);
        port->feed(arrives);
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), rejections, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!link->transport.lineQuiet().isEnabled(), 3000);
        QCOMPARE(errors.count(), rejections);
        QCOMPARE(link->status.last().tps, 9);
        QCOMPARE(link->status.last().lambda, 9);
        QCOMPARE(link->transport.bytesWaiting(), 0);
        port->feed(bytesOf({0x02, 7, 8, 6, 0, 0x03}));
        QCOMPARE(link->status.last().tps, 7);
        QCOMPARE(link->status.last().lambda, 8);
        QCOMPARE(link->status.last().position, 6);
    }

    void pollTickAsksForStatusAndReturnsTheLinkToStatus()
    {
        link->transport.setLinkState(LinkState::Levels);
        link->transport.setPollInterval(30);
        link->transport.startPolling();
        QTRY_VERIFY_WITH_TIMEOUT(port->written.size() >= 2, 2000);
        link->transport.stopPolling();
        QCOMPARE(writtenHex().first(), QStringLiteral("02 0F 03"));
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        const qint64 gap = port->written[1].atMs - port->written[0].atMs;
        QVERIFY2(gap >= 20 && gap < 500, qPrintable(QString::number(gap)));
    }

    void blockReadTakesTheBlockThenAsksForTheLevels()
    {
        QSignalSpy taken(&link->blockRead, &BlockRead::blockReceived);
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        QSignalSpy levelsIn(&link->levels, &LevelExchange::levelsReceived);
        link->transport.startPolling();
        link->blockRead.readBlock();
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 FF 03")});
        QCOMPARE(link->transport.linkState(), LinkState::Block);
        QVERIFY(!link->transport.polling());
        QVERIFY(link->levels.replyGuard().isEnabled());

        port->arriveLater(block().mid(20), 5);
        port->feed(block().left(20));
        QTRY_COMPARE_WITH_TIMEOUT(taken.count(), 1, 2000);
        QCOMPARE(taken.first().first().toByteArray(), block());
        QVERIFY(data->set().blockValid());
        QCOMPARE(shown.first().first().toString(), QStringLiteral("Načteno  OK"));
        QTRY_COMPARE_WITH_TIMEOUT(writtenHex(1), QStringList{QStringLiteral("02 AA 03")}, 2000);
        const qint64 pause = port->written[1].atMs - port->written[0].atMs;
        QVERIFY2(pause >= 95, qPrintable(QString::number(pause)));
        QCOMPARE(link->transport.linkState(), LinkState::Levels);

        port->feed(levels(11, 61, 12, 62));
        QCOMPARE(levelsIn.count(), 1);
        QVERIFY(data->set().levelsValid());
        QCOMPARE(int(data->set().levelByte(1)), 11);
        QCOMPARE(int(data->set().levelByte(4)), 62);
        QCOMPARE(int(data->set().levelByte(9)), 4);
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QVERIFY(link->transport.polling());
        QVERIFY(!link->levels.replyGuard().isEnabled());
    }

    void rejectedBlockStillAsksForTheLevels()
    {
        QSignalSpy taken(&link->blockRead, &BlockRead::blockReceived);
        data->set().markBlockValid();
        link->blockRead.readBlock();
        port->feed(block(0x02));
        QTRY_COMPARE_WITH_TIMEOUT(writtenHex(1), QStringList{QStringLiteral("02 AA 03")}, 2000);
        QCOMPARE(taken.count(), 0);
        QVERIFY(data->set().blockValid());  // the block on screen is still the one read before
        // A level block whose last byte is not 04 is not taken.
        QByteArray bad = levels(1, 2, 3, 4);
        bad[9] = 0x05;
        port->feed(bad);
        QCOMPARE(int(data->set().levelByte(1)), 0);
    }

    void blockWriteSendsBlockAndLevelsThenChecksBoth()
    {
        for (int i = 1; i <= 32; ++i)
            data->set().setParamByte(i, quint8(i * 3));
        data->set().setParamByte(0, 0);
        data->set().setLevels(bytesOf({0x03, 10, 60, 12, 70, 0, 0, 0, 0, 0x04}));
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        QSignalSpy verified(&link->blockWrite, &BlockWrite::writeVerified);
        data->set().markBlockValid();

        link->blockWrite.writeBlock();
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 EE 03")});
        QCOMPARE(link->transport.linkState(), LinkState::SilenceAfterWriteCode);
        QCOMPARE(int(data->set().paramByte(0)), 1);
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);

        const QByteArray sent = data->set().paramBytes();
        QCOMPARE(writtenHex(1), (QStringList{hex(sent), QStringLiteral("02 B4 A3 0A 03"), QStringLiteral("02 B4 A4 3C 03"),
                                             QStringLiteral("02 B4 A5 0C 03"), QStringLiteral("02 B4 A6 46 03"),
                                             QStringLiteral("02 FF 03")}));
        const auto &w = port->written;
        QVERIFY(w[1].atMs - w[0].atMs >= 45);
        for (int i = 2; i <= 5; ++i)
            QVERIFY2(w[i].atMs - w[i - 1].atMs >= 95, qPrintable(QString::number(i)));
        QVERIFY(link->transport.polling());
        QVERIFY(link->blockWrite.replyGuard().isEnabled());

        port->feed(sent);
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenLevels, 2000);
        QCOMPARE(writtenHex(7), QStringList{QStringLiteral("02 AA 03")});
        QVERIFY(w[7].atMs - w[6].atMs >= 95);
        port->feed(bytesOf({0x03, 10, 60, 12, 70, 0, 0, 0, 0, 0x04}));
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"));
        QCOMPARE(verified.count(), 1);
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QVERIFY(!link->blockWrite.replyGuard().isEnabled());
    }

    void writeCheckReportsADifferentBlockOrLevels()
    {
        data->set().setLevels(data->set().levelBytes());
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        data->set().markBlockValid();
        link->blockWrite.writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);
        const int before = port->written.size();
        QByteArray back = data->set().paramBytes();
        back[17] = 0x33;
        port->feed(back);
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Nesprávné uložení!"));
        QCOMPARE(port->written.size(), before);  // the levels are not asked for
        QVERIFY(!link->blockWrite.replyGuard().isEnabled());

        link->blockWrite.writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);
        port->feed(data->set().paramBytes());
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenLevels, 2000);
        port->feed(levels(1, 0, 0, 0));
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Nesprávné uložení!"));
        QCOMPARE(int(data->set().levelByte(1)), 0);  // the tool's levels are not replaced by the answer
    }

    void aStatusTailWhileTheBlockIsPendingDoesNotLoseTheWrite()
    {
        data->set().markBlockValid();
        data->set().setLevels(data->set().levelBytes());
        link->blockWrite.writeBlock();
        port->feed(bytesOf({0x1E, 0x64, 0x00, 0x03}));
        QCOMPARE(link->transport.linkState(), LinkState::SilenceAfterWriteCode);
        QVERIFY(port->inbound.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);
        QCOMPARE(port->written.size(), 7);  // 238, the block, four levels, 255
        QCOMPARE(port->written[1].bytes.size(), 34);
    }

    void otherUnexpectedBytesAreDroppedAndTheLinkReturnsToStatus()
    {
        link->transport.setLinkState(LinkState(99));
        port->feed(bytesOf({0x02, 0x0F}));
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QVERIFY(port->inbound.isEmpty());
    }

    void aLostReadBackKeepsTheLevelsJustWritten()
    {
        const quint8 lv[4] = {11, 55, 13, 66};
        for (int i = 0; i < 4; ++i)
            data->set().setLevelByte(i + 1, lv[i]);
        QSignalSpy reset(&link->levels, &LevelExchange::levelsReset);
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        data->set().markBlockValid();
        link->blockWrite.writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!link->blockWrite.replyGuard().isEnabled(), 3000);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.first().first().toString(), QStringLiteral("Uložení neověřeno!"));
        QCOMPARE(int(data->set().levelByte(1)), 11);
        QCOMPARE(int(data->set().levelByte(4)), 66);
        QVERIFY(link->transport.polling());
    }

    void silentUnitEndsInTheReplyGuard()
    {
        QSignalSpy reset(&link->levels, &LevelExchange::levelsReset);
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        data->set().markBlockValid();
        link->blockRead.readBlock();
        QTest::qWait(1500);
        QVERIFY(!link->transport.polling());
        QTRY_COMPARE_WITH_TIMEOUT(reset.count(), 1, 2000);
        QVERIFY(link->transport.polling());
        QCOMPARE((std::array<int, 4>{data->set().levelByte(1), data->set().levelByte(2), data->set().levelByte(3), data->set().levelByte(4)}),
                 (std::array<int, 4>{10, 60, 10, 60}));
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);  // a late block is no answer to this read
        QVERIFY(data->set().blockValid());  // the block on screen came from the unit and is still there
        QVERIFY(!data->set().levelsValid());
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.first().first().toString(), QStringLiteral("Jednotka neodpovídá!"));
    }

    // A read that brings nothing says so; one whose block came is whole for a unit without levels.
    void anUnansweredReadSaysSo_data()
    {
        QTest::addColumn<bool>("levelsOnly");
        QTest::addColumn<QByteArray>("blockAnswer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("level read") << true << QByteArray() << QStringLiteral("Jednotka neodpovídá!");
        QTest::newRow("block read, garbled block") << false << block(0x02) << QStringLiteral("Jednotka neodpovídá!");
        QTest::newRow("block read, no levels") << false << block() << QStringLiteral("Načteno  OK");
    }
    void anUnansweredReadSaysSo()
    {
        QFETCH(bool, levelsOnly);
        QFETCH(QByteArray, blockAnswer);
        QFETCH(QString, shown);
        QSignalSpy reset(&link->levels, &LevelExchange::levelsReset);
        QSignalSpy messages(&link->transport, &LinkTransport::linkMessage);
        levelsOnly ? link->levels.requestLevels() : link->blockRead.readBlock();
        if (!blockAnswer.isEmpty())
            port->feed(blockAnswer);
        QTRY_COMPARE_WITH_TIMEOUT(reset.count(), 1, 4000);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toString(), shown);
    }

    // The levels belong to the unit whose block they came with: a unit without levels read after
    // one with them must not carry the first one's levels as its own; a block that did not come
    // leaves the set, levels included, as it was.
    void aBlockWithoutLevelsLeavesNoLevelsOfTheUnitBefore_data()
    {
        QTest::addColumn<QByteArray>("blockAnswer");
        QTest::addColumn<bool>("levelsKept");
        QTest::newRow("block came") << block() << false;
        QTest::newRow("garbled block") << block(0x02) << true;
    }
    void aBlockWithoutLevelsLeavesNoLevelsOfTheUnitBefore()
    {
        QFETCH(QByteArray, blockAnswer);
        QFETCH(bool, levelsKept);
        link->blockRead.readBlock();
        port->feed(block());
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::Levels, 2000);
        port->feed(levels(11, 55, 13, 66));
        QVERIFY(data->set().levelsValid());
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);

        QSignalSpy reset(&link->levels, &LevelExchange::levelsReset);
        link->blockRead.readBlock();
        port->feed(blockAnswer);
        QTRY_COMPARE_WITH_TIMEOUT(reset.count(), 1, 4000);
        QCOMPARE(data->set().levelsValid(), levelsKept);
        const std::array<int, 4> shown{data->set().levelByte(1), data->set().levelByte(2), data->set().levelByte(3), data->set().levelByte(4)};
        QCOMPARE(shown, levelsKept ? (std::array<int, 4>{11, 55, 13, 66}) : (std::array<int, 4>{10, 60, 10, 60}));
    }

    void aSecondMessageDoesNotExtendTheFirst()
    {
        QSignalSpy hidden(&link->transport, &LinkTransport::linkMessageHidden);
        QElapsedTimer clock;
        clock.start();
        link->transport.announceLinkMessage(QStringLiteral("Načteno  OK"));
        QTest::qWait(800);
        link->transport.announceLinkMessage(QStringLiteral("Uložení OK"));
        QTRY_COMPARE_WITH_TIMEOUT(hidden.count(), 1, 4000);
        QVERIFY2(clock.elapsed() < 2700, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!link->transport.messageTimer().isEnabled());
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
        data->set().markBlockValid();
        link->blockRead.readBlock();
        link->blockWrite.writeBlock();
        link->commands.commandWithoutAnswer(UnitCode::RamToEeprom);
        link->commands.sendChain({{link->transport.writeFrame(63, 0), 0}});
        QVERIFY(port->written.isEmpty());
    }

    void measurementCodesGoToTheMeasurementWhileItRuns()
    {
        QList<int> codes;
        connect(&link->measurement, &MeasurementExchange::measurementCodeReceived, this, [&](quint8 code) {
            codes << code;
            if (code == 5)
                link->measurement.endMeasurement(false);
        });
        link->measurement.startMeasurement(UnitCode::MeasureIdle);
        QVERIFY(link->measurement.isMeasuring());
        port->feed(bytesOf({0x02, 1, 2, 3, 0x83, 0x03}));
        QVERIFY(link->transport.polling());
        port->feed(bytesOf({0x02, 1, 2, 3, 5, 0x03}));
        QCOMPARE(codes, (QList<int>{0x83, 5}));
        QVERIFY(!link->transport.polling());
        QVERIFY(!link->measurement.isMeasuring());
        QCOMPARE(writtenHex(), (QStringList{QStringLiteral("02 70 03"), QStringLiteral("02 FF 03")}));
        QCOMPARE(link->transport.linkState(), LinkState::Block);
        QCOMPARE(link->status.last().tps, 0);  // the live displays stand still
    }

    void featureStatesHandTheirPayloadOn()
    {
        QSignalSpy diag(&link->diagnostics, &DiagnosticsExchange::diagnosticsReceived);
        link->diagnostics.requestDiagnostics();
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 80 03")});
        port->feed(block(0x02));
        QCOMPARE(diag.count(), 1);
        QVERIFY(link->diagnostics.diagMessageTimer().isEnabled());
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);

        QSignalSpy aux(&link->cutOff, &CutOffReader::auxValueReceived);
        link->transport.setLinkState(LinkState::CutOffByte);
        port->feed(bytesOf({0x02, 0x2A, 0x03}));
        port->feed(bytesOf({0x02, 0x2B, 0x04}));
        QCOMPARE(aux.count(), 1);
        QCOMPARE(aux.first().first().toInt(), 42);
        QCOMPARE(link->transport.linkState(), LinkState::CutOffByte);

        QList<int> samples;
        connect(&link->recording, &ScopeRecording::recordedValue, this, [&](int, int, int value) { samples << value; });
        link->recording.startRecording(5, 6, true);
        const int clearsBefore = port->clears;
        port->feed(bytesOf({0x02, 7, 0x03, 0x02}));
        QCOMPARE(port->clears, clearsBefore);  // first channel of two: the next answer may be waiting
        port->feed(bytesOf({8, 0x03}));
        QCOMPARE(samples, (QList<int>{7, 8}));
        QCOMPARE(port->clears, clearsBefore + 1);
        QVERIFY(link->recording.scopeTimer().isEnabled());
        QCOMPARE(link->transport.linkState(), LinkState::ScopeSample);
    }

    // Whatever came before it, cut wherever, the first clean reply after noise is used.
    void aCleanReplyAfterNoiseIsTakenWhereverTheBytesAreCut_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("stray byte, status") << 0 << bytesOf({0x55}) << status(77);
        QTest::newRow("start byte alone, status") << 0 << bytesOf({0x02}) << status(77);
        QTest::newRow("noise, status") << 0 << noise() << status(77);
        QTest::newRow("noise, block") << 1 << noise() << block();
        QTest::newRow("status reply, block") << 1 << status(77) << block();
        QTest::newRow("noise and status reply, levels") << 170 << noise() + status(77) << levels(1, 2, 3, 4);
        QTest::newRow("half a status reply, block") << 20 << status(77).left(3) << block();
    }
    void aCleanReplyAfterNoiseIsTakenWhereverTheBytesAreCut()
    {
        QFETCH(int, state);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, reply);
        const QByteArray line = before + reply;
        for (int cut = 0; cut <= line.size(); ++cut) {
            cleanup();
            init();
            QSignalSpy taken(&link->blockRead, &BlockRead::blockReceived);
            QSignalSpy levelsIn(&link->levels, &LevelExchange::levelsReceived);
            QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
            link->transport.setLinkState(LinkState(state));
            port->feed(line.left(cut));
            port->feed(line.mid(cut));
            const QString where = QStringLiteral("cut at %1").arg(cut);
            switch (state) {
            case 0: QVERIFY2(link->status.last().tps == 77, qPrintable(where)); break;
            case 1: QVERIFY2(taken.count() == 1 && taken.first().first().toByteArray() == reply, qPrintable(where)); break;
            case 170: QVERIFY2(levelsIn.count() == 1 && data->set().levelByte(4) == 4, qPrintable(where)); break;
            case 20:
                QVERIFY2(port->written.size() == 0 && shown.count() == 1
                             && shown.first().first().toString() == QStringLiteral("Nesprávné uložení!"),
                         qPrintable(where));
                break;
            }
            // A status reply met on the way is used, not read as the expected frame.
            if (before.contains(status(77)))
                QVERIFY2(link->status.last().tps == 77, qPrintable(where));
            QCOMPARE(link->transport.bytesWaiting(), 0);
        }
    }

    // A partial frame waits without blocking; silence past the byte gap drops it and the next
    // clean reply is used (a reply stalled inside, then the next poll's reply).
    void aStalledReplyIsDroppedAndTheNextOneUsed()
    {
        QSignalSpy errors(&link->status, &StatusPoll::statusError);
        QElapsedTimer clock;
        clock.start();
        port->feed(status(10).left(3));
        QVERIFY2(clock.elapsed() < 150, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 2000);
        QVERIFY2(clock.elapsed() >= 190, qPrintable(QString::number(clock.elapsed())));
        port->feed(status(10).mid(3) + status(11));
        QCOMPARE(link->status.last().tps, 11);
    }

    // A due answer, and the rest of any frame begun, is awaited whole (counted from the frame the
    // waiting bytes begin), so the port need not wake the link for each of its bytes.
    void theRestOfADueAnswerIsAwaitedWhole_data()
    {
        QTest::addColumn<int>("answerSize");
        QTest::addColumn<QByteArray>("arrives");
        QTest::addColumn<QVector<int>>("awaited");
        // First the request's 3 bytes on their way out and the reply's 6.
        QTest::newRow("two bytes of a status reply") << 6 << bytesOf({0x02, 0x80}) << QVector<int>{9, 4};
        QTest::newRow("noise before it") << 6 << bytesOf({0x55, 0x03, 0x02}) << QVector<int>{9, 5};
        QTest::newRow("the whole reply") << 6 << status(12) << QVector<int>{9};
        // A late reply is awaited whole all the same.
        QTest::newRow("no answer due") << 0 << bytesOf({0x02, 0x80}) << QVector<int>{4};
    }
    void theRestOfADueAnswerIsAwaitedWhole()
    {
        QFETCH(int, answerSize);
        QFETCH(QByteArray, arrives);
        QFETCH(QVector<int>, awaited);
        link->transport.transmit(bytesOf({0x02, 0x0F, 0x03}), answerSize);
        port->feed(arrives);
        QCOMPARE(port->awaited, awaited);
    }

    // 2 kB of noise at line speed in the pieces an adapter hands over: the reply behind it is used,
    // and no more than a frame's bytes are ever kept waiting.
    void aBurstOfNoiseDoesNotHideTheReplyBehindIt()
    {
        QRandomGenerator random(11);
        int mostWaiting = 0;
        for (int piece = 0; piece < 128; ++piece) {
            QByteArray noise(16, '\0');
            for (char &c : noise)
                c = char(random.bounded(256));
            // The reply comes in the same piece as the end of the noise.
            port->feed(piece == 127 ? noise + status(77) : noise);
            mostWaiting = std::max(mostWaiting, link->transport.bytesWaiting());
        }
        QVERIFY2(mostWaiting < Reply::BlockSize, qPrintable(QString::number(mostWaiting)));
        QCOMPARE(link->status.last().tps, 77);
    }

    // No request that awaits an answer goes out while an earlier answer is due.
    void aRequestWaitsForTheAnswerDue_data()
    {
        QTest::addColumn<int>("replyAfterMs");  // -1: the status reply never comes
        QTest::newRow("status reply comes") << 20;
        QTest::newRow("status reply lost") << -1;
    }
    void aRequestWaitsForTheAnswerDue()
    {
        QFETCH(int, replyAfterMs);
        QSignalSpy taken(&link->blockRead, &BlockRead::blockReceived);
        link->transport.setPollInterval(40);
        link->transport.startPolling();
        // A busy machine may check only after a few ticks: the last request is the one whose reply is due.
        QTRY_VERIFY_WITH_TIMEOUT(!port->written.isEmpty(), 2000);
        port->written.remove(0, port->written.size() - 1);
        link->blockRead.readBlock();  // clicked right after the poll request left
        link->commands.commandWithoutAnswer(UnitCode::RamToEeprom);
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 0F 03")});
        QCOMPARE(link->transport.queuedOperations(), 2);
        if (replyAfterMs >= 0)
            port->feedSoon(status(5), replyAfterMs);
        QTRY_COMPARE_WITH_TIMEOUT(port->written.size(), 2, 2000);
        QCOMPARE(writtenHex(1), QStringList{QStringLiteral("02 FF 03")});
        const qint64 waited = port->written[1].atMs - port->written[0].atMs;
        if (replyAfterMs < 0)
            QVERIFY2(waited >= LinkTransport::replyTimeMs(6) - 10, qPrintable(QString::number(waited)));
        QCOMPARE(link->transport.linkState(), LinkState::Block);
        port->feed(block());
        QCOMPARE(taken.count(), 1);
        // The block answer is due: no poll tick and no other operation comes between.
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::Levels, 2000);
        QCOMPARE(writtenHex(1), (QStringList{QStringLiteral("02 FF 03"), QStringLiteral("02 AA 03")}));
        port->feed(levels(1, 2, 3, 4));
        QCOMPARE(writtenHex(3), QStringList{QStringLiteral("02 04 03")});
        QCOMPARE(link->transport.queuedOperations(), 0);
        link->transport.stopPolling();
    }

    // A chain paces its frames from the end of the one before, never blocks, and lets nothing
    // in between; what was asked for meanwhile follows in order.
    void aChainKeepsItsPacingAndTheWireToItself()
    {
        bool done = false;
        QElapsedTimer clock;
        clock.start();
        const QList<ChainStep> steps{{link->transport.serviceFrame(92, 1), 0},
                                     {link->transport.serviceFrame(93, 2), 10},
                                     {link->transport.serviceFrame(94, 3), 50},
                                     {link->transport.writeFrame(0xA3, 4), 100}};
        link->commands.sendChain(steps, [&] { done = true; });
        // Blocking would take the 160 ms of pauses; the bound leaves room for a busy machine.
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!done);
        link->transport.setPollInterval(5);
        link->transport.startPolling();
        link->transport.send(link->transport.writeFrame(63, 0));
        link->diagnostics.requestDiagnostics();
        QTRY_VERIFY_WITH_TIMEOUT(done, 3000);
        QCOMPARE(writtenHex(), (QStringList{QStringLiteral("02 14 5C 01 03"), QStringLiteral("02 14 5D 02 03"),
                                            QStringLiteral("02 14 5E 03 03"), QStringLiteral("02 B4 A3 04 03"),
                                            QStringLiteral("02 B4 3F 00 03"), QStringLiteral("02 80 03")}));
        const int pauses[] = {10, 50, 100};
        for (int i = 1; i <= 3; ++i) {
            // Five bytes take 5.2 ms on the wire before the pause begins.
            const qint64 gap = port->written[i].atMs - port->written[i - 1].atMs;
            QVERIFY2(gap >= pauses[i - 1] + 4, qPrintable(QStringLiteral("%1: %2").arg(i).arg(gap)));
        }
        link->transport.stopPolling();
    }

    // The pauses are measured by the clock the link is handed, from the moment the frame before
    // has left the wire: with a stepped clock a pause has passed exactly when the clock says so.
    void aChainPauseEndsByTheLinksClock()
    {
        SteppedClock clock;
        UnitLink stepped(port, data, &clock);
        announceLinkOutcomes(stepped);
        stepped.transport.prepareFrames();
        bool done = false;
        stepped.commands.sendChain({{stepped.transport.serviceFrame(92, 1), 0}, {stepped.transport.writeFrame(0xA3, 4), 100}},
                                   [&] { done = true; });
        QCOMPARE(writtenHex(), QStringList{QStringLiteral("02 14 5C 01 03")});
        // Five bytes take 5.21 ms on the wire, then 100 ms of pause: due at 105.21 ms.
        QCOMPARE(stepped.transport.chainPause().interval(), 106);
        clock.advanceMs(105);
        emit stepped.transport.chainPause().fired();
        QCOMPARE(port->written.size(), 1);
        QCOMPARE(stepped.transport.chainPause().interval(), 1);
        clock.advanceMs(1);
        emit stepped.transport.chainPause().fired();
        QCOMPARE(writtenHex(1), QStringList{QStringLiteral("02 B4 A3 04 03")});
        QVERIFY(done);
    }

    // A write the unit confirmed lives in its RAM until RAM->EEPROM has gone; a reload, a reset or
    // another unit leaves nothing there. Only the commit keeps the set as the EEPROM's.
    void ramChangesLastUntilACommandSettlesThem_data()
    {
        QTest::addColumn<int>("code");  // 0: another unit came on the line
        QTest::addColumn<bool>("committed");
        QTest::newRow("RAM->EEPROM") << 4 << true;
        QTest::newRow("EEPROM->RAM") << 96 << false;
        QTest::newRow("factory reset") << 80 << false;
        QTest::newRow("another unit") << 0 << false;
    }
    void ramChangesLastUntilACommandSettlesThem()
    {
        QFETCH(int, code);
        QFETCH(bool, committed);
        QSignalSpy marked(&data->set(), &UnitSet::ramOnlyChangesChanged);
        const QList<MemoryCheck::Byte> saved{{0x44, 200}};
        for (MemoryCheck::Outcome unconfirmed : {MemoryCheck::Outcome::NotConfirmed, MemoryCheck::Outcome::NoAnswer})
            emit link->check.checked(saved, unconfirmed);
        QVERIFY(!data->set().ramOnlyChanges());
        emit link->check.checked(saved, MemoryCheck::Outcome::Confirmed);
        QVERIFY(data->set().ramOnlyChanges());
        data->set().setParamByte(20, 200);
        if (code)
            QVERIFY(link->commands.commandWithoutAnswer(quint8(code)));
        else
            data->set().forgetWritten();
        QTRY_VERIFY(!data->set().ramOnlyChanges());
        QCOMPARE(marked.count(), 2);
        QCOMPARE(data->set().committedSet().isEmpty(), !committed);
        if (committed)
            QCOMPARE(int(data->set().committedSet().param(20)), 200);
    }

    // Every write ends with a result, also when the unit stops answering halfway. The confirmed result
    // only when the unit confirmed all that was sent: levels sent need their answer.
    void aWriteWithoutAnAnswerStillSaysHowItEnded_data()
    {
        QTest::addColumn<bool>("levelsSent");
        QTest::addColumn<bool>("blockComesBack");
        QTest::addColumn<QByteArray>("levelAnswer");
        QTest::addColumn<QString>("result");
        QByteArray garbled = levels(10, 60, 10, 60);
        garbled[9] = 0x05;
        QTest::newRow("read-back lost") << true << false << QByteArray() << QStringLiteral("Uložení neověřeno!");
        QTest::newRow("no levels sent, none answered") << false << true << QByteArray() << QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM");
        QTest::newRow("levels sent, none answered") << true << true << QByteArray() << QStringLiteral("Uložení neověřeno!");
        QTest::newRow("levels sent, short answer") << true << true << levels(10, 60, 10, 60).left(6)
                                                   << QStringLiteral("Uložení neověřeno!");
        QTest::newRow("levels sent, garbled answer") << true << true << garbled << QStringLiteral("Uložení neověřeno!");
    }
    void aWriteWithoutAnAnswerStillSaysHowItEnded()
    {
        QFETCH(bool, levelsSent);
        QFETCH(bool, blockComesBack);
        QFETCH(QByteArray, levelAnswer);
        QFETCH(QString, result);
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        QSignalSpy verified(&link->blockWrite, &BlockWrite::writeVerified);
        data->set().markBlockValid();
        data->set().setLevels(levels(10, 60, 10, 60));
        if (!levelsSent)
            data->set().setPlaceholderLevels();  // the same levels, as a unit without levels leaves them
        port->onWrite = [this, blockComesBack, levelAnswer](const QByteArray &frame) {
            if (blockComesBack && frame == bytesOf({0x02, 0xFF, 0x03}))
                port->feedSoon(data->set().paramBytes(), 5);
            if (!levelAnswer.isEmpty() && frame == bytesOf({0x02, 0xAA, 0x03}))
                port->feedSoon(levelAnswer, 5);
        };
        link->blockWrite.writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 5000);
        QCOMPARE(shown.first().first().toString(), result);
        QCOMPARE(verified.count(), result == QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM") ? 1 : 0);
        QCOMPARE(data->set().ramOnlyChanges(), verified.count() == 1);
        QCOMPARE(writtenHex().contains(QStringLiteral("02 B4 A3 0A 03")), levelsSent);
        QCOMPARE(writtenHex().contains(QStringLiteral("02 AA 03")), blockComesBack);
        QVERIFY(link->transport.polling());
    }

    // The check's answer never came and the technician went on before its guard ran out: the
    // unverified write is still said, and what took the link over keeps it.
    void anUnansweredWriteCheckLeavesTheLinkToWhatTookItOver_data()
    {
        QTest::addColumn<bool>("reader");
        QTest::newRow("level read") << false;
        QTest::newRow("cut-off reader") << true;
    }
    void anUnansweredWriteCheckLeavesTheLinkToWhatTookItOver()
    {
        QFETCH(bool, reader);
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        QSignalSpy levelsTaken(&link->levels, &LevelExchange::levelsReceived);
        QSignalSpy values(&link->cutOff, &CutOffReader::auxValueReceived);
        data->set().markBlockValid();
        link->blockWrite.writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!link->transport.answerDue(), 3000);
        reader ? link->cutOff.startCutOffReading(241) : link->levels.requestLevels();
        const LinkState state = link->transport.linkState();
        // The check's guard runs out now, before the level read's own guard could.
        link->blockWrite.replyGuard().disable();
        emit link->blockWrite.replyGuard().fired();
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Uložení neověřeno!"));
        QCOMPARE(link->transport.linkState(), state);
        QCOMPARE(link->transport.polling(), false);
        if (reader) {
            port->feed(bytesOf({0x02, 0x5A, 0x03}));
            QCOMPARE(values.count(), 1);
            QCOMPARE(values.first().first().toInt(), 0x5A);
        } else {
            port->feed(levels(1, 2, 3, 4));
            QCOMPARE(levelsTaken.count(), 1);
            QVERIFY(link->transport.polling());
        }
    }

    // Every write gets a result of its own: a second write while the first one's check waits, and
    // a guard that runs out in the pause before the level request.
    void everyWriteEndsWithOneResultOfItsOwn_data()
    {
        QTest::addColumn<bool>("secondWrite");
        QTest::newRow("second write while the check waits") << true;
        QTest::newRow("guard out before the level request") << false;
    }
    void everyWriteEndsWithOneResultOfItsOwn()
    {
        QFETCH(bool, secondWrite);
        QSignalSpy shown(&link->transport, &LinkTransport::linkMessage);
        data->set().markBlockValid();
        data->set().setLevels(levels(10, 60, 10, 60));
        const QByteArray sent = data->set().paramBytes();
        link->blockWrite.writeBlock();
        QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenBlock, 3000);
        if (secondWrite) {
            QTRY_VERIFY_WITH_TIMEOUT(!link->transport.answerDue(), 3000);
            link->blockWrite.writeBlock();
            QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, 3000);
            QCOMPARE(shown.last().first().toString(), QStringLiteral("Uložení neověřeno!"));
            // The second write's read-back request has gone out.
            QTRY_COMPARE_WITH_TIMEOUT(writtenHex().count(QStringLiteral("02 FF 03")), 2, 5000);
            port->feed(sent);
            QTRY_COMPARE_WITH_TIMEOUT(link->transport.linkState(), LinkState::WrittenLevels, 2000);
            port->feed(levels(10, 60, 10, 60));
            QCOMPARE(shown.count(), 2);
            QCOMPARE(shown.last().first().toString(), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"));
        } else {
            const int from = int(port->written.size());
            port->feed(sent);
            link->blockWrite.replyGuard().disable();
            emit link->blockWrite.replyGuard().fired();
            QCOMPARE(shown.count(), 1);
            QCOMPARE(shown.last().first().toString(), QStringLiteral("Uložení neověřeno!"));
            QTest::qWait(2 * LinkTransport::FramePauseMs);
            QVERIFY(!writtenHex(from).contains(QStringLiteral("02 AA 03")));  // no level request after the result
            QVERIFY(!link->blockWrite.replyGuard().isEnabled());
        }
    }

    // A save is read back byte by byte, each read after the unit's pause. What comes in that pause
    // answers no read: a late reply confirms nothing, noise ends nothing, and the save's check ends
    // once, by the answer to the read that follows.
    void onlyTheAnswerToARequestedReadCountsForASave_data()
    {
        QTest::addColumn<QByteArray>("inThePause");
        QTest::newRow("a reply nobody asked for yet") << bytesOf({0x02, 0x07, 0x03});
        QTest::newRow("noise") << bytesOf({0x02, 0x07});
    }
    void onlyTheAnswerToARequestedReadCountsForASave()
    {
        QFETCH(QByteArray, inThePause);
        FakePort line;
        UnitData shared;
        SteppedClock clock;
        UnitLink stepped(&line, &shared, &clock);
        stepped.transport.prepareFrames();
        line.open(QStringLiteral("fake"), nullptr);
        QList<MemoryCheck::Outcome> outcomes;
        connect(&stepped.check, &MemoryCheck::checked, this,
                [&outcomes](const QList<MemoryCheck::Byte> &, MemoryCheck::Outcome outcome) { outcomes << outcome; });
        const auto pauseEnds = [&] {
            LinkTimer &pause = stepped.transport.chainPause();
            QVERIFY(pause.isEnabled());
            clock.advanceMs(pause.interval());
            pause.disable();
            emit pause.fired();
        };
        stepped.check.check({{63, 5}, {16, 7}});
        pauseEnds();
        line.feed(bytesOf({0x02, 0x05, 0x03}));
        line.feed(inThePause);
        if (stepped.transport.lineQuiet().isEnabled()) {
            stepped.transport.lineQuiet().disable();
            emit stepped.transport.lineQuiet().fired();
        }
        QCOMPARE(outcomes, QList<MemoryCheck::Outcome>{});
        pauseEnds();
        QStringList sent;
        for (const FakePort::Written &frame : std::as_const(line.written))
            sent << hex(frame.bytes);
        QCOMPARE(sent, (QStringList{QStringLiteral("02 24 3F 00 03"), QStringLiteral("02 24 10 00 03")}));
        line.feed(bytesOf({0x02, 0x07, 0x03}));
        QCOMPARE(outcomes, QList<MemoryCheck::Outcome>{MemoryCheck::Outcome::Confirmed});
        QVERIFY(stepped.transport.polling());
    }
};

QTEST_GUILESS_MAIN(TestUnitLink)
#include "tst_unitlink.moc"

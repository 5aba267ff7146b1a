#include "protocol.h"
#include "unitmodel.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace unitsim;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

std::vector<std::uint8_t> raw(const QByteArray &bytes)
{
    return {bytes.begin(), bytes.end()};
}

QByteArray toBytes(const std::vector<std::uint8_t> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

QByteArray collect(const std::vector<UnitEvent> &events, UnitEvent::Kind kind)
{
    QByteArray out;
    for (const UnitEvent &event : events)
        if (event.kind == kind)
            out += toBytes(event.bytes());
    return out;
}

// What the unit puts on the line for these bytes arriving at nowMs.
QByteArray ask(UnitModel &unit, const QByteArray &request, std::int64_t nowMs = 0)
{
    return collect(unit.feed(raw(request), nowMs), UnitEvent::Kind::Reply);
}

QByteArray command(std::uint8_t code)
{
    return QByteArray{"\x02", 1} + char(code) + '\x03';
}

QByteArray frame5(std::uint8_t kind, int address, int value)
{
    QByteArray out(5, '\0');
    out[0] = 0x02;
    out[1] = char(kind);
    out[2] = char(address);
    out[3] = char(value);
    out[4] = 0x03;
    return out;
}

QByteArray readBlock(UnitModel &unit, std::int64_t nowMs = 0)
{
    return ask(unit, command(Code::ReadBlock), nowMs);
}

quint8 at(const QByteArray &bytes, int index)
{
    return quint8(bytes.at(index));
}

int le16(const QByteArray &bytes, int index)
{
    return at(bytes, index) | at(bytes, index + 1) << 8;
}

int le24(const QByteArray &bytes, int index)
{
    return le16(bytes, index) | at(bytes, index + 2) << 16;
}

UnitConfig withFaults(void (*set)(FaultConfig &))
{
    UnitConfig config;
    set(config.faults);
    return config;
}

}  // namespace

class TestUnitModel : public QObject
{
    Q_OBJECT

private slots:
    void statusReplyIsFramedAndLiveValuesMove();
    void streamIsFramedAndResynchronised_data();
    void streamIsFramedAndResynchronised();
    void blockWrittenAfterCode238ReadsBack();
    void blockIsOnlyTakenRightAfterCode238();
    void singleWritesLandAtIndexPlus47();
    void eepromCommitReloadAndFactoryReset();
    void factoryBlockIsSensible();
    void levelsReadAndWrite();
    void versionsLackFeatures_data();
    void versionsLackFeatures();
    void measurementReportsStepsThenEndCode_data();
    void measurementReportsStepsThenEndCode();
    void diagnosticRecordLayoutAndUpdates();
    void auxReadsCutOffWaveformsAndMemory();
    void faultsHitTheCountedReplies();
    void stuckByteNeverReadsBackAsWritten();
    void executableAnswersOnItsPseudoTerminal();
};

void TestUnitModel::statusReplyIsFramedAndLiveValuesMove()
{
    UnitModel unit;
    int lambdaMin = 255, lambdaMax = 0, tpsMin = 255, tpsMax = 0, biggestServoStep = 0;
    int previousPosition = -1;
    for (std::int64_t t = 0; t <= 12000; t += 50) {
        const QByteArray reply = ask(unit, command(Code::Status), t);
        QCOMPARE(reply.size(), 6);
        QCOMPARE(at(reply, 0), quint8(0x02));
        QCOMPARE(at(reply, 5), quint8(0x03));
        QCOMPARE(at(reply, 4), quint8(0));  // no measurement running
        lambdaMin = std::min<int>(lambdaMin, at(reply, 2));
        lambdaMax = std::max<int>(lambdaMax, at(reply, 2));
        tpsMin = std::min<int>(tpsMin, at(reply, 1));
        tpsMax = std::max<int>(tpsMax, at(reply, 1));
        if (previousPosition >= 0)
            biggestServoStep = std::max(biggestServoStep, std::abs(at(reply, 3) - previousPosition));
        previousPosition = at(reply, 3);
    }
    // Rich and lean on a 0..1 V probe, a throttle that really opens, a servo that does not jump.
    QVERIFY(lambdaMin >= 5 && lambdaMin <= 10);
    QVERIFY(lambdaMax >= 40 && lambdaMax <= 45);
    QVERIFY(tpsMin < 40 && tpsMax > 200);
    QVERIFY2(biggestServoStep <= 12, qPrintable(QString::number(biggestServoStep)));
}

void TestUnitModel::streamIsFramedAndResynchronised_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<int>>("times");
    QTest::addColumn<int>("statusReplies");
    QTest::addColumn<QByteArray>("junk");

    QTest::newRow("split within the gap") << QList<QByteArray>{hex("02"), hex("0F03")} << QList<int>{0, 80} << 1
                                          << QByteArray();
    QTest::newRow("partial then a long gap") << QList<QByteArray>{hex("02"), hex("0F03")} << QList<int>{0, 150}
                                             << 0 << hex("020F03");
    QTest::newRow("garbage before a frame") << QList<QByteArray>{hex("55AA020F03")} << QList<int>{0} << 1
                                            << hex("55AA");
    QTest::newRow("start byte inside a broken frame") << QList<QByteArray>{hex("02020F03")} << QList<int>{0} << 1
                                                      << hex("02");
    QTest::newRow("two frames in one read") << QList<QByteArray>{hex("020F03020F03")} << QList<int>{0} << 2
                                            << QByteArray();
    QTest::newRow("5-byte frame told by its second byte")
        << QList<QByteArray>{hex("02B4440F03020F03")} << QList<int>{0} << 1 << QByteArray();
}

void TestUnitModel::streamIsFramedAndResynchronised()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<int>, times);
    QFETCH(int, statusReplies);
    QFETCH(QByteArray, junk);

    UnitModel unit;
    QByteArray replies, dropped;
    for (int i = 0; i < chunks.size(); ++i) {
        const auto events = unit.feed(raw(chunks[i]), times[i]);
        replies += collect(events, UnitEvent::Kind::Reply);
        dropped += collect(events, UnitEvent::Kind::Junk);
    }
    QCOMPARE(replies.size(), 6 * statusReplies);
    QCOMPARE(dropped, junk);
}

void TestUnitModel::blockWrittenAfterCode238ReadsBack()
{
    UnitModel unit;
    QByteArray block = readBlock(unit);
    for (int i = 1; i <= 32; ++i)
        block[i] = char(200 + i);
    block[0] = 0x01;
    QVERIFY(ask(unit, command(Code::WriteBlock), 0).isEmpty());
    QVERIFY(ask(unit, block, 50).isEmpty());
    QCOMPARE(readBlock(unit, 200), block);
}

void TestUnitModel::blockIsOnlyTakenRightAfterCode238()
{
    UnitModel unit;
    const QByteArray factory = readBlock(unit);
    QByteArray block = factory;
    block[5] = char(99);

    // Without code 238 the bytes are noise.
    QVERIFY(ask(unit, block, 0).isEmpty());
    QCOMPARE(readBlock(unit, 10), factory);

    // The tool gave up: a status poll came in between.
    ask(unit, command(Code::WriteBlock), 100);
    QCOMPARE(ask(unit, command(Code::Status), 120).size(), 6);
    ask(unit, block, 150);
    QCOMPARE(readBlock(unit, 200), factory);

    // Far too late to be the block of that command.
    ask(unit, command(Code::WriteBlock), 1000);
    ask(unit, block, 1000 + FrameReader::BlockWaitMs + 500);
    QCOMPARE(readBlock(unit, 3000), factory);
}

void TestUnitModel::singleWritesLandAtIndexPlus47()
{
    UnitModel unit;
    for (int index = 1; index <= 32; ++index)
        QVERIFY(ask(unit, frame5(Kind::Write, index + 47, 255 - index)).isEmpty());
    // The marks cannot be overwritten, or the block would stop being a block.
    ask(unit, frame5(Kind::Write, 47, 9));
    ask(unit, frame5(Kind::Write, 80, 9));

    const QByteArray block = readBlock(unit);
    QCOMPARE(block.size(), 34);
    QCOMPARE(at(block, 0), quint8(0x01));
    QCOMPARE(at(block, 33), quint8(0x03));
    for (int index = 1; index <= 32; ++index)
        QCOMPARE(at(block, index), quint8(255 - index));
    QCOMPARE(at(readBlock(unit), 21), quint8(234));
    ask(unit, hex("02B444FE03"));  // the tuning page's MAX of 254 for the idle range
    QCOMPARE(at(readBlock(unit), 21), quint8(254));
}

void TestUnitModel::eepromCommitReloadAndFactoryReset()
{
    UnitModel unit;
    const QByteArray factory = readBlock(unit);

    ask(unit, frame5(Kind::Write, 64, 55));
    ask(unit, command(Code::EepromToRam));
    QCOMPARE(readBlock(unit), factory);

    ask(unit, frame5(Kind::Write, 64, 55));
    ask(unit, command(Code::RamToEeprom));
    ask(unit, frame5(Kind::Write, 64, 66));
    ask(unit, command(Code::EepromToRam));
    QCOMPARE(at(readBlock(unit), 17), quint8(55));

    ask(unit, frame5(Kind::Write, 0xA3, 1));
    ask(unit, command(Code::FactoryReset));
    QCOMPARE(readBlock(unit), factory);
    ask(unit, command(Code::EepromToRam));
    QCOMPARE(readBlock(unit), factory);
    QCOMPARE(at(ask(unit, command(Code::ReadLevels)), 1), factoryLevels()[0]);
}

void TestUnitModel::factoryBlockIsSensible()
{
    const ParamBlock block = factoryBlock();
    QCOMPARE(block[0], quint8(0x01));
    QCOMPARE(block[33], quint8(0x03));
    QVERIFY(block[3] & 0x01);  // rising TPS, so the thresholds must rise
    QVERIFY(block[17] < block[18] && block[18] < block[19]);
    for (int range = 0; range < 4; ++range)
        QVERIFY(block[21 + 2 * range] >= block[22 + 2 * range]);
    for (int index = 8; index <= 15; ++index) {
        const int shown = 256 - block[index];
        QVERIFY2(shown >= 1 && shown <= 50, qPrintable(QString::number(index)));
    }
    QVERIFY(block[16] >= 1 && block[16] <= 99);
}

void TestUnitModel::levelsReadAndWrite()
{
    UnitModel unit;
    const QByteArray before = ask(unit, command(Code::ReadLevels));
    QCOMPARE(before.size(), 10);
    QCOMPARE(at(before, 0), quint8(0x03));
    QCOMPARE(at(before, 9), quint8(0x04));

    const int levels[] = {10, 60, 12, 70};
    for (int i = 0; i < 4; ++i)
        ask(unit, frame5(Kind::Write, 0xA3 + i, levels[i]));
    const QByteArray after = ask(unit, command(Code::ReadLevels));
    QCOMPARE(after, hex("030A3C0C46") + before.mid(5));

    // A unit that stops answering code 170 after the first level request, whatever else it answers.
    UnitModel stops(withFaults([](FaultConfig &f) { f.levelsAnswered = 1; }));
    QCOMPARE(ask(stops, command(Code::ReadLevels)).size(), 10);
    QCOMPARE(readBlock(stops).size(), 34);
    QCOMPARE(ask(stops, command(Code::ReadLevels)), QByteArray());
}

void TestUnitModel::versionsLackFeatures_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("levels");
    QTest::addColumn<bool>("scope");
    QTest::addColumn<bool>("cutOff");

    QTest::newRow("1") << 1 << false << false << false;
    QTest::newRow("2") << 2 << false << false << false;
    QTest::newRow("3") << 3 << false << true << true;
    QTest::newRow("4") << 4 << true << true << true;
    QTest::newRow("5") << 5 << true << true << false;
}

void TestUnitModel::versionsLackFeatures()
{
    QFETCH(int, version);
    QFETCH(bool, levels);
    QFETCH(bool, scope);
    QFETCH(bool, cutOff);

    UnitConfig config;
    config.version = version;
    UnitModel unit(config);
    QCOMPARE(ask(unit, command(Code::ReadLevels)).size(), levels ? 10 : 0);
    QCOMPARE(ask(unit, frame5(Kind::Aux, 10, 0)).size(), scope ? 3 : 0);
    QCOMPARE(ask(unit, frame5(Kind::Aux, 241, 0)).size(), cutOff ? 3 : 0);
    QCOMPARE(ask(unit, frame5(Kind::Aux, 67, 0)).size(), cutOff ? 3 : 0);
    // What every unit has.
    QCOMPARE(ask(unit, command(Code::Status)).size(), 6);
    QCOMPARE(readBlock(unit).size(), 34);
    QCOMPARE(at(ask(unit, command(Code::ReadDiagnostics)), 1), quint8(version));
}

void TestUnitModel::measurementReportsStepsThenEndCode_data()
{
    QTest::addColumn<int>("startCode");
    QTest::addColumn<bool>("keepPoll");
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<int>("changedIndex");

    QTest::newRow("idle") << 112 << false << hex("010203040500") << 29;
    QTest::newRow("raised") << 113 << false << hex("111213141500") << 31;
    QTest::newRow("idle, poll stays on") << 112 << true << hex("010203040700") << 29;
    QTest::newRow("raised, poll stays on") << 113 << true << hex("111213140A00") << 31;
}

void TestUnitModel::measurementReportsStepsThenEndCode()
{
    QFETCH(int, startCode);
    QFETCH(bool, keepPoll);
    QFETCH(QByteArray, codes);
    QFETCH(int, changedIndex);

    UnitConfig config;
    config.keepPollEnd = keepPoll;
    UnitModel unit(config);
    const QByteArray before = readBlock(unit);
    ask(unit, command(quint8(startCode)), 1000);

    // What the tool sees polling every 250 ms, repeats folded.
    QByteArray seen;
    for (std::int64_t t = 1010; t < 1000 + 7 * config.measureStepMs; t += 250) {
        const quint8 code = at(ask(unit, command(Code::Status), t), 4);
        if (seen.isEmpty() || quint8(seen.back()) != code)
            seen += char(code);
    }
    QCOMPARE(seen, codes);

    // The tool reads the block after the end code: the measured times are in it.
    const QByteArray after = readBlock(unit, 9000);
    QVERIFY(after.mid(changedIndex, 2) != before.mid(changedIndex, 2));
    QCOMPARE(after.left(changedIndex), before.left(changedIndex));
}

void TestUnitModel::diagnosticRecordLayoutAndUpdates()
{
    UnitConfig config;
    config.serial = 42;
    config.year = 2023;
    UnitModel unit(config);
    const QByteArray record = ask(unit, command(Code::ReadDiagnostics));
    QCOMPARE(record.size(), 34);
    QCOMPARE(at(record, 0), quint8(0x02));
    QCOMPARE(at(record, 33), quint8(0x03));
    QCOMPARE(at(record, 1), quint8(4));
    QCOMPARE(at(record, 2), quint8(42));
    QCOMPARE(at(record, 3), quint8(23));
    QCOMPARE(le24(record, 10), 123456);
    QVERIFY(le24(record, 4) >= le24(record, 7));  // never more on gas than in total
    QCOMPARE(le16(record, 31), 0x1234);            // counters little-endian, maximum/lean last

    // The hour meters count on in 1.6-minute ticks.
    const QByteArray later = ask(unit, command(Code::ReadDiagnostics), 10 * DiagRecord::TickMs);
    QCOMPARE(le24(later, 4) - le24(record, 4), 10);

    ask(unit, command(Code::ClearErrors));
    const QByteArray cleared = ask(unit, command(Code::ReadDiagnostics));
    QCOMPARE(cleared.mid(17, 16), QByteArray(16, '\0'));
    QCOMPARE(cleared.left(17), record.left(17));

    // 6 December 2026, tachometer 123457, in the order the tool stores a service.
    for (const char *frame : {"02145C0603", "02145D0C03", "02145E1A03", "02145F0003", "0214594103",
                              "02145AE203", "02145B0103"})
        QVERIFY(ask(unit, hex(frame)).isEmpty());
    const QByteArray serviced = ask(unit, command(Code::ReadDiagnostics));
    QCOMPARE(serviced.mid(13, 3), hex("060C1A"));
    QCOMPARE(at(serviced, 16), quint8(at(record, 16) + 1));
    QCOMPARE(le24(serviced, 10), 123457);
}

void TestUnitModel::auxReadsCutOffWaveformsAndMemory()
{
    UnitModel unit;
    auto read = [&](int address, std::int64_t t) {
        const QByteArray reply = ask(unit, frame5(Kind::Aux, address, 0), t);
        return reply.size() == 3 && at(reply, 0) == 0x02 && at(reply, 2) == 0x03 ? int(at(reply, 1)) : -1;
    };

    // The current cut-off value reads back as written, then drifts around it.
    ask(unit, hex("02B4F19603"), 1000);
    QCOMPARE(read(241, 1000), 150);
    QSet<int> cutOff;
    for (std::int64_t t = 1000; t < 5000; t += 150)
        cutOff << read(241, t);
    QVERIFY(cutOff.size() > 5);
    QVERIFY(*std::min_element(cutOff.begin(), cutOff.end()) >= 130);
    QVERIFY(*std::max_element(cutOff.begin(), cutOff.end()) <= 170);

    // The threshold is block byte 20, whichever way it is reached.
    QCOMPARE(read(67, 0), int(at(readBlock(unit), 20)));
    ask(unit, hex("02B443FE03"));
    QCOMPARE(read(67, 0), 254);
    QCOMPARE(at(readBlock(unit), 20), quint8(254));

    QSet<int> square, sine;
    int sawDrops = 0, previousSaw = -1;
    for (std::int64_t t = 0; t < 6000; t += 50) {
        square << read(12, t);
        sine << read(10, t);
        const int saw = read(11, t);
        sawDrops += saw < previousSaw;
        previousSaw = saw;
    }
    QCOMPARE(square, (QSet<int>{40, 200}));
    QVERIFY(sine.size() > 20);
    QCOMPARE(sawDrops, 1);  // rises steadily, wraps once per 3 s
    QCOMPARE(read(14, 700), int(at(ask(unit, command(Code::Status), 700), 1)));

    const int untouched = read(200, 0);
    ask(unit, frame5(Kind::Write, 200, untouched ^ 0x5A));
    QCOMPARE(read(200, 0), untouched ^ 0x5A);
}

void TestUnitModel::faultsHitTheCountedReplies()
{
    auto replies = [](const UnitConfig &config, int requests) {
        UnitModel unit(config);
        std::vector<UnitEvent> all;
        for (int i = 0; i < requests; ++i)
            for (UnitEvent &event : unit.feed(raw(command(Code::Status)), i * 250))
                if (event.kind != UnitEvent::Kind::Received)
                    all.push_back(std::move(event));
        return all;
    };

    const auto dropped = replies(withFaults([](FaultConfig &f) { f.dropEvery = 3; }), 6);
    QCOMPARE(dropped.size(), size_t(6));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(dropped[i].kind, i % 3 == 2 ? UnitEvent::Kind::Withheld : UnitEvent::Kind::Reply);

    const auto corrupt = replies(withFaults([](FaultConfig &f) { f.corruptEvery = 2; }), 4);
    QCOMPARE(corrupt[0].bytes().back(), quint8(0x03));
    QVERIFY(corrupt[1].bytes().back() != 0x03);
    QCOMPARE(corrupt[1].bytes().front(), quint8(0x02));

    const auto stray = replies(withFaults([](FaultConfig &f) { f.strayEvery = 2; }), 2);
    QCOMPARE(stray[0].bytes().size(), size_t(6));
    QCOMPARE(stray[1].bytes().size(), size_t(7));
    QCOMPARE(stray[1].bytes()[1], quint8(0x02));

    const auto slow = replies(withFaults([](FaultConfig &f) { f.slowEvery = 2; }), 2);
    QCOMPARE(slow[0].tx.stallMs, 0);
    QVERIFY(slow[1].tx.stallMs > 200);  // the tool's inter-byte limit
    QVERIFY(slow[1].tx.stallBefore > 0 && slow[1].tx.stallBefore < 6);

    const auto mute = replies(withFaults([](FaultConfig &f) { f.muteAfter = 2; }), 4);
    QCOMPARE(mute.size(), size_t(4));
    QCOMPARE(mute[1].kind, UnitEvent::Kind::Reply);
    QCOMPARE(mute[2].kind, UnitEvent::Kind::Withheld);
    QCOMPARE(mute[3].kind, UnitEvent::Kind::Withheld);
}

void TestUnitModel::stuckByteNeverReadsBackAsWritten()
{
    UnitConfig config;
    config.stuckIndex = 18;
    UnitModel unit(config);
    const QByteArray block = readBlock(unit);

    ask(unit, command(Code::WriteBlock), 0);
    ask(unit, block, 50);
    const QByteArray back = readBlock(unit, 100);
    for (int i = 0; i < 34; ++i)
        QCOMPARE(back[i] != block[i], i == 18);

    ask(unit, frame5(Kind::Write, 18 + 47, 77));
    QVERIFY(at(readBlock(unit), 18) != 77);
}

void TestUnitModel::executableAnswersOnItsPseudoTerminal()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("unit");
    const QString log = dir.filePath("unit.log");
    QProcess sim;
    sim.start(VELKOR_UNITSIM_PATH, {"--link", link, "--log", log});
    QVERIFY(sim.waitForStarted(5000));
    QVERIFY(sim.waitForReadyRead(5000));
    const QByteArray device = sim.readLine().trimmed();
    QVERIFY(device.startsWith("/dev/"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), QString(device));

    const int fd = ::open(link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
    QCOMPARE(::write(fd, "\x02\x0F\x03", 3), ssize_t(3));

    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    while (reply.size() < 6 && clock.elapsed() < 2000) {
        pollfd port{fd, POLLIN, 0};
        if (::poll(&port, 1, 100) > 0) {
            char buffer[16];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0)
                reply.append(buffer, int(got));
        }
    }
    ::close(fd);
    QCOMPARE(reply.size(), 6);
    QCOMPARE(at(reply, 0), quint8(0x02));
    QCOMPARE(at(reply, 5), quint8(0x03));

    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());

    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray lines = file.readAll();
    QVERIFY2(lines.contains(" RX 02 0F 03\n"), lines.constData());
    QVERIFY2(lines.contains(" TX 02 "), lines.constData());
}

QTEST_GUILESS_MAIN(TestUnitModel)
#include "tst_unitmodel.moc"

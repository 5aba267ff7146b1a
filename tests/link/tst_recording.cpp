#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include <QSignalSpy>
#include <QTest>
#include <memory>

// The link's recording on a fake port: request order, which answer completes a sample, dropped
// answers, the end after 3000 samples, and the exchanges that end a recording.
class TestRecording : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakePort> port;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<UnitData> data;
    std::unique_ptr<UnitLink> link;

    QStringList framesFrom(int from) const
    {
        QStringList out;
        for (int i = from; i < port->written.size(); ++i)
            out << hex(port->written[i].bytes);
        return out;
    }
    // Waits for the next request of the recording and returns it.
    QString nextRequest()
    {
        const int from = port->written.size();
        if (!QTest::qWaitFor([&] { return port->written.size() > from; }, 2000))
            return QStringLiteral("none");
        return hex(port->written[from].bytes);
    }
    void answer(int value) { port->feed(bytesOf({0x02, value, 0x03})); }

private slots:
    void init()
    {
        port = std::make_unique<FakePort>();
        prompts = std::make_unique<ScriptedPrompts>();
        data = std::make_unique<UnitData>();
        link = std::make_unique<UnitLink>(port.get(), data.get(), prompts.get());
        port->open(QStringLiteral("fake"), nullptr);
        link->prepareFrames();
        link->poll().enable();
    }
    void cleanup() { link.reset(); }

    void twoChannelsAlternateAndTheSecondAnswerCompletesTheSample()
    {
        QSignalSpy values(link.get(), &UnitLink::recordedValue);
        QSignalSpy samples(link.get(), &UnitLink::sampleRecorded);
        link->startRecording(5, 7, true);
        QVERIFY(!link->poll().isEnabled());
        QCOMPARE(link->linkState(), int(UnitLink::ScopeState));
        QCOMPARE(nextRequest(), QStringLiteral("02 24 05 00 03"));
        answer(10);
        QCOMPARE(samples.count(), 0);
        QCOMPARE(nextRequest(), QStringLiteral("02 24 07 00 03"));
        answer(20);
        QCOMPARE(samples.count(), 1);
        QCOMPARE(samples.first().first().toInt(), 0);
        QCOMPARE(values.at(0), (QVariantList{1, 0, 10}));
        QCOMPARE(values.at(1), (QVariantList{2, 0, 20}));
        QCOMPARE(nextRequest(), QStringLiteral("02 24 05 00 03"));
        QCOMPARE(framesFrom(0).count(QStringLiteral("02 0F 03")), 0);

        // A short answer is dropped with everything waiting; the same channel is asked again.
        const int clears = port->clears;
        port->feed(bytesOf({0x02, 0x0A}));
        QCOMPARE(port->clears, clears + 1);
        QCOMPARE(values.count(), 2);
        QCOMPARE(nextRequest(), QStringLiteral("02 24 05 00 03"));
    }

    void channelsThatBecomeEqualRecordAsOne()
    {
        QSignalSpy samples(link.get(), &UnitLink::sampleRecorded);
        link->startRecording(5, 7, true);
        link->setRecordingChannels(5, 5, true);
        for (int v : {1, 2, 3})
            answer(v);
        QCOMPARE(samples.count(), 3);
        // Two channels become one while channel 2 is due: its answer counts once.
        link->setRecordingChannels(5, 7, true);
        answer(4);
        link->setRecordingChannels(5, 7, false);
        answer(5);
        QCOMPARE(samples.count(), 4);
        answer(6);
        QCOMPARE(samples.count(), 5);
    }

    void aFullRecordingEndsAndAsksNoMore()
    {
        QSignalSpy stopped(link.get(), &UnitLink::recordingStopped);
        link->startRecording(9, 9, false);
        for (int i = 0; i < UnitLink::MaxSamples + 5; ++i)
            answer(i % 256);
        QCOMPARE(link->recordedSamples(), UnitLink::MaxSamples);
        QTRY_VERIFY_WITH_TIMEOUT(!link->recording(), 2000);
        const int from = port->written.size();
        QTest::qWait(200);
        QCOMPARE(framesFrom(from).count(QStringLiteral("02 24 09 00 03")), 0);
        QCOMPARE(stopped.count(), 1);
        QVERIFY(link->poll().isEnabled());
        QCOMPARE(link->linkState(), 0);
    }

    void exchangesThatAwaitAnAnswerEndTheRecordingFirst_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("state");
        QTest::newRow("block read") << 0 << "02 FF 03" << int(UnitLink::BlockReadState);
        QTest::newRow("block write") << 1 << "02 EE 03" << int(UnitLink::BlockPendingState);
        QTest::newRow("levels") << 2 << "02 AA 03" << int(UnitLink::LevelReadState);
        QTest::newRow("diagnostics") << 3 << "02 80 03" << int(UnitLink::DiagnosticsState);
    }
    void exchangesThatAwaitAnAnswerEndTheRecordingFirst()
    {
        QFETCH(int, operation);
        QFETCH(QString, frame);
        QFETCH(int, state);
        QSignalSpy stopped(link.get(), &UnitLink::recordingStopped);
        link->startRecording(5, 7, true);
        const int from = port->written.size();
        switch (operation) {
        case 0: link->readBlock(); break;
        case 1: link->writeBlock(); break;
        case 2: link->requestLevels(); break;
        case 3: link->requestDiagnostics(); break;
        }
        QCOMPARE(stopped.count(), 1);
        QVERIFY(!link->recording());
        QVERIFY(!link->scopeTimer().isEnabled());
        QCOMPARE(framesFrom(from), QStringList{frame});
        QCOMPARE(link->linkState(), state);
    }

    void aSilentUnitIsReportedWithinASecond()
    {
        QSignalSpy silence(link.get(), &UnitLink::readerSilenceChanged);
        link->startRecording(5, 5, false);
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(silence.count(), 1, 4000);
        QVERIFY(clock.elapsed() >= 950);
        QCOMPARE(silence.first().first().toBool(), true);
        answer(1);
        QCOMPARE(silence.count(), 2);
        QCOMPARE(silence.last().first().toBool(), false);
        link->stopRecording();
        QCOMPARE(silence.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"

// The simulated unit's closed loop: the servo chases each range's need within the stops, and a
// drive recorded from it gives the analysis what it should find.
#include "analysis/driveanalyzer.h"
#include "closedloop.h"
#include "factorydefaults.h"
#include <QtTest>

using namespace unitsim;

namespace {
// Polls the loop every `pollMs` for `seconds`, as the tool's recording would.
DriveInput record(ClosedLoop &loop, const unitsim::ParamBlock &block, int fromMs, int seconds, int pollMs = 20)
{
    DriveInput input;
    input.sets.push_back(DriveSet::fromBlock(block));
    input.gapMs = 3 * pollMs;
    for (int ms = fromMs; ms < fromMs + seconds * 1000; ms += pollMs) {
        loop.advanceTo(ms, block);
        DriveRow row;
        row.ms = ms;
        row.lambda = loop.lambda();
        row.tps = loop.tps();
        row.position = loop.position();
        row.flags = DriveRow::Values;
        input.rows.push_back(row);
    }
    return input;
}
}

class ClosedLoopTest : public QObject
{
    Q_OBJECT
private slots:
    void drivesThroughTheRanges();
    void needBeyondAStop_data();
    void needBeyondAStop();
    void probeDelayWidensTheSwing();
};

void ClosedLoopTest::drivesThroughTheRanges()
{
    LoopConfig config;
    config.segmentMs = 5000;
    ClosedLoop loop(config);
    const auto block = factoryBlock();
    for (int range = 0; range < 4; ++range) {
        loop.advanceTo(range * 5000 + 4000, block);
        QCOMPARE(ClosedLoop::rangeOf(loop.tps(), block), range);
        // Between the stops the servo hunts about the middle, and the probe sees both sides.
        const int middle = (block[std::size_t(21 + 2 * range)] + block[std::size_t(22 + 2 * range)]) / 2;
        QVERIFY2(std::abs(loop.position() - middle) <= 5, qPrintable(QString::number(loop.position())));
    }
    const DriveInput drive = record(loop, block, 20000, 80);
    const DriveAnalysis a = analyseDrive(drive, AnalysisLimits());
    QCOMPARE(a.direction, EnrichDirection::TowardsMax);
    QVERIFY(a.proposals.empty());
    QVERIFY(a.whole.crossingsPer10s > 3);
}

void ClosedLoopTest::needBeyondAStop_data()
{
    QTest::addColumn<bool>("enrichUp");
    QTest::addColumn<int>("need");
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("probeDelayMs");
    QTest::addColumn<int>("pollMs");
    QTest::addColumn<QString>("reason");
    const QString up = QStringLiteral("Malý výkon, doraz MAX 150 → 160:"), down = QStringLiteral("Malý výkon, doraz MIN 60 → 50:");
    QTest::newRow("up, the demo's probe") << true << 170 << 150 << 150 << 100 << up;
    QTest::newRow("up, a quick probe") << true << 170 << 150 << 10 << 100 << up;
    QTest::newRow("up, a slow probe") << true << 170 << 150 << 600 << 100 << up;
    QTest::newRow("up, the demo's probe, rows at 250 ms") << true << 170 << 150 << 150 << 250 << up;
    QTest::newRow("down, the demo's probe") << false << 30 << 60 << 150 << 100 << down;
    QTest::newRow("down, a quick probe") << false << 30 << 60 << 10 << 100 << down;
    QTest::newRow("down, a slow probe") << false << 30 << 60 << 600 << 100 << down;
}

// The demo's fault: a two-minute drive through the demo's ranges, at the default limits.
void ClosedLoopTest::needBeyondAStop()
{
    QFETCH(bool, enrichUp);
    QFETCH(int, need);
    QFETCH(int, stop);
    QFETCH(int, probeDelayMs);
    QFETCH(int, pollMs);
    QFETCH(QString, reason);
    LoopConfig config;
    config.enrichUp = enrichUp;
    config.need[1] = need;
    config.probeDelayMs = probeDelayMs;
    auto block = factoryBlock();
    block[23] = 150;  // low power's MAX, as the demo's set holds it
    ClosedLoop atTheStop(config);
    atTheStop.advanceTo(config.segmentMs + 7000, block);
    QCOMPARE(int(atTheStop.position()), stop);
    QVERIFY(atTheStop.lambda() < block[6]);  // lean, normal logic

    ClosedLoop loop(config);
    const DriveInput drive = record(loop, block, config.segmentMs, 120, pollMs);
    const DriveAnalysis a = analyseDrive(drive, AnalysisLimits());
    QCOMPARE(a.direction, enrichUp ? EnrichDirection::TowardsMax : EnrichDirection::TowardsMin);
    QCOMPARE(a.proposals.size(), std::size_t(1));
    QVERIFY2(a.proposals[0].reason.startsWith(reason), qPrintable(a.proposals[0].reason + " / " + a.directionWhy));
}

void ClosedLoopTest::probeDelayWidensTheSwing()
{
    const auto swing = [](int delayMs) {
        LoopConfig config;
        config.probeDelayMs = delayMs;
        config.segmentMs = 60000;
        ClosedLoop loop(config);
        int low = 255, high = 0;
        for (int ms = 20000; ms < 40000; ms += 10) {
            loop.advanceTo(ms, factoryBlock());
            low = std::min<int>(low, loop.position());
            high = std::max<int>(high, loop.position());
        }
        return high - low;
    };
    QVERIFY(swing(1000) > swing(100) + 4);
}

QTEST_GUILESS_MAIN(ClosedLoopTest)
#include "tst_closedloop.moc"

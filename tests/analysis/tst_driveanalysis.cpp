// The analysis of a recorded drive against recordings with known answers.
#include "analysis/driveanalyzer.h"
#include "analysis/stopproposals.h"
#include "drivesynth.h"
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

class DriveAnalysisTest : public QObject
{
    Q_OBJECT
private slots:
    void switchingRate_data();
    void switchingRate();
    void stopShare();
    void excludedRows();
    void transitions_data();
    void transitions();
    void proposals_data();
    void proposals();
    void proposalsStayWithinLimits();
    void heldAtTheStopByTheDelayedProbe();
    void wholeDriveNoBetterThanItsWorstRange();
    void limitsFromSettings();
    void everyAcceptedLimitIsSafe_data();
    void everyAcceptedLimitIsSafe();
};

void DriveAnalysisTest::switchingRate_data()
{
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<double>("periodS");
    QTest::newRow("20 ms poll, 1.3 s period") << 20 << 1.3;
    QTest::newRow("20 ms poll, 0.5 s period") << 20 << 0.5;
    QTest::newRow("250 ms poll, 7 s period") << 250 << 7.0;
}

// A probe swinging as a sine about the threshold crosses it twice a period.
void DriveAnalysisTest::switchingRate()
{
    QFETCH(int, stepMs);
    QFETCH(double, periodS);
    DriveSynth d(stepMs);
    for (int i = 0; i * stepMs < 300000; ++i)
        d.row(22 + int(std::lround(18 * std::sin(2 * M_PI * i * stepMs / 1000.0 / periodS + 0.3))), 10, 80);
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    const double expected = 20.0 / periodS;
    QVERIFY2(std::abs(a.ranges[0].crossingsPer10s - expected) <= 0.02 * expected,
             qPrintable(QString::number(a.ranges[0].crossingsPer10s)));
    QCOMPARE(a.whole.crossings, a.ranges[0].crossings);
    QVERIFY(std::abs(a.ranges[0].richShare - 0.5) < 0.03);
    QCOMPARE(a.ranges[0].lambdaLow, 4);
    QCOMPARE(a.ranges[0].lambdaHigh, 40);
}

void DriveAnalysisTest::stopShare()
{
    DriveSynth d;
    // 10 s cycles in the low-power range: 6.3 s moving, then 3.7 s at MAX (140) or one step below.
    for (int i = 0; i < 30000; ++i) {
        const int inCycle = i % 500;
        const int pos = inCycle >= 315 ? 139 + (i % 2) : 100 + inCycle % 20;
        d.row(i % 50 < 25 ? 10 : 40, DriveSynth::tpsOf(1), pos);
    }
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    const RangeFigures &f = a.ranges[1];
    QVERIFY2(std::abs(f.atMaxShare - 0.37) <= 0.005, qPrintable(QString::number(f.atMaxShare)));
    QCOMPARE(f.atMinShare, 0.0);
    QCOMPARE(f.servoHigh, 140);
    QCOMPARE(f.servoLow, 100);
    QCOMPARE(f.atMax, Verdict::Amber);
    QCOMPARE(f.atMin, Verdict::Green);
    QCOMPARE(f.tpsCrossingsPerMin[0], 0.0);
}

// Rows within a second of a measurement, a gap, a set written, a missing reply and a range
// change are not steady; rows without values take no time at all.
void DriveAnalysisTest::excludedRows()
{
    DriveSynth d;
    for (int i = 0; i < 3000; ++i) {
        const qint32 ms = i * 20;
        d.ms = ms;
        if (ms >= 20000 && ms < 22000)
            continue;  // the poll stood still
        quint8 flags = DriveRow::Values;
        if (ms == 10000)
            flags = DriveRow::Measuring;
        else if (ms == 50000)
            flags = 0;  // no reply
        else if (ms == 30000)
            flags |= DriveRow::SetWritten;
        const int range = ms >= 40000 && ms < 45000 ? 1 : 0;
        d.row(i % 20 < 10 ? 10 : 40, DriveSynth::tpsOf(range), 80, flags);
    }
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    QCOMPARE(a.ranges[0].timeMs, qint64(60000 - 20 - 20 - 20 - 2020 - 5000));
    QCOMPARE(a.ranges[0].steadyMs, qint64(52920 - 1000 - 980 - 1000 - 1000 - 1000 - 980));
    QCOMPARE(a.ranges[1].timeMs, qint64(5000));
    QCOMPARE(a.ranges[1].steadyMs, qint64(4000));
    QCOMPARE(a.whole.steadyMs, a.ranges[0].steadyMs + a.ranges[1].steadyMs);
    // Into the low-power range and back: threshold 1 crossed twice in a minute.
    QCOMPARE(qRound(a.whole.tpsCrossingsPerMin[0] * a.whole.timeMs / 60000.0), 2);
    QCOMPARE(a.ranges[1].enoughData, false);
    QCOMPARE(a.ranges[1].switching, Verdict::None);
    QCOMPARE(a.ranges[0].switching, Verdict::Green);
}

void DriveAnalysisTest::transitions_data()
{
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<bool>("timed");
    QTest::newRow("20 ms poll") << 20 << false << true;
    QTest::newRow("20 ms poll, reversed logic") << 20 << true << true;
    QTest::newRow("250 ms poll") << 250 << false << false;
}

// The probe climbs from 5 to 45 steps in 0.5 s (0.3 V to 0.6 V takes 0.19 s) and falls in 1.5 s
// (0.56 s between the levels).
void DriveAnalysisTest::transitions()
{
    QFETCH(int, stepMs);
    QFETCH(bool, reversed);
    QFETCH(bool, timed);
    DriveSet set = DriveSynth::plainSet();
    set.reversedLogic = reversed;
    DriveSynth d(stepMs, set);
    for (int t = 0; t < 200000; t += stepMs) {
        const int inCycle = t % 4000;
        const double lambda = inCycle < 500 ? 5 + 40.0 * inCycle / 500
                              : inCycle < 2000 ? 45
                              : inCycle < 3500 ? 45 - 40.0 * (inCycle - 2000) / 1500
                                               : 5;
        d.row(int(std::lround(lambda)), 10, 80);
    }
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    const RangeFigures &f = a.ranges[0];
    const TransitionFigure &up = reversed ? f.richToLean : f.leanToRich;
    const TransitionFigure &down = reversed ? f.leanToRich : f.richToLean;
    QCOMPARE(up.timed(), timed);
    QCOMPARE(down.timed(), timed);
    if (!timed) {
        QVERIFY(up.why.contains(QLatin1String("250 ms")));
        QCOMPARE(f.transitions, Verdict::None);
        return;
    }
    QVERIFY2(std::abs(up.meanS - 0.1875) < 0.03, qPrintable(QString::number(up.meanS)));
    QVERIFY2(std::abs(down.meanS - 0.5625) < 0.03, qPrintable(QString::number(down.meanS)));
    QCOMPARE(f.transitions, Verdict::Amber);
    QCOMPARE(f.high, Verdict::Green);
    QCOMPARE(f.low, Verdict::Green);
}

void DriveAnalysisTest::proposals_data()
{
    QTest::addColumn<bool>("enrichUp");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<int>("lowPowerS");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("enriching towards MAX")
        << true << false << 60 << QStringList{QStringLiteral("Malý výkon, doraz MAX 140 → 150: servo na dorazu 100 % ustáleného času, chudá 100 %")};
    QTest::newRow("enriching towards MIN, reversed logic")
        << false << true << 60 << QStringList{QStringLiteral("Malý výkon, doraz MIN 60 → 50: servo na dorazu 100 % ustáleného času, chudá 100 %")};
    QTest::newRow("too little steady time") << true << false << 15 << QStringList();
}

// Idle teaches which way the servo enriches; in the low-power range it sits at its enriching
// stop with the mixture lean.
void DriveAnalysisTest::proposals()
{
    QFETCH(bool, enrichUp);
    QFETCH(bool, reversed);
    QFETCH(int, lowPowerS);
    QFETCH(QStringList, expected);
    DriveSet set = DriveSynth::plainSet();
    set.reversedLogic = reversed;
    DriveSynth d(20, set);
    const int lean = reversed ? 40 : 10, rich = reversed ? 10 : 40;
    int pos = 80;
    for (int i = 0; i < 3000; ++i) {
        const bool isLean = i % 100 < 50;
        pos += (isLean == enrichUp) ? 1 : -1;
        pos = std::clamp(pos, 41, 119);
        d.row(isLean ? lean : rich, 10, pos);
    }
    for (int i = 0; i < lowPowerS * 50; ++i)
        d.row(lean, DriveSynth::tpsOf(1), enrichUp ? 140 : 60);
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    QCOMPARE(a.direction, enrichUp ? EnrichDirection::TowardsMax : EnrichDirection::TowardsMin);
    QStringList reasons;
    for (const StopProposal &p : a.proposals)
        reasons << p.reason;
    QCOMPARE(reasons, expected);
    if (expected.isEmpty())
        QCOMPARE(a.ranges[1].atMax, Verdict::None);
}

// The unit follows its probe 200 ms late: the servo reaches MAX while the probe says lean and
// stays there until the rich answer has reached the unit, half of its time at the stop with the
// probe already rich.
void DriveAnalysisTest::heldAtTheStopByTheDelayedProbe()
{
    DriveSynth d;
    const int lagRows = 10;
    std::vector<bool> lean;
    int pos = 90;
    for (int i = 0; i < 3000; ++i) {
        lean.push_back(i % 50 < 25);
        const bool seenLean = i >= lagRows && lean[std::size_t(i - lagRows)];
        pos = std::clamp(pos + (seenLean ? 5 : -2), 60, 140);
        d.row(lean.back() ? 10 : 40, DriveSynth::tpsOf(1), pos);
    }
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    QCOMPARE(a.direction, EnrichDirection::TowardsMax);
    QCOMPARE(a.probeLagMs, 200);
    QCOMPARE(a.ranges[1].leanAtMax, 1.0);
    QCOMPARE(a.proposals.size(), std::size_t(1));
    QVERIFY2(a.proposals[0].reason.startsWith(QStringLiteral("Malý výkon, doraz MAX 140 → 150:")), qPrintable(a.proposals[0].reason));
}

// A minute and a half of idle hunting between its stops, half a minute of low power at MAX.
void DriveAnalysisTest::wholeDriveNoBetterThanItsWorstRange()
{
    DriveSynth d;
    for (int i = 0; i < 4500; ++i)
        d.row(i % 50 < 25 ? 10 : 40, DriveSynth::tpsOf(0), 80);
    for (int i = 0; i < 1500; ++i)
        d.row(10, DriveSynth::tpsOf(1), 140);
    const DriveAnalysis a = analyseDrive(d.input, AnalysisLimits());
    QVERIFY(a.whole.atMaxShare < AnalysisLimits().stopShareRed);
    QCOMPARE(a.ranges[1].atMax, Verdict::Red);
    QCOMPARE(a.whole.atMax, Verdict::Red);
}

// Random drives of a servo chasing a random need, with random sets, sets written on the way,
// gaps and limits: no proposal passes a limit or leaves MAX below MIN.
void DriveAnalysisTest::proposalsStayWithinLimits()
{
    QRandomGenerator random(29);
    int proposed = 0;
    for (int run = 0; run < 300; ++run) {
        AnalysisLimits limits;
        limits.proposalStep = random.bounded(1, 20);
        limits.proposalDistance = random.bounded(1, 40);
        limits.proposalStopShare = random.bounded(5, 80) / 100.0;
        limits.proposalSideShare = random.bounded(30, 95) / 100.0;
        limits.minSteadyS = random.bounded(5, 40);
        const auto randomSet = [&random] {
            DriveSet s = DriveSynth::plainSet();
            for (int r = 0; r < 4; ++r) {
                s.stopMin[std::size_t(r)] = random.bounded(0, 256);
                s.stopMax[std::size_t(r)] = random.bounded(0, 255);
                if (random.bounded(10) > 0 && s.stopMax[std::size_t(r)] < s.stopMin[std::size_t(r)])
                    std::swap(s.stopMax[std::size_t(r)], s.stopMin[std::size_t(r)]);
            }
            s.reversedLogic = random.bounded(2);
            return s;
        };
        DriveSynth d(random.bounded(1, 4) * 20, randomSet());
        const bool enrichUp = random.bounded(2);
        int pos = 128, tps = 25, lambda = 22;
        std::array<int, 4> need{};
        for (int &n : need)
            n = random.bounded(0, 256);
        const int rows = random.bounded(1000, 8000);
        for (int i = 0; i < rows; ++i) {
            if (random.bounded(2000) == 0)
                d.input.sets.push_back(randomSet());
            if (random.bounded(400) == 0)
                tps = random.bounded(0, 200);
            const DriveSet &set = d.input.sets.back();
            const int range = set.rangeOf(tps);
            const bool lean = (enrichUp ? pos < need[std::size_t(range)] : pos > need[std::size_t(range)]);
            lambda = lean == set.reversedLogic ? 40 : 5;
            pos += (lean == enrichUp) ? 1 : -1;
            const int low = std::min(set.stopMin[std::size_t(range)], set.stopMax[std::size_t(range)]);
            pos = std::clamp(pos, low, set.stopMax[std::size_t(range)] < low ? low : set.stopMax[std::size_t(range)]);
            quint8 flags = DriveRow::Values;
            if (random.bounded(300) == 0)
                flags = 0;
            if (random.bounded(500) == 0)
                d.ms += 2000;
            d.row(lambda, tps, pos, flags);
        }
        const DriveAnalysis a = analyseDrive(d.input, limits);
        const DriveSet &recorded = d.input.sets.front();
        const DriveSet &current = d.input.sets.back();
        const DriveSet after = applyProposals(current, a.proposals);
        for (const StopProposal &p : a.proposals) {
            ++proposed;
            const std::size_t r = std::size_t(p.range);
            const RangeFigures &f = a.ranges[r];
            QVERIFY(f.enoughData && f.steadyMs >= limits.minSteadyS * 1000);
            QVERIFY(p.stopShare >= limits.proposalStopShare && p.sideShare >= limits.proposalSideShare);
            QCOMPARE(p.from, p.maxStop ? current.stopMax[r] : current.stopMin[r]);
            QVERIFY(p.to != p.from && std::abs(p.to - p.from) <= limits.proposalStep);
            QVERIFY(std::abs(p.to - (p.maxStop ? recorded.stopMax[r] : recorded.stopMin[r])) <= limits.proposalDistance);
            QVERIFY(p.to >= 0 && p.to <= (p.maxStop ? DriveSet::StopMaxLimit : DriveSet::StopMinLimit));
            QVERIFY2(after.stopMax[r] >= after.stopMin[r], qPrintable(p.reason));
        }
    }
    QVERIFY2(proposed > 20, qPrintable(QString::number(proposed)));
}

void DriveAnalysisTest::limitsFromSettings()
{
    const QHash<QString, QString> keys{{QStringLiteral("NavrhKrok"), QStringLiteral("5")},
                                       {QStringLiteral("MinUstalenoS"), QStringLiteral("12,5")},
                                       {QStringLiteral("NavrhVzdalenost"), QStringLiteral("abc")},
                                       {QStringLiteral("NavrhDoraz"), QStringLiteral("7")}};
    const AnalysisLimits l = AnalysisLimits::read([&keys](const QString &key) { return keys.value(key); });
    QCOMPARE(l.proposalStep, 5);
    QCOMPARE(l.minSteadyS, 12.5);
    QCOMPARE(l.proposalDistance, AnalysisLimits().proposalDistance);
    QCOMPARE(l.proposalStopShare, AnalysisLimits().proposalStopShare);
}

void DriveAnalysisTest::everyAcceptedLimitIsSafe_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("value");
    for (const AnalysisLimits::Key &key : AnalysisLimits::keys()) {
        QTest::addRow("%s=%g", key.name, key.low) << QString::fromLatin1(key.name) << key.low;
        QTest::addRow("%s=%g", key.name, key.high) << QString::fromLatin1(key.name) << key.high;
    }
}

// Each accepted value at the edge of its range, over a drive with every kind of break in it (a
// gap, a missing reply, a measurement, a set written, range changes) and a servo standing still:
// nothing is read outside the rows, no figure leaves its bounds, and no movement is made up
// across a break.
void DriveAnalysisTest::everyAcceptedLimitIsSafe()
{
    QFETCH(QString, key);
    QFETCH(double, value);
    const AnalysisLimits limits = AnalysisLimits::read([&](const QString &k) { return k == key ? QString::number(value) : QString(); });
    DriveSynth d;
    for (int i = 0; i < 3000; ++i) {
        if (i == 1000)
            d.ms += 3000;
        if (i == 2000)
            d.input.sets.push_back(DriveSynth::plainSet());
        const quint8 flags = i == 1500 ? 0 : i == 1700 ? DriveRow::Measuring : i == 2000 ? DriveRow::Values | DriveRow::SetWritten : DriveRow::Values;
        d.row(i % 40 < 20 ? 5 : 45, DriveSynth::tpsOf(i / 250 % 4), 100, flags);
    }
    const DriveAnalysis a = analyseDrive(d.input, limits);
    QCOMPARE(a.direction, EnrichDirection::Unknown);
    QVERIFY2(a.directionWhy.endsWith(QStringLiteral("(0 kroků)")), qPrintable(a.directionWhy));
    for (const RangeFigures *f : allFigures(a)) {
        QVERIFY(f->steadyMs >= 0 && f->steadyMs <= f->timeMs);
        for (double share : {f->timeShare, f->richShare, f->leanShare, f->atMaxShare, f->atMinShare})
            QVERIFY(share >= 0 && share <= 1);
    }
    QVERIFY(a.proposals.empty());
}

QTEST_GUILESS_MAIN(DriveAnalysisTest)
#include "tst_driveanalysis.moc"

#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include "tuning/paramblock.h"
#include "tuning/paramfields.h"
#include <QTest>

using namespace ParamBlock;

class TestParamBlock : public QObject
{
    Q_OBJECT
private slots:
    void unitAddressesAndSaveButtons()
    {
        QCOMPARE(unitAddress(SetVersion), 63);
        QCOMPARE(unitAddress(UnitFlags), 48);
        QCOMPARE(unitAddress(IdleStopMax), 68);
        QCOMPARE(unitAddress(FullPowerSpeedMax), 62);
        QCOMPARE(ParamFields::SpinCount, 19);
        QCOMPARE(QString::fromLatin1(ParamFields::spinField(HighPowerSpeedMin)->saveButton), QStringLiteral("Button21"));
        QCOMPARE(QString::fromLatin1(ParamFields::spinField(TpsThreshold3)->saveButton), QStringLiteral("Button31"));
        QCOMPARE(ParamFields::spinField("MaxDorMax")->maximum, 254);
        QCOMPARE(ParamFields::spinField("MaxDorMin")->maximum, 255);
    }

    void speedsAreStoredNegated()
    {
        QCOMPARE(int(speedToByte(1)), 255);
        QCOMPARE(int(speedToByte(255)), 1);
        QCOMPARE(int(speedToByte(0)), 0);
        QCOMPARE(int(speedToByte(10)), 246);
        QCOMPARE(byteToSpeed(255), 1);
        QCOMPARE(byteToSpeed(1), 255);
        QCOMPARE(byteToSpeed(0), 256);  // no control shows it; they limit it to 255
        const ParamFields::SpinField &hor = *ParamFields::spinField(FullPowerSpeedMax);
        QCOMPARE(int(ParamFields::storedByte(hor, 10)), 246);
        QCOMPARE(int(ParamFields::storedByte(*ParamFields::spinField(IdleStopMax), 254)), 254);
    }

    void bitHelpers()
    {
        QCOMPARE(byteToBinary(0x41), QStringLiteral("01000001"));
        QCOMPARE(byteToBinary(0), QStringLiteral("00000000"));
        QCOMPARE(byteToBinary(0x85), QStringLiteral("10000101"));
        QVERIFY(testBit(0x10, 4));
        QVERIFY(!testBit(0x10, 5));
        unsigned v = 0;
        setBit(v, 6);
        QCOMPARE(v, 0x40u);
        v = 0xFF;
        clearBit(v, 7);
        QCOMPARE(v, 0x7Fu);
        QCOMPARE(intPower(2, 0), 1);
        QCOMPARE(intPower(3, 4), 81);
    }

    void activeRange_data()
    {
        QTest::addColumn<bool>("rising");
        QTest::addColumn<QList<int>>("thresholds");
        QTest::addColumn<int>("tps");
        QTest::addColumn<int>("range");
        const QList<int> up{50, 100, 150}, down{150, 100, 50}, odd{100, 50, 200};
        const struct { bool rising; QList<int> t; int tps; PowerRange r; } rows[] = {
            {true, up, 0, PowerRange::Idle}, {true, up, 50, PowerRange::Idle},
            {true, up, 51, PowerRange::LowPower}, {true, up, 100, PowerRange::LowPower},
            {true, up, 101, PowerRange::HighPower}, {true, up, 150, PowerRange::HighPower},
            {true, up, 151, PowerRange::FullPower}, {true, up, 255, PowerRange::FullPower},
            {false, down, 255, PowerRange::Idle}, {false, down, 150, PowerRange::Idle},
            {false, down, 149, PowerRange::LowPower}, {false, down, 100, PowerRange::LowPower},
            {false, down, 99, PowerRange::HighPower}, {false, down, 50, PowerRange::HighPower},
            {false, down, 49, PowerRange::FullPower}, {false, down, 0, PowerRange::FullPower},
            // Unordered thresholds: the low-power range is skipped.
            {true, odd, 75, PowerRange::Idle}, {true, odd, 120, PowerRange::HighPower},
            {true, {0, 0, 0}, 0, PowerRange::Idle},
        };
        for (const auto &row : rows)
            QTest::addRow("%s t1=%d tps=%d", row.rising ? "rising" : "falling", row.t[0], row.tps)
                << row.rising << row.t << row.tps << int(row.r);
    }
    void activeRange()
    {
        QFETCH(bool, rising);
        QFETCH(QList<int>, thresholds);
        QFETCH(int, tps);
        QFETCH(int, range);
        QCOMPARE(int(activePowerRange(tps, rising, thresholds[0], thresholds[1], thresholds[2])), range);
    }

    void versionsBeyondTheNamedOnesReadUndefined()
    {
        ToolSetup setup;
        setup.nameVersion(99, QStringLiteral("Poslední"));
        QCOMPARE(setup.versionName(99), QStringLiteral("Poslední"));
        QCOMPARE(setup.versionName(100), QStringLiteral("Nedefinováno"));
        QCOMPARE(setup.versionName(255), QStringLiteral("Nedefinováno"));
    }
};

QTEST_GUILESS_MAIN(TestParamBlock)
#include "tst_paramblock.moc"

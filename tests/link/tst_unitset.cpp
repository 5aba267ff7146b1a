#include "link/unitset.h"
#include <QSignalSpy>
#include <QTest>

// The set changes only through its operations, and each says what it changed, once.
class TestUnitSet : public QObject
{
    Q_OBJECT

    static ParameterSet startUpSet()
    {
        return ParameterSet::fromFrames(QByteArray::fromHex("01") + QByteArray(32, '\0') + QByteArray::fromHex("03"));
    }

private slots:
    void aByteEditSaysTheByteOnlyWhenItChanges()
    {
        UnitSet set;
        QSignalSpy changed(&set, &UnitSet::paramByteChanged);
        set.setParamByte(6, 40);
        set.setParamByte(6, 40);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toInt(), 6);
        QCOMPARE(changed.first().at(1).value<quint8>(), quint8(40));
        QCOMPARE(set.paramByte(6), quint8(40));
        QCOMPARE(set.value(), startUpSet().withParam(6, 40));
    }

    void levelsSayWhetherTheyAreAUnitsOwn()
    {
        UnitSet set;
        QSignalSpy changed(&set, &UnitSet::levelsChanged);
        const QByteArray levels = QByteArray::fromHex("030b3d0c3e0102030404");
        set.setLevels(levels);
        set.setLevelByte(3, 33);
        set.setPlaceholderLevels();
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(0).at(0).toByteArray(), levels);
        QVERIFY(changed.at(0).at(1).toBool());
        QCOMPARE(changed.at(1).at(0).toByteArray().at(3), char(33));
        QVERIFY(changed.at(1).at(1).toBool());  // a hand edit keeps them the unit's
        QCOMPARE(changed.at(2).at(0).toByteArray(), QByteArray::fromHex("030a3c0a3c0102030404"));
        QVERIFY(!changed.at(2).at(1).toBool());
        QVERIFY(!set.levelsValid());
    }

    // A set taken in whole brings its levels, or for a set kept without them the placeholders,
    // which a write never sends.
    void levelsTakenOverAreReadOnlyWhenTheSetHadThem()
    {
        UnitSet set;
        const ParameterSet::Levels levels{0x03, 11, 61, 12, 62, 1, 2, 3, 4, 0x04};
        set.takeOverLevels(levels);
        QVERIFY(set.levelsValid());
        QCOMPARE(set.value().levels(), std::optional<ParameterSet::Levels>(levels));
        set.takeOverLevels(std::nullopt);
        QVERIFY(!set.levelsValid() && !set.value().hasLevels());
        QCOMPARE(set.levelBytes().mid(1, 4), QByteArray::fromHex("0a3c0a3c"));
    }

    void resetGoesBackToTheStartUpSetAndForgetsItsOrigin()
    {
        UnitSet set;
        QSignalSpy valid(&set, &UnitSet::blockValidChanged);
        QSignalSpy written(&set, &UnitSet::settingsWrittenChanged);
        set.takeOverBlock(QByteArray::fromHex("01") + QByteArray(32, '\x11') + QByteArray::fromHex("03"));
        set.markBlockValid();
        set.markBlockValid();
        set.setLevels(QByteArray::fromHex("030b3d0c3e0102030404"));
        set.takeUpStatus(0x16, 0x00);
        set.setTpsRising(true);
        set.markWritten();
        set.reset();
        QCOMPARE(set.value(), startUpSet());
        QCOMPARE(set.levelBytes(), QByteArray::fromHex("03000000000000000004"));
        QVERIFY(!set.blockValid() && !set.levelsValid());
        QCOMPARE(valid.count(), 2);
        QCOMPARE(set.lambdaStatus(), 0u);
        // The start-up block's TPS logic bit is clear: falling, as the power range shown assumes.
        QVERIFY(!set.tpsRising());
        // What the unit was told is no part of the set: only another unit forgets it.
        QVERIFY(set.settingsWritten());
        set.forgetWritten();
        QCOMPARE(written.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestUnitSet)
#include "tst_unitset.moc"

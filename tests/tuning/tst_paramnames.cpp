#include "tuning/paramnames.h"
#include <QSet>
#include <QTest>

using namespace ParamNames;

class TestParamNames : public QObject
{
    Q_OBJECT
private slots:
    void everyByteHasItsOwnEntry()
    {
        QSet<QString> names, fields;
        for (int i = 1; i <= ParamCount; ++i) {
            QVERIFY(param(i));
            QCOMPARE(param(i)->index, i);
            names << name(*param(i));
            fields << QString::fromLatin1(param(i)->field);
        }
        for (int i = 1; i <= LevelCount; ++i) {
            QCOMPARE(level(i)->index, i);
            names << name(*level(i));
            fields << QString::fromLatin1(level(i)->field);
        }
        QCOMPARE(names.size(), ParamCount + LevelCount);
        QCOMPARE(fields.size(), ParamCount + LevelCount);
        QVERIFY(!param(0) && !param(33) && !level(0) && !level(5));
        QCOMPARE(byName("Edit4"), level(3));
        QCOMPARE(byName("TPSMaly"), param(ParamBlock::TpsThreshold2));
        QVERIFY(!byName("Button7"));
    }

    void names_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("range");
        QTest::newRow("stop") << "VolDorMax" << "Volnoběh – doraz serva MAX" << "0–254";
        QTest::newRow("stop min") << "MaxDorMin" << "Maximální výkon – doraz serva MIN" << "0–255";
        QTest::newRow("speed") << "MalyRychMin" << "Malý výkon – rychlost DOL" << "0–255";
        QTest::newRow("threshold") << "TPSMaly" << "2. hranice TPS" << "0–255";
        QTest::newRow("text edit") << "HraNapLambda" << "Hranice lambda" << "0–255";
        QTest::newRow("time") << "Prom31" << "Čas emulace zvýšené – bohatá" << "0–255";
        QTest::newRow("level") << "Edit2" << "Úrovně emulace volnoběh – chudá" << "0–255";
        QTest::newRow("version") << "Verze" << "Verze Jednotky" << "0–99";
    }
    void names()
    {
        QFETCH(QString, field);
        const Field *f = byName(field.toLatin1().constData());
        QVERIFY(f);
        QTEST(name(*f), "name");
        QTEST(rangeText(*f), "range");
    }

    void statusBytesDecode()
    {
        // 0x36: emulation idle/raised, 0-5 V, reversed logic; TPS byte 0xFE: falling.
        QStringList captions;
        for (const StatusGroup &g : StatusGroups)
            captions << QString::fromUtf8(decode(g, g.index == ParamBlock::LambdaFlags ? 0x36 : 0xFE).caption);
        QCOMPARE(captions, (QStringList{"Emulace volnoběh / zvýšené", "0 - 5 V", "Obrácená", "Klesající"}));
        QCOMPARE(QString::fromLatin1(decode(StatusGroups[0], 0xC5).button), QStringLiteral("R10"));
    }
};

QTEST_GUILESS_MAIN(TestParamNames)
#include "tst_paramnames.moc"

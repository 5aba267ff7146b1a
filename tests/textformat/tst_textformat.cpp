#include "textformat/czechnumber.h"
#include "textformat/safefilename.h"
#include <QTest>

// The decimals a Czech technician reads and the file name parts every saved file carries.
class TestTextFormat : public QObject
{
    Q_OBJECT
private slots:
    void czechDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("hundredths") << 0.04 << 2 << "0,04";
        QTest::newRow("no group separator") << 1234567.25 << 2 << "1234567,25";
        QTest::newRow("whole") << 15.4 << 0 << "15";
        QTest::newRow("rounds up") << 0.995 << 1 << "1,0";
        QTest::newRow("negative") << -2.5 << 1 << "-2,5";
        QTest::newRow("negative zero drops its sign") << -0.004 << 2 << "0,00";
    }
    void czechDecimals()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(czechDecimal(value, decimals), text);
    }

    void safeFileNameParts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("part");
        QTest::newRow("already safe stays") << "Skoda-Octavia_1.6" << 40 << "Skoda-Octavia_1.6";
        QTest::newRow("Czech marks go") << "Škoda Žluťoučký kůň" << 40 << "Skoda-Zlutoucky-kun";
        QTest::newRow("shell and Windows characters") << "a/b\\c:d*e?f\"g<h>i|j;k&l$m'n`o" << 40 << "a-b-c-d-e-f-g-h-i-j-k-l-m-n-o";
        QTest::newRow("runs of blanks are one dash") << "  Bez   verze! " << 40 << "Bez-verze";
        QTest::newRow("no trailing dot or leading dash") << "-.verze 1.." << 40 << "verze-1";
        QTest::newRow("cut, then no trailing dot") << "abcd.efgh" << 5 << "abcd";
        QTest::newRow("bounded") << QString(255, QLatin1Char('x')) << 40 << QString(40, QLatin1Char('x'));
        QTest::newRow("control characters") << QStringLiteral("a\tb\nc\x01") << 40 << "a-b-c";
        QTest::newRow("nothing usable") << "!!! ..." << 40 << "";
        QTest::newRow("empty") << "" << 40 << "";
    }
    void safeFileNameParts()
    {
        QFETCH(QString, name);
        QFETCH(int, maxLength);
        QFETCH(QString, part);
        QCOMPARE(safeFileNamePart(name, maxLength), part);
        QCOMPARE(safeFileNamePart(part, maxLength), part);
    }
};

QTEST_GUILESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"

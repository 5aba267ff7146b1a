#include "datalog/logformat.h"
#include "datalog/recordingreader.h"
#include <QTemporaryDir>
#include <QTest>

// The recording file byte for byte, and what the reader makes of good and damaged files.
namespace {
const QByteArray Header = "\xEF\xBB\xBF"
                          "t [s];Čas;Lambda [V];Lambda [hodnota];TPS [V];TPS [hodnota];Poloha [krok];Rozsah;Značka;Stav\r\n";

QByteArray sample()
{
    QByteArray out = LogFormat::byteOrderMark() + LogFormat::headerLine();
    LogRow reply;
    reply.ms = 0;
    reply.wallClock = QTime(14, 3, 22, 5);
    reply.hasValues = true;
    reply.lambda = 30;
    reply.tps = 128;
    reply.position = 100;
    reply.range = QStringLiteral("Malý výkon");
    LogFormat::appendRow(out, reply);
    LogRow gap;
    gap.ms = 1234567;
    gap.wallClock = QTime(14, 23, 56, 567);
    gap.status = QString::fromUtf8(LogFormat::noReply());
    gap.marker = LogFormat::markerField(2, {});
    LogFormat::appendRow(out, gap);
    LogRow full = reply;
    full.ms = 1234587;
    full.wallClock = QTime(14, 23, 56, 587);
    full.lambda = full.tps = 255;
    full.position = 0;
    full.range.clear();
    full.marker = LogFormat::markerField(2, QStringLiteral(" kopec; \"start\"\n a dál, daleko dál, až za humna a ještě kousek "));
    LogFormat::appendRow(out, full);
    return out;
}
}

class TestLogFile : public QObject
{
    Q_OBJECT
private slots:
    void rowsAreWrittenByteForByte()
    {
        const QByteArray expected = Header
            + "0,000;14:03:22.005;0,60;30;2,56;128;100;Malý výkon;;\r\n"
              "1234,567;14:23:56.567;;;;;;;2;bez odpovědi\r\n"
              "1234,587;14:23:56.587;5,10;255;5,10;255;0;;2 kopec start a dál, daleko dál, až za hum;\r\n";
        QCOMPARE(sample(), expected);
        QCOMPARE(LogFormat::volts(1), QByteArray("0,02"));
        QCOMPARE(LogFormat::volts(50), QByteArray("1,00"));
        QCOMPARE(LogFormat::fileName(QDateTime(QDate(2026, 3, 7), QTime(8, 5, 9)), QStringLiteral("Octavia 1.6/LPG")),
                 QStringLiteral("2026-03-07_08-05-09_Octavia 1.6_LPG.csv"));
        QCOMPARE(LogFormat::fileName(QDateTime(QDate(2026, 3, 7), QTime(8, 5, 9)), QStringLiteral("Bez verze!"), 3),
                 QStringLiteral("2026-03-07_08-05-09_Bez verze!_3.csv"));
    }

    void whatIsWrittenReadsBack()
    {
        const RecordingRead read = readRecording(sample());
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        const Recording &r = read.recording;
        QCOMPARE(r.rows(), 3);
        QCOMPARE(r.ms(1), 1234567);
        QCOMPARE(r.clockMs(0), ((14 * 60 + 3) * 60 + 22) * 1000 + 5);
        QVERIFY(r.hasValues(0) && !r.hasValues(1) && r.hasValues(2));
        QCOMPARE(QList<int>({r.lambda(0), r.tps(0), r.position(0)}), QList<int>({30, 128, 100}));
        QCOMPARE(r.range(0), QStringLiteral("Malý výkon"));
        QCOMPARE(r.status(1), QStringLiteral("bez odpovědi"));
        // The number marks the row; the text that followed it later belongs to it.
        QCOMPARE(r.markers().size(), 1);
        QCOMPARE(r.markers()[0].row, 1);
        QCOMPARE(r.markers()[0].text, QStringLiteral("kopec start a dál, daleko dál, až za hum"));
        QCOMPARE(r.lambdaPeak(), 255);
    }

    void aSpreadsheetsCopyReadsToo()
    {
        // Saved again in a Windows code page, without the mark, with points and padding.
        const QByteArray copy = "t [s];\xC8" "as;Lambda [V];Lambda [hodnota];TPS [V];TPS [hodnota];Poloha [krok];Rozsah;Zna\xE8ka;Stav\n"
                                " 0.5 ;10:00:00;0.6;30;2.56;128;100;;1;\n\n"
                                "1,0004;10:00:00.500;0,6;31;2,56;128;100;;;\n";
        const RecordingRead read = readRecording(copy);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.recording.rows(), 2);
        QCOMPARE(read.recording.ms(0), 500);
        QCOMPARE(read.recording.ms(1), 1000);
        QCOMPARE(read.recording.markers().size(), 1);
    }

    void damagedFilesNameTheLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("rowsKept");
        QTest::addColumn<QString>("says");
        const QByteArray good = "0,000;14:03:22.005;0,60;30;2,56;128;100;;;\r\n";
        QTest::newRow("empty") << QByteArray() << 1 << 0 << "prázdný";
        QTest::newRow("commas") << QByteArray("t [s],Lambda [hodnota],TPS [hodnota]\n1,2,3\n") << 1 << 0 << "středníkem";
        QTest::newRow("foreign") << QByteArray("Datum;Teplota;Vlhkost\n1;2;3\n") << 1 << 0 << "„t [s]“";
        QTest::newRow("no position") << QByteArray("t [s];Lambda [hodnota];TPS [hodnota]\n") << 1 << 0 << "„Poloha [krok]“";
        QTest::newRow("cut line") << Header + good + "0,020;14:03:22.025;0,6" << 3 << 1 << "(3)";
        QTest::newRow("time back") << Header + "1,000;;;;;;;;;\r\n" + good << 3 << 1 << "menší";
        QTest::newRow("time text") << Header + "x;14:03:22.005;0,60;30;2,56;128;100;;;\n" << 2 << 0 << "„x“";
        QTest::newRow("value 256") << Header + good + "1,000;;;256;;1;1;;;\n" << 3 << 1 << "0 až 255";
        QTest::newRow("half values") << Header + "1,000;;;30;;;1;;;\n" << 2 << 0 << "0 až 255";
        QTest::newRow("marker text") << Header + "1,000;;;30;;1;1;;kopec;\n" << 2 << 0 << "nezačíná";
        QTest::newRow("huge time") << Header + "99999999999;;;30;;1;1;;;\n" << 2 << 0 << "není číslo";
    }
    void damagedFilesNameTheLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(int, rowsKept);
        QFETCH(QString, says);
        const RecordingRead read = readRecording(bytes);
        QCOMPARE(read.errorLine, line);
        QVERIFY2(read.error.startsWith(QStringLiteral("Řádek %1: ").arg(line)), qPrintable(read.error));
        QVERIFY2(read.error.contains(says), qPrintable(read.error));
        QCOMPARE(read.recording.rows(), rowsKept);
        QCOMPARE(read.usable(), line > 1);
    }

    void theListReadsOnlyHeadAndTail()
    {
        QTemporaryDir dir;
        QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
        for (int i = 0; i < 2000; ++i) {
            LogRow row;
            row.ms = 5000 + i * 20;
            row.hasValues = i % 7 != 0;
            LogFormat::appendRow(bytes, row);
        }
        QFile file(dir.filePath(QStringLiteral("a.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const RecordingSummary s = summarizeRecording(file.fileName());
        QVERIFY(s.valid);
        QCOMPARE(s.bytes, qint64(bytes.size()));
        QCOMPARE(s.durationMs, qint64(1999 * 20));
        QVERIFY(!summarizeRecording(dir.filePath(QStringLiteral("none.csv"))).valid);
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"

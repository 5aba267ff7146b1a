#include "datalog/logformat.h"
#include "datalog/recordingreader.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <unistd.h>

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
            + "0,000;14:03:22,005;0,60;30;2,56;128;100;Malý výkon;;\r\n"
              "1234,567;14:23:56,567;;;;;;;2;bez odpovědi\r\n"
              "1234,587;14:23:56,587;5,10;255;5,10;255;0;;\"2 kopec; \"\"start\"\" a dál, daleko dál, až za humna a ještě kousek\";\r\n";
        QCOMPARE(sample(), expected);
        QCOMPARE(LogFormat::volts(1), QByteArray("0,02"));
        QCOMPARE(LogFormat::volts(50), QByteArray("1,00"));
        const QDateTime start(QDate(2026, 3, 7), QTime(8, 5, 9));
        QCOMPARE(LogFormat::fileName(start, QStringLiteral("Octavia_1.6-LPG")), QStringLiteral("2026-03-07_08-05-09_Octavia_1.6-LPG.csv"));
        QCOMPARE(LogFormat::fileName(start, QStringLiteral("Octavia 1.6/LPG")), QStringLiteral("2026-03-07_08-05-09_Octavia-1.6-LPG.csv"));
        QCOMPARE(LogFormat::fileName(start, QStringLiteral("Bez verze!"), 3), QStringLiteral("2026-03-07_08-05-09_Bez-verze_3.csv"));
        QCOMPARE(LogFormat::fileName(start, QStringLiteral("!?")), QStringLiteral("2026-03-07_08-05-09_Bez-verze.csv"));
        QCOMPARE(LogFormat::fileName(start, QString(255, QLatin1Char('x')) + QStringLiteral(".")),
                 QStringLiteral("2026-03-07_08-05-09_") + QString(40, QLatin1Char('x')) + QStringLiteral(".csv"));
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
        // As typed, `;` and `"` included, cut short only.
        QCOMPARE(r.markers()[0].text, QStringLiteral("kopec; \"start\" a dál, daleko dál, až za humna a ještě kousek"));
        QCOMPARE(r.lambdaPeak(), 255);
    }

    void aSpreadsheetsCopyReadsToo()
    {
        // Saved again in Windows-1250, without the mark, with points, padding and quotes.
        const QByteArray copy = "t [s];\xC8" "as;Lambda [V];Lambda [hodnota];TPS [V];TPS [hodnota];Poloha [krok];Rozsah;Zna\xE8ka;Stav\n"
                                " 0.5 ;10:00:00;0.6;30;2.56;128;100;Mal\xFD v\xFDkon;\"1 \xF8" "azen\xED; \"\"dvojka\"\"\";\n\n"
                                "1,0004;10:00:00,5;0,6;31;2,56;128;100;;;bez odpov\xEC" "di\n";
        const RecordingRead read = readRecording(copy);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.recording.rows(), 2);
        QCOMPARE(read.recording.ms(0), 500);
        QCOMPARE(read.recording.ms(1), 1000);
        QCOMPARE(read.recording.clockMs(1), 10 * 3600 * 1000 + 500);
        QCOMPARE(read.recording.range(0), QStringLiteral("Malý výkon"));
        QCOMPARE(read.recording.status(1), QStringLiteral("bez odpovědi"));
        QCOMPARE(read.recording.markers().size(), 1);
        QCOMPARE(read.recording.markers()[0].text, QStringLiteral("řazení; \"dvojka\""));
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

    // A file is judged by its first bytes: neither a video nor a recording too large to show is
    // read whole. The address space left to the reader is a few MB: reading either would need 900.
    void aHugeFileIsRefusedFromItsFirstBytes()
    {
        QTemporaryDir dir;
        constexpr qint64 Size = 900LL * 1024 * 1024;
        const auto sparse = [&](const QString &name, const QByteArray &head) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size() || !file.resize(Size))
                return QString();
            return file.fileName();
        };
        const QString video = sparse(QStringLiteral("jizda.mp4"), QByteArray("\0\0\0\x20" "ftypisom\0\0\x02\0", 16));
        LogRow row;
        row.hasValues = true;
        QByteArray head = LogFormat::byteOrderMark() + LogFormat::headerLine();
        LogFormat::appendRow(head, row);
        const QString recording = sparse(QStringLiteral("velky.csv"), head);
        QVERIFY(!video.isEmpty() && !recording.isEmpty());

        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 mapped = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
        struct rlimit old {};
        getrlimit(RLIMIT_AS, &old);
        struct rlimit tight = old;
        tight.rlim_cur = rlim_t(mapped + 64LL * 1024 * 1024);
        QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
        const RecordingRead foreign = readRecordingFile(video);
        const RecordingRead large = readRecordingFile(recording);
        setrlimit(RLIMIT_AS, &old);

        QCOMPARE(foreign.errorLine, 1);
        QVERIFY2(foreign.error.contains(QStringLiteral("chybí hlavička")), qPrintable(foreign.error));
        QVERIFY(!large.usable());
        QVERIFY2(large.error.contains(QStringLiteral("900 MB")) && large.error.contains(QStringLiteral("256 MB")),
                 qPrintable(large.error));
    }

    // Read in chunks, a recording reads exactly as from memory, whatever line a chunk cuts.
    void aFileReadsAsItsBytes()
    {
        QTemporaryDir dir;
        QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
        for (int i = 0; bytes.size() < 9 * 1024 * 1024; ++i) {
            LogRow row;
            row.ms = i * 20;
            row.hasValues = i % 11 != 0;
            row.lambda = i % 256;
            row.marker = i % 5000 == 1 ? LogFormat::markerField(i / 5000 + 1, QStringLiteral("a;b")) : QString();
            LogFormat::appendRow(bytes, row);
        }
        bytes += "99999,000;;;;;;;;;";  // the last line without its end
        QFile file(dir.filePath(QStringLiteral("a.csv")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const RecordingRead fromFile = readRecordingFile(file.fileName());
        const RecordingRead fromMemory = readRecording(bytes);
        QVERIFY2(fromFile.error.isEmpty(), qPrintable(fromFile.error));
        QCOMPARE(fromFile.recording.rows(), fromMemory.recording.rows());
        QCOMPARE(fromFile.recording.markers().size(), fromMemory.recording.markers().size());
        QCOMPARE(fromFile.recording.markers().last().text, QStringLiteral("a;b"));
        for (int i = 0; i < fromFile.recording.rows(); i += 997)
            QCOMPARE(fromFile.recording.lambda(i), fromMemory.recording.lambda(i));
        QCOMPARE(fromFile.recording.lastMs(), 99999000);
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

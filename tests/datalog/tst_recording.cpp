#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "datalog/logrecorder.h"
#include "datalog/recordingcontrol.h"
#include "datalog/recordingreader.h"
#include "datalog/writeproblem.h"
#include "link/linkconnection.h"
#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include "tuning/paramblock.h"
#include "livepage/livevaluespage.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

// A recording driven by the page's own buttons while the link polls a stand-in for the unit every
// 20 ms: every reply is a row in order, every lost reply a gap row, markers land in rows, and a
// disk that refuses more ends the recording with whole lines only.
class TestRecording : public QObject
{
    Q_OBJECT
private:
    struct Reply { int tps, lambda, position; };

    std::unique_ptr<QTemporaryDir> dir;
    FakePort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    UnitData *data = nullptr;
    std::unique_ptr<ToolSetup> setup;
    UnitLink *link = nullptr;
    LiveValuesPage *page = nullptr;
    RecordingControl *control = nullptr;
    QList<Reply> fed;   // replies the stand-in sent, in order
    int polls = 0;
    int dropped = 0;
    int lastDrop = 0;  // a stretch of polling ends with answered polls, whose losses are told
    int accepted = 0;  // replies the link took
    QElapsedTimer clock;
    qint64 lineFreeMs = 0;  // replies never overtake one another on a line

    QPushButton *button(const char *name) const { return page->findChild<QPushButton *>(QLatin1String(name)); }
    QStringList files() const
    {
        QStringList out;
        for (const QString &f : control->recorder()->files())
            out << f;
        return out;
    }
    // Lets the stand-in answer `count` polls, then stops polling and lets the last answers come.
    void poll(int count)
    {
        const int until = polls + count;
        lastDrop = until - 20;  // 400 ms of answered polls after the last loss: it is told by then
        link->transport.startPolling();
        QTRY_VERIFY_WITH_TIMEOUT(polls >= until, 20000);
        link->transport.stopPolling();
        QTRY_COMPARE_WITH_TIMEOUT(accepted, int(fed.size()), 10000);  // every answer sent has come
    }
    static QList<int> values(const Recording &r, int row) { return {r.tps(row), r.lambda(row), r.position(row)}; }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        port = new FakePort;
        prompts = new ScriptedPrompts;
        data = new UnitData;
        setup = std::make_unique<ToolSetup>();
        setup->setDataFolder(dir->path());
        setup->nameVersion(0, QStringLiteral("Bez verze!"));
        link = new UnitLink(port, data);
        announceLinkOutcomes(*link);
        port->open(QStringLiteral("fake"), nullptr);
        link->transport.prepareFrames();
        link->transport.setPollInterval(20);
        page = new LiveValuesPage(data);
        control = new RecordingControl(&link->status, &link->transport, &link->measurement, data, setup.get(), prompts);
        control->attach(page->recordButton(), page->markerButton(), page->recordingLabel());
        fed.clear();
        polls = dropped = accepted = 0;
        connect(&link->status, &StatusPoll::liveValues, this, [this] { ++accepted; });
        clock.start();
        lineFreeMs = 0;
        // Every 9th poll goes unanswered, every 5th answer comes after the next poll. A loss is told
        // once no late reply can pay it, a reply time after the next poll.
        port->onWrite = [this](const QByteArray &bytes) {
            if (bytes != bytesOf({0x02, 0x0F, 0x03}))
                return;
            ++polls;
            if (polls % 9 == 0 && polls <= lastDrop) {
                ++dropped;
                return;
            }
            const Reply r{polls % 256, (polls * 7) % 256, (polls * 13) % 256};
            fed << r;
            const qint64 due = std::max(clock.elapsed() + (polls % 5 == 0 ? 26 : 4), lineFreeMs + 2);
            lineFreeMs = due;
            port->feedSoon(bytesOf({0x02, r.tps, r.lambda, r.position, 0x00, 0x03}), int(due - clock.elapsed()));
        };
    }
    void cleanup()
    {
        delete control;
        delete page;
        delete link;
        delete data;
        delete prompts;
        delete port;
    }

    // The window's shared data and link were made before the recorder and go before it: a
    // recording still running then ends without them, its rows on disk.
    void aRecordingOutlivingTheLinkEndsWithItsRows()
    {
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        poll(10);
        const QString path = files().value(0);
        delete link;
        link = nullptr;
        delete data;
        data = nullptr;
        delete control;
        control = nullptr;
        const RecordingRead read = readRecordingFile(path);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY2(read.recording.rows() >= accepted, qPrintable(QString::number(read.recording.rows())));
    }

    void everyReplyIsARowAndEveryLostOneAGap()
    {
        QPushButton *record = button("Zaznam");
        QVERIFY(!button("Znacka")->isEnabled());
        QTest::mouseClick(record, Qt::LeftButton);
        QCOMPARE(record->text(), QStringLiteral("Zastavit záznam"));
        QVERIFY(button("Znacka")->isEnabled());
        QVERIFY(page->recordingLabel()->text().startsWith(QStringLiteral("● Záznam 00:00:00\n0 řádků")));
        const QString path = files().value(0);
        QVERIFY2(QFileInfo(path).fileName().contains(QRegularExpression(
                     QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d_Bez-verze\\.csv$"))),
                 qPrintable(path));
        QCOMPARE(QFileInfo(path).absolutePath(), QDir(dir->path()).filePath(QStringLiteral("zaznamy")));

        poll(30);
        prompts->texts << QStringLiteral("řazení");
        QTest::mouseClick(button("Znacka"), Qt::LeftButton);
        prompts->texts << QString();
        QTest::mouseClick(button("Znacka"), Qt::LeftButton);
        poll(30);
        QCOMPARE(prompts->questions, (QStringList{QStringLiteral("Značka 1: Krátký popis značky (nepovinný):"),
                                                   QStringLiteral("Značka 2: Krátký popis značky (nepovinný):")}));
        QTest::mouseClick(record, Qt::LeftButton);
        QCOMPARE(record->text(), QStringLiteral("Záznam"));
        QVERIFY(page->recordingLabel()->text().isEmpty());
        QCOMPARE(link->transport.pollInterval(), 20);

        const RecordingRead read = readRecordingFile(path);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        const Recording &r = read.recording;
        QList<QList<int>> rows;
        int gaps = 0;
        for (int i = 0; i < r.rows(); ++i) {
            if (r.hasValues(i))
                rows << values(r, i);
            else
                gaps += r.status(i) == QStringLiteral("bez odpovědi");
            QVERIFY(i == 0 || r.ms(i) >= r.ms(i - 1));
        }
        QList<QList<int>> expected;
        for (const Reply &f : fed)
            expected << QList<int>{f.tps, f.lambda, f.position};
        QCOMPARE(rows, expected);
        // Every lost reply is told; a test process held up past the reply time may see one more.
        QVERIFY2(gaps >= dropped, qPrintable(QStringLiteral("%1 gaps, %2 dropped").arg(gaps).arg(dropped)));
        QCOMPARE(r.rows(), int(fed.size()) + gaps);
        QCOMPARE(control->recorder()->rows(), qint64(r.rows()));
        QCOMPARE(r.markers().size(), 2);
        QCOMPARE(r.markers()[0].text, QStringLiteral("řazení"));
        // The two markers went into the next two replies' rows; a lost reply found later may sit between.
        QVERIFY(r.markers()[1].row > r.markers()[0].row);
        for (int i = r.markers()[0].row + 1; i < r.markers()[1].row; ++i)
            QVERIFY(!r.hasValues(i));
        QVERIFY(r.markers()[1].text.isEmpty());
        QVERIFY(!prompts->unexpected);
        QVERIFY(prompts->messages.isEmpty());
    }

    // While no rows come (the poll stands still as it does while a reader runs), a marker gets a
    // row of its own at its own time; a stop writes every marker still waiting, texts as typed,
    // however long.
    void everyMarkerIsWrittenAtItsOwnTime()
    {
        const QString longText = QStringLiteral("třetí: stoupání za obcí, plný plyn od 2000 do 4500 otáček");
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        poll(10);
        prompts->texts << QStringLiteral("kopec; \"A\"");
        QTest::mouseClick(button("Znacka"), Qt::LeftButton);
        QTest::qWait(int(LogRecorder::MarkerReachMs) + 700);
        prompts->texts << QString() << longText;
        QTest::mouseClick(button("Znacka"), Qt::LeftButton);
        QTest::mouseClick(button("Znacka"), Qt::LeftButton);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);

        const RecordingRead read = readRecordingFile(files().value(0));
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        const Recording &r = read.recording;
        QCOMPARE(r.markers().size(), 3);
        QCOMPARE(r.markers()[0].text, QStringLiteral("kopec; \"A\""));
        QVERIFY(r.markers()[1].text.isEmpty());
        QCOMPARE(r.markers()[2].text, longText);
        for (const Recording::Marker &m : r.markers()) {
            QVERIFY(!r.hasValues(m.row));
            QCOMPARE(r.status(m.row), QStringLiteral("značka"));
        }
        // The first at the time it was set, not when the next one came.
        QVERIFY2(r.ms(r.markers()[1].row) - r.ms(r.markers()[0].row) >= LogRecorder::MarkerReachMs + 600,
                 qPrintable(QStringLiteral("%1 %2").arg(r.ms(r.markers()[0].row)).arg(r.ms(r.markers()[1].row))));
    }

    // The port goes away while recording and comes back: rows say where.
    void aLostLinkIsWrittenWhereItWasLostAndWhereItCameBack()
    {
        LinkConnection connection(port, &link->transport, data);
        QVERIFY(connection.openPort(QStringLiteral("fake")));
        link->transport.stopPolling();
        control->watchConnection(&connection);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        poll(10);
        QCOMPARE(connection.health(), LinkConnection::Health::Answering);
        const int before = int(fed.size());
        port->loseDevice();
        QTRY_VERIFY_WITH_TIMEOUT(port->isOpen(), 5000);  // opened again by the retry
        link->transport.stopPolling();
        poll(10);
        QCOMPARE(connection.health(), LinkConnection::Health::Answering);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);

        const RecordingRead read = readRecordingFile(files().value(0));
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        const Recording &r = read.recording;
        QStringList told;
        int replies = 0, repliesAtLoss = -1, repliesAtReturn = -1;
        for (int i = 0; i < r.rows(); ++i) {
            replies += r.hasValues(i);
            if (r.status(i) == QStringLiteral("spojení přerušeno"))
                repliesAtLoss = replies;
            if (r.status(i) == QStringLiteral("spojení obnoveno"))
                repliesAtReturn = replies;
            if (r.status(i).startsWith(QStringLiteral("spojení")))
                told << r.status(i);
        }
        QCOMPARE(told, (QStringList{QStringLiteral("spojení přerušeno"), QStringLiteral("spojení obnoveno")}));
        QCOMPARE(repliesAtLoss, before);
        // Back with the first answer, before its row: no reply lies between the two.
        QCOMPARE(repliesAtReturn, before);
        QVERIFY(replies > before);
    }

    // The analysis times the probe's transitions only from rows at most 100 ms apart: the poll
    // runs so while recording, and as the technician chose it afterwards.
    void thePollRunsForTheAnalysisWhileRecording_data()
    {
        QTest::addColumn<int>("chosenMs");
        QTest::addColumn<int>("recordingMs");
        QTest::newRow("the default 250 ms") << 250 << 100;
        QTest::newRow("a faster rate chosen") << 40 << 40;
    }
    void thePollRunsForTheAnalysisWhileRecording()
    {
        QFETCH(int, chosenMs);
        QFETCH(int, recordingMs);
        link->transport.setPollInterval(chosenMs);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        QCOMPARE(link->transport.pollInterval(), recordingMs);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        QCOMPARE(link->transport.pollInterval(), chosenMs);
    }

    // A version name as long as the settings file allows still names a file the disk takes.
    void aLongVersionNameStillRecords()
    {
        setup->nameVersion(0, QString(255, QChar(0x0158)));  // "ŘŘŘ…"
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join('\n')));
        QCOMPARE(button("Zaznam")->text(), QStringLiteral("Zastavit záznam"));
        QVERIFY(QFileInfo(files().value(0)).fileName().endsWith(QLatin1Char('_') + QString(40, QLatin1Char('R')) + QStringLiteral(".csv")));
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
    }

    void everyReplyNamesItsPowerRange()
    {
        data->set().markBlockValid();
        data->set().setTpsRising(true);  // a sensor whose value rises with the throttle
        data->set().setParamByte(ParamBlock::TpsThreshold1, 10);
        data->set().setParamByte(ParamBlock::TpsThreshold2, 20);
        data->set().setParamByte(ParamBlock::TpsThreshold3, 30);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        poll(40);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        const RecordingRead read = readRecordingFile(files().value(0));
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        const Recording &r = read.recording;
        QSet<QString> seen;
        for (int i = 0; i < r.rows(); ++i) {
            if (!r.hasValues(i))
                continue;
            const int tps = r.tps(i);
            QCOMPARE(r.range(i), tps <= 10   ? QStringLiteral("Volnoběh")
                                 : tps <= 20 ? QStringLiteral("Malý výkon")
                                 : tps <= 30 ? QStringLiteral("Velký výkon")
                                             : QStringLiteral("Maximální výkon"));
            seen << r.range(i);
        }
        QCOMPARE(seen.size(), 4);
    }

    void aLongRecordingGoesOnInNumberedFiles()
    {
        control->recorder()->setLimits({1500, 3600 * 1000, 300});
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        poll(90);
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        const QStringList parts = files();
        QVERIFY2(parts.size() >= 3, qPrintable(parts.join('\n')));
        qint64 lastMs = -1;
        int replies = 0;
        for (int i = 0; i < parts.size(); ++i) {
            QCOMPARE(parts[i].endsWith(QStringLiteral("_%1.csv").arg(i + 1)), i > 0);
            if (i > 0)
                QCOMPARE(parts[i].left(parts[i].size() - 6), parts[0].left(parts[0].size() - 4));
            QFile file(parts[i]);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY(bytes.size() <= 1500 + 60);
            const RecordingRead read = readRecording(bytes);
            QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
            QVERIFY(read.recording.firstMs() >= lastMs);  // the time goes on across the files
            lastMs = read.recording.lastMs();
            for (int row = 0; row < read.recording.rows(); ++row)
                replies += read.recording.hasValues(row);
        }
        QCOMPARE(replies, int(fed.size()));
    }

    void aFullDiskEndsTheRecordingWithWholeLines()
    {
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        const QString path = files().value(0);
        // The file may grow no further than this: the disk is full.
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 2000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        poll(80);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);

        QCOMPARE(button("Zaznam")->text(), QStringLiteral("Záznam"));
        QTRY_COMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Záznam: Záznam byl ukončen: soubor přerostl")),
                 qPrintable(prompts->messages[0]));
        QVERIFY(prompts->messages[0].contains(QDir::toNativeSeparators(path)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.size() <= 2000);
        QVERIFY(bytes.endsWith("\r\n"));
        const RecordingRead read = readRecording(bytes);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        // What reached the file is the beginning of what came, nothing skipped.
        int reply = 0;
        for (int row = 0; row < read.recording.rows(); ++row) {
            if (!read.recording.hasValues(row))
                continue;
            QCOMPARE(values(read.recording, row), (QList<int>{fed[reply].tps, fed[reply].lambda, fed[reply].position}));
            ++reply;
        }
        QVERIFY(reply > 0);
    }

    // On Windows the write sets no errno: its own error code names the reason, and one without a
    // Czech word of ours is said in the system's words, never as a full disk.
    void windowsWriteErrorsNameTheirReason_data()
    {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("problem");
        QTest::newRow("disk full") << quint32(112) << "na disku není místo";
        QTest::newRow("access denied") << quint32(5) << "do složky není dovoleno zapisovat";
        QTest::newRow("write protected") << quint32(19) << "disk je jen pro čtení";
        QTest::newRow("stick pulled out") << quint32(1167) << "disk byl odpojen";
        QTest::newRow("network name gone") << quint32(64) << "Zadaný název sítě již není k dispozici.";
    }
    void windowsWriteErrorsNameTheirReason()
    {
        QFETCH(quint32, code);
        QFETCH(QString, problem);
        QCOMPARE(windowsWriteProblem(code, QStringLiteral("Zadaný název sítě již není k dispozici.")), problem);
        QCOMPARE(writeProblem(0, QStringLiteral("Neznámá chyba")), QStringLiteral("Neznámá chyba"));
    }

    void aFolderThatCannotBeMadeIsSaid()
    {
        QFile blocker(dir->filePath(QStringLiteral("soubor")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setup->setDataFolder(blocker.fileName());
        QTest::mouseClick(button("Zaznam"), Qt::LeftButton);
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Záznam: Záznam nelze začít: složku ")),
                 qPrintable(prompts->messages[0]));
        QCOMPARE(button("Zaznam")->text(), QStringLiteral("Záznam"));
        QVERIFY(!button("Znacka")->isEnabled());
    }

    void statusTextCountsInCzech_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("long") << qint64(((12 * 60) + 34) * 1000 + 999) << qint64(37412) << "● Záznam 00:12:34, 37 412 řádků";
        QTest::newRow("one") << qint64(0) << qint64(1) << "● Záznam 00:00:00, 1 řádek";
        QTest::newRow("three") << qint64(3600 * 1000 * 25) << qint64(3) << "● Záznam 25:00:00, 3 řádky";
        QTest::newRow("million") << qint64(61000) << qint64(1234567) << "● Záznam 00:01:01, 1 234 567 řádků";
    }
    void statusTextCountsInCzech()
    {
        QFETCH(qint64, ms);
        QFETCH(qint64, rows);
        QFETCH(QString, text);
        QCOMPARE(RecordingControl::statusText(ms, rows), text);
    }
};

QTEST_MAIN(TestRecording)
#include "tst_recording.moc"

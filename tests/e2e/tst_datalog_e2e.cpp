#include "e2ewindow.h"
#include "datalog/recordingreader.h"
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <csignal>
#include <cstring>

// Recordings of the tool against the simulated unit over a real pseudo-terminal.
namespace {
QStringList recordings(const QString &folder)
{
    const QDir dir(QDir(folder).filePath(QStringLiteral("data/zaznamy")));
    QStringList out;
    for (const QString &name : dir.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name))
        out << dir.filePath(name);
    return out;
}

// The child's part of the crash test: the tool in `folder`, recording from the start until killed.
int recordUntilKilled(const QString &folder)
{
    ComPort port;
    ScriptedPrompts prompts;
    MainWindow form(&port, &prompts);
    form.show();
    form.startUp(folder);
    QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_R));
    return QApplication::exec();
}
}

class TestDatalogE2E : public QObject
{
    Q_OBJECT
private:
    E2EWindow tool;

private slots:
    void cleanup() { tool.close(); }

    void everyReplyTheUnitSentIsARowInOrder()
    {
        QVERIFY(tool.startLogged({}, 50));
        MainWindow &form = *tool.window();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(300);
        QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_R));  // from the page "Ladění"
        auto *record = tool.find<QPushButton>("Zaznam");
        QCOMPARE(record->text(), QStringLiteral("Zastavit záznam"));
        QTest::qWait(1200);
        tool.prompts()->texts << QStringLiteral("kopec");
        QTest::keySequence(&form, QKeySequence(Qt::Key_F2));
        QTest::qWait(1300);
        QTest::mouseClick(record, Qt::LeftButton);
        QCOMPARE(record->text(), QStringLiteral("Záznam"));
        QCOMPARE(form.pollInterval(), 50);

        const QStringList files = recordings(tool.folder());
        QCOMPARE(files.size(), 1);
        const RecordingRead read = readRecordingFile(files[0]);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QStringList rows;
        for (int i = 0; i < read.recording.rows(); ++i) {
            if (read.recording.hasValues(i))
                rows << QStringLiteral("02 %1 %2 %3")
                            .arg(read.recording.tps(i), 2, 16, QLatin1Char('0'))
                            .arg(read.recording.lambda(i), 2, 16, QLatin1Char('0'))
                            .arg(read.recording.position(i), 2, 16, QLatin1Char('0'))
                            .toUpper();
        }
        QVERIFY2(rows.size() >= 20, qPrintable(QString::number(rows.size())));
        QStringList sent;
        for (const auto &frame : tool.logged("TX")) {
            if (frame.second.size() == 17 && frame.second.startsWith(QStringLiteral("02 ")))
                sent << frame.second.left(11);
        }
        // The rows are the unit's replies from some reply on, one after another, none left out.
        bool aligned = false;
        for (int from = 0; from + rows.size() <= sent.size() && !aligned; ++from)
            aligned = sent.mid(from, rows.size()) == rows;
        QVERIFY2(aligned, qPrintable(rows.mid(0, 5).join(',') + QStringLiteral(" not in ") + sent.mid(0, 10).join(',')));
        QCOMPARE(read.recording.markers().size(), 1);
        QCOMPARE(read.recording.markers()[0].text, QStringLiteral("kopec"));
        QVERIFY(tool.prompts()->messages.isEmpty());
    }

    void aKilledToolLeavesAValidFile()
    {
        QVERIFY(tool.unit.start());
        QVERIFY(tool.unit.writeSettings(tool.folder(), 20));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--record-until-killed"), tool.folder()});
        QVERIFY(child.waitForStarted(5000));
        // Killed at some moment while rows come in: whatever was written is whole lines.
        QTRY_VERIFY_WITH_TIMEOUT(!recordings(tool.folder()).isEmpty()
                                     && QFileInfo(recordings(tool.folder()).value(0)).size() > 2000,
                                 20000);
        QTest::qWait(int(QDateTime::currentMSecsSinceEpoch() % 500));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        QFile file(recordings(tool.folder()).value(0));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        const RecordingRead read = readRecording(bytes);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY(read.recording.rows() > 10);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--record-until-killed") == 0)
        return recordUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestDatalogE2E test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_datalog_e2e.moc"

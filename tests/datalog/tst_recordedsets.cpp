#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "datalog/driveinputbuilder.h"
#include "datalog/logformat.h"
#include "datalog/logrecorder.h"
#include "datalog/recordedsets.h"
#include "datalog/recordingreader.h"
#include "datalog/recordingsetkeeper.h"
#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include "tuning/paramblock.h"
#include <QTemporaryDir>
#include <QTest>

// A recording keeps the set it starts with and each set written while it runs, beside its CSV;
// the row of a write says so, and the analysis reads every row against the set then in force.
class TestRecordedSets : public QObject
{
    Q_OBJECT
private slots:
    void setsAreKeptAndMarked()
    {
        QTemporaryDir dir;
        FakePort port;
        ScriptedPrompts prompts;
        UnitData data;
        ToolSetup setup;
        setup.nameVersion(0, QStringLiteral("Bez verze!"));
        data.set().setParamByte(0, 1);
        data.set().setParamByte(33, 3);
        data.set().setParamByte(ParamBlock::LowPowerStopMax, 140);
        UnitLink link(&port, &data);
        announceLinkOutcomes(link);
        LogRecorder recorder(&link.status, &link.measurement, &data, &setup);
        recorder.setLimits({50LL * 1024 * 1024, 3600LL * 1000, 0});
        RecordingSetKeeper keeper(&recorder, &data);

        QString error;
        QVERIFY2(recorder.start(dir.path(), &error), qPrintable(error));
        const QString csv = recorder.files().value(0);
        QVERIFY(QFile::exists(RecordedSets::pathFor(csv, 1)));
        recorder.addStatusRow(QStringLiteral("měření"));
        data.set().setParamByte(ParamBlock::LowPowerStopMax, 150);
        keeper.setWritten();
        recorder.addStatusRow(QStringLiteral("měření"));
        // "Ulož" of one stop, with another edit of the tool's copy not sent: only the stop and
        // the version change in the unit's set.
        data.set().setParamByte(ParamBlock::LambdaThreshold, 30);
        data.set().setParamByte(ParamBlock::LowPowerStopMin, 70);
        keeper.byteWritten(ParamBlock::LowPowerStopMin, 70, 0);
        recorder.stop();

        std::vector<ParameterSet> sets = RecordedSets::load(csv);
        QCOMPARE(sets.size(), std::size_t(3));
        QCOMPARE(int(sets[2].param(ParamBlock::LowPowerStopMin)), 70);
        QCOMPARE(int(sets[2].param(ParamBlock::LambdaThreshold)), 0);
        QCOMPARE(int(sets[2].param(ParamBlock::LowPowerStopMax)), 150);
        sets.pop_back();
        QCOMPARE(int(sets[0].param(ParamBlock::LowPowerStopMax)), 140);
        QCOMPARE(int(sets[1].param(ParamBlock::LowPowerStopMax)), 150);
        QCOMPARE(RecordedSets::pathFor(csv, 2).section(QLatin1Char('/'), -1), QFileInfo(csv).completeBaseName() + QStringLiteral(".sada2.cfg"));

        const RecordingRead read = readRecordingFile(csv);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.recording.rows(), 4);
        QCOMPARE(read.recording.status(3), QStringLiteral("zapsána sada 3"));
        QCOMPARE(read.recording.status(1), QStringLiteral("zapsána sada 2"));
        std::vector<DriveSet> driveSets;
        for (const ParameterSet &set : sets)
            driveSets.push_back(DriveSet::fromBlock(set.blockFrame()));
        DriveInputBuilder builder(&read.recording, driveSets, false);
        QVERIFY(builder.step(100));
        const auto input = builder.result();
        QCOMPARE(int(input->rows[3].set), 1);  // set 3 is not among those handed over
        QCOMPARE(int(input->rows[0].set), 0);
        QCOMPARE(int(input->rows[1].set), 1);
        QVERIFY(input->rows[1].has(DriveRow::SetWritten));
        QVERIFY(input->rows[2].has(DriveRow::Measuring));
        QCOMPARE(int(input->rows[2].set), 1);
        QCOMPARE(input->sets[1].stopMax[1], 150);

        // The next part of a long recording has the first part's sets and starts with the last.
        const QString part2 = QFileInfo(csv).path() + QLatin1Char('/') + QFileInfo(csv).completeBaseName() + QStringLiteral("_2.csv");
        QFile file(part2);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
        LogRow row;
        row.hasValues = true;
        LogFormat::appendRow(bytes, row);
        file.write(bytes);
        file.close();
        QCOMPARE(RecordedSets::load(part2).size(), std::size_t(3));
        const RecordingRead second = readRecordingFile(part2);
        DriveInputBuilder next(&second.recording, driveSets, false);
        QVERIFY(next.step(100));
        QCOMPARE(int(next.result()->rows[0].set), 1);
    }
};

QTEST_MAIN(TestRecordedSets)
#include "tst_recordedsets.moc"

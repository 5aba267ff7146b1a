#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "cfgfiles/configfile.h"
#include "datalog/driveinputbuilder.h"
#include "datalog/logformat.h"
#include "datalog/logrecorder.h"
#include "datalog/recordedsets.h"
#include "datalog/recordingreader.h"
#include "datalog/recordingsetkeeper.h"
#include "link/unitdata.h"
#include "link/unitset.h"
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
        LogRecorder recorder(&link.status, &link.transport, &link.measurement, &data, &setup);
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
        // The unit gave no levels: every kept set says so, none carries made-up ones; a set with
        // levels keeps them.
        for (const ParameterSet &set : sets)
            QVERIFY(!set.hasLevels());
        QFile kept(RecordedSets::pathFor(csv, 1));
        QVERIFY(kept.open(QIODevice::ReadOnly) && ConfigFile::read(&kept).levelsAbsent);
        const ParameterSet withLevels = sets[0].withLevels(ParameterSet::Levels{3, 11, 61, 12, 62, 0, 0, 0, 0, 4});
        QVERIFY(RecordedSets::keep(csv, 4, withLevels, nullptr));
        QCOMPARE(RecordedSets::load(csv).back(), withLevels);
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
            driveSets.push_back(DriveSet::fromBlock(set.block()));
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

    }

    // A long recording in three parts, a set written only in part 2: every row is read against
    // the set in force when it was recorded, whatever part it is in.
    void eachPartStartsWithTheSetInForce()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("2026-12-08_06-00-00_V.csv"));
        const auto part = [&first](int number, const QStringList &statuses) {
            const QString path = number == 1 ? first : QString(first).replace(QStringLiteral(".csv"), QStringLiteral("_%1.csv").arg(number));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(path));
            QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
            for (const QString &status : statuses) {
                LogRow row;
                row.ms = bytes.size();
                row.hasValues = status.isEmpty();
                row.status = status;
                LogFormat::appendRow(bytes, row);
            }
            file.write(bytes);
            return path;
        };
        const QString written2 = RecordedSets::writtenStatus(2), written3 = RecordedSets::writtenStatus(3);
        const QString one = part(1, {{}, {}});
        const QString two = part(2, {{}, written2, {}, written3, {}});
        const QString three = part(3, {{}, {}});
        ParameterSet set = ParameterSet::fromFrames(UnitSet().paramBytes());
        for (quint8 stop : {140, 150, 160}) {
            set = set.withParam(ParamBlock::LowPowerStopMax, stop);
            QVERIFY(RecordedSets::keep(first, stop / 10 - 13, set, nullptr));
        }
        QCOMPARE(RecordedSets::inForceAtStart(one), 1);
        QCOMPARE(RecordedSets::inForceAtStart(two), 1);
        QCOMPARE(RecordedSets::inForceAtStart(three), 3);

        const auto setsOfRows = [](const QString &path) {
            const RecordingRead read = readRecordingFile(path);
            const auto builder = DriveInputBuilder::forFile(&read.recording, path, ParameterSet());
            builder->step(read.recording.rows());
            QList<int> stops;
            for (const DriveRow &row : builder->result()->rows)
                stops << builder->result()->sets[row.set].stopMax[1];
            return stops;
        };
        QCOMPARE(setsOfRows(one), (QList<int>{140, 140}));
        QCOMPARE(setsOfRows(two), (QList<int>{140, 150, 150, 160, 160}));
        QCOMPARE(setsOfRows(three), (QList<int>{160, 160}));
    }
};

QTEST_MAIN(TestRecordedSets)
#include "tst_recordedsets.moc"

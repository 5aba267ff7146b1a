#include "drivecsv.h"
#include "scriptedprompts.h"
#include "datalog/analysiscontrol.h"
#include "datalog/analysispanel.h"
#include "datalog/analysisfile.h"
#include "datalog/keptanalyses.h"
#include "datalog/logformat.h"
#include "datalog/recordedsets.h"
#include "datalog/recordingsbrowser.h"
#include "datalog/recordingspage.h"
#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include "tuning/paramblock.h"
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QJsonDocument>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include "datalog/plotwidget.h"

// "Rozbor" on the page "Záznamy" as a technician uses it: the table with its verdicts, the
// proposals taken into the tool's set, the refusal for another unit's set, the comparison, the
// clipboard and the CSV.
class TestAnalysisPanel : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir;
    ScriptedPrompts *prompts = nullptr;
    UnitData *data = nullptr;
    ToolSetup setup;
    RecordingsPage *page = nullptr;
    QList<QPair<int, int>> handEdits;

    QString folder() const { return dir->filePath(QStringLiteral("zaznamy")); }
    QByteArray block() const
    {
        return data->set().paramBytes();
    }
    // A minute at idle with the servo hunting (up while lean), then `stuckS` seconds in the low
    // power range with the servo at its MAX (140) and the mixture lean.
    QString write(const QString &name, int stuckS, bool keepSet)
    {
        const QByteArray bytes = driveCsv(stuckS);
        const QString path = QDir(folder()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        QString error;
        if (keepSet && !RecordedSets::keep(path, 1, ParameterSet::fromFrames(block()), &error))
            qFatal("cannot keep the set: %s", qPrintable(error));
        return path;
    }
    template <typename T> T *find(const char *name) const
    {
        T *w = page->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    QTableWidget *table() const { return find<QTableWidget>("TabulkaRozboru"); }
    QString cell(const QString &label, int column) const
    {
        for (int r = 0; r < table()->rowCount(); ++r)
            if (table()->verticalHeaderItem(r)->text() == label)
                return table()->item(r, column)->text();
        return QStringLiteral("(no row %1)").arg(label);
    }
    // Shows the recording and the analysis, and waits for its table.
    void analyse(const QString &path)
    {
        QVERIFY(page->browser()->open(path));
        if (!find<QPushButton>("Rozbor")->isChecked())
            QTest::mouseClick(find<QPushButton>("Rozbor"), Qt::LeftButton);
        QTRY_VERIFY(page->analysis()->analysis() && !page->analysis()->busy());
    }
    void tickFirstProposal() const
    {
        QListWidget *list = find<QListWidget>("NavrhyRozboru");
        QVERIFY(list->count() >= 1);
        list->item(0)->setCheckState(Qt::Checked);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(folder());
        prompts = new ScriptedPrompts;
        data = new UnitData;
        setup.setDataFolder(dir->path());
        UnitSet &b = data->set();
        b.setParamByte(0, 1);
        b.setParamByte(33, 3);
        b.setParamByte(ParamBlock::TpsFlags, 1);
        b.setParamByte(ParamBlock::LambdaThreshold, 22);
        b.setParamByte(ParamBlock::TpsThreshold1, 50);
        b.setParamByte(ParamBlock::TpsThreshold2, 100);
        b.setParamByte(ParamBlock::TpsThreshold3, 150);
        const int stops[8] = {120, 40, 140, 60, 160, 80, 180, 100};
        for (int i = 0; i < 8; ++i)
            b.setParamByte(ParamBlock::IdleStopMax + i, quint8(stops[i]));
        b.markBlockValid();
        page = new RecordingsPage;
        QFont small = page->font();
        small.setPixelSize(11);  // as the window sets it
        page->setFont(small);
        page->resize(RecordingsPage::DesignWidth, RecordingsPage::DesignHeight);
        page->attach(data, &setup, prompts);
        page->analysis()->setHandEdit([this](int index, int value) { handEdits << qMakePair(index, value); });
        handEdits.clear();
        page->show();
    }
    void cleanup()
    {
        delete page;
        delete data;
        QVERIFY(!prompts->unexpected);
        delete prompts;
    }

    // A finished recording is analysed once, on a worker thread, whoever asks: the history at its
    // stop, the page showing it whole, the report. Other limits make an analysis of their own.
    void oneAnalysisOfARecordingServesEveryone()
    {
        KeptAnalyses kept;
        page->analysis()->setKeptAnalyses(&kept);
        const QString path = write(QStringLiteral("jizda.csv"), 60, true);
        const RecordingAnalysis *forHistory = nullptr;
        kept.whenAnalysed(path, data->set().value(), page->analysis()->limits(), this,
                          [&](const RecordingAnalysis &) { forHistory = kept.kept(path, data->set().value(), page->analysis()->limits()); });
        analyse(path);
        QCOMPARE(cell(QStringLiteral("Na dorazu MAX"), 1), QStringLiteral("100 % (140)"));
        QCOMPARE(find<QListWidget>("NavrhyRozboru")->count(), 1);
        const RecordingAnalysis forReport = kept.await(path, data->set().value(), page->analysis()->limits());
        QVERIFY(forHistory && forReport.analysis == forHistory->analysis);
        QCOMPARE(page->analysis()->analysis()->proposals.size(), forReport.analysis->proposals.size());
        QCOMPARE(kept.made(), 1);
        // The next session finds it beside the recording, while the recording is as it was.
        const auto asWritten = [](const RecordingAnalysis &a) { return QJsonDocument(AnalysisFile::toJson(*a.analysis)).toJson(); };
        KeptAnalyses next;
        QCOMPARE(asWritten(next.await(path, data->set().value(), page->analysis()->limits())), asWritten(forReport));
        QCOMPARE(next.made(), 0);
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::Append));
        csv.write("600,000;14:10:00,000;;;;;;;;bez odpovědi\r\n");
        csv.close();
        QVERIFY(next.await(path, data->set().value(), page->analysis()->limits()).analysis);
        QCOMPARE(next.made(), 1);

        QSpinBox *step = find<QSpinBox>("MezKrok");
        step->setFocus();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(step, Qt::Key_Down);
        QCOMPARE(step->value(), 5);
        QTRY_VERIFY(page->analysis()->analysis() && !page->analysis()->busy());
        QCOMPARE(find<QListWidget>("NavrhyRozboru")->item(0)->text(),
                 QStringLiteral("Malý výkon, doraz MAX 140 → 145: servo na dorazu 100 % ustáleného času, chudá 100 %"));
        QCOMPARE(kept.made(), 2);
    }

    void tableAndProposalTakenAsHandEdit()
    {
        analyse(write(QStringLiteral("jizda.csv"), 60, true));
        QCOMPARE(table()->columnCount(), 5);
        QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("Malý\nvýkon"));
        QCOMPARE(cell(QStringLiteral("Na dorazu MAX"), 1), QStringLiteral("100 % (140)"));
        QCOMPARE(cell(QStringLiteral("Ustálený čas"), 1), QStringLiteral("59 s"));
        QCOMPARE(cell(QStringLiteral("Přechody hranice / 10 s"), 0), QStringLiteral("9,8"));
        QVERIFY(find<QLabel>("RozborInfo")->text().contains(QStringLiteral("rozbor proti sadě záznamu")));

        QListWidget *list = find<QListWidget>("NavrhyRozboru");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(),
                 QStringLiteral("Malý výkon, doraz MAX 140 → 150: servo na dorazu 100 % ustáleného času, chudá 100 %"));
        // Nothing ticked, nothing taken.
        QTest::mouseClick(find<QPushButton>("PrevzitVybrane"), Qt::LeftButton);
        QVERIFY(handEdits.isEmpty());
        tickFirstProposal();
        QTest::mouseClick(find<QPushButton>("PrevzitVybrane"), Qt::LeftButton);
        QCOMPARE(handEdits, (QList<QPair<int, int>>{{ParamBlock::LowPowerStopMax, 150}}));
        QVERIFY(prompts->messages.isEmpty());
    }

    // The technician's own limits: a smaller step, typed into its field.
    void limitsChangedOnThePage()
    {
        analyse(write(QStringLiteral("jizda.csv"), 60, true));
        QSpinBox *step = find<QSpinBox>("MezKrok");
        QCOMPARE(step->value(), 10);
        step->setFocus();
        QTest::keyClick(step, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(step, QStringLiteral("4"));
        QTest::keyClick(step, Qt::Key_Return);
        QTRY_VERIFY(!page->analysis()->busy() && find<QListWidget>("NavrhyRozboru")->item(0)->text().startsWith(
                        QStringLiteral("Malý výkon, doraz MAX 140 → 144:")));
        QSpinBox *least = find<QSpinBox>("MezUstaleno");
        least->setFocus();
        QTest::keyClick(least, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(least, QStringLiteral("90"));
        QTest::keyClick(least, Qt::Key_Return);
        QTRY_VERIFY(!page->analysis()->busy() && cell(QStringLiteral("Ustálený čas"), 1) == QStringLiteral("59 s, málo dat"));
        QVERIFY(!find<QPushButton>("PrevzitVybrane")->isEnabled());
    }

    void tooLittleSteadyTimeGivesNoVerdictNorProposal()
    {
        analyse(write(QStringLiteral("kratka.csv"), 20, true));
        QCOMPARE(cell(QStringLiteral("Ustálený čas"), 1), QStringLiteral("19 s, málo dat"));
        QCOMPARE(find<QListWidget>("NavrhyRozboru")->item(0)->flags() & Qt::ItemIsUserCheckable, Qt::ItemFlags());
        QVERIFY(!find<QPushButton>("PrevzitVybrane")->isEnabled());
    }

    void anotherUnitsSetIsRefused()
    {
        analyse(write(QStringLiteral("jizda.csv"), 60, true));
        data->set().setParamByte(ParamBlock::LambdaThreshold, 25);  // the tool now holds another set
        tickFirstProposal();
        QTest::mouseClick(find<QPushButton>("PrevzitVybrane"), Qt::LeftButton);
        QVERIFY(handEdits.isEmpty());
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY(prompts->messages[0].startsWith(QStringLiteral("Rozbor: Nástroj drží jinou sadu")));
        prompts->messages.clear();
    }

    void withoutItsSetTheToolsSetIsUsedAndSaid()
    {
        analyse(write(QStringLiteral("cizi.csv"), 60, false));
        QVERIFY(find<QLabel>("RozborInfo")->text().contains(QStringLiteral("záznam nemá svou sadu: rozbor proti sadě nástroje")));
        QCOMPARE(cell(QStringLiteral("Na dorazu MAX"), 1), QStringLiteral("100 % (140)"));
    }

    // The values under the cursor go to a line of their own below the plot, never over a lane.
    void cursorReadoutBesideThePlot()
    {
        QVERIFY(page->browser()->open(write(QStringLiteral("jizda.csv"), 60, true)));
        QWidget *plot = find<QWidget>("Graf");
        QLabel *readout = find<QLabel>("KurzorGrafu");
        QTest::mouseMove(plot, plot->rect().center());
        QTRY_VERIFY(readout->text().contains(QStringLiteral("TPS")));
        QVERIFY(!readout->geometry().intersects(plot->geometry()));
        QVERIFY(readout->isVisible());
    }

    void comparisonClipboardAndCsv()
    {
        const QString before = write(QStringLiteral("pred.csv"), 60, true);
        analyse(write(QStringLiteral("po.csv"), 40, true));
        prompts->files << before;
        QTest::mouseClick(find<QPushButton>("PorovnatZaznam"), Qt::LeftButton);
        QTRY_VERIFY(cell(QStringLiteral("Ustálený čas"), 1) == QStringLiteral("39 s → 59 s") && !page->analysis()->busy());

        QTest::mouseClick(find<QPushButton>("KopirovatRozbor"), Qt::LeftButton);
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("\tVolnoběh\tMalý výkon\tVelký výkon\tMaximální výkon\tCelá jízda\n")));
        QVERIFY(copied.contains(QStringLiteral("Ustálený čas\t59 s → 59 s\t39 s → 59 s")));

        const QString csvPath = dir->filePath(QStringLiteral("rozbor.csv"));
        prompts->files << csvPath;
        QTest::mouseClick(find<QPushButton>("UlozitRozbor"), Qt::LeftButton);
        QFile csv(csvPath);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        // Numbers alone in their cells, the verdicts beside them, so a spreadsheet can reckon.
        QVERIFY(bytes.startsWith(LogFormat::byteOrderMark()
                                 + QByteArray("Údaj;Jednotka;Volnoběh;Volnoběh – porovnání;Volnoběh – hodnocení;Malý výkon;")));
        QVERIFY(bytes.contains("\r\nPřechody hranice / 10 s;;9,8;9,8;v pořádku;"));
        QVERIFY(bytes.contains("\r\nUstálený čas;s;59;59;;39;59;;"));
    }
};

QTEST_MAIN(TestAnalysisPanel)
#include "tst_analysispanel.moc"

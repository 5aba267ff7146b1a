#include "e2ewindow.h"
#include "pdftext.h"
#include "datalog/keptanalyses.h"
#include "analysis/drivefigures.h"
#include "datalog/analysiscontrol.h"
#include "datalog/recordingsbrowser.h"
#include "datalog/recordingspage.h"
#include "link/blockread.h"
#include "link/blockwrite.h"
#include "tuning/paramblock.h"
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

// The analysis of a drive against the simulated unit's closed loop: a range whose need lies
// beyond its enriching stop gets a proposal to move that stop; taken, written and checked, a
// second drive shows less time at the stop. Both ways the servo may enrich.
class TestAnalysisE2E : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url.toLocalFile(); }

private:
    QStringList opened;
    E2EWindow e2e;
    static constexpr int DriveMs = 26000;  // one drive through the four ranges, 6 s each, and some

    RecordingsPage *recordings() const { return e2e.window()->findChild<RecordingsPage *>(QStringLiteral("Zaznamy")); }
    // Records a drive from the page "Ladění", then shows it analysed on the page "Záznamy".
    void recordAndAnalyse()
    {
        auto *pages = e2e.find<QTabWidget>("PageControl1");
        pages->setCurrentIndex(0);
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QTest::qWait(DriveMs);
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_R));
        RecordingsPage *page = recordings();
        pages->setCurrentWidget(page);
        auto *analyse = e2e.find<QPushButton>("Rozbor");
        if (!analyse->isChecked())
            analyse->click();
        // The newest recording, the one just made, named by its start.
        const QDir folder(e2e.filePath(QStringLiteral("data/zaznamy")));
        const QStringList made = folder.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
        QVERIFY(!made.isEmpty());
        QVERIFY(page->browser()->open(folder.filePath(made.last())));
        QTRY_VERIFY_WITH_TIMEOUT(page->analysis()->analysis() && !page->analysis()->busy()
                                     && page->analysis()->analysis()->rows > 100,
                                 10000);
    }
    const DriveAnalysis *analysis() const { return recordings()->analysis()->analysis(); }

private slots:
    void cleanup() { e2e.close(); }

    void proposalTakenWrittenAndCheckedBySecondDrive_data()
    {
        QTest::addColumn<QString>("enrich");
        QTest::addColumn<QString>("need");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("taken");
        QTest::newRow("towards MAX") << "up" << "1:145" << int(ParamBlock::LowPowerStopMax)
                                     << QStringLiteral("Malý výkon, doraz MAX 140 → 150:") << 150;
        QTest::newRow("towards MIN") << "down" << "1:55" << int(ParamBlock::LowPowerStopMin)
                                     << QStringLiteral("Malý výkon, doraz MIN 60 → 50:") << 50;
    }
    void proposalTakenWrittenAndCheckedBySecondDrive()
    {
        QFETCH(QString, enrich);
        QFETCH(QString, need);
        QFETCH(int, index);
        QFETCH(QString, reason);
        QFETCH(int, taken);
        e2e.newFolder();
        QVERIFY(e2e.start({QStringLiteral("--closed-loop"), QStringLiteral("--need"), need, QStringLiteral("--enrich"), enrich,
                           QStringLiteral("--segment-ms"), QStringLiteral("6000")},
                          50, "[Rozbor]\r\nMinUstalenoS=3\r\n"));
        e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);

        recordAndAnalyse();
        const DriveAnalysis *first = analysis();
        QVERIFY(first);
        QVERIFY2(!first->setFromTool, "the recording keeps its set");
        // The history at the stop, the page and the report share one analysis of the recording.
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open");
        ReportQuestion withAnalysis;
        withAnalysis.withAnalysis = true;
        e2e.prompts()->reportAnswers << withAnalysis;
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opened.size(), 1);
        QVERIFY(PdfText::text(opened.takeFirst()).contains(reason));
        QCOMPARE(e2e.window()->findChild<KeptAnalyses *>()->made(), 1);
        const double stuckBefore = enrich == QLatin1String("up") ? first->ranges[1].atMaxShare : first->ranges[1].atMinShare;
        QListWidget *list = e2e.find<QListWidget>("NavrhyRozboru");
        int found = -1;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text().startsWith(reason))
                found = i;
        QVERIFY2(found >= 0, qPrintable(list->count() ? list->item(0)->text() : first->directionWhy));
        list->item(found)->setCheckState(Qt::Checked);
        e2e.click("PrevzitVybrane");
        QCOMPARE(int(e2e.data()->set().paramByte(index)), taken);
        QCOMPARE(int(e2e.data()->set().paramByte(ParamBlock::SetVersion)), 0);
        QTRY_VERIFY(e2e.window()->windowTitle().endsWith(QLatin1Char('*')));

        // The normal write sends it and checks it by reading it back.
        QSignalSpy verified(e2e.window()->blockWrite(), &BlockWrite::writeVerified);
        e2e.click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(verified.count(), 1, 5000);

        recordAndAnalyse();
        const DriveAnalysis *second = analysis();
        QVERIFY(second);
        const double stuckAfter = enrich == QLatin1String("up") ? second->ranges[1].atMaxShare : second->ranges[1].atMinShare;
        QVERIFY2(stuckAfter < stuckBefore / 2, qPrintable(QStringLiteral("%1 -> %2").arg(stuckBefore).arg(stuckAfter)));
        QVERIFY(e2e.prompts()->messages.isEmpty());
    }
};

QTEST_MAIN(TestAnalysisE2E)
#include "tst_analysis_e2e.moc"

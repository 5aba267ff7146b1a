#include "e2ewindow.h"
#include "pdftext.h"
#include "app/appversion.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/servicepage.h"
#include "tuning/spinedit.h"
#include "link/blockread.h"
#include "link/linkconnection.h"
#include <QDesktopServices>
#include <QRegularExpression>
#include <QTabWidget>
#include <QUrl>

// The service report against the simulated unit: the set and the record read, the error memory
// cleared, a stop changed and written, then Ctrl+T; the PDF says all of it.
class TestReportEndToEnd : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url.toLocalFile(); }

private:
    E2EWindow e2e;
    QStringList opened;

    bool readRecord()
    {
        QLabel *message = e2e.find<QLabel>("NacteniDiag");
        message->hide();
        e2e.click("Button28");
        return QTest::qWaitFor([message] { return message->isVisible(); }, 5000)
            && message->text() == QStringLiteral("Načtení OK");
    }

    void readSet(QSignalSpy &kept)
    {
        const int before = kept.count();
        e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(kept.count(), before + 1, 5000);
    }
    void waitAnswering()
    {
        QTRY_COMPARE_WITH_TIMEOUT(e2e.window()->connection()->health(), LinkConnection::Health::Answering, 8000);
    }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        e2e.close();
    }

    void theReportSaysWhatTheUnitHeldAndWhatChanged()
    {
        // The workshop as TESTER.INI names it, in Windows-1250.
        QVERIFY(e2e.start({}, 250, "[Dilna]\r\nNazev=Autoservis Dvo\xf8\xe1k\r\n"));
        QSignalSpy kept(e2e.window()->servicePage()->backups(), &BackupKeeper::backupTaken);
        e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(kept.count(), 1, 5000);

        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QVERIFY(readRecord());
        e2e.prompts()->answers = {true};
        e2e.click("Button33");
        QVERIFY(readRecord());

        e2e.find<SpinEdit>("VolDorMax")->setValue(100);
        e2e.click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(e2e.label("Nacteni"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 5000);
        // Read again after the write: the backup of the new set is not what the unit held before.
        e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(kept.count(), 2, 5000);

        ReportQuestion answer;
        answer.notes = QStringLiteral("Seřízen volnoběh.");
        e2e.prompts()->reportAnswers << answer;
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_L));
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QCOMPARE(e2e.window()->pages()->currentWidget()->objectName(), QStringLiteral("TabSheet6"));
        QCOMPARE(opened.size(), 1);
        QVERIFY2(opened.first().startsWith(e2e.filePath(QStringLiteral("data/protokoly/"))) && opened.first().endsWith(QStringLiteral("_117-2019.pdf")),
                 qPrintable(opened.first()));

        const QString text = PdfText::text(opened.first());
        QVERIFY(PdfText::row(text, QStringLiteral("Autoservis")).startsWith(QStringLiteral("Autoservis Dvořák Datum:")));
        QVERIFY(text.contains(QStringLiteral("Program: Velkor ") + appVersion()));
        QCOMPARE(PdfText::row(text, QStringLiteral("Číslo serie")), QStringLiteral("Číslo serie 117"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Paměť chyb byla")), QStringLiteral("Paměť chyb byla při servisu smazána."));
        // What was done, in words; the version byte the hand edit cleared is named as such.
        QCOMPARE(PdfText::row(text, QStringLiteral("Doraz serva MAX, volnoběh")), QStringLiteral("Doraz serva MAX, volnoběh: 90 → 100 – zapsáno do RAM"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Verze sady:")), QStringLiteral("Verze sady: změněna ruční úpravou"));
        for (const char *row : {"Volnoběh 0 0 3 0", "Malý 0 0 12 1", "Velký 0 0 0 7", "Maximální 0 0 260 4660"})
            QCOMPARE(PdfText::row(text, QString::fromUtf8(row).section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ')), QString::fromUtf8(row));
        // The set as the unit held it before the work stands beside what was written.
        QCOMPARE(PdfText::row(text, QStringLiteral("Volnoběh – doraz serva MAX")), QStringLiteral("Volnoběh – doraz serva MAX 100 90 0–254"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Verze sady 0")),
                 QStringLiteral("Verze sady 0 Bez verze! 3 Nedefinováno číslo a název verze"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Volnoběh – doraz serva MIN")), QStringLiteral("Volnoběh – doraz serva MIN 40 0–255"));
        QVERIFY(PdfText::row(text, QStringLiteral("Změněno hodnot:")).startsWith(QStringLiteral("Změněno hodnot: 1 proti stavu před prací")));
        QCOMPARE(PdfText::row(text, QStringLiteral("Seřízen")), QStringLiteral("Seřízen volnoběh."));
        QVERIFY(!e2e.prompts()->unexpected && e2e.prompts()->messages.isEmpty());
    }

    // A recording of this session's live values goes into the report as its plot, and its analysis.
    void theLastRecordingIsPlottedInTheReport()
    {
        opened.clear();
        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QTest::qWait(1500);
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_R));
        ReportQuestion answer;
        answer.withPictures = true;
        answer.withAnalysis = true;
        e2e.prompts()->reportAnswers << answer;
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QVERIFY(e2e.prompts()->reportQuestions.last().picturesAvailable);
        QVERIFY(e2e.prompts()->reportQuestions.last().analysisAvailable && e2e.prompts()->reportQuestions.last().withAnalysis);
        QCOMPARE(opened.size(), 1);
        const QString text = PdfText::text(opened.first());
        // The oscilloscope recorded nothing; the live values were.
        const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const int plot = int(lines.indexOf(QRegularExpression(QStringLiteral("\\s*Záznam živých hodnot – poslední záznam\\s*"))));
        QVERIFY(plot > 0 && plot + 1 < lines.size());
        QVERIFY2(!lines.at(plot + 1).contains(QStringLiteral("žádný záznam")), qPrintable(lines.at(plot + 1)));
        const QString images = PdfText::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), opened.first()});
        QCOMPARE(images.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 3);  // two heading lines, the plot
        QVERIFY(text.contains(QStringLiteral("Rozbor záznamu jízdy")));
        QVERIFY2(PdfText::row(text, QStringLiteral("Ustálený čas")).contains(QStringLiteral("málo dat")), qPrintable(text));
        QVERIFY(!e2e.prompts()->unexpected && e2e.prompts()->messages.isEmpty());
    }
    // Car A serviced, then car B on the same cable with the tool still open: car B's report holds
    // nothing of car A.
    void carBsReportHoldsNothingOfCarA()
    {
        e2e.close();
        e2e.newFolder();
        opened.clear();
        QTemporaryDir linkDir;
        const QString link = linkDir.filePath(QStringLiteral("ttyUNIT"));
        QVERIFY(e2e.unit.start({QStringLiteral("--link"), link}));
        QVERIFY(e2e.openWith("[Komunikace]\r\nPort=" + link.toLocal8Bit() + "\r\nObeznik=100\r\n"));
        waitAnswering();
        QSignalSpy kept(e2e.window()->servicePage()->backups(), &BackupKeeper::backupTaken);

        // Car A: the set and the record read, the errors cleared, a stop written.
        readSet(kept);
        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QVERIFY(readRecord());
        e2e.prompts()->answers = {true};
        e2e.click("Button33");
        e2e.find<SpinEdit>("VolDorMax")->setValue(100);
        e2e.click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(e2e.label("Nacteni"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 5000);

        // Car B on the same cable: another serial number, errors never cleared.
        e2e.unit.stop();
        QTRY_VERIFY_WITH_TIMEOUT(e2e.window()->connection()->health() != LinkConnection::Health::Answering, 5000);
        QVERIFY(e2e.unit.start({QStringLiteral("--link"), link, QStringLiteral("--serial"), QStringLiteral("5")}));
        waitAnswering();
        QVERIFY(readRecord());
        readSet(kept);

        e2e.prompts()->reportAnswers << ReportQuestion{};
        QTest::keySequence(e2e.window(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QCOMPARE(opened.size(), 1);
        QVERIFY2(opened.first().endsWith(QStringLiteral("_5-2019.pdf")), qPrintable(opened.first()));
        const QString text = PdfText::text(opened.first());
        QCOMPARE(PdfText::row(text, QStringLiteral("Číslo serie")), QStringLiteral("Číslo serie 5"));
        for (const char *carA : {"smazán", "před smazáním", "Změněno hodnot", "→"})
            QVERIFY2(!text.contains(QString::fromUtf8(carA)), carA);
        QCOMPARE(PdfText::row(text, QStringLiteral("Volnoběh 3")), QStringLiteral("Volnoběh 3 0"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Nastavení jednotky beze")), QStringLiteral("Nastavení jednotky beze změny."));
        QVERIFY(!e2e.prompts()->unexpected);
    }
};

QTEST_MAIN(TestReportEndToEnd)
#include "tst_report_e2e.moc"

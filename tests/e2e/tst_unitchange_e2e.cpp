#include "e2ewindow.h"
#include "pdftext.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/servicepage.h"
#include "link/blockread.h"
#include "link/linkconnection.h"
#include "tuning/spinedit.h"
#include <QDesktopServices>
#include <QUrl>

// Car A serviced, then car B on the same cable with the tool still open: car B's report holds
// nothing of car A.
class TestUnitChangeEndToEnd : public QObject
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

    void carBsReportHoldsNothingOfCarA()
    {
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
        QTRY_COMPARE_WITH_TIMEOUT(e2e.label("Nacteni"), QStringLiteral("Uložení OK"), 5000);

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
        QVERIFY2(opened.first().endsWith(QStringLiteral("_5.pdf")), qPrintable(opened.first()));
        const QString text = PdfText::text(opened.first());
        QCOMPARE(PdfText::row(text, QStringLiteral("Číslo serie")), QStringLiteral("Číslo serie 5"));
        for (const char *carA : {"smazán", "před smazáním", "Změněno hodnot", "→"})
            QVERIFY2(!text.contains(QString::fromUtf8(carA)), carA);
        QCOMPARE(PdfText::row(text, QStringLiteral("Volnoběh 3")), QStringLiteral("Volnoběh 3 0"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Nastavení jednotky beze")), QStringLiteral("Nastavení jednotky beze změny."));
        QVERIFY(!e2e.prompts()->unexpected);
    }
};

QTEST_MAIN(TestUnitChangeEndToEnd)
#include "tst_unitchange_e2e.moc"

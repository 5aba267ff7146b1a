#include "linkwords/linkwords.h"
#include "drivecsv.h"
#include "fakeport.h"
#include "pdftext.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "diagnostics/diagnosticspage.h"
#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include "datalog/recordedsets.h"
#include "cfgfiles/configfile.h"
#include "report/analysissummary.h"
#include "report/analysissection.h"
#include "datalog/keptanalyses.h"
#include "report/reportbuilder.h"
#include "report/reportcontroller.h"
#include "report/reportinput.h"
#include "report/reportpdf.h"
#include "scope/scopepage.h"
#include "scope/scopesamples.h"
#include "tuning/paramblock.h"
#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDesktopServices>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace ParamBlock;

// The service report made by the page's own buttons from known data, read back from the PDF as a
// viewer shows it.
class TestReport : public QObject
{
    Q_OBJECT
public slots:
    // The system's viewer, as the tool asks for it.
    void open(const QUrl &url) { opened << url.toLocalFile(); }

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<UnitData> data;
    std::unique_ptr<ToolSetup> setup;
    std::unique_ptr<DiagnosticsPage> page;
    std::unique_ptr<ScopePage> scope;
    std::unique_ptr<ReportController> report;
    QStringList opened;

    QString reports() const { return dir->filePath(QStringLiteral("data/protokoly")); }
    void click(const char *name) { page->findChild<QPushButton *>(QLatin1String(name))->click(); }

    // 02, version 4, serial 117, 2019, the counters 3 0 / 12 1 / 0 7 / 260 4660, 03.
    static QByteArray record(bool zeroCounters = false)
    {
        QByteArray r(34, '\0');
        r[0] = 0x02, r[1] = 4, r[2] = 117, r[3] = 19, r[10] = 0x40, r[11] = char(0xE2), r[12] = 0x01;
        r[4] = 0x7B, r[5] = 0x69;  // 27003 ticks of 1.6 min: 1 month (of 30 days) and 4 minutes
        r[13] = 14, r[14] = 3, r[15] = 23, r[16] = 4, r[33] = 0x03;
        const int counters[8] = {3, 0, 12, 1, 0, 7, 260, 4660};
        for (int i = 0; i < 8 && !zeroCounters; ++i) {
            r[17 + 2 * i] = char(counters[i] & 0xFF);
            r[18 + 2 * i] = char(counters[i] >> 8);
        }
        return r;
    }
    // The set read from the unit: version 7, idle stop MAX 120; the unit held 100 there before.
    void knownSet()
    {
        setup->nameVersion(7, QStringLiteral("Fabia 1.4 – dvůr Hořice"));
        data->set().setParamByte(SetVersion, 7);
        data->set().setParamByte(IdleStopMax, 120);
        data->set().markBlockValid();
        const QByteArray before = ConfigFile::compose(data->set().value().withParam(IdleStopMax, 100));
        const QString path = dir->filePath(QStringLiteral("2026-12-07_13-50-02_Fabia.cfg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        report->session()->takeBackup(path);
    }
    // Presses "Protokol" with `notes` in the dialog; the text of the report it made, or empty.
    QString makeReport(const QString &notes = QString(), bool pictures = false)
    {
        ReportQuestion answer;
        answer.notes = notes;
        answer.withPictures = pictures;
        prompts->reportAnswers << answer;
        const QString before = report->lastReport();
        click("Protokol");
        return report->lastReport() == before ? QString() : PdfText::text(report->lastReport());
    }
    QString makeReportWith(const ReportQuestion &answer)
    {
        prompts->reportAnswers << answer;
        click("Protokol");
        return PdfText::text(report->lastReport());
    }
    // The line of text after the line `heading`.
    static QString after(const QString &text, const QString &heading)
    {
        QStringList all = text.split(QLatin1Char('\n'));
        for (QString &line : all)
            line = line.simplified();
        all.removeAll(QString());
        const int at = all.indexOf(heading);
        return at >= 0 && at + 1 < all.size() ? all.at(at + 1) : QString();
    }
    // The first line of a section's text, under the line saying what the section shows.
    static QString under(const QString &text, const QString &heading) { return after(text, after(text, heading)); }

    // driveCsv's two minutes against the set of the analysis's own tests, that set kept beside the
    // recording when `keepSet`.
    QString driveRecording(bool keepSet)
    {
        QByteArray b = data->set().paramBytes();
        b[0] = 1, b[33] = 3, b[TpsFlags] = 1, b[LambdaThreshold] = 22, b[TpsThreshold1] = 50, b[TpsThreshold2] = 100, b[TpsThreshold3] = char(150);
        const int stops[8] = {120, 40, 140, 60, 160, 80, 180, 100};
        for (int i = 0; i < 8; ++i)
            b[IdleStopMax + i] = char(stops[i]);
        data->set().takeOverBlock(b);
        data->set().markBlockValid();
        const QByteArray bytes = driveCsv(60);
        const QString path = dir->filePath(QStringLiteral("2026-12-07_13-55-00.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        QString error;
        if (keepSet && !RecordedSets::keep(path, 1, data->set().value().withLevels(std::nullopt), &error))
            qFatal("cannot keep the set: %s", qPrintable(error));
        return path;
    }

    // The tool's set as the backup "pred.cfg" taken before the work.
    bool keepBackupOfTheSet()
    {
        const QString path = dir->filePath(QStringLiteral("pred.cfg"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(ConfigFile::compose(data->set().value())) != 44)
            return false;
        file.close();
        report->session()->takeBackup(path);
        return true;
    }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        prompts = std::make_unique<ScriptedPrompts>();
        data = std::make_unique<UnitData>();
        setup = std::make_unique<ToolSetup>();
        setup->setDataFolder(dir->filePath(QStringLiteral("data")));
        page = std::make_unique<DiagnosticsPage>();
        scope = std::make_unique<ScopePage>();
        report = std::make_unique<ReportController>(data.get(), setup.get(), page.get(), prompts.get());
        report->setScopePage(scope.get());
        report->setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(14, 3, 41)); });
        report->setWorkshop({QStringLiteral("Autoservis Dvořák"), QStringLiteral("Průmyslová 12, Kolín"),
                             QStringLiteral("321 654 987"), QStringLiteral("Jiří Kůrka")});
        opened.clear();
    }
    void cleanup()
    {
        QVERIFY(!prompts->unexpected);
        QVERIFY(prompts->reportAnswers.isEmpty());
        report.reset();
    }

    void aKnownRecordAndSetComeBackAsText()
    {
        data->record().take(record());
        knownSet();
        const QString text = makeReport(QStringLiteral("Vyměněn filtr plynu.\nZákazník upozorněn na těsnost."));
        QCOMPARE(report->lastReport(), reports() + QStringLiteral("/2026-12-07_14-03_117-2019.pdf"));
        QCOMPARE(opened, QStringList{report->lastReport()});
        QVERIFY(prompts->messages.isEmpty());

        QCOMPARE(PdfText::row(text, QStringLiteral("Autoservis")), QStringLiteral("Autoservis Dvořák Datum: 07.12.2026 14:03"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Číslo serie")), QStringLiteral("Číslo serie 117"));
        for (const char *row : {"Volnoběh 3 0", "Malý 12 1", "Velký 0 7", "Maximální 260 4660"})
            QCOMPARE(PdfText::row(text, QString::fromUtf8(row).section(' ', 0, 0) + ' '), QString::fromUtf8(row));
        // The changed value beside the one the unit held before the work.
        QCOMPARE(PdfText::row(text, QStringLiteral("Volnoběh – doraz serva MAX")),
                 QStringLiteral("Volnoběh – doraz serva MAX 120 100 0–254"));
        // The set's version apart from the unit's own.
        QVERIFY(PdfText::row(text, QStringLiteral("Verze sady")).startsWith(QStringLiteral("Verze sady 7 Fabia 1.4 – dvůr Hořice")));
        QCOMPARE(PdfText::row(text, QStringLiteral("Verze jednotky (")), QStringLiteral("Verze jednotky (podle jejího záznamu): 4"));
        QVERIFY(!text.contains(QStringLiteral("Verze Jednotky")));
        QVERIFY(PdfText::row(text, QStringLiteral("Změněno hodnot:")).startsWith(QStringLiteral("Změněno hodnot: 1 proti stavu před prací")));
        // Levels the unit never sent are not shown as its own.
        QVERIFY(PdfText::row(text, QStringLiteral("Úrovně emulace volnoběh – chudá")).startsWith(QStringLiteral("Úrovně emulace volnoběh – chudá nenačteno")));
        QCOMPARE(under(text, QStringLiteral("5. Poznámky")), QStringLiteral("Vyměněn filtr plynu."));

        // Every font is embedded, and it is the pinned one.
        const QString fonts = PdfText::run(QStringLiteral("pdffonts"), {report->lastReport()});
        const QStringList rows = fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QVERIFY2(!rows.isEmpty(), qPrintable(fonts));
        for (const QString &row : rows) {
            // name, type, encoding, emb, sub, uni, object number, generation
            const QStringList cells = row.simplified().split(QLatin1Char(' '));
            QVERIFY2(cells.first().startsWith(QStringLiteral("DejaVuSans")), qPrintable(row));
            QVERIFY2(cells.size() > 5 && cells.at(cells.size() - 5) == QStringLiteral("yes")
                         && cells.at(cells.size() - 3) == QStringLiteral("yes"), qPrintable(row));
        }
        QVERIFY(PdfText::run(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), report->lastReport()})
                    .contains(QStringLiteral("pdfaid:part=\"1\" pdfaid:conformance=\"B\"")));

        // A second report of the same minute gets a name of its own.
        QVERIFY(!makeReport().isEmpty());
        QCOMPARE(QDir(reports()).entryList(QDir::Files), (QStringList{QStringLiteral("2026-12-07_14-03_117-2019.pdf"),
                                                                      QStringLiteral("2026-12-07_14-03_117-2019_2.pdf")}));
        QCOMPARE(opened.size(), 2);
    }

    void withNothingReadEachSectionSaysSo()
    {
        const QString text = makeReport();
        QCOMPARE(report->lastReport(), reports() + QStringLiteral("/2026-12-07_14-03_bez-cisla.pdf"));
        for (const char *heading : {"2. Řídicí jednotka", "4. Paměť chyb", "Nastavení jednotky"})
            QCOMPARE(under(text, QString::fromUtf8(heading)), QStringLiteral("nenačteno"));
        QCOMPARE(under(text, QStringLiteral("3. Provedené práce")), QStringLiteral("Nastavení této jednotky nebylo načteno."));
        QVERIFY(text.contains(QStringLiteral("Protokol byl vytvořen před načtením záznamu jednotky")));
        // Room to write the notes by hand; no pictures section when none was asked for.
        QVERIFY(under(text, QStringLiteral("5. Poznámky")).startsWith(QStringLiteral("......")));
        QCOMPARE(PdfText::row(text, QStringLiteral("Podpis")), QStringLiteral("Podpis technika (Jiří Kůrka) Podpis zákazníka"));
    }

    void clearedCountersKeepTheirValuesFromBefore_data()
    {
        QTest::addColumn<QString>("steps");  // r: a record comes, z: a record of zeros, c: cleared
        QTest::addColumn<QStringList>("expected");
        const QString cleared = QStringLiteral("Paměť chyb smazána.");
        QTest::newRow("read, cleared, read again") << "rcz" << QStringList{cleared, QStringLiteral("Volnoběh 0 0 3 0"),
                                                                          QStringLiteral("Maximální 0 0 260 4660")};
        QTest::newRow("read, cleared") << "rc" << QStringList{cleared, QStringLiteral("Maximální 260 4660"),
                                                              QStringLiteral("Stav po smazání: nenačteno")};
        QTest::newRow("cleared unread, read") << "cz" << QStringList{cleared, QStringLiteral("Maximální 0 0"),
                                                                     QStringLiteral("Hodnoty před smazáním: nenačteno")};
        QTest::newRow("cleared twice: the first values stay")
            << "rczc" << QStringList{cleared, QStringLiteral("Maximální 260 4660"), QStringLiteral("Stav po smazání: nenačteno")};
    }
    void clearedCountersKeepTheirValuesFromBefore()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, expected);
        for (const QChar step : steps) {
            if (step == QLatin1Char('c'))
                data->record().noteErrorsCleared();
            else
                data->record().take(record(step == QLatin1Char('z')));
        }
        const QString text = makeReport();
        for (const QString &line : expected)
            QCOMPARE(PdfText::row(text, line.section(QLatin1Char(' '), 0, 1)), line);
    }

    // What the unit held before the work is the backup from before the first frame that changed
    // its settings; a clearing counts from the frame that cleared.
    void theLinkNotesWritesAndClearingsAsTheyLeave_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("cleared");
        const char *names[] = {"block read", "record read", "service store", "RAM to EEPROM", "error clearing",
                               "byte write", "block write", "level write", "factory reset", "reload from EEPROM"};
        for (int i = 0; i < 10; ++i)
            QTest::newRow(names[i]) << i << (i >= 5) << (i == 4);
    }
    void theLinkNotesWritesAndClearingsAsTheyLeave()
    {
        QFETCH(int, operation);
        QFETCH(bool, written);
        QFETCH(bool, cleared);
        FakePort port;
        port.open(QStringLiteral("fake"), nullptr);
        UnitLink link(&port, data.get());
        announceLinkOutcomes(link);
        link.transport.prepareFrames();
        data->set().markBlockValid();
        const std::function<void()> operations[] = {
            [&] { link.blockRead.readBlock(); },
            [&] { link.diagnostics.requestDiagnostics(); },
            [&] { link.diagnostics.storeService(QDate(2026, 12, 7), 5); },
            [&] { link.commands.commandWithoutAnswer(UnitCode::RamToEeprom); },
            [&] { link.diagnostics.clearErrors(); },
            [&] { link.commands.sendChain({{link.transport.writeFrame(68, 5)}}); },
            [&] { link.blockWrite.writeBlock(); },
            [&] { link.levels.writeLevels(); },
            [&] { link.commands.commandWithoutAnswer(UnitCode::FactoryReset); },
            [&] { link.commands.commandWithoutAnswer(UnitCode::EepromToRam); },
        };
        operations[operation]();
        QTRY_VERIFY_WITH_TIMEOUT(link.transport.wireFree() && link.transport.queuedOperations() == 0, 5000);
        QCOMPARE(data->set().settingsWritten(), written);
        QCOMPARE(data->record().errorsCleared(), cleared);
    }

    void aFolderThatCannotBeWrittenLeavesNoHalfFile_data()
    {
        QTest::addColumn<bool>("blocked");  // a file stands where the folder belongs
        QTest::addColumn<QString>("message");
        QTest::newRow("folder blocked") << true << QStringLiteral("Protokol: Protokol nelze uložit: složku %1 nelze vytvořit.");
        QTest::newRow("disk full") << false << QStringLiteral("Protokol: Protokol nelze uložit do %1/2026-12-07_14-03_117-2019.pdf:");
    }
    void aFolderThatCannotBeWrittenLeavesNoHalfFile()
    {
        QFETCH(bool, blocked);
        QFETCH(QString, message);
        data->record().take(record());
        QVERIFY(QDir().mkpath(setup->dataFolder()));
        if (blocked) {
            QFile file(reports());
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(reports()));
        }
        // A file may grow to 4 kB only, as on a full disk; the process is told by an error, not a signal.
        struct rlimit old, small;
        getrlimit(RLIMIT_FSIZE, &old);
        small = {blocked ? old.rlim_cur : 4096, old.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const QString text = makeReport();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(text.isEmpty());
        QCOMPARE(prompts->messages.size(), 1);
        QVERIFY2(prompts->messages.first().startsWith(message.arg(QDir::toNativeSeparators(reports()))),
                 qPrintable(prompts->messages.first()));
        QVERIFY(opened.isEmpty());
        if (!blocked)
            QCOMPARE(QDir(reports()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The first page in the customer's words; the encodings only in the appendix, on pages of their own.
    void theFirstPageSpeaksToTheCustomer()
    {
        data->record().take(record());
        setup->nameVersion(3, QStringLiteral("Octavia 1.6"));
        data->set().setParamByte(SetVersion, 3);
        data->set().setParamByte(LowPowerStopMax, 140);
        data->set().setParamByte(LambdaThreshold, 40);
        data->set().markBlockValid();
        QVERIFY(keepBackupOfTheSet());
        // A hand edit: one stop changed, the version byte cleared with it.
        data->set().setParamByte(LowPowerStopMax, 150);
        data->set().setParamByte(SetVersion, 0);
        data->set().markWritten();

        ReportQuestion answer;
        answer.customer = QStringLiteral("Jana Dvořáková");
        answer.plate = QStringLiteral("3K4 5678");
        answer.vin = QStringLiteral("TMBJJ21U512345678");
        answer.mileage = QStringLiteral("131250");
        prompts->reportAnswers << answer;
        click("Protokol");
        const QString first = PdfText::run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                                         QStringLiteral("1"), QStringLiteral("-layout"), report->lastReport(),
                                                                         QStringLiteral("-")});
        for (const char *line : {"Zákazník Jana Dvořáková", "SPZ 3K4 5678", "VIN TMBJJ21U512345678",
                                 "Stav tachometru vozidla 131 250 km", "Doraz serva MAX, malý výkon: 140 → 150",
                                 "Verze sady: změněna ruční úpravou", "Provoz celkem 1 měsíc 0 dní 0 h 4 min",
                                 "Poslední servis 14.03.2023", "Rok výroby 2019"})
            QCOMPARE(PdfText::row(first, QString::fromUtf8(line).section(QLatin1Char(' '), 0, 1)), QString::fromUtf8(line));
        for (const char *internal : {"LAMST", "STAVJ", "bit", "bajt", "Vyhrazen", "Změněno hodnot", "Technická příloha"})
            QVERIFY2(!first.contains(QString::fromUtf8(internal)), internal);
        QCOMPARE(PdfText::row(first, QStringLiteral("Stav tachometru v jednotce")), QStringLiteral("Stav tachometru v jednotce 123 456 km"));
        // One date format, and decimals with a comma, in the whole report.
        const QString text = PdfText::text(report->lastReport()).remove(QRegularExpression(QStringLiteral("strana \\d+/\\d+")));
        static const QRegularExpression otherDate(QStringLiteral("\\d+/\\d+|\\d\\.\\d+ V|\\d{4}-\\d\\d-\\d\\d"));
        QVERIFY2(!otherDate.match(text).hasMatch(), qPrintable(otherDate.match(text).captured()));
        QCOMPARE(PdfText::row(text, QStringLiteral("Hranice lambda")), QStringLiteral("Hranice lambda 40 (0,80 V) 0–255 po 0,02 V"));
        QVERIFY(PdfText::row(text, QStringLiteral("Změněno hodnot:"))
                    .startsWith(QStringLiteral("Změněno hodnot: 1 proti stavu před prací (záloha pred.cfg)")));
        QVERIFY(text.contains(QStringLiteral("Verze sady: změněna ruční úpravou.")));

        // The appendix can be left out.
        answer.withAppendix = false;
        prompts->reportAnswers << answer;
        click("Protokol");
        QVERIFY(!PdfText::text(report->lastReport()).contains(QStringLiteral("Technická příloha")));
    }

    // Each change says whether the unit keeps it after the ignition is off.
    void eachChangeSaysWhetherTheUnitKeepsIt_data()
    {
        QTest::addColumn<bool>("committed");     // RAM->EEPROM went after the first write
        QTest::addColumn<int>("writtenAfter");   // the stop then written again; 0: not
        QTest::addColumn<QString>("line");
        QTest::newRow("written") << false << 0 << "Doraz serva MAX, malý výkon: 140 → 150 – zapsáno do RAM";
        QTest::newRow("committed") << true << 0 << "Doraz serva MAX, malý výkon: 140 → 150 – uloženo do EEPROM";
        QTest::newRow("committed, then written again") << true << 160 << "Doraz serva MAX, malý výkon: 140 → 160 – zapsáno do RAM";
    }
    void eachChangeSaysWhetherTheUnitKeepsIt()
    {
        data->record().take(record());
        data->set().setParamByte(LowPowerStopMax, 140);
        data->set().markBlockValid();
        QVERIFY(keepBackupOfTheSet());
        data->set().setParamByte(LowPowerStopMax, 150);
        data->set().markWritten();
        data->set().markRamChanged();
        QFETCH(bool, committed);
        QFETCH(int, writtenAfter);
        if (committed)
            data->set().markCommitted();
        if (writtenAfter) {
            data->set().setParamByte(LowPowerStopMax, quint8(writtenAfter));
            data->set().markRamChanged();
        }
        prompts->reportAnswers << ReportQuestion{};
        click("Protokol");
        QFETCH(QString, line);
        QCOMPARE(PdfText::row(PdfText::text(report->lastReport()), QStringLiteral("Doraz serva MAX, malý")), line);
    }

    // The dialog proposes what it was told last for the same unit, the next run too; nothing of another unit.
    void theAnswersAreKeptForTheSameUnit()
    {
        data->record().take(record());
        ReportQuestion answer;
        answer.customer = QStringLiteral("Jana Dvořáková");
        answer.plate = QStringLiteral("3K4 5678");
        answer.notes = QStringLiteral("Vyměněn filtr.");
        answer.mileage = QStringLiteral("130000");  // typed over the unit's reading
        answer.withAppendix = false;
        prompts->reportAnswers << answer;
        click("Protokol");
        QCOMPARE(prompts->reportQuestions.last().mileage, QStringLiteral("123456"));  // the unit's reading, proposed
        prompts->reportAnswers << std::nullopt;
        click("Tisk");
        const ReportQuestion proposed = prompts->reportQuestions.last();
        QCOMPARE(proposed.mileage, answer.mileage);
        QCOMPARE(proposed.customer, answer.customer);
        QCOMPARE(proposed.plate, answer.plate);
        QCOMPARE(proposed.notes, answer.notes);
        QCOMPARE(proposed.withAppendix, false);
        // "Uložení servisu" stored a new reading in the unit: that one is proposed.
        QByteArray stored = record();
        stored[10] = char(0xB2), stored[11] = 0x00, stored[12] = 0x02;
        data->record().take(stored);
        prompts->reportAnswers << std::nullopt;
        click("Protokol");
        QCOMPARE(prompts->reportQuestions.last().mileage, QStringLiteral("131250"));
        QCOMPARE(prompts->reportQuestions.last().customer, answer.customer);

        QByteArray other = record();
        other[2] = 118;
        data->record().take(other);
        prompts->reportAnswers << std::nullopt;
        click("Protokol");
        QCOMPARE(prompts->reportQuestions.last().customer, QString());
        QCOMPARE(prompts->reportQuestions.last().withAppendix, true);

        // The next run: the customer and vehicle come from the working folder, the notes not.
        data->record().take(record());
        report = std::make_unique<ReportController>(data.get(), setup.get(), page.get(), prompts.get());
        prompts->reportAnswers << std::nullopt;
        click("Protokol");
        QCOMPARE(prompts->reportQuestions.last().customer, answer.customer);
        QCOMPARE(prompts->reportQuestions.last().plate, answer.plate);
        QCOMPARE(prompts->reportQuestions.last().notes, QString());
    }

    // Car A read, cleared and written; then car B: its report holds nothing of car A.
    void aReportHoldsOneUnitOnly_data()
    {
        // r: its record comes, y: the record of the same serial number and another year, b: its block
        // comes (after a new connection)
        QTest::addColumn<QString>("carB");
        QTest::newRow("record of another serial") << "r";
        QTest::newRow("record of another year") << "y";
        QTest::newRow("another block after a new connection") << "b";
        QTest::newRow("block, then record") << "br";
    }
    void aReportHoldsOneUnitOnly()
    {
        QFETCH(QString, carB);
        UnitSession *session = report->session();
        session->linkAnswering(true);
        data->record().take(record());
        session->takeRecord(record());
        knownSet();
        session->takeBlock(data->set().value());
        data->record().noteErrorsCleared();
        data->set().markWritten();
        QVERIFY(makeReport().contains(QStringLiteral("Paměť chyb smazána.")));

        session->linkAnswering(false);
        session->linkAnswering(true);
        QByteArray other = record(true);
        other[carB == QStringLiteral("y") ? 3 : 2] = 5;
        for (const QChar step : carB) {
            if (step != QLatin1Char('b')) {
                data->record().take(other);
                session->takeRecord(other);
            } else {
                data->set().setParamByte(IdleStopMax, 77);
                session->takeBlock(data->set().value());
            }
        }
        const QString text = makeReport();
        for (const char *carA : {"smazán", "před smazáním", "Původně", "260", "Změněno hodnot"})
            QVERIFY2(!text.contains(QString::fromUtf8(carA)), carA);
        QCOMPARE(text.contains(QStringLiteral("117")), carB == QStringLiteral("y"));
        QCOMPARE(text.contains(QStringLiteral("Protokol byl vytvořen před načtením záznamu jednotky")), carB == QStringLiteral("b"));
        QCOMPARE(PdfText::row(text, QStringLiteral("Volnoběh – doraz serva MAX")).isEmpty(), carB != QStringLiteral("b") && carB != QStringLiteral("br"));
        QCOMPARE(session->unitChanges(), 1);
    }

    // However many changes push the tables down the first page, no table is cut by a page break.
    void noTableRunsOverAPageBreak()
    {
        data->record().take(record());
        knownSet();
        ReportInput input;
        input.versionNames = setup->versionNames();
        input.setBefore = ConfigFile::readSet(dir->filePath(QStringLiteral("2026-12-07_13-50-02_Fabia.cfg")));
        QVERIFY(!input.setBefore.isEmpty());
        int moved = 0;
        for (int changes = 0; changes < 31; ++changes) {
            for (int i = 1; i <= changes; ++i)
                data->set().setParamByte(i, quint8(i == SetVersion ? 7 : 200 - i));
            QTextDocument document;
            buildReport(document, *data, input);
            QBuffer pdf;
            QVERIFY(pdf.open(QIODevice::WriteOnly));
            QPdfWriter writer(&pdf);
            writer.setResolution(600);
            writer.setPageLayout(ReportPdf::pageLayout());
            QVERIFY(ReportPdf::paint(document, writer, QString()));
            const qreal page = document.pageSize().height();
            QTextBlock above;
            for (QTextFrame::iterator it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
                if (it.currentBlock().isValid()) {
                    above = it.currentBlock();
                    continue;
                }
                const QRectF box = document.documentLayout()->frameBoundingRect(it.currentFrame());
                if (box.height() >= page)
                    continue;
                const int first = int(box.top() / page);
                QVERIFY2(first == int((box.bottom() - 1) / page), qPrintable(QString::number(changes)));
                moved += above.blockFormat().pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore && above.text() != QStringLiteral("Technická příloha") ? 1 : 0;
            }
        }
        QVERIFY(moved > 0);  // some of these layouts did put a table across a break
    }

    void printingAndCancelling()
    {
        data->record().take(record());
        prompts->reportAnswers << std::nullopt;  // the report dialog cancelled
        click("Protokol");
        prompts->reportAnswers << ReportQuestion{};  // the print dialog cancelled
        click("Tisk");
        QCOMPARE(prompts->printDialogs, 1);
        QVERIFY(!QDir(reports()).exists());

        prompts->printTo = dir->filePath(QStringLiteral("tisk.pdf"));
        prompts->reportAnswers << ReportQuestion{};
        click("Tisk");
        QCOMPARE(PdfText::row(PdfText::text(prompts->printTo), QStringLiteral("Číslo serie")), QStringLiteral("Číslo serie 117"));
        QVERIFY(opened.isEmpty() && prompts->messages.isEmpty());
    }

    void picturesOnlyWhenThereAreAnyAndAskedFor()
    {
        QVERIFY(!makeReport(QString(), true).contains(QStringLiteral("Obrázky")));
        QCOMPARE(prompts->reportQuestions.last().picturesAvailable, false);

        scope->samples().setValue(1, 0, 40);
        scope->samples().setValue(1, 1, 90);
        scope->samples().setCount(2);
        QVERIFY(!makeReport().contains(QStringLiteral("Obrázky")));
        QCOMPARE(prompts->reportQuestions.last().picturesAvailable, true);
        QVERIFY(prompts->reportQuestions.last().withPictures);  // offered on as soon as there are pictures
        const QString text = makeReport(QString(), true);
        // The picture has no text: its title is followed by the caption saying what it shows; no
        // heading for the recording that was not made.
        QCOMPARE(after(text, QStringLiteral("Osciloskop – poslední záznam")),
                 QStringLiteral("Napětí lambda sondy a poloha serva v čase, jak je ukázal osciloskop při posledním měření."));
        QVERIFY(!text.contains(QStringLiteral("Záznam živých hodnot")) && !text.contains(QStringLiteral("žádný záznam")));
        const QString images = PdfText::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), report->lastReport()});
        const QStringList lines = images.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);  // two heading lines, one image
        // Its 12-pixel text prints at 8 pt or more: at most 108 pixels an inch.
        const QStringList columns = lines.last().simplified().split(QLatin1Char(' '));
        QVERIFY2(columns.size() > 13 && columns.at(12).toInt() <= 108, qPrintable(lines.last()));

        // A tall plot is held to a third of a page, its caption under it.
        report->setRecordingPlot([] {
            QImage plot(700, 900, QImage::Format_RGB32);
            plot.fill(Qt::white);
            return plot;
        });
        const QString both = makeReport(QString(), true);
        QVERIFY(both.contains(QStringLiteral("Celá poslední zaznamenaná jízda: lambda sonda, servo, otáčky a škrticí klapka v čase.")));
        const QString shown = PdfText::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), report->lastReport()});
        const QStringList plotRow = shown.split(QLatin1Char('\n'), Qt::SkipEmptyParts).last().simplified().split(QLatin1Char(' '));
        // 900 pixels across 300 of the 96 an inch: 288 pixels an inch.
        QVERIFY2(plotRow.size() > 13 && plotRow.at(3) == QStringLiteral("700") && plotRow.at(13).toInt() >= 280, qPrintable(shown));
    }

    // The analysis of the session's last finished recording: offered only when there is one, on
    // by default, its figures, verdicts and proposal in the report; the note when it kept no set.
    // What the unit history keeps of a recording: verdicts per range and the proposals, made on a
    // worker thread and handed back on this one; an unreadable file keeps why.
    void aRecordingsAnalysisIsSummarisedAside()
    {
        KeptAnalyses kept;
        for (const bool readable : {true, false}) {
            const QString path = readable ? driveRecording(true) : dir->filePath(QStringLiteral("chybi.csv"));
            QString summary;
            QThread *handedOn = nullptr;
            kept.whenAnalysed(path, data->set().value(), AnalysisLimits(), this, [&](const RecordingAnalysis &analysis) {
                summary = analysisSummary(analysis);
                handedOn = QThread::currentThread();
            });
            QTRY_VERIFY_WITH_TIMEOUT(!summary.isEmpty(), 20000);
            QCOMPARE(handedOn, QThread::currentThread());
            const QJsonObject o = QJsonDocument::fromJson(summary.toUtf8()).object();
            QCOMPARE(o.value("recording").toString(), QFileInfo(path).fileName());
            QCOMPARE(o.contains("error"), !readable);
            if (!readable)
                continue;
            const QJsonArray ranges = o.value("ranges").toArray();
            QCOMPARE(ranges.size(), 4);
            QCOMPARE(ranges[1].toObject().value("range").toInt(), 2);
            QCOMPARE(ranges[1].toObject().value("atMax").toString(), QStringLiteral("red"));
            QCOMPARE(o.value("whole").toObject().size(), ranges[0].toObject().size() - 1);
            bool proposed = false;
            for (const QJsonValue &v : o.value("proposals").toArray()) {
                const QJsonObject p = v.toObject();
                proposed |= p.value("range").toInt() == 2 && p.value("stop").toString() == QStringLiteral("MAX")
                            && p.value("from").toInt() == 140 && p.value("to").toInt() == 150 && !p.value("reason").toString().isEmpty();
            }
            QVERIFY2(proposed, qPrintable(summary));
        }
    }

    // A finding the customer reads comes with why nothing was done when no proposal was made.
    void aFindingSaysWhyNothingWasDone_data()
    {
        QTest::addColumn<bool>("probe");       // the probe's switching, else the MAX stop
        QTest::addColumn<bool>("directionKnown");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stop, direction unclear") << false << false
            << QStringLiteral("Dorazy nebyly upraveny: ze záznamu nebylo možné spolehlivě určit, kterým směrem servo směs obohacuje.");
        QTest::newRow("stop, held while rich") << false << true
            << QStringLiteral("Dorazy nebyly upraveny: servo se na dorazu nedrželo při směsi, kterou by úprava dorazu napravila.");
        QTest::newRow("probe") << true << true
            << QStringLiteral("Úpravou dorazů to odstranit nelze: doporučena kontrola lambda sondy a sání.");
    }
    void aFindingSaysWhyNothingWasDone()
    {
        QFETCH(bool, probe);
        QFETCH(bool, directionKnown);
        QFETCH(QString, expected);
        auto drive = std::make_shared<DriveAnalysis>();
        drive->direction = directionKnown ? EnrichDirection::TowardsMax : EnrichDirection::Unknown;
        drive->ranges[1].enoughData = drive->ranges[2].enoughData = true;
        (probe ? drive->ranges[1].switching : drive->ranges[1].atMax) = Verdict::Red;
        const QString html = analysisForCustomer({QStringLiteral("jizda.csv"), drive, QString()}, nullptr);
        QTextDocument doc;
        doc.setHtml(html);
        const QString text = doc.toPlainText();
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Málo dat k posouzení (jízda v rozsahu byla krátká): Volnoběh, Maximální výkon.")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Velký výkon")));  // judged and in order: not named
    }

    void theAnalysisOfTheLastRecordingWhenAsked()
    {
        data->record().take(record());
        QString recording;
        report->setLastRecording([&recording] { return recording; });
        QVERIFY(!makeReport().contains(QStringLiteral("Rozbor záznamu jízdy")));
        QVERIFY(!prompts->reportQuestions.last().analysisAvailable);

        recording = driveRecording(true);
        ReportQuestion answer;
        answer.withAnalysis = true;
        prompts->reportAnswers << answer;
        click("Protokol");
        QVERIFY(prompts->reportQuestions.last().analysisAvailable);
        QVERIFY(prompts->reportQuestions.last().withAnalysis);  // on by default when there is one
        const QString text = PdfText::text(report->lastReport());
        QVERIFY2(text.contains(QStringLiteral("Rozbor záznamu jízdy")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Záznam 2026-12-07_13-55-00.csv, 2,0 min s hodnotami, řádky po 0,02 s.")));
        QVERIFY(!text.contains(QStringLiteral("Záznam nemá svou sadu")));
        // Figures with decimal commas, a verdict in words under each judged figure.
        QCOMPARE(PdfText::row(text, QStringLiteral("Přechody hranice / 10 s")).left(27), QStringLiteral("Přechody hranice / 10 s 9,8"));
        QVERIFY2(PdfText::row(text, QStringLiteral("Na dorazu MAX")).contains(QStringLiteral("100 % (140)")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("v pořádku")) && text.contains(QStringLiteral("závada")));
        QVERIFY(text.contains(QStringLiteral("Malý výkon, doraz MAX 140 → 150: servo na dorazu 100 % ustáleného času, chudá 100 %")));
        QVERIFY(text.contains(QStringLiteral("Chudá → bohatá (Malý výkon, Velký výkon, Maximální výkon): žádný přechod")));
        // The table whole on one page, in the appendix.
        const QString page = text.split(QLatin1Char('\f')).filter(QStringLiteral("Rozbor záznamu jízdy – naměřené hodnoty")).value(0);
        QVERIFY(page.contains(QStringLiteral("Čas v rozsahu")) && page.contains(QStringLiteral("TPS práh 3 / min")));
        // The customer's pages: the finding in words with what became of it; the figures, the
        // verdicts' colours and the poll are the appendix's.
        const QString customer = text.section(QStringLiteral("Technická příloha"), 0, 0).simplified();
        for (const char *figure : {"závada", "Směr obohacení", "řádky po", "ustáleného času", "nenavrhuje"})
            QVERIFY2(!customer.contains(QString::fromUtf8(figure)), figure);
        QVERIFY2(customer.contains(QStringLiteral("Malý výkon: lambda sonda přepíná málo často, lambda sonda nedosahuje napětí bohaté směsi, "
                                                     "servo se dlouho drží na dorazu MAX.")),
                 qPrintable(customer));
        QVERIFY(customer.contains(QStringLiteral("Rozbor navrhuje doraz MAX 140 → 150; při tomto servisu úprava provedena nebyla.")));
        data->set().setParamByte(LowPowerStopMax, 150);
        QVERIFY(makeReportWith(answer).contains(QStringLiteral("Doraz MAX upraven podle rozboru: 140 → 150.")));
        data->set().setParamByte(LowPowerStopMax, 140);

        answer.withAnalysis = false;  // refused: not in the report
        QVERIFY(!makeReportWith(answer).contains(QStringLiteral("Rozbor záznamu jízdy")));

        QFile::remove(RecordedSets::pathFor(recording, 1));
        answer.withAnalysis = true;
        QVERIFY(makeReportWith(answer).contains(QStringLiteral("Záznam nemá svou sadu: rozbor proti sadě nástroje.")));
        QFile::remove(recording);  // deleted on the page "Záznamy" meanwhile
        QVERIFY(makeReportWith(answer).contains(QStringLiteral("Záznam 2026-12-07_13-55-00.csv: rozbor nebyl možný (")));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"

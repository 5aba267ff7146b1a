#include "../cfgfiles/servicefixture.h"
#include "../history/historyfixture.h"
#include "cfgfiles/configfile.h"
#include "cfgfiles/configfiles.h"
#include "history/historydatabase.h"
#include "history/historystore.h"
#include "historypage/historybrowser.h"
#include "historypage/historypage.h"
#include "history/visitrecorder.h"
#include "historypage/previousvisitnote.h"
#include "link/diagnosticsexchange.h"
#include "../common/pdftext.h"
#include "link/blockread.h"
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>

// The page "Historie" in the whole window, over a history in the working folder's SQLite file.
class TestHistoryPage : public ServiceFixture
{
    Q_OBJECT
    HistoryPage *page() const { return form->historyPage(); }
    template <typename T> T *find(const char *name) const
    {
        T *w = page()->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    static void clickRow(QTreeWidget *list, int row)
    {
        QTreeWidgetItem *item = list->topLevelItem(row);
        QVERIFY(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    // Two visits of unit 12 (the later one wrote a changed set) and one of unit 7.
    void fillHistory()
    {
        HistoryStore *store = form->historyStore();
        Visit first = HistoryWait::sampleVisit(UnitIdentity{12, 2020}, 1);
        first.customer = QStringLiteral("Jana Dvořáková");
        first.sets = {{HistoryIds::newId(), first.started, VisitSet::Kind::Read, setOf(set(90) + someLevels()), VisitSet::Check::Verified}};
        Visit second = HistoryWait::sampleVisit(UnitIdentity{12, 2020}, 2);
        second.started = first.started.addDays(30);
        second.sets = {{HistoryIds::newId(), second.started, VisitSet::Kind::Read, setOf(set(90) + someLevels()), VisitSet::Check::Verified},
                       {HistoryIds::newId(), second.started.addSecs(60), VisitSet::Kind::Write, setOf(set(120, 5) + someLevels()),
                        VisitSet::Check::Verified}};
        // An analysis as kept, with a key this page does not know.
        second.recordings = {{HistoryIds::newId(), second.started.addSecs(120), QStringLiteral("jizda.csv"), 150000, QStringLiteral("PC1"),
                              QStringLiteral(R"({"recording":"jizda.csv","rows":600,"ranges":[)"
                                             R"({"range":1,"enoughData":true,"switching":"green","atMax":"green"},)"
                                             R"({"range":2,"enoughData":true,"switching":"amber","atMax":"red","lag":2},)"
                                             R"({"range":3,"enoughData":false},{"range":4,"enoughData":false}],)"
                                             R"("proposals":[{"range":2,"stop":"MAX","from":150,"to":160,"reason":"servo na dorazu 64 %"}]})")}};
        m_second = second;
        store->saveVisit(first);
        store->saveVisit(second);
        store->saveVisit(HistoryWait::sampleVisit(UnitIdentity{7, 2020}, 3));
        QVERIFY(HistoryWait::settled(*store));
    }
    // Unit 12, its later visit shown.
    void openSecondVisit()
    {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(form->pages()->currentWidget(), page());
        auto *units = find<QTreeWidget>("Jednotky");
        QTRY_COMPARE(units->topLevelItemCount(), 2);
        QTest::keyClicks(find<QLineEdit>("HledatJednotku"), QStringLiteral("12"));
        QTRY_COMPARE(units->topLevelItemCount(), 1);
        QCOMPARE(units->topLevelItem(0)->text(4), QStringLiteral("2"));
        clickRow(units, 0);
        auto *visits = find<QTreeWidget>("Navstevy");
        QTRY_COMPARE(visits->topLevelItemCount(), 2);
        clickRow(visits, 0);
        QTRY_COMPARE(page()->browser()->shownVisit().id, m_second.id);
    }
    Visit m_second;

private slots:
    void init()
    {
        startWindow("[Dilna]\r\nTechnik=Jan Novák\r\n");
        fillHistory();
    }
    void cleanup() { stopWindow(); }

    void searchShowsUnitsVisitsAndDetails()
    {
        openSecondVisit();
        const QString details = find<QTextBrowser>("Podrobnosti")->toPlainText();
        QVERIFY2(details.contains(QStringLiteral("Jednotka č. 12")), qPrintable(details));
        QVERIFY2(details.contains(QStringLiteral("Předchozí návštěva 1.12.2026")), qPrintable(details));
        QVERIFY2(details.contains(QStringLiteral("Volnoběh")) && details.contains(QStringLiteral("7 → 0")), qPrintable(details));
        // The recording's analysis in sentences, not as kept.
        QVERIFY2(details.simplified().contains(QStringLiteral(
                     "Záznam jizda.csv, 150 s, na PC PC1. Rozbor: Malý výkon: lambda sonda přepíná málo často (na hranici), "
                     "servo se dlouho drží na dorazu MAX. Málo dat: Velký výkon, Maximální výkon. Návrh: Malý výkon, doraz MAX 150 → 160.")),
                 qPrintable(details));
        QVERIFY(!details.contains(QLatin1Char('{')));
        QCOMPARE(find<QTreeWidget>("SadyNavstevy")->topLevelItemCount(), 2);
        QCOMPARE(find<QTreeWidget>("SadyNavstevy")->topLevelItem(1)->text(2), QStringLiteral("Uložení OK"));
    }

    void twoSetsComparedAsOnServicePage()
    {
        openSecondVisit();
        auto *sets = find<QTreeWidget>("SadyNavstevy");
        clickRow(sets, 0);
        find<QPushButton>("OznacitSadu")->click();
        clickRow(sets, 1);
        find<QPushButton>("PorovnatSOznacenou")->click();
        auto *table = find<QTreeWidget>("PorovnaniSad");
        QCOMPARE(find<QTabWidget>("KartyNavstevy")->currentWidget(), table);
        QStringList differing;
        for (int i = 0; i < table->topLevelItemCount(); ++i)
            if (table->topLevelItem(i)->font(0).bold())
                differing << table->topLevelItem(i)->text(0);
        QVERIFY2(differing.size() >= 2, qPrintable(differing.join(QLatin1Char('|'))));
        // The tool's own start-up set against the written one differs in many more rows.
        find<QPushButton>("PorovnatSProgramem")->click();
        QCOMPARE(table->headerItem()->text(1), QStringLiteral("Program"));
    }

    void setTakenInAsABackupAfterAskingOverUnsavedWork()
    {
        openSecondVisit();
        clickRow(find<QTreeWidget>("SadyNavstevy"), 1);
        form->data()->set().setParamByte(ParamBlock::IdleStopMax, 77);  // unsaved work
        prompts->answers << false << true;
        find<QPushButton>("NacistSaduDoProgramu")->click();
        QCOMPARE(form->data()->set().paramByte(ParamBlock::IdleStopMax), quint8(77));
        find<QPushButton>("NacistSaduDoProgramu")->click();
        QCOMPARE(prompts->questions.size(), 2);
        QVERIFY(form->data()->set().value() == m_second.sets[1].set);
        // A backup, never a save target: the caption names it and a save asks for a new name.
        QVERIFY(form->servicePage()->files()->backupSource().contains(QStringLiteral("zalohy")));
        QVERIFY(form->windowTitle().contains(QStringLiteral("ze zálohy")));
    }

    // The notes of a closed visit are kept alone: what another PC changed in the visit meanwhile stays.
    void notesKeptWithAClosedVisit()
    {
        openSecondVisit();
        {
            HistoryDatabase otherPc(QStringLiteral("other-pc"));
            QString error;
            QVERIFY(otherPc.open(form->historyStore()->target(), &error));
            Visit changed = m_second;
            changed.technician = QStringLiteral("Eva Malá");
            QVERIFY2(otherPc.saveVisit(changed, &error), qPrintable(error));
        }
        auto *notes = find<QPlainTextEdit>("PoznamkyNavstevy");
        QCOMPARE(notes->toPlainText(), m_second.notes);
        notes->selectAll();
        QTest::keyClicks(notes, QStringLiteral("Zakaznik hlasi cukani"));
        find<QPushButton>("UlozitPoznamky")->click();
        QVERIFY(HistoryWait::settled(*form->historyStore()));
        QTRY_COMPARE(HistoryWait::visit(*form->historyStore(), m_second.id).notes, QStringLiteral("Zakaznik hlasi cukani"));
        QCOMPARE(HistoryWait::visit(*form->historyStore(), m_second.id).technician, QStringLiteral("Eva Malá"));
    }

    // A unit kept as "bez čísla" is named by hand with its serial number and year: its visit and
    // customer join the unit of that number and year, not the same number of another year.
    void unitWithoutNumberNamedByHand()
    {
        Visit unnamed = HistoryWait::sampleVisit(std::nullopt, 4);
        unnamed.customer = QStringLiteral("Petr Malý");
        form->historyStore()->saveVisit(unnamed);
        QVERIFY(HistoryWait::settled(*form->historyStore()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
        auto *search = find<QLineEdit>("HledatJednotku");
        QTest::keyClicks(search, QStringLiteral("bez"));
        auto *units = find<QTreeWidget>("Jednotky");
        QTRY_COMPARE(units->topLevelItemCount(), 1);
        clickRow(units, 0);
        QVERIFY(find<QPushButton>("PojmenovatJednotku")->isEnabled());
        prompts->texts << QStringLiteral("12") << QStringLiteral("2021");
        find<QPushButton>("PojmenovatJednotku")->click();
        QTRY_COMPARE(HistoryWait::units(*form->historyStore(), QStringLiteral("bez")).size(), 0);
        QCOMPARE(HistoryWait::visits(*form->historyStore(), HistoryIds::unitId({12, 2020})).size(), 2);
        QCOMPARE(HistoryWait::visits(*form->historyStore(), HistoryIds::unitId({12, 2021})).size(), 1);
        const Visit named = HistoryWait::visit(*form->historyStore(), unnamed.id);
        QCOMPARE(named.unit, (UnitIdentity{12, 2021}));
        QCOMPARE(named.customer, QStringLiteral("Petr Malý"));
        QTRY_COMPARE(units->topLevelItemCount(), 0);
        search->clear();
        QTest::keyClicks(search, QStringLiteral("2021"));
        QTRY_COMPARE(units->topLevelItemCount(), 1);
        QCOMPARE(units->topLevelItem(0)->text(0), QStringLiteral("12"));
        QCOMPARE(units->topLevelItem(0)->text(1), QStringLiteral("2021"));
    }

    // A unit kept before units had their year says so: no year is made up.
    void aUnitWithoutItsYearSaysSo()
    {
        form->historyStore()->saveVisit(HistoryWait::sampleVisit(UnitIdentity{88, std::nullopt}));
        QVERIFY(HistoryWait::settled(*form->historyStore()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
        QTest::keyClicks(find<QLineEdit>("HledatJednotku"), QStringLiteral("88"));
        auto *units = find<QTreeWidget>("Jednotky");
        QTRY_COMPARE(units->topLevelItemCount(), 1);
        QCOMPARE(units->topLevelItem(0)->text(0), QStringLiteral("88"));
        QCOMPARE(units->topLevelItem(0)->text(1), QStringLiteral("rok neznámý"));
        clickRow(units, 0);
        QTRY_COMPARE(find<QTreeWidget>("Navstevy")->topLevelItemCount(), 1);
        clickRow(find<QTreeWidget>("Navstevy"), 0);
        QTRY_VERIFY(find<QTextBrowser>("Podrobnosti")->toPlainText().startsWith(QStringLiteral("Jednotka č. 88, rok neznámý")));
    }

    // The report names the unit's previous visit and what changed since in a section of its own; the
    // customer and vehicle kept with the unit are offered when the working folder has none, and the
    // answer goes back into the unit.
    void reportProposesThePreviousVisit()
    {
        form->visitRecorder()->setClock([] { return QDateTime(QDate(2026, 12, 15), QTime(9, 0), Qt::UTC); });
        emit form->diagnosticsExchange()->diagnosticsReceived(HistoryWait::recordOf(12, 2020, 0));
        QVERIFY(form->visitRecorder()->isOpen());
        QTRY_VERIFY(!form->previousVisitNote()->text().isEmpty());
        unitBlock = set(100);  // the idle stop changed since the previous visit
        form->blockRead()->readBlock();
        QTRY_VERIFY(form->data()->set().blockValid() && form->data()->set().levelsValid());
        ReportQuestion answer;
        answer.customer = QStringLiteral("Petr Malý");
        answer.vin = QStringLiteral("TMBJJ7NE8J0123456");
        prompts->reportAnswers << answer;
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(prompts->reportQuestions.size(), 1);
        const ReportQuestion asked = prompts->reportQuestions.last();
        QCOMPARE(asked.notes, QString());
        QCOMPARE(asked.customer, QStringLiteral("Jana Dvořáková"));
        QCOMPARE(asked.plate, m_second.vehicle);
        QTRY_VERIFY(!prompts->reportAnswers.size());
        QVERIFY(HistoryWait::settled(*form->historyStore()));
        const Visit kept = HistoryWait::visit(*form->historyStore(), form->visitRecorder()->visit().id);
        QCOMPARE(kept.customer, answer.customer);
        QCOMPARE(kept.vehicle, answer.vin);

        const QStringList reports = QDir(dataFile(QStringLiteral("protokoly"))).entryList({QStringLiteral("*.pdf")});
        QCOMPARE(reports.size(), 1);
        const QString text = PdfText::text(dataFile(QStringLiteral("protokoly/") + reports.first()));
        QVERIFY2(text.contains(QStringLiteral("Od předchozí návštěvy")), qPrintable(text));
        QCOMPARE(PdfText::row(text, QStringLiteral("Předchozí návštěva:")),
                 QStringLiteral("Předchozí návštěva: 01.12.2026 08:01, technik Jiří Dvořák."));
        QCOMPARE(PdfText::row(text, QStringLiteral("Od ní")), QStringLiteral("Od ní změněno v nastavení (tehdy → nyní):"));
        QVERIFY2(text.contains(QStringLiteral(": 90 → 100")), qPrintable(text));
    }

    void technicianChangedForTheVisits()
    {
        auto *technician = find<QLineEdit>("Technik");
        QCOMPARE(technician->text(), QStringLiteral("Jan Novák"));
        QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);
        technician->setFocus();
        technician->selectAll();
        QTest::keyClicks(technician, QStringLiteral("Eva Mala"));
        QTest::keyClick(technician, Qt::Key_Return);
        QCOMPARE(form->visitRecorder()->technician(), QStringLiteral("Eva Mala"));
    }

    void reportOpenedFromTheVisit()
    {
        QString opened;
        openSecondVisit();
        page()->browser()->setOpener([&](const QString &path) {
            opened = path;
            return true;
        });
        page()->browser()->setReportFolder(folder->filePath(QStringLiteral("otevrene")));
        find<QPushButton>("OtevritProtokol")->click();
        QCOMPARE(readAll(opened), m_second.reports[0].pdf);
    }
};

QTEST_MAIN(TestHistoryPage)
#include "tst_historypage.moc"

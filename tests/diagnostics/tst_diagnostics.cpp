#include "diagfixture.h"
#include "diagnostics/recorddisplay.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>

// The diagnostics page on a fake port: what it asks the unit, what it shows of the answer.
class TestDiagnostics : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<DiagFixture> f;

    QString readRecord(const QByteArray &reply)
    {
        f->answerRecordWith(reply);
        f->click("Button28");
        return f->writtenHex().value(0);
    }

private slots:
    void init() { f = std::make_unique<DiagFixture>(); }
    void cleanup() { f.reset(); }

    void recordFieldsDecode_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1000 ticks") << DiagFixture::record({{4, 0xE8}, {5, 0x03}}) << "PCelkem" << "00/01  02:40";
        QTest::newRow("27000 ticks") << DiagFixture::record({{7, 0x78}, {8, 0x69}}) << "PLPG" << "01/00  00:00";
        QTest::newRow("largest count") << DiagFixture::record({{4, 0xFF}, {5, 0xFF}, {6, 0xFF}}) << "PCelkem" << "621/11  08:24";
        QTest::newRow("year of manufacture") << DiagFixture::record({{3, 7}}) << "RVyroby" << "2007";
        QTest::newRow("service date") << DiagFixture::record({{13, 5}, {14, 9}, {15, 7}}) << "Servis" << "05/09/07";
        QTest::newRow("counter low byte first") << DiagFixture::record({{27, 0x34}, {28, 0x12}}) << "CVEC" << "4660";
        QTest::newRow("tachometer") << DiagFixture::record({{10, 0x40}, {11, 0xE2}, {12, 0x01}}) << "STacho" << "123456";
        QTest::newRow("identity") << DiagFixture::record({{1, 4}, {2, 117}, {16, 9}}) << "VJednotky CSerie CServisu" << "4 117 9";
        QTest::newRow("counters in record order")
            << DiagFixture::record({{17, 1}, {19, 2}, {21, 3}, {23, 4}, {25, 5}, {27, 6}, {29, 7}, {31, 8}})
            << "CVB CVC CMB CMC CVEB CVEC CMAB CMAC" << "1 2 3 4 5 6 7 8";
    }
    void recordFieldsDecode()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        f->find("STacho")->setText(QStringLiteral("500"));  // typed before the request
        QCOMPARE(readRecord(record), QStringLiteral("02 80 03"));
        QVERIFY(!f->link.polling());
        QTRY_COMPARE_WITH_TIMEOUT(f->texts(field), shown, 2000);
        QCOMPARE(f->message()->text(), QStringLiteral("Načtení OK"));
        QVERIFY(f->message()->isVisibleTo(&f->page));
        QVERIFY(f->link.polling());
        QCOMPARE(f->link.linkState(), LinkState::StatusReply);
        // A shown reading is the unit's, never one typed: the record replaced the typed 500.
        QCOMPARE(f->page.tachoReading()->km(), int(RecordFields::number(record, 10, 3)));
        QVERIFY(!f->page.tachoReading()->typed());
    }

    void aReplyWithoutBothMarkersIsDropped_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("a parameter block") << QByteArray(DiagFixture::record()).replace(0, 1, "\x01");
        QTest::newRow("wrong end byte") << QByteArray(DiagFixture::record()).replace(33, 1, "\x04");
        QTest::newRow("short") << DiagFixture::record().left(33);
    }
    void aReplyWithoutBothMarkersIsDropped()
    {
        QFETCH(QByteArray, reply);
        QSignalSpy missing(&f->parts.diagnostics, &DiagnosticsExchange::diagnosticsMissing);
        readRecord(QByteArray(reply).replace(3, 1, "\x09"));
        QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 2000);
        QCOMPARE(f->link.linkState(), LinkState::StatusReply);
        QCOMPARE(f->text("RVyroby"), QString());
        QVERIFY(!f->message()->isVisibleTo(&f->page));
        QVERIFY(!f->parts.diagnostics.diagReplyGuard().isEnabled());
        f->link.stopPolling();
        QTest::qWait(2300);
        QCOMPARE(missing.count(), 0);  // the unit did answer
    }

    void aSilentUnitCostsTwoSecondsNeverThePoll()
    {
        QElapsedTimer clock;
        clock.start();
        readRecord({});
        QCOMPARE(f->link.linkState(), LinkState::DiagnosticRecord);
        QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 5000);
        QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(f->link.linkState(), LinkState::StatusReply);
        QCOMPARE(f->message()->text(), QStringLiteral("Jednotka neodpovídá!"));
        QVERIFY(f->message()->isVisibleTo(&f->page));
        clock.restart();
        QTRY_VERIFY_WITH_TIMEOUT(!f->message()->isVisibleTo(&f->page), 4000);  // for 2 s, as "Načtení OK"
        QVERIFY2(clock.elapsed() > 1500, qPrintable(QString::number(clock.elapsed())));
    }

    // A record another part of the tool asks for (the history's) shows on the page, but only the
    // page's own requests give outcomes that the window keeps for a technician looking elsewhere.
    void onlyThePagesOwnRequestsGiveOutcomes()
    {
        QSignalSpy outcomes(f->page.display(), &RecordDisplay::outcomeShown);
        f->answerRecordWith(DiagFixture::record());
        f->parts.diagnostics.requestDiagnostics();
        QTRY_VERIFY_WITH_TIMEOUT(f->message()->isVisibleTo(&f->page), 2000);
        QCOMPARE(f->message()->text(), QStringLiteral("Načtení OK"));
        QCOMPARE(outcomes.size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 2000);
        readRecord(DiagFixture::record());
        QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), 1, 2000);
        QCOMPARE(outcomes.first().first().toString(), QStringLiteral("Načtení OK"));
    }

    void serviceFramesCarryDateAndReading_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("tacho");
        QTest::addColumn<QString>("frames");
        QTest::newRow("6 December 2026") << QDate(2026, 12, 6) << 123456
            << "02 14 5C 06 03|02 14 5D 0C 03|02 14 5E 1A 03|02 14 5F 00 03|02 14 59 40 03|02 14 5A E2 03|02 14 5B 01 03";
        QTest::newRow("2000, no reading") << QDate(2000, 1, 31) << 0
            << "02 14 5C 1F 03|02 14 5D 01 03|02 14 5E 00 03|02 14 5F 00 03|02 14 59 00 03|02 14 5A 00 03|02 14 5B 00 03";
        QTest::newRow("2099, largest reading") << QDate(2099, 2, 1) << 16777215
            << "02 14 5C 01 03|02 14 5D 02 03|02 14 5E 63 03|02 14 5F 00 03|02 14 59 FF 03|02 14 5A FF 03|02 14 5B FF 03";
    }
    void serviceFramesCarryDateAndReading()
    {
        QFETCH(QDate, date);
        QFETCH(int, tacho);
        QFETCH(QString, frames);
        QStringList got;
        for (const QByteArray &frame : f->parts.diagnostics.serviceFrames(date, tacho))
            got << hex(frame);
        QCOMPARE(got.join('|'), frames);
    }

    // What is typed into STacho, whether the store then asks, and what it sends.
    void storeAsksUnlessANewReadingWasTyped_data()
    {
        QTest::addColumn<bool>("recordFirst");
        QTest::addColumn<QString>("typed");  // null: nothing typed
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("sentReading");  // empty: nothing sent
        QTest::newRow("after a record, No") << true << QString() << false << "123456" << true << "";
        QTest::newRow("after a record, Yes") << true << QString() << true << "123456" << true << "40 E2 01";
        QTest::newRow("typed 150000") << true << "150000" << false << "150000" << false << "F0 49 02";
        QTest::newRow("typed 0") << true << "0" << false << "0" << true << "";
        QTest::newRow("typed negative") << true << "-25" << false << "0" << true << "";
        QTest::newRow("beyond 24 bits") << true << "16777216" << false << "16777215" << false << "FF FF FF";
        QTest::newRow("text deleted") << true << "" << false << "0" << true << "";
    }
    void storeAsksUnlessANewReadingWasTyped()
    {
        QFETCH(bool, recordFirst);
        QFETCH(QString, typed);
        QFETCH(bool, yes);
        QFETCH(QString, shown);
        QFETCH(bool, asked);
        QFETCH(QString, sentReading);
        if (recordFirst) {
            readRecord(f->record({{10, 0x40}, {11, 0xE2}, {12, 0x01}}));
            QTRY_COMPARE_WITH_TIMEOUT(f->text("STacho"), QStringLiteral("123456"), 2000);
        }
        f->port.onWrite = nullptr;
        f->port.written.clear();
        if (!typed.isNull())
            f->find("STacho")->setText(typed);
        QCOMPARE(f->text("STacho"), shown);
        QCOMPARE(f->prompts.beeps, typed.isEmpty() && !typed.isNull() ? 1 : 0);
        f->page.show();
        f->prompts.answers = {yes};
        f->click("Button34");
        QCOMPARE(f->prompts.questions.size(), asked ? 1 : 0);
        if (asked)  // the reading that would be stored, named
            QCOMPARE(f->prompts.questions.first(),
                     QStringLiteral("Pozor !!!: Opravdu chcete uložit tento stav tachometru ?\n\nStav tacho: %1 km").arg(shown));
        if (sentReading.isEmpty()) {
            QVERIFY(f->port.written.isEmpty());
            QCOMPARE(f->link.queuedOperations(), 0);
            QCOMPARE(f->page.focusWidget(), f->find("STacho"));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 8, 3000);
        const QStringList w = f->writtenHex();
        QStringList reading;
        for (int i = 4; i < 7; ++i)
            reading << w[i].split(' ').value(3);
        QCOMPARE(reading.join(' '), sentReading);
    }

    // Nothing on the page passes for the unit's record before it was read: a store then would write
    // the empty field's 0 with today's date and the next service number.
    void aStoreWaitsForTheRecordOfTheUnitNowConnected()
    {
        const QString all = QStringLiteral("VJednotky CSerie RVyroby PCelkem PLPG STacho Servis CServisu CVB CVC CMB CMC CVEB CVEC CMAB CMAC");
        const QString empty = QString(15, QLatin1Char(' '));
        QCOMPARE(f->texts(all), empty);
        f->page.show();
        const QString refusal = QStringLiteral("Pozor !!!: Nejdříve načtěte záznam jednotky tlačítkem \"Načtení diagnostiky\".\n"
                                               "Servis se ukládá jen k načtenému záznamu připojené jednotky.");
        f->find("STacho")->setText(QStringLiteral("150000"));  // typed: no question would come
        f->click("Button34");
        QCOMPARE(f->prompts.messages, QStringList{refusal});
        QVERIFY(f->prompts.questions.isEmpty());
        QVERIFY(f->port.written.isEmpty());
        QCOMPARE(f->page.focusWidget(), f->find<QPushButton>("Button28"));

        readRecord(DiagFixture::record({{2, 117}, {10, 0x40}, {11, 0xE2}, {12, 0x01}}));
        QTRY_COMPARE_WITH_TIMEOUT(f->text("STacho"), QStringLiteral("123456"), 2000);
        QTRY_COMPARE(f->link.linkState(), LinkState::StatusReply);
        // The link lost: whatever unit answers next has its record read anew.
        f->page.display()->forgetRecord();
        QCOMPARE(f->texts(all), empty);
        QCOMPARE(f->page.tachoReading()->km(), 0);
        f->port.written.clear();
        f->click("Button34");
        QCOMPARE(f->prompts.messages, QStringList(2, refusal));
        QVERIFY(f->port.written.isEmpty());
    }

    void enterInTheReadingMovesOnToTheStore()
    {
        readRecord(DiagFixture::record());
        QTRY_COMPARE_WITH_TIMEOUT(f->text("STacho"), QStringLiteral("0"), 2000);
        f->port.onWrite = nullptr;
        f->port.written.clear();
        f->page.show();
        QVERIFY(QTest::qWaitForWindowActive(&f->page));
        QLineEdit *tacho = f->find("STacho");
        tacho->setFocus();
        tacho->selectAll();
        QTest::keyClicks(tacho, QStringLiteral("150000"));
        QTest::keyClick(tacho, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f->find<QPushButton>("Button34"));
        QVERIFY(f->port.written.isEmpty());
        // Enter there presses it, as on a tuning value's "Ulož"; a typed reading is stored unasked.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 8, 3000);
        QVERIFY(f->prompts.questions.isEmpty());
    }

    void theStoreIsCheckedByReadingTheRecordBack_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("servis");
        const QByteArray held = DiagFixture::record({{10, 0xF0}, {11, 0x49}, {12, 0x02}, {13, 6}, {14, 12}, {15, 26}, {16, 5}});
        QTest::newRow("unit holds it") << held << "Uložení OK" << "06/12/26";
        QTest::newRow("unit kept the old date") << QByteArray(held).replace(13, 1, "\x0E") << "Nesprávné uložení!" << "14/12/26";
        QTest::newRow("garbled record") << QByteArray(held).replace(33, 1, "\x05") << "Nesprávné uložení!" << "01/01/26";
        QTest::newRow("no record") << QByteArray() << "Nesprávné uložení!" << "01/01/26";
    }
    void theStoreIsCheckedByReadingTheRecordBack()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, result);
        QFETCH(QString, servis);
        readRecord(DiagFixture::record({{13, 1}, {14, 1}, {15, 26}}));
        QTRY_COMPARE_WITH_TIMEOUT(f->text("Servis"), QStringLiteral("01/01/26"), 2000);
        QTRY_COMPARE(f->link.linkState(), LinkState::StatusReply);
        f->port.written.clear();
        f->answerRecordWith(reply);
        f->find("STacho")->setText(QStringLiteral("150000"));
        f->link.startPolling();
        QSignalSpy checked(&f->parts.diagnostics, &DiagnosticsExchange::serviceChecked);
        f->click("Button34");
        QVERIFY(f->prompts.questions.isEmpty());
        QVERIFY(!f->link.polling());
        QTRY_COMPARE_WITH_TIMEOUT(f->port.written.size(), 8, 3000);
        const QStringList w = f->writtenHex();
        QCOMPARE(w.first(), QStringLiteral("02 14 5C 06 03"));
        QCOMPARE(w.last(), QStringLiteral("02 80 03"));
        for (int i = 1; i < 8; ++i) {
            const qint64 gap = f->port.written[i].atMs - f->port.written[i - 1].atMs;
            QVERIFY2(gap >= 95 && gap < 1000, qPrintable(QString::number(gap)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(checked.count(), 1, 4000);
        QCOMPARE(f->message()->text(), result);
        QVERIFY(f->link.polling());
        QCOMPARE(f->link.linkState(), LinkState::StatusReply);
        QCOMPARE(f->text("Servis"), servis);
        QVERIFY(f->page.tachoReading()->typed());  // the read-back is no request: a second store goes without asking
    }

    // After the question, the error memory is cleared and the record read again: the page shows
    // the cleared counters, or that the unit did not answer.
    void clearingTheErrorMemoryShowsTheRecordAgain_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("counters");
        QTest::addColumn<QString>("result");
        QTest::newRow("cleared") << DiagFixture::record() << "0 0 0 0 0 0 0 0" << "Načtení OK";
        QTest::newRow("no record") << QByteArray() << "1 2 3 4 5 6 7 8" << "Jednotka neodpovídá!";
    }
    void clearingTheErrorMemoryShowsTheRecordAgain()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, counters);
        QFETCH(QString, result);
        const QString names = QStringLiteral("CVB CVC CMB CMC CVEB CVEC CMAB CMAC");
        readRecord(DiagFixture::record({{17, 1}, {19, 2}, {21, 3}, {23, 4}, {25, 5}, {27, 6}, {29, 7}, {31, 8}}));
        QTRY_COMPARE_WITH_TIMEOUT(f->texts(names), QStringLiteral("1 2 3 4 5 6 7 8"), 2000);
        f->find("STacho")->setText(QStringLiteral("500"));
        f->answerRecordWith(reply);
        const int from = f->port.written.size();
        f->prompts.answers = {false, true};
        f->click("Button33");
        QCOMPARE(f->port.written.size(), from);
        f->click("Button33");
        QCOMPARE(f->prompts.questions, QStringList(2, QStringLiteral("Pozor !!!: Opravdu chcete smazat paměť chyb ?")));
        QVERIFY(!f->link.polling());
        QTRY_COMPARE_WITH_TIMEOUT(f->writtenHex(from).mid(0, 2), (QStringList{QStringLiteral("02 90 03"), QStringLiteral("02 80 03")}), 3000);
        const qint64 gap = f->port.written[from + 1].atMs - f->port.written[from].atMs;
        QVERIFY2(gap >= 95, qPrintable(QString::number(gap)));
        QTRY_VERIFY_WITH_TIMEOUT(f->link.polling(), 4000);
        QCOMPARE(f->message()->text(), result);
        QCOMPARE(f->texts(names), counters);
        QVERIFY(!f->page.tachoReading()->typed());  // the typed reading no longer stands: a store asks again
    }
};

QTEST_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"

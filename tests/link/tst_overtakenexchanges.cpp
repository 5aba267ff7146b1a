#include "linkrig.h"
#include <QDate>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

// A reader (the cut-off value, the oscilloscope's recording) takes the link from an exchange that
// is still under way: whatever that exchange does later (its time-out, the end of its chain, the
// next step of its chain) leaves the link to the reader. A poll beside a reader glues two of the
// reader's 3-byte answers into one false status reply.
class TestOvertakenExchanges : public QObject
{
    Q_OBJECT
public:
    // How an exchange is started and brought to the moment a reader takes over; the time-out it
    // still has (none for a chain alone); whether it ends the reader itself (it was waiting in
    // the queue when the reader started); what else must hold once it has run out.
    struct Exchange
    {
        const char *name;
        std::function<void(TestOvertakenExchanges *)> start;
        std::function<LinkTimer *(UnitLink *)> timeOut;
        bool endsTheReader = false;
        std::function<void(TestOvertakenExchanges *)> check = {};
    };

private:
    std::unique_ptr<LinkRig> rig;
    FakePort *port = nullptr;
    UnitData *data = nullptr;
    UnitLink *link = nullptr;

    bool written(const QString &frame) const
    {
        return std::any_of(port->written.cbegin(), port->written.cend(),
                           [&](const FakePort::Written &w) { return hex(w.bytes) == frame; });
    }
    int statusPollsFrom(int from) const
    {
        int polls = 0;
        for (int i = from; i < port->written.size(); ++i)
            polls += hex(port->written[i].bytes) == QStringLiteral("02 0F 03");
        return polls;
    }
    QByteArray block() const
    {
        QByteArray b(34, char(0x20));
        b[0] = 0x01;
        b[33] = 0x03;
        return b;
    }

    static const QList<Exchange> &exchanges();

private slots:
    void init()
    {
        rig = std::make_unique<LinkRig>();
        port = &rig->port;
        data = &rig->data;
        link = &rig->link;
        link->transport.setPollInterval(40);
        // The unit answers the reader's reads of a module or memory byte, and nothing else.
        port->onWrite = [this](const QByteArray &frame) {
            if (frame.size() == 5 && quint8(frame.at(1)) == 0x24 && link->transport.readerRunning())
                port->feedSoon(bytesOf({0x02, 0x5A, 0x03}));
        };
    }
    void cleanup() { rig.reset(); }

    void anOvertakenExchangeLeavesTheLinkToTheReader_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<bool>("scope");
        for (int i = 0; i < exchanges().size(); ++i) {
            QTest::addRow("%s, cut-off reader", exchanges()[i].name) << i << false;
            QTest::addRow("%s, scope recording", exchanges()[i].name) << i << true;
        }
    }
    void anOvertakenExchangeLeavesTheLinkToTheReader()
    {
        QFETCH(int, exchange);
        QFETCH(bool, scope);
        const Exchange &row = exchanges()[exchange];
        LinkReader *reader = scope ? static_cast<LinkReader *>(&link->recording) : &link->cutOff;
        const LinkState readerState = scope ? LinkState::ScopeSample : LinkState::CutOffByte;
        QSignalSpy values(&link->cutOff, &CutOffReader::auxValueReceived);
        QSignalSpy samples(&link->recording, &ScopeRecording::recordedValue);
        data->set().markBlockValid();
        link->transport.startPolling();

        row.start(this);
        if (QTest::currentTestFailed())
            return;
        const int from = int(port->written.size());
        QSignalSpy live(&link->status, &StatusPoll::liveValues);
        scope ? link->recording.startRecording(0x10, 0x11, false) : link->cutOff.startCutOffReading(241);

        // What the exchange still had under way runs out: its chain, its pause, its time-out.
        QTRY_VERIFY_WITH_TIMEOUT(!link->transport.chainRunning() && !link->transport.blockDelay().isEnabled()
                                     && link->transport.queuedOperations() == 0, 3000);
        if (LinkTimer *timeOut = row.timeOut ? row.timeOut(link) : nullptr) {
            timeOut->disable();
            emit timeOut->fired();
        }
        const int answersBefore = int(values.size() + samples.size());
        QTest::qWait(300);
        if (row.check)
            row.check(this);

        QVERIFY(!(link->transport.polling() && link->transport.readerRunning()));
        if (row.endsTheReader) {
            QVERIFY(!reader->reading());
            QVERIFY(link->transport.polling());
            return;
        }
        QVERIFY(reader->reading());
        QCOMPARE(link->transport.linkState(), readerState);
        QCOMPARE(statusPollsFrom(from), 0);
        QCOMPARE(live.size(), 0);
        QVERIFY(values.size() + samples.size() > answersBefore);
        // The reader holds the link: when it stops, the poll comes back.
        reader->endReading();
        QVERIFY(link->transport.polling());
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
    }

    // The technician picks another page while an exchange awaits an answer that does not come:
    // no poll goes out while it waits, its time-out gives its outcome once, then the poll runs.
    void aPageChangeLeavesTheLinkToTheExchangeThatHoldsIt_data()
    {
        QTest::addColumn<int>("exchange");
        for (int i = 0; i < heldExchanges().size(); ++i)
            QTest::addRow("%s", heldExchanges()[i].name) << i;
    }
    void aPageChangeLeavesTheLinkToTheExchangeThatHoldsIt()
    {
        QFETCH(int, exchange);
        const HeldExchange &row = heldExchanges()[exchange];
        link->transport.startPolling();
        LinkTimer *timeOut = row.timeOut(link);
        timeOut->setInterval(10000);  // it runs out when the test says so
        const std::unique_ptr<QSignalSpy> outcome = row.outcome(link);
        row.start(this);
        QTRY_VERIFY_WITH_TIMEOUT(!link->transport.chainRunning() && link->transport.linkState() == row.awaiting, 3000);
        const int from = int(port->written.size());

        link->transport.returnToPolling();
        // Longer than the answer's reply time and several poll intervals.
        QTest::qWait(400);
        QCOMPARE(statusPollsFrom(from), 0);
        QVERIFY(!link->transport.polling());
        QCOMPARE(link->transport.linkState(), row.awaiting);
        QCOMPARE(outcome->size(), 0);

        timeOut->disable();
        emit timeOut->fired();
        QCOMPARE(outcome->size(), 1);
        if (row.said.isValid())
            QCOMPARE(outcome->first().constLast(), row.said);
        QVERIFY(link->transport.polling());
        QTRY_VERIFY_WITH_TIMEOUT(statusPollsFrom(from) > 0, 1000);
    }

private:
    struct HeldExchange
    {
        const char *name;
        std::function<void(TestOvertakenExchanges *)> start;
        LinkState awaiting;
        std::function<LinkTimer *(UnitLink *)> timeOut;
        std::function<std::unique_ptr<QSignalSpy>(UnitLink *)> outcome;
        QVariant said;  // the outcome's last argument, if it has one
    };
    static const QList<HeldExchange> &heldExchanges();
};

namespace {
LinkTimer *levelGuard(UnitLink *link) { return &link->levels.replyGuard(); }
LinkTimer *recordGuard(UnitLink *link) { return &link->diagnostics.diagReplyGuard(); }
LinkTimer *writeGuard(UnitLink *link) { return &link->blockWrite.replyGuard(); }
}

const QList<TestOvertakenExchanges::Exchange> &TestOvertakenExchanges::exchanges()
{
    using T = TestOvertakenExchanges;
    static const QList<Exchange> rows{
        {"level read unanswered", [](T *t) { t->link->levels.requestLevels(); }, levelGuard},
        {"block read, no levels",
         [](T *t) {
             t->link->blockRead.readBlock();
             t->port->feed(t->block());
             QTRY_VERIFY_WITH_TIMEOUT(t->written(QStringLiteral("02 AA 03")), 2000);
         },
         levelGuard},
        {"block read, before its level request",
         [](T *t) {
             t->link->blockRead.readBlock();
             t->port->feed(t->block());
         },
         levelGuard},
        {"block read after a measurement", [](T *t) { t->link->blockRead.readAgain(false); }, nullptr},
        {"diagnostic record unanswered", [](T *t) { t->link->diagnostics.requestDiagnostics(); }, recordGuard},
        {"error clearing", [](T *t) { t->link->diagnostics.clearErrors(); }, recordGuard},
        {"service store", [](T *t) { t->link->diagnostics.storeService(QDate(2026, 12, 7), 123456); }, recordGuard},
        // The unit awaits the block after code 238: it goes before any frame of the reader.
        {"block write, in its pause", [](T *t) { t->link->blockWrite.writeBlock(); }, writeGuard, false,
         [](T *t) {
             QVERIFY(t->port->written.size() >= 2);
             QCOMPARE(t->port->written[1].bytes.size(), 34);
         }},
        {"block write, in its chain",
         [](T *t) {
             t->link->blockWrite.writeBlock();
             QTRY_VERIFY_WITH_TIMEOUT(t->port->written.size() == 2, 2000);  // 238, then the block
         },
         writeGuard},
        {"block write, check unanswered",
         [](T *t) {
             t->link->transport.setPollInterval(1000);  // no tick before the check's answer time is out
             t->link->blockWrite.writeBlock();
             QTRY_COMPARE_WITH_TIMEOUT(t->link->transport.linkState(), LinkState::WrittenBlock, 2000);
             QTRY_VERIFY_WITH_TIMEOUT(!t->link->transport.answerDue(), 2000);
         },
         writeGuard},
        {"level write", [](T *t) { t->link->levels.writeLevels(true); }, nullptr},
        {"settings chain",
         [](T *t) {
             t->link->commands.sendChain({{t->link->transport.writeFrame(0x45, 7), 0},
                                          {t->link->transport.commandFrame(UnitCode::RamToEeprom), 100}});
         },
         nullptr},
        {"single save read back, in its pause",
         [](T *t) { t->link->check.check({{0x45, 7}, {0x46, 8}}); }, [](UnitLink *link) { return &link->check.replyGuard(); }},
        {"single save read back, its answer awaited",
         [](T *t) {
             t->link->check.check({{0x45, 7}, {0x46, 8}});
             QTRY_COMPARE_WITH_TIMEOUT(t->link->transport.linkState(), LinkState::MemoryByte, 2000);
         },
         [](UnitLink *link) { return &link->check.replyGuard(); }},
        {"command waiting behind an answer",
         [](T *t) {
             t->link->levels.requestLevels();
             t->link->commands.commandWithoutAnswer(UnitCode::RamToEeprom);
         },
         levelGuard, true},
    };
    return rows;
}

const QList<TestOvertakenExchanges::HeldExchange> &TestOvertakenExchanges::heldExchanges()
{
    using T = TestOvertakenExchanges;
    static const QList<HeldExchange> rows{
        {"diagnostic record", [](T *t) { t->link->diagnostics.requestDiagnostics(); }, LinkState::DiagnosticRecord,
         recordGuard,
         [](UnitLink *l) { return std::make_unique<QSignalSpy>(&l->diagnostics, &DiagnosticsExchange::diagnosticsMissing); }, {}},
        {"service store read back", [](T *t) { t->link->diagnostics.storeService(QDate(2026, 12, 7), 123456); },
         LinkState::DiagnosticRecord, recordGuard,
         [](UnitLink *l) { return std::make_unique<QSignalSpy>(&l->diagnostics, &DiagnosticsExchange::serviceChecked); }, false},
        {"level read", [](T *t) { t->link->levels.requestLevels(); }, LinkState::Levels, levelGuard,
         [](UnitLink *l) { return std::make_unique<QSignalSpy>(&l->levels, &LevelExchange::readUnanswered); }, {}},
        {"single save read back", [](T *t) { t->link->check.check({{0x45, 7}}); }, LinkState::MemoryByte,
         [](UnitLink *link) { return &link->check.replyGuard(); },
         [](UnitLink *l) { return std::make_unique<QSignalSpy>(&l->check, &MemoryCheck::checked); },
         QVariant::fromValue(MemoryCheck::Outcome::NoAnswer)},
    };
    return rows;
}

QTEST_GUILESS_MAIN(TestOvertakenExchanges)
#include "tst_overtakenexchanges.moc"

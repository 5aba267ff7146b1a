#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "link/linkconnection.h"
#include "link/unitdata.h"
#include "linkwords/portwords.h"
#include <QSignalSpy>
#include <QTest>
#include <cerrno>

using Health = LinkConnection::Health;
Q_DECLARE_METATYPE(std::function<void(UnitLink &)>)

// Opening, losing and reopening the port, and what the link's health says meanwhile.
class TestLinkConnection : public QObject
{
    Q_OBJECT
private:
    FakePort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    UnitData *data = nullptr;
    UnitLink *link = nullptr;
    LinkConnection *connection = nullptr;

    void answerStatus() { port->feed(bytesOf({0x02, 0x80, 0x1E, 0x64, 0x00, 0x03})); }

private slots:
    void init()
    {
        port = new FakePort;
        prompts = new ScriptedPrompts;
        data = new UnitData;
        link = new UnitLink(port, data);
        announceLinkOutcomes(*link);
        connection = new LinkConnection(port, &link->transport);
        link->transport.prepareFrames();
        link->transport.setPollInterval(50);
    }
    void cleanup()
    {
        delete connection;
        delete link;
        delete data;
        delete prompts;
        delete port;
    }

    void aPortThatIsNotThereIsTriedEverySecond_data()
    {
        QTest::addColumn<bool>("lostWhileOpen");
        QTest::addColumn<Health>("whileAway");
        QTest::newRow("missing at start") << false << Health::Missing;
        QTest::newRow("lost while open") << true << Health::Lost;
    }
    void aPortThatIsNotThereIsTriedEverySecond()
    {
        QFETCH(bool, lostWhileOpen);
        QFETCH(Health, whileAway);
        if (lostWhileOpen) {
            QVERIFY(connection->openPort(QStringLiteral("/dev/ttyUSB0")));
            answerStatus();
            QCOMPARE(connection->health(), Health::Answering);
            port->failNextOpen(ENOENT);
            port->loseDevice();
        } else {
            port->failNextOpen(ENOENT);
            EComPort error;
            QVERIFY(!connection->openPort(QStringLiteral("/dev/ttyUSB0"), &error));
            QVERIFY(portErrorText(error).contains(QStringLiteral("zkontrolujte kabel")));
        }
        QCOMPARE(connection->health(), whileAway);
        QTest::qWait(1300);  // an attempt has failed meanwhile, quietly
        QCOMPARE(connection->health(), whileAway);
        QVERIFY(!port->isOpen());

        port->allowOpen();
        QTRY_VERIFY_WITH_TIMEOUT(port->isOpen(), 2500);
        QCOMPARE(port->openedName, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(port->dtr);
        QCOMPARE(connection->health(), Health::Waiting);
        QVERIFY(!connection->isRetrying());
        const int before = int(port->written.size());
        QTRY_VERIFY_WITH_TIMEOUT(port->written.size() > before, 1000);  // the poll goes on by itself
        QCOMPARE(hex(port->written.last().bytes), QStringLiteral("02 0F 03"));
        QCOMPARE(link->status.last().tps, lostWhileOpen ? 128 : 0);  // the data stays
    }

    void aPortPickedAfterALossIsJudgedAfresh()
    {
        QVERIFY(connection->openPort(QStringLiteral("/dev/ttyUSB0")));
        port->failNextOpen(ENOENT);
        port->loseDevice();
        QCOMPARE(connection->health(), Health::Lost);
        QVERIFY(!connection->openPort(QStringLiteral("/dev/ttyUSB1")));
        QCOMPARE(connection->health(), Health::Missing);
        QVERIFY(connection->isRetrying());
    }

    void operationsSayThePortIsNotOpen_data()
    {
        using Operation = std::function<void(UnitLink &)>;
        QTest::addColumn<Operation>("operation");
        QTest::newRow("read block") << Operation([](UnitLink &l) { l.blockRead.readBlock(); });
        QTest::newRow("write block") << Operation([](UnitLink &l) { l.blockWrite.writeBlock(); });
        QTest::newRow("clear errors") << Operation([](UnitLink &l) { l.diagnostics.clearErrors(); });
        QTest::newRow("command") << Operation([](UnitLink &l) { l.commands.commandWithoutAnswer(4); });
        QTest::newRow("levels") << Operation([](UnitLink &l) { l.levels.requestLevels(); });
        QTest::newRow("diagnostics") << Operation([](UnitLink &l) { l.diagnostics.requestDiagnostics(); });
        QTest::newRow("chain") << Operation([](UnitLink &l) { l.commands.sendChain({{l.transport.commandFrame(144), 0}}); });
    }
    void operationsSayThePortIsNotOpen()
    {
        QFETCH(std::function<void(UnitLink &)>, operation);
        link->transport.startPolling();  // a closed port is never polled
        data->set().setLevelByte(1, 33);
        QSignalSpy messages(&link->transport, &LinkTransport::linkMessage);
        QSignalSpy refused(&link->transport, &LinkTransport::portNotOpen);
        operation(*link);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toString(), QStringLiteral("Port není otevřen"));
        QCOMPARE(refused.count(), 1);
        // Nothing waits for an answer that cannot come, and nothing falls back to defaults.
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QVERIFY(!link->transport.polling());
        QVERIFY(!link->levels.replyGuard().isEnabled() && !link->blockWrite.replyGuard().isEnabled()
                && !link->transport.blockDelay().isEnabled());
        QCOMPARE(data->set().levelByte(1), quint8(33));
    }
};

QTEST_GUILESS_MAIN(TestLinkConnection)
#include "tst_linkconnection.moc"

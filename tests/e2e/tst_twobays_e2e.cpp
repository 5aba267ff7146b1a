#include "e2ewindow.h"
#include "../history/pgserver.h"
#include "history/visitrecorder.h"
#include "link/blockread.h"
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

// Two workshop PCs, each a whole tool with its own working folder and its own unit, sharing one
// history server: a visit made on one bay appears on the other's open page "Historie".
class TestTwoBaysEndToEnd : public QObject
{
    Q_OBJECT
private:
    static bool listed(QTreeWidget *units, const QString &serial)
    {
        for (int i = 0; i < units->topLevelItemCount(); ++i)
            if (units->topLevelItem(i)->text(0) == serial)
                return true;
        return false;
    }

private slots:
    void aVisitOfOneBayAppearsOnTheOther()
    {
        if (PgServer::binDir().isEmpty())
            QSKIP("PostgreSQL's server programs are not installed");
        PgServer server;
        QString error;
        QVERIFY2(server.init(&error) && server.start(&error), qPrintable(error));
        const QByteArray shared = "[Kartoteka]\r\nServer=" + server.folder().toUtf8()
                                  + "\r\nDatabaze=postgres\r\nUzivatel=velkor\r\nTLS=disable\r\n";
        E2EWindow bay1;
        E2EWindow bay2;
        QVERIFY(bay1.folderValid() && bay2.folderValid());
        QVERIFY(bay1.start({QStringLiteral("--serial"), QStringLiteral("42")}, 250, shared));
        QVERIFY(bay2.start({}, 250, shared));

        // The second bay's technician has "Historie" open.
        auto *pages = bay2.find<QTabWidget>("PageControl1");
        QTabBar *bar = pages->tabBar();
        QWidget *history = bay2.find<QWidget>("Historie");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(pages->indexOf(history)).center());
        QCOMPARE(pages->currentWidget(), history);
        auto *units = bay2.find<QTreeWidget>("Jednotky");
        QVERIFY(!listed(units, QStringLiteral("42")));

        // The first bay reads its unit: the record comes by itself and the visit is stored.
        bay1.read(bay1.window()->blockRead(), &BlockRead::blockReceived, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(bay1.window()->visitRecorder()->isOpen(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(listed(units, QStringLiteral("42")), 5000);
        QVERIFY2(bay1.prompts()->messages.isEmpty(), qPrintable(bay1.prompts()->messages.join(QLatin1Char('|'))));
        QVERIFY2(bay2.prompts()->messages.isEmpty(), qPrintable(bay2.prompts()->messages.join(QLatin1Char('|'))));
        bay1.close();
        bay2.close();
    }
};

QTEST_MAIN(TestTwoBaysEndToEnd)
#include "tst_twobays_e2e.moc"

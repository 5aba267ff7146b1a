#include "link/statuswatch.h"
#include <QTest>

// Which status replies count as missing, from the times of polls and replies alone.
namespace {
struct Event
{
    char kind;  // 'p' poll, 'r' reply, 'q' the line stayed quiet for the reply time
    int ms;
};
}
Q_DECLARE_METATYPE(QList<Event>)

class TestStatusWatch : public QObject
{
    Q_OBJECT
private slots:
    void missingRepliesAreToldOnce_data()
    {
        QTest::addColumn<QList<Event>>("events");
        QTest::addColumn<QList<int>>("missing");
        QList<Event> steady, dropped, late, lagging, dead, lateBeyond;
        for (int i = 0; i < 50; ++i) {
            const int t = i * 20;
            steady << Event{'p', t} << Event{'r', t + 12};
            dropped << Event{'p', t};
            if (i != 10 && i != 30)
                dropped << Event{'r', t + 12};
            // Every 5th reply comes after the next poll; the one after it follows at once.
            late << Event{'p', t} << Event{'r', t + (i % 5 == 0 ? 27 : 12)};
            // From the 10th poll on every reply takes longer than the poll interval.
            lagging << Event{'p', t} << Event{'r', t + (i < 10 ? 12 : 27)};
            dead << Event{'p', t};
            if (i < 20)
                dead << Event{'r', t + 12};
        }
        steady << Event{'q', 1300};
        dropped << Event{'q', 1300};
        late << Event{'q', 1300};
        lagging << Event{'q', 1300};
        dead << Event{'q', 1300};
        // A 250 ms poll whose second reply comes 300 ms late: told missing, the late one pays nothing.
        lateBeyond << Event{'p', 0} << Event{'r', 10} << Event{'p', 250} << Event{'p', 500} << Event{'r', 550}
                   << Event{'r', 560} << Event{'p', 750} << Event{'q', 960};
        QList<int> stopped;
        for (int i = 20; i < 50; ++i)
            stopped << i * 20;
        QTest::newRow("steady") << steady << QList<int>{};
        QTest::newRow("two dropped") << dropped << QList<int>{200, 600};
        QTest::newRow("late replies") << late << QList<int>{};
        // A reply that takes longer than the poll from now on is taken for the next poll's once.
        QTest::newRow("lagging line") << lagging << QList<int>{200};
        QTest::newRow("unit stops") << dead << stopped;
        QTest::newRow("beyond the reply time") << lateBeyond << QList<int>{250, 750};
    }
    void missingRepliesAreToldOnce()
    {
        QFETCH(QList<Event>, events);
        QFETCH(QList<int>, missing);
        std::sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.ms < b.ms; });
        StatusWatch watch;
        QList<int> told;  // when the polls said missing went out
        const auto take = [&](const std::vector<qint64> &sent) {
            for (const qint64 ns : sent)
                told << int(ns / 1000000);
        };
        for (const Event &e : events) {
            const qint64 ns = e.ms * 1000000LL;
            if (e.kind == 'p') {
                take(watch.takeMissing(ns));
                watch.polled(ns);
            } else if (e.kind == 'r') {
                watch.answered(ns);
            } else {
                take(watch.takeMissing(ns, true));
            }
        }
        QCOMPARE(told, missing);
    }
};

QTEST_APPLESS_MAIN(TestStatusWatch)
#include "tst_statuswatch.moc"

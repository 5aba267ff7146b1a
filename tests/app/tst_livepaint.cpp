#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "link/linktransport.h"
#include "livepage/livevaluespage.h"
#include <QGuiApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

// What a status reply repaints: only the controls whose value changed, and of those only what
// changed; the window still shows what a full repaint would.
class TestLivePaint : public QObject
{
    Q_OBJECT
private:
    struct PaintCount : QObject
    {
        QHash<QObject *, int> paints;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints[watched];
            return false;
        }
    };

    static QByteArray reply(int tps, int lambda, int position)
    {
        return QByteArray::fromRawData("\x02", 1) + char(tps) + char(lambda) + char(position) + '\0' + '\x03';
    }

private slots:
    void aReplyRepaintsOnlyTheChangedValues_data()
    {
        QTest::addColumn<bool>("livePage");
        QTest::newRow("tuning page") << false;
        QTest::newRow("Aktualní") << true;
    }

    void aReplyRepaintsOnlyTheChangedValues()
    {
        QFETCH(bool, livePage);
        FakePort port;
        ScriptedPrompts prompts;
        QTemporaryDir folder;
        MainWindow form(&port, &prompts);
        form.show();
        form.startUp(folder.path());
        form.link()->poll().disable();
        if (livePage)
            form.showPage(form.livePage());
        port.feed(reply(20, 30, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(50);

        PaintCount count;
        const QStringList behind{QStringLiteral("GroupBox1"), QStringLiteral("PageControl1"), QStringLiteral("TabSheet1")};
        for (const QString &name : behind)
            form.findChild<QWidget *>(name)->installEventFilter(&count);
        QWidget *tps = form.findChild<QWidget *>(livePage ? QStringLiteral("L3") : QStringLiteral("TPS"));
        QWidget *lambda = form.findChild<QWidget *>(livePage ? QStringLiteral("L2") : QStringLiteral("Lambda"));
        tps->installEventFilter(&count);
        lambda->installEventFilter(&count);

        for (int i = 1; i <= 12; ++i) {
            port.feed(reply(20, 30 + i * 7 % 20, 100 + i));
            QTest::qWait(20);
        }
        // The box, the page and the tabs behind the values are not repainted; nor a value that
        // stood still.
        for (const QString &name : behind)
            QCOMPARE(count.paints.value(form.findChild<QWidget *>(name)), 0);
        QCOMPARE(count.paints.value(tps), 0);
        QVERIFY(count.paints.value(lambda) > 0);
        // What is on screen is what a repaint of everything shows.
        const QImage shown = QGuiApplication::primaryScreen()->grabWindow(form.winId()).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), form.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestLivePaint)
#include "tst_livepaint.moc"

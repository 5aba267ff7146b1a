#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "datalog/plotwidget.h"
#include "datalog/recordingspage.h"
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// The window can grow and be maximised, keeps its size for the next start, the specified pages
// keep their layout and "Záznamy" takes the room.
class TestWindowSize : public QObject
{
    Q_OBJECT
private slots:
    void growsKeepsPagesAndIsKeptForTheNextStart()
    {
        QTemporaryDir folder;
        FakePort port;
        ScriptedPrompts prompts;
        QSize designSize;
        QRect tuningControl;
        {
            MainWindow form(&port, &prompts);
            form.show();
            form.startUp(folder.path());
            designSize = form.size();
            auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
            auto *recordings = form.findChild<RecordingsPage *>(QStringLiteral("Zaznamy"));
            pages->setCurrentWidget(recordings);
            QTRY_COMPARE(recordings->size(), QSize(RecordingsPage::DesignWidth, RecordingsPage::DesignHeight));
            const QSize plotAtDesign = recordings->plot()->size();
            tuningControl = form.findChild<QWidget *>(QStringLiteral("MalyDorMax"))->geometry();

            form.resize(designSize + QSize(400, 300));
            QTRY_COMPARE(recordings->size(), QSize(RecordingsPage::DesignWidth + 400, RecordingsPage::DesignHeight + 300));
            QCOMPARE(recordings->plot()->size(), plotAtDesign + QSize(400, 300));
            QCOMPARE(form.findChild<QWidget *>(QStringLiteral("MalyDorMax"))->geometry(), tuningControl);
            form.close();
        }
        MainWindow again(&port, &prompts);
        again.show();
        again.startUp(folder.path());
        QCOMPARE(again.size(), designSize + QSize(400, 300));
        QVERIFY(!prompts.unexpected);
    }
};

QTEST_MAIN(TestWindowSize)
#include "tst_windowsize.moc"

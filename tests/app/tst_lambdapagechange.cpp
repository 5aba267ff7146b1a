#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "lambda/lambdapage.h"
#include "lambda/lambdastatuseditor.h"
#include "link/unitdata.h"
#include "tuning/blockdisplay.h"
#include "tuning/tuningpage.h"
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// Unsaved choices on the lambda page go when the technician picks another tab, not when a
// shortcut shows another page.
class TestLambdaPageChange : public QObject
{
    Q_OBJECT
private slots:
    void unsavedChoicesGoWithATabChangeOnly_data()
    {
        QTest::addColumn<bool>("byTab");
        QTest::newRow("tab picked by the technician") << true;
        QTest::newRow("Ctrl+L, then Ctrl+E") << false;
    }
    void unsavedChoicesGoWithATabChangeOnly()
    {
        QFETCH(bool, byTab);
        FakePort port;
        ScriptedPrompts prompts;
        QTemporaryDir folder;
        MainWindow form(&port, &prompts);
        form.show();
        form.startUp(folder.path());
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QByteArray block(34, '\0');
        block[0] = 1, block[33] = 3;
        block[3] = 0x01, block[7] = 0x02;
        form.tuningPage()->display()->takeOverBlock(block);
        form.data()->set().markBlockValid();

        QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_E));
        auto *fallingTps = form.findChild<QRadioButton *>(QStringLiteral("Klesajici"));
        auto *r11 = form.findChild<QRadioButton *>(QStringLiteral("R11"));
        QTest::mouseClick(fallingTps, Qt::LeftButton, {}, QPoint(6, fallingTps->height() / 2));
        QTest::mouseClick(r11, Qt::LeftButton, {}, QPoint(6, r11->height() / 2));
        QVERIFY(fallingTps->isChecked());
        QLabel *pending = form.findChild<QLabel *>(QStringLiteral("NeulozeneVolby"));
        QLabel *linkMessageLabel = form.findChild<QLabel *>(QStringLiteral("Nacteni1"));
        QVERIFY(pending->isVisible());
        QVERIFY(!linkMessageLabel->isVisible());

        QTabBar *bar = form.pages()->tabBar();
        if (byTab) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        } else {
            QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_L));
            QTest::keySequence(&form, QKeySequence(Qt::CTRL | Qt::Key_E));
        }
        QCOMPARE(form.pages()->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
        // Dropped choices are said for 2 s; kept ones stay marked.
        QCOMPARE(pending->isVisible(), !byTab);
        QCOMPARE(linkMessageLabel->isVisible(), byTab);
        if (byTab) {
            QCOMPARE(linkMessageLabel->text(), QStringLiteral("Volby zahozeny!"));
            QTRY_VERIFY_WITH_TIMEOUT(!linkMessageLabel->isVisible(), 5000);
        }
        QCOMPARE(fallingTps->isChecked(), !byTab);
        QCOMPARE(r11->isChecked(), !byTab);
        QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("Prom31"))->isEnabled(), !byTab);
        QCOMPARE(int(form.data()->set().paramByte(3)), 0x01);
        QCOMPARE(form.data()->set().tpsStatus(), 0x01u);

        form.lambdaPage()->statusEditor()->saveStatus();
        QVERIFY(!pending->isVisible());
        QCOMPARE(int(form.data()->set().paramByte(3)), byTab ? 0x01 : 0x00);
        QCOMPARE(int(form.data()->set().paramByte(7)), byTab ? 0x0A : 0x0E);
        QVERIFY(!prompts.unexpected);
    }
};

QTEST_MAIN(TestLambdaPageChange)
#include "tst_lambdapagechange.moc"

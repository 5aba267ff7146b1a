#include "e2ewindow.h"
#include "app/connectionline.h"
#include "app/workingfolder.h"
#include "link/linkconnection.h"
#include <QAbstractItemView>
#include <QApplication>

// The first start in a fresh folder on this machine, where no port is named and the default does
// not exist: one notice that says what to do, the picker open, and no alarm.
class TestFirstStartEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;
    PortPicker *picker() const { return e2e.find<PortPicker>("PortPicker"); }

private slots:
    void cleanup() { e2e.close(); }

    void anEmptyFolderGetsOneNoticeAndThePicker()
    {
        e2e.newFolder();
        e2e.openWindow();
        QCOMPARE(e2e.prompts()->messages.size(), 1);
        const QString notice = e2e.prompts()->messages.first();
        QVERIFY2(notice.startsWith(QStringLiteral("Info: Pozor v pracovním adresáři není tester.ini"))
                     && notice.endsWith(QStringLiteral("Port převodníku vyberte v dolní liště okna, do TESTER.INI se zapíše sám.")),
                 qPrintable(notice));
        QTRY_VERIFY(picker()->view()->isVisible());
        QCOMPARE(e2e.label("PortState"), QStringLiteral("Vyberte port"));
        QTest::qWait(LinkConnection::RetryMs + 500);
        QCOMPARE(e2e.prompts()->messages.size(), 1);
        QVERIFY(e2e.prompts()->notice.isEmpty());

        // A pseudo-terminal typed and confirmed: the unit answers, and the port is remembered.
        QTest::keyClick(picker()->view(), Qt::Key_Escape);
        QTRY_VERIFY(!picker()->view()->isVisible());
        QVERIFY(e2e.unit.start());
        e2e.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        QTest::mouseClick(picker()->lineEdit(), Qt::LeftButton);
        QTRY_VERIFY(picker()->lineEdit()->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), e2e.unit.devicePath());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(e2e.window()->connection()->health(), LinkConnection::Health::Answering, 5000);
        QFile ini(e2e.filePath(QStringLiteral("TESTER.INI")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("Port=" + e2e.unit.devicePath().toLocal8Bit()));
        QCOMPARE(e2e.prompts()->messages.size(), 1);
    }

    // The folder the menu entry names gets the sample, whose own notice the start shows: no second box.
    void theSampleSettingsGetNoSecondBox()
    {
        e2e.newFolder();
        QVERIFY(e2e.openWith(sampleSettings()));
        QTRY_VERIFY(picker()->view()->isVisible());
        QCOMPARE(e2e.label("PortState"), QStringLiteral("Vyberte port"));
        QVERIFY(e2e.prompts()->messages.isEmpty());
    }
};

QTEST_MAIN(TestFirstStartEndToEnd)
#include "tst_firststart_e2e.moc"

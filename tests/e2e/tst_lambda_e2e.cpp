#include "e2ewindow.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The lambda page against the simulated unit on a pseudo-terminal.
class TestLambdaEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

    template <typename T> T *find(const char *name) const { return e2e.find<T>(name); }
    void click(const char *name) { e2e.click(name); }
    QString text(const char *name) const { return e2e.text(name); }
    QString label(const char *name) const { return e2e.label(name); }
    E2EWindow::Frames received(int from = 0) const { return e2e.received(from); }
    static int indexOf(const E2EWindow::Frames &frames, const QString &hex) { return E2EWindow::indexOf(frames, hex); }

    bool startUnit(const QStringList &extra = {})
    {
        return e2e.startLogged(extra, 250, "[Emulace]\r\n01=Ceka na otacky\r\n05=Volnobeh zmeren\r\n");
    }
    void readBlockHere()
    {
        click("Button42");
        QTRY_VERIFY_WITH_TIMEOUT(find<QLineEdit>("Edit2")->isEnabled(), 4000);
        QTRY_COMPARE_WITH_TIMEOUT(e2e.link()->linkState(), LinkState::StatusReply, 3000);
    }

private slots:
    void init() { QVERIFY(e2e.folderValid()); }
    void cleanup() { e2e.close(); }

    void readChangeSaveAndWriteLevels()
    {
        QVERIFY(startUnit());
        readBlockHere();
        // Factory: idle/raised emulation, 0-1.2 V, normal logic, rising TPS; levels 12, 58, 14, 62.
        for (const char *name : {"R11", "Typ1", "TypNorm", "Stoupajici"})
            QVERIFY2(find<QRadioButton>(name)->isChecked(), name);
        QCOMPARE(text("Prom29"), QStringLiteral("30"));
        QCOMPARE((QStringList{text("Edit2"), text("Edit3"), text("Edit4"), text("Edit5")}),
                 (QStringList{"12", "58", "14", "62"}));

        find<QRadioButton>("R10")->click();
        QVERIFY(!find<QLineEdit>("Prom29")->isEnabled());
        const int before = received().size();
        click("Button25");
        QTRY_COMPARE_WITH_TIMEOUT(label("Nacteni1"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 6000);
        const auto frames = received(before);
        const int at = indexOf(frames, QStringLiteral("02 EE 03"));
        QVERIFY(at >= 0 && at + 1 < frames.size());
        const QStringList block = frames[at + 1].second.split(' ');
        QCOMPARE(block.size(), 34);
        QCOMPARE(block[7], QStringLiteral("0C"));   // lambda on T, saved
        QCOMPARE(block[16], QStringLiteral("00"));  // no longer the factory set
        QCOMPARE(frames.value(at + 2).second, QStringLiteral("02 B4 A3 0C 03"));

        // Levels edited and written by hand reach the unit 100 ms apart.
        find<QLineEdit>("Edit3")->setText(QStringLiteral("70"));
        const int levelsFrom = received().size();
        click("Button38");
        QTRY_VERIFY_WITH_TIMEOUT(indexOf(received(levelsFrom), QStringLiteral("02 B4 A6 3E 03")) >= 0, 3000);
        const auto levels = received(levelsFrom);
        const int first = indexOf(levels, QStringLiteral("02 B4 A3 0C 03"));
        QVERIFY(first >= 0);
        QCOMPARE(levels[first + 1].second, QStringLiteral("02 B4 A4 46 03"));
        QCOMPARE(levels[first + 2].second, QStringLiteral("02 B4 A5 0E 03"));
        QCOMPARE(levels[first + 3].second, QStringLiteral("02 B4 A6 3E 03"));
        for (int i = 1; i < 4; ++i) {
            const int gap = levels[first + i].first - levels[first + i - 1].first;
            QVERIFY2(gap >= 90 && gap < 1000, qPrintable(QString::number(gap)));
        }
    }

    void idleMeasurementEndsByItselfAndReadsTheBlockAgain()
    {
        QVERIFY(startUnit({QStringLiteral("--step-ms"), QStringLiteral("300")}));
        readBlockHere();
        const int before = received().size();
        click("Button27");
        QTRY_COMPARE_WITH_TIMEOUT(label("EmText"), QStringLiteral("Ceka na otacky"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(label("EmText"), QStringLiteral("Volnobeh zmeren"), 6000);
        // The unit measured new idle times; the block read after the end code brings them.
        QTRY_COMPARE_WITH_TIMEOUT(text("Prom29"), QStringLiteral("34"), 4000);
        QCOMPARE(text("Prom30"), QStringLiteral("41"));
        const auto frames = received(before);
        const int start = indexOf(frames, QStringLiteral("02 70 03"));
        const int reread = indexOf(frames, QStringLiteral("02 FF 03"));
        QVERIFY(start >= 0 && reread > start);
        QTRY_VERIFY_WITH_TIMEOUT(indexOf(received(before + reread), QStringLiteral("02 AA 03")) >= 0, 3000);
    }
};

QTEST_MAIN(TestLambdaEndToEnd)
#include "tst_lambda_e2e.moc"

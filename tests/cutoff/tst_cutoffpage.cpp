#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "cutoff/cutoffcontrol.h"
#include "cutoff/cutoffpage.h"
#include "link/unitdata.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

// The page "Cut-off" on a fake port: its requests and their cadence, the writes and their edit
// rules, the two communication modes and a module that stops answering.
class TestCutOffPage : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakePort> port;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<UnitData> data;
    std::unique_ptr<UnitLink> link;
    std::unique_ptr<CutOffPage> page;

    QStringList framesFrom(int from) const
    {
        QStringList out;
        for (int i = from; i < port->written.size(); ++i)
            out << hex(port->written[i].bytes);
        return out;
    }
    void enterCutOff() { QTest::mouseClick(page->cutOffMode(), Qt::LeftButton); }

private slots:
    void init()
    {
        port = std::make_unique<FakePort>();
        prompts = std::make_unique<ScriptedPrompts>();
        data = std::make_unique<UnitData>();
        link = std::make_unique<UnitLink>(port.get(), data.get());
        announceLinkOutcomes(*link);
        port->open(QStringLiteral("fake"), nullptr);
        link->transport.prepareFrames();
        link->transport.startPolling();
        page = std::make_unique<CutOffPage>();
        page->attach(&link->cutOff, &link->recording, prompts.get());
        page->show();
    }
    void cleanup()
    {
        page.reset();
        link.reset();
    }

    void startsOnTheCurrentValueWithNothingToWrite()
    {
        QCOMPARE(page->addressEdit()->text(), QStringLiteral("241"));
        QVERIFY(page->writeValueEdit()->isHidden());
        QVERIFY(!page->writeButton()->isEnabled());
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("zatim nic"));
        QVERIFY(page->tuningMode()->isChecked());
        QVERIFY(!page->cutOffMode()->isChecked());
    }

    void readsTheChosenAddressEvery150ms()
    {
        const qint64 startMs = port->nowMs();
        enterCutOff();
        QVERIFY(!page->tuningMode()->isChecked());
        QVERIFY(!link->transport.polling());
        QCOMPARE(link->transport.linkState(), LinkState::CutOffByte);
        QTRY_VERIFY_WITH_TIMEOUT(port->written.size() >= 4, 3000);
        const QStringList frames = framesFrom(0);
        QCOMPARE(frames.count(QStringLiteral("02 24 F1 00 03")), frames.size());
        // The reads keep the 150 ms beat from the start: a tick the loaded machine delays is
        // followed by one on the beat, so the gap between two writes may be shorter, but the
        // n-th read never comes before n beats (1 ms for the clocks' rounding).
        for (int i = 0; i < port->written.size(); ++i)
            QVERIFY2(port->written[i].atMs - startMs >= 150 * (i + 1) - 1, qPrintable(QString::number(i)));
        const qint64 span = port->written.last().atMs - port->written.first().atMs;
        QVERIFY(span < 400 * (port->written.size() - 1));  // a loaded machine may delay a tick

        port->feed(bytesOf({0x02, 0x7B, 0x03}));
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("123"));

        page->addressChoice()->setCurrentIndex(1);
        const int from = port->written.size();
        QTRY_VERIFY_WITH_TIMEOUT(port->written.size() > from, 2000);
        QCOMPARE(framesFrom(from).first(), QStringLiteral("02 24 43 00 03"));

        QTest::mouseClick(page->tuningMode(), Qt::LeftButton);
        QVERIFY(link->transport.polling());
        QVERIFY(!link->cutOff.cutOffReading());
        QVERIFY(!page->cutOffMode()->isChecked());
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("123"));
    }

    void aStrayByteDoesNotShiftLaterAnswers()
    {
        enterCutOff();
        port->feed(bytesOf({0x55, 0x02, 0x7B, 0x03}));
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("123"));
        port->feed(bytesOf({0x02, 0x2A, 0x03}));
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("42"));
    }

    void writesTheThresholdByTheEditRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("frame");  // empty: nothing is sent
        QTest::addColumn<QString>("shownAfter");
        QTest::addColumn<int>("beeps");
        QTest::newRow("254") << "254" << "02 B4 43 FE 03" << "254" << 0;
        QTest::newRow("above 255") << "300" << "02 B4 43 FF 03" << "255" << 0;
        QTest::newRow("negative") << "-1" << "02 B4 43 00 03" << "0" << 0;
        QTest::newRow("no number") << "abc" << "" << "0" << 1;
        QTest::newRow("empty") << "" << "" << "0" << 1;
    }
    void writesTheThresholdByTheEditRules()
    {
        QFETCH(QString, text);
        QFETCH(QString, frame);
        QFETCH(QString, shownAfter);
        QFETCH(int, beeps);
        page->addressChoice()->setCurrentIndex(1);
        QVERIFY(page->writeValueEdit()->isVisible());
        QVERIFY(page->writeButton()->isEnabled());
        data->set().setParamByte(20, 120);
        page->writeValueEdit()->setText(text);
        link->transport.stopPolling();
        QTest::mouseClick(page->writeButton(), Qt::LeftButton);
        QCOMPARE(framesFrom(0), frame.isEmpty() ? QStringList() : QStringList{frame});
        QCOMPARE(page->writeValueEdit()->text(), shownAfter);
        QCOMPARE(prompts->beeps, beeps);
        // The tool's block carries the threshold, so the next block write keeps it.
        QCOMPARE(int(data->set().paramByte(20)), frame.isEmpty() ? 120 : shownAfter.toInt());
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QVERIFY(!link->transport.polling());
    }

    void aSilentModuleIsReportedUntilItAnswers()
    {
        enterCutOff();
        port->feed(bytesOf({0x02, 0x10, 0x03}));
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("16"));
        QTRY_COMPARE_WITH_TIMEOUT(page->readValueLabel()->text(), CutOffControl::noAnswerText(), 3000);
        port->feed(bytesOf({0x02, 0x11, 0x03}));
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("17"));
        QTRY_COMPARE_WITH_TIMEOUT(page->readValueLabel()->text(), CutOffControl::noAnswerText(), 3000);
        QTest::mouseClick(page->tuningMode(), Qt::LeftButton);
        QCOMPARE(page->readValueLabel()->text(), QStringLiteral("17"));
    }
};

QTEST_MAIN(TestCutOffPage)
#include "tst_cutoffpage.moc"

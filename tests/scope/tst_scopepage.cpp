#include "linkwords/linkwords.h"
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "link/unitdata.h"
#include "scope/colourswatch.h"
#include "scope/scopecontrol.h"
#include "scope/scopepage.h"
#include "scope/scopesamples.h"
#include "scope/scopeview.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

// The page "Oscil" headless on a fake port: channel choice, recording, scrolling, scale, width,
// colours, export and picture.
class TestScopePage : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakePort> port;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<UnitData> data;
    std::unique_ptr<UnitLink> link;
    std::unique_ptr<ScopePage> page;
    std::unique_ptr<QTemporaryDir> dir;

    ScopeControl *control() const { return page->control(); }
    void answer(int value) { port->feed(bytesOf({0x02, value, 0x03})); }
    void record(bool two)
    {
        (two ? page->twoChannels() : page->oneChannel())->setChecked(true);
        QTest::mouseClick(page->recordBox(), Qt::LeftButton);
        QVERIFY(link->recording.recording());
    }
    // Channel 1, channel 2 (if two) per sample.
    void samples(const QList<QPair<int, int>> &values, bool two)
    {
        for (const auto &v : values) {
            answer(v.first);
            if (two)
                answer(v.second);
        }
    }
    // Waits for the recording's next request.
    QString nextRequest()
    {
        const int from = port->written.size();
        if (!QTest::qWaitFor([&] { return port->written.size() > from; }, 2000))
            return QStringLiteral("none");
        return hex(port->written.last().bytes);
    }
    QByteArray exported()
    {
        QTest::mouseClick(page->exportButton(), Qt::LeftButton);
        QFile file(dir->filePath(QStringLiteral("OUT.TX")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }
    // Two names, one of them shared by two addresses.
    void fillSampleNames()
    {
        QStringList names(256, QStringLiteral("NIC"));
        names[10] = QStringLiteral("Sinus");
        names[11] = QStringLiteral("Pila");
        names[40] = QStringLiteral("Sinus");
        control()->fillAddressNames(names);
    }
    void typeInto(QComboBox *box, const QString &text)
    {
        box->setEditText(text);
        emit box->lineEdit()->editingFinished();
    }

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
        page = std::make_unique<ScopePage>();
        page->attach(&link->recording, prompts.get());
        dir = std::make_unique<QTemporaryDir>();
        control()->setDataFolder(dir->path());
        page->resize(626, 425);
        page->show();
    }
    void cleanup()
    {
        page.reset();
        link.reset();
    }

    void namesPickAddressesAndEditsKeepToAByte()
    {
        fillSampleNames();
        QCOMPARE(page->names(1)->count(), 3);
        QCOMPARE(page->address(1)->text(), QStringLiteral("40"));  // the highest of a shared name
        page->names(2)->setCurrentIndex(1);
        QCOMPARE(page->address(2)->text(), QStringLiteral("11"));
        QCOMPARE(control()->channelAddress(2), 11);

        const struct { const char *typed, *shown; int address, beeps; } cases[] = {
            {"300", "255", 255, 0}, {"-5", "0", 0, 0}, {"77", "77", 77, 0}, {"x", "0", 0, 1}, {"", "0", 0, 2}};
        for (const auto &c : cases) {
            page->address(1)->setText(QString::fromLatin1(c.typed));
            QCOMPARE(page->address(1)->text(), QString::fromLatin1(c.shown));
            QCOMPARE(control()->channelAddress(1), c.address);
            QCOMPARE(prompts->beeps, c.beeps);
        }
    }

    void aTypedAddressShowsItsNameOrNone()
    {
        fillSampleNames();
        QLineEdit *edit = page->address(1);
        edit->setFocus();
        // Typed as a technician types: the name follows every key, and a name shared with a higher
        // address never replaces the address typed.
        const struct { const char *typed, *name; } cases[] = {{"11", "Pila"}, {"12", ""}, {"10", "Sinus"}, {"300", ""}};
        for (const auto &c : cases) {
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromLatin1(c.typed));
            QCOMPARE(page->names(1)->currentText(), QString::fromLatin1(c.name));
            QCOMPARE(edit->text(), QString::fromLatin1(c.typed).replace(QLatin1String("300"), QLatin1String("255")));
        }
        QCOMPARE(control()->channelAddress(1), 255);
        QCOMPARE(page->names(2)->currentText(), QStringLiteral("Sinus"));
    }

    void withoutNamesTheTypedAddressesStay()
    {
        control()->fillAddressNames(QStringList(256, QStringLiteral("NIC")));
        QCOMPARE(page->names(1)->count(), 0);
        QCOMPARE(page->address(1)->text(), QStringLiteral("0"));
        QCOMPARE(page->address(2)->text(), QStringLiteral("1"));
    }

    void aRecordingStartsStopsAndExportsOnlyItself()
    {
        page->address(1)->setText(QStringLiteral("5"));
        page->address(2)->setText(QStringLiteral("7"));
        record(true);
        QVERIFY(!link->transport.polling());
        samples({{10, 20}, {11, 21}, {12, 22}}, true);
        QCOMPARE(page->samples().count(), 3);
        QCOMPARE(exported(), QByteArray("0;10;20;\r\n1;11;21;\r\n2;12;22;\r\n"));
        QCOMPARE(prompts->messages, QStringList{QStringLiteral("Info: Uloženo: OUT.TX (3 vzorků)")});

        QTest::mouseClick(page->recordBox(), Qt::LeftButton);
        QVERIFY(!link->recording.recording());
        QVERIFY(link->transport.polling());
        QCOMPARE(page->samples().count(), 3);  // the samples and the picture stay

        record(false);
        QCOMPARE(exported(), QByteArray());  // a new recording starts empty
        samples({{30, 0}, {31, 0}}, false);
        QCOMPARE(exported(), QByteArray("0;30;0;\r\n1;31;0;\r\n"));

        // The same address twice records one channel.
        QTest::mouseClick(page->recordBox(), Qt::LeftButton);
        page->twoChannels()->setChecked(true);
        page->address(2)->setText(QStringLiteral("5"));
        QTest::mouseClick(page->recordBox(), Qt::LeftButton);
        QVERIFY(page->oneChannel()->isChecked());
        QCOMPARE(prompts->messages.size(), 3);  // the three exports' results, nothing else
    }

    void requestsAlternateAndTheSecondAnswerCompletesASample()
    {
        page->address(1)->setText(QStringLiteral("5"));
        page->address(2)->setText(QStringLiteral("7"));
        record(true);
        QCOMPARE(nextRequest(), QStringLiteral("02 24 05 00 03"));
        answer(10);
        QCOMPARE(page->samples().count(), 0);
        QCOMPARE(nextRequest(), QStringLiteral("02 24 07 00 03"));
        answer(20);
        QCOMPARE(page->samples().count(), 1);
        QCOMPARE(nextRequest(), QStringLiteral("02 24 05 00 03"));
        // A short answer is dropped with everything waiting; the same channel is asked again.
        const int clears = port->clears;
        port->feed(bytesOf({0x02, 0x0A}));
        QTRY_COMPARE_WITH_TIMEOUT(port->clears, clears + 1, 2000);  // once the line has gone quiet
        QCOMPARE(nextRequest(), QStringLiteral("02 24 05 00 03"));
        // Channels that become equal go on as one instead of asking channel 1 for ever.
        page->address(2)->setText(QStringLiteral("5"));
        for (int v : {1, 2, 3})
            answer(v);
        QCOMPARE(page->samples().count(), 4);
        for (const FakePort::Written &w : port->written)
            QVERIFY(hex(w.bytes) != QStringLiteral("02 0F 03"));  // no poll beside the recording
    }

    void aFinishedRecordingClearsTheBoxAndAsksNoMore()
    {
        record(false);
        for (int i = 0; i < ScopeRecording::MaxSamples + 5; ++i)
            answer(i % 200);
        QCOMPARE(page->samples().count(), ScopeRecording::MaxSamples);
        QTRY_VERIFY_WITH_TIMEOUT(!page->recordBox()->isChecked(), 2000);
        QVERIFY(!link->recording.recording());
        QVERIFY(link->transport.polling());
        QCOMPARE(link->transport.linkState(), LinkState::StatusReply);
        QCOMPARE(nextRequest(), QStringLiteral("02 0F 03"));  // the poll, never another aux request
    }

    void theViewFollowsTheNewestSample()
    {
        QScrollBar *bar = page->scrollBox()->horizontalScrollBar();
        bar->setValue(2000);
        record(false);
        QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 400, 2000);  // back left in steps of 100
        QTest::mouseClick(page->recordBox(), Qt::LeftButton);
        bar->setValue(0);
        record(false);
        for (int i = 0; i < 600; ++i)
            answer(100);
        QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 100, 2000);
    }

    void refusedScalesAndWidthsKeepTheLastGoodOne()
    {
        QCOMPARE(page->view()->width(), 3020);  // every sample of a recording fits from the start
        const struct { const char *typed; double zoom; int width; const char *shown; int beeps; } cases[] = {
            {"0.1", 0.1, 30020, "0.1", 0}, {"0", 0.1, 30020, "0.1", 1}, {"-2", 0.1, 30020, "0.1", 2},
            {"abc", 0.1, 30020, "0.1", 3}, {"", 0.1, 30020, "0.1", 4}, {"50", 50, 80, "50", 4},
            {"0,5", 0.5, 6020, "0,5", 4}, {"1,2,3", 0.5, 6020, "0,5", 5}};
        for (const auto &c : cases) {
            typeInto(page->scale(), QString::fromLatin1(c.typed));
            QCOMPARE(control()->zoom(), c.zoom);
            QCOMPARE(page->view()->width(), c.width);
            QCOMPARE(page->scale()->currentText(), QString::fromLatin1(c.shown));
            QCOMPARE(prompts->beeps, c.beeps);
        }
        typeInto(page->lineWidth(), QStringLiteral("0"));
        QCOMPARE(page->lineWidth()->currentText(), QStringLiteral("3"));
        QCOMPARE(page->view()->style().width, 3);
        page->lineWidth()->setCurrentIndex(6);
        emit page->lineWidth()->textActivated(page->lineWidth()->currentText());
        QCOMPARE(page->view()->style().width, 7);
    }

    void coloursComeFromOneDialog()
    {
        prompts->colours = {QColor(Qt::blue), QColor()};
        QTest::mouseClick(page->swatch(1), Qt::LeftButton);
        QCOMPARE(page->view()->style().colour1, QColor(Qt::blue));
        QCOMPARE(page->swatch(1)->colour(), QColor(Qt::blue));
        QTest::mouseClick(page->swatch(2), Qt::LeftButton);  // cancelled
        QCOMPARE(page->view()->style().colour2, QColor(255, 255, 0));
    }

    void aFailedExportKeepsThePreviousFile()
    {
        record(false);
        for (int i = 0; i < 100; ++i)
            answer(i);
        QFile old(dir->filePath(QStringLiteral("OUT.TX")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("0;1;2;\r\n");
        old.close();
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 200;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const QByteArray after = exported();
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(after, QByteArray("0;1;2;\r\n"));
        QCOMPARE(prompts->messages, QStringList{QStringLiteral("Error: Nelze vytvorit vystupni soubor")});

        control()->setDataFolder(dir->filePath(QStringLiteral("missing")));
        QTest::mouseClick(page->exportButton(), Qt::LeftButton);
        QCOMPARE(prompts->messages.size(), 2);
    }

    void aPictureHoldsTheWholeTrace()
    {
        typeInto(page->scale(), QStringLiteral("0.1"));
        record(false);
        for (int i = 0; i < 300; ++i)
            answer(i % 256);
        QTest::mouseClick(page->pictureButton(), Qt::LeftButton);
        const QStringList files = QDir(dir->path()).entryList({QStringLiteral("*.png")});
        QCOMPARE(files.size(), 1);
        const QImage image(dir->filePath(files.first()));
        QCOMPARE(image.size(), QSize(2990 + 20 + 50, 320));
        QCOMPARE(image.pixelColor(20 + 2990, 320 - 40 - 299 % 256), QColor(255, 0, 0));
        QCOMPARE(prompts->messages, QStringList{QStringLiteral("Info: Obrázek uložen: ") + files.first()});
    }

    void aSilentUnitIsShownBesideTheBox()
    {
        record(false);
        QTRY_COMPARE_WITH_TIMEOUT(page->recordState()->text(), ScopeControl::noAnswerText(), 4000);
        answer(1);
        QCOMPARE(page->recordState()->text(), QString());
    }
};

QTEST_MAIN(TestScopePage)
#include "tst_scopepage.moc"

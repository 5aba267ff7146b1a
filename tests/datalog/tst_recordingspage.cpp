#include "scriptedprompts.h"
#include "datalog/logformat.h"
#include "datalog/plotwidget.h"
#include "datalog/recordingsbrowser.h"
#include "datalog/recordingspage.h"
#include "datalog/replaycontrol.h"
#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QAbstractItemView>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

// The page "Záznamy" as a technician uses it: the list, opening files good and bad, zoom and pan
// with the mouse, the replay, the comparison and the picture.
class TestRecordingsPage : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir;
    ScriptedPrompts *prompts = nullptr;
    UnitData *data = nullptr;
    ToolSetup setup;
    RecordingsPage *page = nullptr;

    QString folder() const { return dir->filePath(QStringLiteral("zaznamy")); }
    const QString MarkerText = QStringLiteral("prudké stoupání; \"B\"");
    // `rows` rows `stepMs` apart, TPS counting up; markers on the rows given, the second with a text.
    QString write(const QString &name, int rows, int stepMs, const QList<int> &markers = {}, const QByteArray &tail = {})
    {
        QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
        for (int i = 0; i < rows; ++i) {
            LogRow row;
            row.ms = qint64(i) * stepMs;
            row.hasValues = true;
            row.lambda = 30;
            row.tps = i % 256;
            row.position = 100;
            if (markers.contains(i))
                row.marker = LogFormat::markerField(int(markers.indexOf(i)) + 1, markers.indexOf(i) == 1 ? MarkerText : QString());
            LogFormat::appendRow(bytes, row);
        }
        const QString path = QDir(folder()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes + tail) != bytes.size() + tail.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    template <typename T> T *find(const char *name) const
    {
        T *w = page->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    void click(const char *name) const { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    PlotWidget *plot() const { return page->plot(); }
    QRect area() const { return PlotDrawing::plotArea(plot()->size()); }
    qint64 msAt(int x) const { return PlotDrawing::msAt(x, area(), plot()->view()); }
    void wheel(int x, int notches)
    {
        const QPointF at(x, area().center().y());
        QWheelEvent event(at, plot()->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot(), &event);
    }
    void drag(Qt::MouseButton button, int from, int to)
    {
        const int y = area().center().y();
        QTest::mousePress(plot(), button, {}, QPoint(from, y));
        QTest::mouseMove(plot(), QPoint((from + to) / 2, y));
        QTest::mouseMove(plot(), QPoint(to, y));
        QTest::mouseRelease(plot(), button, {}, QPoint(to, y));
    }
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < page->list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = page->list()->topLevelItem(i);
            out << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2);
        }
        return out;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(folder());
        prompts = new ScriptedPrompts;
        data = new UnitData;
        setup.setDataFolder(dir->path());
        page = new RecordingsPage;
        page->resize(632, 425);
        page->attach(data, &setup, prompts);
    }
    void cleanup()
    {
        delete page;
        delete data;
        QVERIFY(!prompts->unexpected);
        delete prompts;
    }

    void theNewestComesFirstAndIsShown()
    {
        write(QStringLiteral("2026-03-07_08-05-09_Octavia.csv"), 3001, 20);
        write(QStringLiteral("2026-03-07_08-05-09_Octavia_2.csv"), 51, 200);
        write(QStringLiteral("2026-03-06_17-00-00_Bez verze!.csv"), 11, 250);
        QFile foreign(QDir(folder()).filePath(QStringLiteral("teploty.csv")));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("Datum;Teplota\n1;2\n");
        foreign.close();
        QVERIFY(foreign.open(QIODevice::ReadWrite));
        foreign.setFileTime(QDateTime(QDate(2026, 3, 6), QTime(18, 0)), QFileDevice::FileModificationTime);
        foreign.close();
        page->show();
        QCOMPARE(listed(), (QStringList{QStringLiteral("2026-03-07_08-05-09_Octavia_2|0:10|3 kB"),
                                        QStringLiteral("2026-03-07_08-05-09_Octavia|1:00|131 kB"),
                                        QStringLiteral("teploty|?|1 kB"),
                                        QStringLiteral("2026-03-06_17-00-00_Bez verze!|0:03|1 kB")}));
        // The newest recording is shown; the foreign file is not opened by itself.
        QVERIFY(prompts->messages.isEmpty());
        QVERIFY(page->browser()->path().endsWith(QStringLiteral("Octavia_2.csv")));
        QCOMPARE(plot()->view().toMs - plot()->view().fromMs, qint64(10000));
    }

    void unreadableFilesNameTheLineAndTheShownOneStays()
    {
        const QString good = write(QStringLiteral("2026-03-07_08-05-09_a.csv"), 100, 20);
        write(QStringLiteral("2026-03-07_09-00-00_cut.csv"), 10, 20, {}, "0,300;08:05:09.300;0,6");
        page->show();
        QVERIFY(page->browser()->path().endsWith(QStringLiteral("_cut.csv")));
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0], QStringLiteral("Záznamy: Soubor 2026-03-07_09-00-00_cut.csv je poškozený.\n"
                                                      "Řádek 12: má jiný počet polí (3) než hlavička (10), řádek je "
                                                      "useknutý nebo poškozený.\nZobrazeno je 10 řádků před ním."));
        QCOMPARE(page->browser()->recording()->rows(), 10);

        // One from elsewhere, and one that is no recording at all.
        const QString other = dir->filePath(QStringLiteral("jinde.csv"));
        QFile::copy(good, other);
        prompts->files << other;
        click("Otevrit");
        QCOMPARE(page->browser()->path(), other);
        QCOMPARE(prompts->fileQuestions.last().folder, folder());
        QVERIFY(page->list()->selectedItems().isEmpty());
        QFile foreign(dir->filePath(QStringLiteral("cizi.csv")));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("a,b,c\n1,2,3\n");
        foreign.close();
        prompts->files << foreign.fileName();
        click("Otevrit");
        QCOMPARE(prompts->messages.last(), QStringLiteral("Záznamy: Soubor cizi.csv nelze přečíst jako záznam.\n"
                                                          "Řádek 1: sloupce nejsou oddělené středníkem (;), soubor "
                                                          "není záznam živých hodnot."));
        QCOMPARE(page->browser()->path(), other);
    }

    void theMouseZoomsAndPans()
    {
        write(QStringLiteral("2026-03-07_08-05-09_a.csv"), 6001, 20);  // 120 s
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page));
        QCOMPARE(plot()->view().fromMs, qint64(0));
        QCOMPARE(plot()->view().toMs, qint64(120000));

        // The wheel zooms in about the mouse: the time under it stays where it is.
        const int x = area().left() + area().width() / 4;
        const qint64 under = msAt(x);
        wheel(x, 3);
        const qint64 span = plot()->view().toMs - plot()->view().fromMs;
        QVERIFY2(span < 120000 * 0.52 && span > 120000 * 0.50, qPrintable(QString::number(span)));
        QVERIFY(std::abs(msAt(x) - under) <= 2 + span / area().width());

        // A left drag zooms to the range dragged over.
        const qint64 a = msAt(area().left() + 100), b = msAt(area().left() + 300);
        drag(Qt::LeftButton, area().left() + 100, area().left() + 300);
        QCOMPARE(plot()->view().fromMs, a);
        QCOMPARE(plot()->view().toMs, b);

        // A right drag pans: what was under the mouse moves with it.
        const qint64 grabbed = msAt(area().left() + 400);
        drag(Qt::RightButton, area().left() + 400, area().left() + 200);
        QVERIFY(std::abs(msAt(area().left() + 200) - grabbed) <= 2 * (b - a) / area().width() + 1);
        QCOMPARE(plot()->view().toMs - plot()->view().fromMs, b - a);

        // The cursor says the time and the values of the nearest row.
        const QStringList text = plot()->cursorText(2012);
        QCOMPARE(text.size(), 1);
        QVERIFY2(text[0].startsWith(QStringLiteral("2,020 s")) && text[0].contains(QStringLiteral("TPS 2,02 V")),
                 qPrintable(text[0]));

        click("Cele");
        QCOMPARE(plot()->view().fromMs, qint64(0));
        QCOMPARE(plot()->view().toMs, qint64(120000));
        QTest::mouseClick(find<QCheckBox>("PasTPS"), Qt::LeftButton);
        QCOMPARE(plot()->view().shownLanes(), 2);
    }

    void theReplayPlaysStepsAndSeeks()
    {
        write(QStringLiteral("2026-03-07_08-05-09_a.csv"), 1001, 20);  // TPS = row % 256
        page->show();
        auto *slider = find<QSlider>("PoziceZaznamu");
        QCOMPARE(slider->maximum(), 1000);
        click("KrokVpred");
        click("KrokVpred");
        QCOMPARE(page->replay()->row(), 2);
        QCOMPARE(find<QLabel>("PrehL3")->text(), QStringLiteral("2"));
        QCOMPARE(find<QLabel>("PrehNapetiT")->text(), QStringLiteral("0,04 V"));
        click("KrokZpet");
        QCOMPARE(slider->value(), 1);
        QCOMPARE(find<QLabel>("CasPrehravani")->text(), QStringLiteral("řádek 3: 0,020 s  00:00:00,000"));

        // At 1x the replay never runs ahead of the clock.
        QElapsedTimer clock;
        clock.start();
        click("Prehrat");
        QCOMPARE(find<QPushButton>("Prehrat")->text(), QStringLiteral("Pozastavit"));
        QTest::qWait(300);
        QVERIFY(page->replay()->row() - 1 <= clock.elapsed() / 20 + 1);
        click("Prehrat");
        // At 16x twenty seconds of recording take a little more than a second.
        find<QComboBox>("Rychlost")->setCurrentIndex(2);
        slider->setValue(0);
        click("Prehrat");
        QTRY_VERIFY_WITH_TIMEOUT(!page->replay()->playing(), 5000);
        QCOMPARE(page->replay()->row(), 1000);
        QCOMPARE(find<QPushButton>("Prehrat")->text(), QStringLiteral("Přehrát"));
        QCOMPARE(plot()->replayMs(), qint64(20000));
        QCOMPARE(find<QLabel>("PrehL3")->text(), QString::number(1000 % 256));
        // The replay's position is an orange line across the plot.
        slider->setValue(500);
        const QRect area = PlotDrawing::plotArea(plot()->size());
        const int x = int(std::floor(PlotDrawing::xOf(10000, area, plot()->view())));
        QCOMPARE(plot()->grab().toImage().pixelColor(x, area.top() + 1), QColor(255, 140, 0));
    }

    void aSecondRecordingIsDrawnOverAlignedAtMarkers()
    {
        write(QStringLiteral("2026-03-07_08-05-09_a.csv"), 1000, 20, {100, 300});
        const QString other = write(QStringLiteral("2026-03-06_08-05-09_b.csv"), 500, 20, {50});
        page->show();
        prompts->files << other;
        click("PorovnatZaznam");
        QCOMPARE(plot()->overlay().shiftMs, qint64(0));
        QCOMPARE(find<QPushButton>("PorovnatZaznam")->text(), QStringLiteral("Bez porovnání"));
        auto *a = find<QComboBox>("ZarovnaniA");
        auto *b = find<QComboBox>("ZarovnaniB");
        QCOMPARE(a->count(), 3);
        QCOMPARE(b->itemText(1), QStringLiteral("značka 1"));
        // The marker's text as typed, in a list wide enough to read it.
        QCOMPARE(a->itemText(2), QStringLiteral("značka 2 – ") + MarkerText);
        QVERIFY(a->view()->minimumWidth() > a->fontMetrics().horizontalAdvance(a->itemText(2)));
        // Marker 2 of the first (row 300) over marker 1 of the second (row 50).
        a->setCurrentIndex(2);
        emit a->activated(2);
        b->setCurrentIndex(1);
        emit b->activated(1);
        QCOMPARE(plot()->overlay().shiftMs, qint64(300 * 20 - 50 * 20));
        QCOMPARE(plot()->cursorText(6000).size(), 2);

        prompts->files << dir->filePath(QStringLiteral("obr.png"));
        click("UlozitObrazek");
        QCOMPARE(prompts->fileQuestions.last().fileName, QStringLiteral("2026-03-07_08-05-09_a.png"));
        QImage saved(dir->filePath(QStringLiteral("obr.png")));
        QCOMPARE(saved.size(), QSize(1200, 720));

        click("PorovnatZaznam");
        QCOMPARE(plot()->overlay().recording, nullptr);
        QVERIFY(!a->isEnabled());
    }
};

QTEST_MAIN(TestRecordingsPage)
#include "tst_recordingspage.moc"

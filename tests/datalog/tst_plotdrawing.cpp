#include "datalog/logformat.h"
#include "datalog/plotdrawing.h"
#include "datalog/recording.h"
#include "datalog/recordingplot.h"
#include "datalog/recordingreader.h"
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

// The plot's lines drawn from four points per pixel column give the pixels of the line through
// every row, at any zoom; and a recording file becomes a picture without any widget.
namespace {
// 200 000 rows 20 ms apart: a fast wobble on a slow wave, lost replies and a pause of the poll.
Recording knownSignal()
{
    Recording r;
    qint64 ms = 0;
    for (int i = 0; i < 200000; ++i) {
        ms += (i == 120000) ? 5000 : 20;
        const bool lost = i % 997 == 0 || (i > 50000 && i < 50040);
        const int slow = int(127 + 120 * std::sin(i / 3000.0));
        const int wobble = int(std::lround(25 * std::sin(i * 0.9)));
        r.addRow(ms, -1, !lost, std::clamp(slow / 4 + wobble / 2, 0, 255), std::clamp(slow + wobble, 0, 255),
                 (i * 7) % 256, {}, lost ? QStringLiteral("bez odpovědi") : QString());
    }
    return r;
}

QImage draw(const Recording &r, const PlotView &view, PlotView::Lane lane, bool decimate)
{
    const QSize size(900, 200);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    const QRect area = PlotDrawing::plotArea(size);
    painter.setClipRect(area);
    PlotDrawing::drawTrace(painter, area, area, r, lane, view, 0, 255, decimate);
    return image;
}
}

class TestPlotDrawing : public QObject
{
    Q_OBJECT
private slots:
    void decimatedLinesEqualTheFullLinesColumnByColumn_data()
    {
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::addColumn<int>("lane");
        QTest::newRow("whole hour, TPS") << qint64(0) << qint64(4010000) << int(PlotView::Tps);
        QTest::newRow("whole hour, position") << qint64(0) << qint64(4010000) << int(PlotView::Position);
        QTest::newRow("a minute over a pause") << qint64(2380000) << qint64(2440000) << int(PlotView::Lambda);
        QTest::newRow("lost replies, 4 s") << qint64(1000000) << qint64(1004000) << int(PlotView::Tps);
        QTest::newRow("a few rows, edges between") << qint64(500011) << qint64(500123) << int(PlotView::Tps);
    }
    void decimatedLinesEqualTheFullLinesColumnByColumn()
    {
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QFETCH(int, lane);
        static const Recording r = knownSignal();
        PlotView view;
        view.fromMs = from;
        view.toMs = to;
        const QImage full = draw(r, view, PlotView::Lane(lane), false);
        const QImage fast = draw(r, view, PlotView::Lane(lane), true);
        int inked = 0;
        for (int x = 0; x < full.width(); ++x) {
            for (int y = 0; y < full.height(); ++y) {
                if (full.pixel(x, y) != fast.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("column %1 differs at y %2").arg(x).arg(y)));
                inked += full.pixel(x, y) != qRgb(255, 255, 255);
            }
        }
        QVERIFY(inked > 200);  // something was drawn
    }

    void aGapIsLeftOpen()
    {
        Recording r;
        for (int i = 0; i < 40; ++i)
            r.addRow(i * 100, -1, i != 20, 0, 128, 0, {}, {});
        PlotView view;
        view.fromMs = 0;
        view.toMs = 3900;
        const QImage image = draw(r, view, PlotView::Tps, true);
        const QRect area = PlotDrawing::plotArea(image.size());
        const int y = area.bottom() - int(std::lround(128 * double(area.height() - 1) / 255));
        const auto x = [&](qint64 ms) { return int(std::floor(PlotDrawing::xOf(ms, area, view))); };
        QCOMPARE(image.pixel(x(1500), y), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(x(2000), y), qRgb(255, 255, 255));  // the row without a reply
        QCOMPARE(image.pixel(x(1950), y), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(x(2150), y), qRgb(0, 0, 0));
    }

    void timeLabelsKeepTheirStepsPrecision_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<qint64>("stepMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << qint64(12500) << qint64(100) << "12,5 s";
        QTest::newRow("negative") << qint64(-1500) << qint64(500) << "-1,5 s";
        QTest::newRow("15 min, 200 ms step") << qint64(900000) << qint64(200) << "15:00,0";
        QTest::newRow("15 min + 200 ms") << qint64(900200) << qint64(200) << "15:00,2";
        QTest::newRow("15 min + 400 ms") << qint64(900400) << qint64(200) << "15:00,4";
        QTest::newRow("rounds to the step") << qint64(959960) << qint64(100) << "16:00,0";
        QTest::newRow("whole seconds") << qint64(901000) << qint64(1000) << "15:01";
        QTest::newRow("minutes") << qint64(125000) << qint64(60000) << "2:05";
        QTest::newRow("cursor at 15 min") << qint64(900237) << qint64(1) << "15:00,237";
        QTest::newRow("cursor past an hour") << qint64(3723004) << qint64(1) << "1:02:03,004";
    }
    void timeLabelsKeepTheirStepsPrecision()
    {
        QFETCH(qint64, ms);
        QFETCH(qint64, stepMs);
        QFETCH(QString, text);
        QCOMPARE(PlotDrawing::timeText(ms, stepMs), text);
    }

    // A marker's text stands beside its number above the plot, cut short before the next one.
    void markerTextsAreDrawnBesideTheirNumbers()
    {
        const auto picture = [](const QString &text) {
            Recording r;
            for (int i = 0; i < 100; ++i) {
                r.addRow(i * 100, -1, true, 30, 100, 50, {}, {});
                if (i == 20)
                    r.addMarker(1, text);
                if (i == 80)
                    r.addMarker(2, {});
            }
            PlotView view;
            view.fromMs = 0;
            view.toMs = 9900;
            QImage image(QSize(700, 300), QImage::Format_RGB32);
            QPainter painter(&image);
            PlotDrawing::paint(painter, image.size(), r, view);
            painter.end();
            return image;
        };
        const auto inked = [](const QImage &image, int from, int to) {
            int n = 0;
            for (int x = from; x < to; ++x)
                for (int y = 0; y < PlotDrawing::TopMargin; ++y)
                    n += image.pixel(x, y) != qRgb(255, 255, 255);
            return n;
        };
        const QRect area = PlotDrawing::plotArea(QSize(700, 300));
        PlotView view;
        view.toMs = 9900;
        const int first = int(PlotDrawing::xOf(2000, area, view));
        const int second = int(PlotDrawing::xOf(8000, area, view));
        const QImage plain = picture({});
        const QImage named = picture(QStringLiteral("kopec; \"A\" a dlouhý text, který se nevejde až ke druhé značce"));
        QCOMPARE(inked(plain, first + 10, second - 10), 0);
        QVERIFY(inked(named, first + 10, first + 60) > 20);
        // The second marker's number stays readable.
        QCOMPARE(inked(named, second - 8, second + 8), inked(plain, second - 8, second + 8));
    }

    void aFileBecomesAPicture()
    {
        QTemporaryDir dir;
        QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
        for (int i = 0; i < 500; ++i) {
            LogRow row;
            row.ms = i * 20;
            row.hasValues = true;
            row.tps = i % 256;
            LogFormat::appendRow(bytes, row);
        }
        const QString path = dir.filePath(QStringLiteral("2026-03-07_08-05-09_Octavia.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QCOMPARE(recordingTitle(path), QStringLiteral("2026-03-07_08-05-09_Octavia.csv, zaznamenáno 7. 3. 2026 08:05:09"));
        const QImage image = renderRecordingPlot(path, QSize(800, 500));
        QCOMPARE(image.size(), QSize(800, 500));
        QVERIFY(image.pixelColor(400, 250) != QColor(Qt::black));

        // A recording of one row (a short one, or the last part of a long one) spans no time.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes.left(bytes.indexOf("0,020;")));
        file.close();
        QCOMPARE(renderRecordingPlot(path, QSize(1600, 600)).size(), QSize(1600, 600));

        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Datum;Teplota\n");
        file.close();
        QString error;
        QVERIFY(renderRecordingPlot(path, QSize(800, 500), &error).isNull());
        QVERIFY2(error.startsWith(QStringLiteral("Řádek 1: ")), qPrintable(error));
    }
};

QTEST_MAIN(TestPlotDrawing)
#include "tst_plotdrawing.moc"

#include "scope/scopedrawing.h"
#include "scope/scopesamples.h"
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

// The oscilloscope's picture read back from rendered images: grid positions and colours, time
// and value labels, trace coordinates, and that painting a part gives the same pixels as a
// whole repaint.
namespace {
const QColor Green(0, 128, 0), Navy(0, 0, 128), Lime(0, 255, 0), Red(255, 0, 0), Yellow(255, 255, 0);
constexpr int H = ScopeDrawing::Height;

QImage render(const ScopeSamples &samples, const ScopeStyle &style, int width, const QList<QRect> &areas = {})
{
    const QSize box(ScopeDrawing::boxWidth(style.zoom), H);
    QImage image(width, H, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(QApplication::font());
    const QList<QRect> parts = areas.isEmpty() ? QList<QRect>{QRect(0, 0, width, H)} : areas;
    for (const QRect &area : parts)
        ScopeDrawing::paint(painter, area, box, samples, style);
    return image;
}

// The label as the screen writes it, on its own: the same font, on green.
bool labelAt(const QImage &image, int x, int y, const QString &text)
{
    QImage expected(image.size(), image.format());
    expected.fill(Green);
    QPainter painter(&expected);
    painter.setFont(QApplication::font());
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Green);
    painter.setPen(Qt::black);
    painter.drawText(QRect(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    const QRect box(x, y, painter.fontMetrics().horizontalAdvance(text), painter.fontMetrics().height());
    painter.end();
    return image.copy(box) == expected.copy(box);
}
QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, y); }
}

class TestScopeDrawing : public QObject
{
    Q_OBJECT
private slots:
    void gridAndTimeLabelsFollowTheScale_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("two");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("labels");  // at x = 20, 70, 120
        QTest::addColumn<QColor>("level");        // pen of the horizontal lines
        QTest::newRow("1, two channels") << 1.0 << true << 3020 << QStringList{"0,0", "5,0", "10,0"} << Lime;
        QTest::newRow("1, one channel") << 1.0 << false << 3020 << QStringList{"0,0", "2,5", "5,0"} << Lime;
        QTest::newRow("0.1") << 0.1 << true << 30020 << QStringList{"0,0", "0,5", "1,0"} << Lime;
        QTest::newRow("50") << 50.0 << true << 80 << QStringList{"0,0", "250,0"} << Navy;
    }
    void gridAndTimeLabelsFollowTheScale()
    {
        QFETCH(double, zoom);
        QFETCH(bool, two);
        QFETCH(int, width);
        QFETCH(QStringList, labels);
        QFETCH(QColor, level);
        QCOMPARE(ScopeDrawing::boxWidth(zoom), width);
        ScopeSamples samples;
        ScopeStyle style;
        style.zoom = zoom;
        style.twoChannels = two;
        const QImage image = render(samples, style, std::min(width, 700));

        for (int i = 0; i < labels.size(); ++i) {
            const int x = 20 + 50 * i;
            QCOMPARE(at(image, x, 100), Navy);
            QCOMPARE(at(image, x, 0), Navy);
            QCOMPARE(at(image, x, H - 41), Navy);
            QVERIFY2(labelAt(image, x - 10, H - 35, labels[i]), qPrintable(labels[i]));
        }
        QCOMPARE(at(image, 30, 100), Lime);
        QCOMPARE(at(image, 25, 100), Green);
        QCOMPARE(at(image, 0, 100), QColor(Qt::black));  // the frame
        for (int v = 0; v <= 250; v += 50) {
            QCOMPARE(at(image, 25, H - 40 - v), level);
            QVERIFY2(labelAt(image, 0, H - 45 - v, QString::number(v)), qPrintable(QString::number(v)));
        }
        if (width == 80) {  // at 50 samples a pixel the grid ends at x = 70
            QCOMPARE(at(image, 75, 100), Green);
            QCOMPARE(at(image, 79, 100), QColor(Qt::black));
        }
    }

    void tracesStandOnTheirCoordinates_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("two");
        QTest::newRow("1, one channel") << 1.0 << false;
        QTest::newRow("0.1, two channels") << 0.1 << true;
        QTest::newRow("50, two channels") << 50.0 << true;
    }
    void tracesStandOnTheirCoordinates()
    {
        QFETCH(double, zoom);
        QFETCH(bool, two);
        ScopeSamples samples;
        const int count = zoom > 10 ? 3000 : 40;
        for (int i = 0; i < count; ++i) {
            samples.setValue(1, i, i % 2 ? 255 : 0);
            samples.setValue(2, i, 100);
        }
        samples.setCount(count);
        ScopeStyle style;
        style.zoom = zoom;
        style.width = 1;
        style.twoChannels = two;
        const QImage image = render(samples, style, std::min(ScopeDrawing::boxWidth(zoom), 700));
        const int x1 = int(1 / zoom + 20), x2 = int(2 / zoom + 20);
        QCOMPARE(ScopeDrawing::sampleX(2, zoom), x2);
        QCOMPARE(at(image, x1, H - 40 - 255), Red);  // 255 stands 255 pixels above the bottom line
        QCOMPARE(at(image, x2, H - 40), Red);        // 0 lies on it
        int yellow = 0;
        for (int x = 0; x < image.width(); ++x)
            yellow += at(image, x, H - 140) == Yellow;
        QCOMPARE(yellow > 0, two);  // one channel draws channel 1 only
    }

    void paintingInPartsGivesTheWholePicture()
    {
        ScopeSamples samples;
        for (int i = 0; i < 3000; ++i) {
            samples.setValue(1, i, (i * 7) % 256);
            samples.setValue(2, i, 128 + int(100 * std::sin(i / 9.0)));
        }
        samples.setCount(3000);
        for (double zoom : {0.1, 1.0, 50.0}) {
            ScopeStyle style;
            style.zoom = zoom;
            style.twoChannels = true;
            style.width = 3;
            const int width = std::min(ScopeDrawing::boxWidth(zoom), 640);
            const QImage whole = render(samples, style, width);
            QList<QRect> tiles;
            for (int x = 0; x < width; x += 37)
                tiles << QRect(x, (x * 13) % 200, 37, 120) << QRect(x, 0, 37, H);
            QVERIFY2(render(samples, style, width, tiles) == whole, qPrintable(QString::number(zoom)));
            // A new sample's area covers everything its segment changes.
            for (int i : {1, 5, 17}) {
                ScopeSamples upTo = samples;
                upTo.setCount(i + 1);
                const QRect area = ScopeDrawing::segmentArea(i, H, upTo, style);
                QImage before = whole;
                QPainter painter(&before);
                painter.setFont(QApplication::font());
                ScopeSamples fewer = samples;
                fewer.setCount(i);
                ScopeDrawing::paint(painter, QRect(0, 0, width, H), QSize(ScopeDrawing::boxWidth(zoom), H), fewer, style);
                ScopeDrawing::paint(painter, area, QSize(ScopeDrawing::boxWidth(zoom), H), upTo, style);
                painter.end();
                QCOMPARE(before, render(upTo, style, width));
            }
        }
    }
};

QTEST_MAIN(TestScopeDrawing)
#include "tst_scopedrawing.moc"

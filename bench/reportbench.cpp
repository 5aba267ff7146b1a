// The service report: from the tool's data to the PDF on disk, as "Protokol" makes it after its
// dialog, and how large the file is.
#include "benchsupport.h"
#include "link/unitdata.h"
#include "report/reportbuilder.h"
#include "report/reportfont.h"
#include "report/reportpdf.h"
#include "scope/scopedrawing.h"
#include "scope/scopesamples.h"
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Everything read: a record, a cleared error memory read again, a set with levels that differs
// from the one before the work in every byte, a page of notes.
void fill(UnitData &data, ReportInput &input)
{
    QByteArray record(34, '\0');
    record[0] = 0x02;
    record[33] = 0x03;
    for (int i = 1; i < 33; ++i)
        record[i] = char(i * 7);
    data.record().take(record);
    data.record().noteErrorsCleared();
    record.replace(17, 16, QByteArray(16, '\0'));
    data.record().take(record);
    for (int i = 1; i < 33; ++i)
        data.set().setParamByte(i, quint8(i * 5));
    QByteArray levels = data.set().levelBytes();
    for (int i = 1; i < 9; ++i)
        levels[i] = char(i * 9);
    data.set().setLevels(levels);
    data.set().markBlockValid();
    input.versionNames = QStringList(QString());
    for (int i = 1; i < 100; ++i)
        input.versionNames << QStringLiteral("Škoda Octavia 1.6 MPI – sada %1").arg(i);

    input.workshop = {QStringLiteral("Autoservis Dvořák s.r.o."), QStringLiteral("Průmyslová 1234/12, 280 02 Kolín"),
                      QStringLiteral("+420 321 654 987"), QStringLiteral("Jiří Kůrka")};
    input.madeAt = QDateTime(QDate(2026, 12, 7), QTime(14, 3));
    input.toolVersion = QStringLiteral("Velkor 3.0");
    QByteArray before(34, char(1));
    before[0] = 0x01, before[33] = 0x03;
    input.setBefore = ParameterSet::fromFrames(before, QByteArray::fromHex("03010101010101010104"));
    input.setBeforeName = QStringLiteral("2026-12-07_13-50-02_Skoda-Octavia-1.6.cfg");
    for (int i = 0; i < 20; ++i)
        input.notes += QStringLiteral("Řádek poznámky %1: vyměněn filtr, seřízen volnoběh, zkontrolována těsnost.\n").arg(i);
}

QImage fullRecording()
{
    ScopeSamples samples;
    for (int i = 0; i < ScopeDrawing::MaxSamples; ++i) {
        samples.setValue(1, i, int(128 + 100 * std::sin(i / 40.0)));
        samples.setValue(2, i, (i / 300) % 2 ? 200 : 40);
    }
    samples.setCount(ScopeDrawing::MaxSamples);
    ScopeStyle style;
    style.twoChannels = true;
    style.zoom = ScopeDrawing::MaxSamples / 1200.0;
    return ScopeDrawing::picture(samples, style, QFont());
}

// Median ms of `runs` reports and the size of the last one; -1 ms when one was not written.
double medianMs(const UnitData &data, const ReportInput &input, const QString &path, int runs, qint64 *bytes)
{
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        QTextDocument document;
        buildReport(document, data, input);
        QString error;
        if (!ReportPdf::write(document, path, reportFooter(data, input), &error))
            return -1;
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    *bytes = QFileInfo(path).size();
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

std::vector<Figure> measureReport()
{
    Figure time, size;
    time.label = QStringLiteral("a) service report, data to PDF on disk");
    time.unit = QStringLiteral("ms");
    time.goal = 1000;
    size.label = QStringLiteral("b) service report size, no pictures");
    size.unit = QStringLiteral("kB");
    size.goal = 300;

    QTemporaryDir dir;
    UnitData data;
    ReportInput input;
    fill(data, input);
    if (!dir.isValid() || !ReportFont::available()) {
        time.detail = size.detail = QStringLiteral("no temporary folder, or DejaVu Sans missing");
        return {time, size};
    }
    const QString path = dir.filePath(QStringLiteral("protokol.pdf"));
    qint64 bytes = 0, pictureBytes = 0;
    // The first report of a run also loads the font and Qt's PDF machinery.
    const double firstMs = medianMs(data, input, path, 1, &bytes);
    const double plainMs = medianMs(data, input, path, 9, &bytes);
    input.withPictures = true;
    input.scopePicture = fullRecording();
    input.recordingPlot = input.scopePicture.scaled(1600, 600);
    const double pictureMs = medianMs(data, input, path, 5, &pictureBytes);
    if (firstMs < 0 || plainMs < 0 || pictureMs < 0) {
        time.detail = size.detail = QStringLiteral("the report could not be written");
        return {time, size};
    }
    time.measured = size.measured = true;
    time.value = std::max(firstMs, pictureMs);
    time.detail = QStringLiteral("every section filled; worst of the first report of the run (%1 ms) and "
                                 "the median with both pictures (%2 ms); median without pictures %3 ms")
                      .arg(firstMs, 0, 'f', 1)
                      .arg(pictureMs, 0, 'f', 1)
                      .arg(plainMs, 0, 'f', 1);
    size.value = bytes / 1024.0;
    size.detail = QStringLiteral("DejaVu Sans regular and bold embedded as subsets; with a full two-channel "
                                 "oscilloscope recording and a 1600 x 600 plot: %1 kB")
                      .arg(pictureBytes / 1024.0, 0, 'f', 1);
    return {time, size};
}

// Recordings of the live values: what recording at the fastest poll costs the tool, how fast a
// long recording opens and repaints, and the memory a million rows take.
#include "benchsupport.h"
#include "datalog/logformat.h"
#include "datalog/logrecorder.h"
#include "datalog/logwriter.h"
#include "datalog/plotdrawing.h"
#include "datalog/recordingreader.h"
#include "link/unitlink.h"
#include "link/unitdata.h"
#include "toolsetup/toolsetup.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace {
constexpr int RowsPerSecond = 50;  // a 20 ms poll
constexpr int HourRows = 180000;

// CPU time of this thread: what a piece of work cost, without the time it waited for a processor.
qint64 threadNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// A drive: lambda swinging, the throttle slowly opening and closing, a reply lost now and then.
QByteArray driveFile(int rows)
{
    QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
    bytes.reserve(rows * 52);
    LogRow row;
    for (int i = 0; i < rows; ++i) {
        row.ms = qint64(i) * 20;
        row.wallClock = QTime::fromMSecsSinceStartOfDay(int((36000000 + row.ms) % 86400000));
        row.hasValues = i % 1000 != 999;
        row.status = row.hasValues ? QString() : QStringLiteral("bez odpovědi");
        row.lambda = int(25 + 20 * std::sin(i / 12.0));
        row.tps = int(125 + 105 * std::sin(i / 2500.0));
        row.position = std::clamp(row.tps / 2 + 60 + (i % 7), 0, 255);
        row.range = row.tps < 60 ? QStringLiteral("Volnoběh") : QStringLiteral("Malý výkon");
        row.marker = i % 20000 == 10000 ? QString::number(i / 20000 + 1) : QString();
        LogFormat::appendRow(bytes, row);
    }
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

Figure recordingCost(const QString &folder)
{
    Figure cpu;
    cpu.label = QStringLiteral("h) recording at a 20 ms poll, CPU");
    cpu.unit = QStringLiteral("% of a core");
    cpu.goal = 0.2;

    BenchPort port;
    QuietPrompts prompts;
    UnitData data;
    ToolSetup setup;
    setup.setDataFolder(folder);
    UnitLink link(&port, &data);
    port.open({}, nullptr);
    link.transport.prepareFrames();
    LogRecorder recorder(&link.status, &link.transport, &link.measurement, &data, &setup);
    recorder.setLimits({LogRecorder::Limits().maxBytes, LogRecorder::Limits().maxMs, 0});
    QString error;
    if (!recorder.start(folder, &error)) {
        cpu.detail = error;
        return cpu;
    }
    // Half a second of rows as the replies bring them, then the flush that writes them; the flush
    // is the longest the recording holds the user-interface thread.
    std::vector<double> rowNs, flushNs;
    double longestHold = 0;
    for (int batch = 0; batch < 400; ++batch) {
        const qint64 start = threadNs();
        for (int i = 0; i < RowsPerSecond / 2; ++i) {
            emit link.status.liveValues({0, (batch + i) % 256, 0});
        }
        const qint64 flushStart = threadNs();
        recorder.flush();
        const qint64 end = threadNs();
        rowNs.push_back(double(flushStart - start) / (RowsPerSecond / 2));
        flushNs.push_back(double(end - flushStart));
        longestHold = std::max(longestHold, double(end - flushStart));
    }
    recorder.stop();
    const double row = median(rowNs);
    const double flush = median(flushNs);
    QByteArray halfSecond;
    LogRow sample;
    sample.hasValues = true;
    sample.wallClock = QTime::currentTime();
    for (int i = 0; i < RowsPerSecond / 2; ++i)
        LogFormat::appendRow(halfSecond, sample);
    // The disk sync, once a second on its own thread: its CPU counts too.
    std::vector<double> syncNs;
    {
        QFile synced(QDir(folder).filePath(QStringLiteral("sync.csv")));
        synced.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        for (int i = 0; i < 20; ++i) {
            synced.write(halfSecond + halfSecond);
            const qint64 start = threadNs();
            ::fdatasync(synced.handle());
            syncNs.push_back(double(threadNs() - start));
        }
    }
    const double sync = median(syncNs);
    // The next file of a long recording: the old one closed, the new one made with its header.
    for (int i = 0; i < 20; ++i) {
        LogWriter part;
        const qint64 start = threadNs();
        part.open(QDir(folder).filePath(QStringLiteral("part%1.csv").arg(i)), nullptr);
        part.close(nullptr);
        longestHold = std::max(longestHold, double(threadNs() - start));
    }
    cpu.value = (RowsPerSecond * row + 2 * flush + sync) / 1e9 * 100;
    cpu.measured = true;
    cpu.detail = QStringLiteral("%1 us a row, %2 us a flush formatting and writing 25 rows, %3 us a disk sync (medians); 50 rows, 2 "
                                "flushes and a sync a second; the longest the recording holds the UI thread at once "
                                "(a flush or the next file): %4 ms, goal < 1 ms; thread CPU time")
                     .arg(row / 1000, 0, 'f', 2)
                     .arg(flush / 1000, 0, 'f', 1)
                     .arg(sync / 1000, 0, 'f', 1)
                     .arg(longestHold / 1e6, 0, 'f', 3);
    return cpu;
}
}

std::vector<Figure> measureDatalog()
{
    QTemporaryDir folder;
    std::vector<Figure> figures{recordingCost(folder.path())};

    Figure open;
    open.label = QStringLiteral("i) opening a 180 000-row recording");
    open.unit = QStringLiteral("ms");
    open.goal = 1000;
    const QString hourPath = folder.filePath(QStringLiteral("hodina.csv"));
    const QByteArray hour = driveFile(HourRows);
    if (!writeFile(hourPath, hour)) {
        open.detail = QStringLiteral("the file could not be written");
        figures.push_back(open);
        return figures;
    }
    std::vector<double> openMs;
    RecordingRead read;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        read = readRecordingFile(hourPath);
        openMs.push_back(clock.nsecsElapsed() / 1e6);
    }
    open.measured = read.error.isEmpty() && read.recording.rows() == HourRows;
    open.value = median(openMs);
    open.detail = QStringLiteral("median of 3, %1 MB read and parsed, from the disk cache").arg(hour.size() / 1048576.0, 0, 'f', 1);
    figures.push_back(open);

    Figure paint;
    paint.label = QStringLiteral("j) full repaint of it, worst zoom");
    paint.unit = QStringLiteral("ms");
    paint.goal = 16;
    const Recording &r = read.recording;
    struct Zoom { const char *name; qint64 from, to; };
    const qint64 all = r.lastMs();
    const Zoom zooms[] = {{"all", 0, all}, {"1/10", all / 2, all / 2 + all / 10}, {"1/100", all / 3, all / 3 + all / 100},
                          {"10 s", 1000000, 1010000}, {"1 s", 2000000, 2001000}};
    // The worst zoom at a size, alone and with the same rows drawn over them as a comparison.
    const auto worstAt = [&](const QSize &size, QString *which) {
        QImage image(size, QImage::Format_RGB32);
        double worst = 0;
        for (const Zoom &z : zooms) {
            for (const bool compare : {false, true}) {
                PlotView view;
                view.fromMs = z.from;
                view.toMs = z.to;
                const PlotOverlay overlay{compare ? &r : nullptr, 777};
                std::vector<double> ms;
                for (int i = 0; i < 15; ++i) {
                    QPainter painter(&image);
                    QElapsedTimer clock;
                    clock.start();
                    PlotDrawing::paint(painter, size, r, view, overlay);
                    ms.push_back(clock.nsecsElapsed() / 1e6);
                }
                const double m = median(ms);
                if (m > worst) {
                    worst = m;
                    *which = QString::fromLatin1(z.name) + (compare ? QStringLiteral(" compared") : QString());
                }
            }
        }
        return worst;
    };
    QString pageWorst, largeWorst;
    paint.value = worstAt(QSize(620, 206), &pageWorst);
    const double large = worstAt(QSize(1600, 600), &largeWorst);
    paint.measured = true;
    paint.detail = QStringLiteral("the page's plot, 620 x 206, median of 15, worst of the zooms all, 1/10, 1/100, "
                                  "10 s and 1 s, each alone and with 180 000 rows more over it: %1; at 1600 x 600 "
                                  "the worst is %2 ms (%3)")
                       .arg(pageWorst)
                       .arg(large, 0, 'f', 1)
                       .arg(largeWorst);
    figures.push_back(paint);

    Figure memory;
    memory.label = QStringLiteral("k) memory for 1 000 000 rows, peak");
    memory.unit = QStringLiteral("MB");
    memory.goal = 150;
    const QString millionPath = folder.filePath(QStringLiteral("milion.csv"));
    {
        const QByteArray million = driveFile(1000000);
        if (!writeFile(millionPath, million)) {
            memory.detail = QStringLiteral("the file could not be written");
            figures.push_back(memory);
            return figures;
        }
    }
    read = RecordingRead();
    // The peak is counted from here: the process's high-water mark starts again.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 before = statusKb("VmRSS:");
    {
        const RecordingRead million = readRecordingFile(millionPath);
        const Recording::Blocks &blocks = million.recording.blocks();  // as the first paint makes them
        const qint64 peak = statusKb("VmHWM:");
        double blockBytes = 0;
        for (int level = 0; level < Recording::BlockLevels; ++level)
            blockBytes += blocks.whole[level].size() * (6 + 1 / 8.0);
        memory.measured = reset && before > 0 && million.recording.rows() == 1000000;
        memory.value = (peak - before) / 1024.0;
        memory.detail = QStringLiteral("peak while reading and drawing it (the file's bytes, the rows, the blocks), over "
                                       "what the process held before; kept: 13 bytes a row (%1 MB) and %2 MB of blocks")
                            .arg(million.recording.rows() * 13 / 1048576.0, 0, 'f', 1)
                            .arg(blockBytes / 1048576.0, 0, 'f', 1);
    }
    figures.push_back(memory);

    Figure foreign;
    foreign.label = QStringLiteral("l) refusing a 900 MB file of another kind");
    foreign.unit = QStringLiteral("ms");
    foreign.goal = 100;
    const QString videoPath = folder.filePath(QStringLiteral("jizda.mp4"));
    {
        QFile video(videoPath);
        if (!video.open(QIODevice::WriteOnly) || video.write(QByteArray("\0\0\0\x20" "ftypisom", 12)) != 12
            || !video.resize(900LL * 1024 * 1024)) {
            foreign.detail = QStringLiteral("the file could not be written");
            figures.push_back(foreign);
            return figures;
        }
    }
    QFile clearAgain(QStringLiteral("/proc/self/clear_refs"));
    const bool resetAgain = clearAgain.open(QIODevice::WriteOnly) && clearAgain.write("5") == 1;
    clearAgain.close();
    const qint64 held = statusKb("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    const RecordingRead refused = readRecordingFile(videoPath);
    foreign.value = clock.nsecsElapsed() / 1e6;
    foreign.measured = refused.errorLine == 1 && resetAgain && held > 0;
    foreign.detail = QStringLiteral("a sparse file, from the disk cache; peak memory over what the process held before: %1 MB")
                         .arg((statusKb("VmHWM:") - held) / 1024.0, 0, 'f', 1);
    figures.push_back(foreign);
    return figures;
}

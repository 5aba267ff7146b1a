// The link on a line with sustained noise, and how long it keeps the event loop from turning:
// in-process, a stand-in for the unit answering on the event loop at line speed.
#include "benchsupport.h"
#include "link/unitlink.h"
#include "link/unitdata.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr double ByteMs = 10.0 / 9.6;  // one byte at 9600 baud, 8N1

// The line: what the tool writes goes to the stand-in, what the stand-in sends arrives later.
class BenchLine : public SerialIo
{
public:
    bool open(const QString &, EComPort *) override { return m_open = true; }
    bool isOpen() const override { return m_open; }
    int write(const QByteArray &bytes) override
    {
        if (!m_open)
            return 0;
        writes.push_back({bytes, clock.nsecsElapsed()});
        if (onWrite)
            onWrite(bytes);
        return int(bytes.size());
    }
    QByteArray read(int count) override
    {
        const QByteArray out = m_in.left(count);
        m_in.remove(0, out.size());
        return out;
    }
    void clearBuffer(bool input, bool) override
    {
        if (input)
            m_in.clear();
    }
    void setDtr(bool) override {}
    void close() override { m_open = false; }

    void arriveIn(int ms, const QByteArray &bytes)
    {
        QTimer::singleShot(std::max(ms, 0), Qt::PreciseTimer, this, [this, bytes] {
            m_in += bytes;
            emit rxChar(int(m_in.size()));
        });
    }

    struct Write { QByteArray bytes; qint64 atNs; };
    std::vector<Write> writes;
    std::function<void(const QByteArray &)> onWrite;
    QElapsedTimer clock;

private:
    QByteArray m_in;
    bool m_open = false;
};

// How long this thread has waited for a processor so far (ns), from the scheduler; -1 if unknown.
qint64 runQueueWaitNs()
{
    QFile file(QStringLiteral("/proc/thread-self/schedstat"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    return fields.size() >= 2 ? fields.at(1).toLongLong() : -1;
}

// Notes the longest time the event loop did not turn while it runs. On a machine shared with
// other work the thread also waits for a processor; that wait is no stall of the tool's making
// and is taken off (the longest raw gap is kept beside it).
class StallWatch : public QObject
{
public:
    StallWatch()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(1);
        connect(&m_tick, &QTimer::timeout, this, [this] {
            const double gapMs = m_since.nsecsElapsed() / 1e6;
            const qint64 wait = runQueueWaitNs();
            const double waitedMs = (wait >= 0 && m_wait >= 0) ? (wait - m_wait) / 1e6 : 0;
            longestRawMs = std::max(longestRawMs, gapMs);
            longestMs = std::max(longestMs, gapMs - waitedMs);
            m_wait = wait;
            m_since.restart();
        });
        reset();
        m_tick.start();
    }
    void reset()
    {
        longestMs = longestRawMs = 0;
        m_wait = runQueueWaitNs();
        m_since.start();
    }
    double longestMs = 0;
    double longestRawMs = 0;

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_wait = -1;
};

void runFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

QByteArray statusReply(int tps) { return QByteArray::fromHex("02") + char(tps) + QByteArray::fromHex("1e640003"); }

struct Rig
{
    BenchLine line;
    QuietPrompts prompts;
    UnitData data;
    UnitLink link{&line, &data};
    QList<int> taken;  // TPS values of the status replies used, in order

    Rig()
    {
        line.clock.start();
        line.open(QString(), nullptr);
        link.transport.prepareFrames();
        QObject::connect(&link.status, &StatusPoll::liveValues, [this](const LiveValues &values) { taken << values.tps; });
    }
};

enum class Disturbance { StrayByte, Stall, Burst };

// Polls at the default interval; the stand-in answers each poll 3 ms later, every second answer
// disturbed (or, for the burst, 2 kB of noise first).
Figure measureNoise(Disturbance kind, const QString &label)
{
    constexpr int Polls = 16;
    Rig rig;
    QSet<int> clean, disturbed;
    int answer = 0;
    bool burstOver = kind != Disturbance::Burst;
    rig.line.onWrite = [&](const QByteArray &frame) {
        if (frame != QByteArray::fromHex("020f03") || !burstOver)
            return;
        const int tps = 10 + answer;
        const QByteArray reply = statusReply(tps);
        const bool disturb = kind != Disturbance::Burst && answer % 2 == 1;
        ++answer;
        const int lineMs = int(reply.size() * ByteMs) + 1;
        if (!disturb) {
            clean << tps;
            rig.line.arriveIn(3 + lineMs, reply);
        } else if (kind == Disturbance::StrayByte) {
            disturbed << tps;
            rig.line.arriveIn(2, QByteArray(1, char(0x55)));
            rig.line.arriveIn(4 + lineMs, reply);
        } else {
            disturbed << tps;
            rig.line.arriveIn(6, reply.left(3));
            rig.line.arriveIn(256 + lineMs, reply.mid(3));
        }
    };
    if (kind == Disturbance::Burst) {
        // 2048 bytes at line speed, in the 16-byte pieces an adapter hands over.
        QRandomGenerator noise(7);
        for (int at = 0; at < 2048; at += 16) {
            QByteArray piece(16, '\0');
            for (char &c : piece)
                c = char(noise.bounded(256));
            rig.line.arriveIn(int(at * ByteMs), piece);
        }
        QTimer::singleShot(int(2048 * ByteMs), [&burstOver] { burstOver = true; });
    }
    rig.link.transport.startPolling();
    runFor(Polls * LinkTransport::DefaultPollMs + (kind == Disturbance::Burst ? 2200 : 0));
    rig.link.transport.stopPolling();
    runFor(400);

    int cleanUsed = 0, disturbedUsed = 0;
    for (int tps : rig.taken) {
        cleanUsed += clean.contains(tps);
        disturbedUsed += disturbed.contains(tps);
    }
    Figure f;
    f.label = label;
    f.unit = QStringLiteral("lost");
    f.goal = 1;
    f.measured = !clean.isEmpty();
    f.value = clean.size() - cleanUsed;
    f.detail = QStringLiteral("undisturbed replies used: %1 of %2").arg(cleanUsed).arg(clean.size());
    if (!disturbed.isEmpty())
        f.detail += QStringLiteral("; disturbed replies used: %1 of %2").arg(disturbedUsed).arg(disturbed.size());
    if (kind == Disturbance::Burst)
        f.detail += QStringLiteral("; first clean reply after the burst %1")
                        .arg(!rig.taken.isEmpty() && rig.taken.first() == 10 ? QStringLiteral("used")
                                                                              : QStringLiteral("LOST"));
    return f;
}

// A whole block write with its read-back, answered at once: the longest stall of the event
// loop, and the chain's time from code 238 to the read-back request against wire plus pauses.
// Three runs: the longest stall of all of them counts, and the chain's best run, as timers only
// ever come late on a busy machine.
std::vector<Figure> measureBlockWrite()
{
    Figure stall;
    stall.label = QStringLiteral("e) longest event-loop stall, block write");
    stall.unit = QStringLiteral("ms");
    stall.goal = 20;
    Figure chain;
    chain.label = QStringLiteral("g) block write chain over wire + pauses");
    chain.unit = QStringLiteral("%");
    chain.goal = 5;
    // 50 ms to the block, the block on the wire, and 100 ms after it and after each of the first
    // three level frames.
    const double expectedMs = BlockWrite::BlockDelayMs + 34 * ByteMs + 4 * LinkTransport::FramePauseMs + 3 * 5 * ByteMs;
    QStringList stalls, chains;
    for (int run = 0; run < 3; ++run) {
        Rig rig;
        rig.data.set().markBlockValid();
        rig.data.set().setLevels(rig.data.set().levelBytes());  // levels from the unit, so the chain carries them
        rig.line.onWrite = [&rig](const QByteArray &frame) {
            if (frame == QByteArray::fromHex("02ff03"))
                rig.line.arriveIn(3 + 36, rig.data.set().paramBytes());
            else if (frame == QByteArray::fromHex("02aa03"))
                rig.line.arriveIn(3 + 11, rig.data.set().levelBytes());
        };
        QString result;
        QObject::connect(&rig.link.transport, &LinkTransport::linkMessage, [&result](const QString &text) { result = text; });
        StallWatch watch;
        runFor(50);
        watch.reset();
        rig.link.blockWrite.writeBlock();
        runFor(900);
        if (result != QStringLiteral("Uložení OK")) {
            stall.detail = chain.detail = QStringLiteral("the write ended with \"%1\"").arg(result);
            return {stall, chain};
        }
        const auto &w = rig.line.writes;
        if (w.size() < 7 || w[6].bytes != QByteArray::fromHex("02ff03")) {
            chain.detail = QStringLiteral("the frames of the write did not go out as expected");
            return {stall, chain};
        }
        const double measuredMs = (w[6].atNs - w[0].atNs) / 1e6;
        const double off = std::abs(measuredMs - expectedMs) / expectedMs * 100;
        stall.value = std::max(stall.value, watch.longestMs);
        chain.value = run == 0 ? off : std::min(chain.value, off);
        stalls << QStringLiteral("%1 (raw %2)").arg(watch.longestMs, 0, 'f', 1).arg(watch.longestRawMs, 0, 'f', 1);
        chains << QString::number(measuredMs, 'f', 1);
    }
    stall.measured = chain.measured = true;
    stall.detail = QStringLiteral("1 ms timer during code 238, block, four levels, read-back and level check; "
                                  "runs: %1 ms (raw: with the wait for a processor)")
                       .arg(stalls.join(QStringLiteral(", ")));
    chain.detail = QStringLiteral("code 238 to the read-back request against %1 ms; runs: %2 ms")
                       .arg(expectedMs, 0, 'f', 1)
                       .arg(chains.join(QStringLiteral(", ")));
    return {stall, chain};
}

// A status reply that trickles in a byte every 150 ms.
Figure measureTrickle()
{
    Rig rig;
    const QByteArray reply = statusReply(99);
    StallWatch watch;
    runFor(50);
    watch.reset();
    for (int i = 0; i < reply.size(); ++i)
        rig.line.arriveIn(150 * i, reply.mid(i, 1));
    runFor(150 * int(reply.size()) + 100);
    Figure f;
    f.label = QStringLiteral("f) longest event-loop stall, trickled reply");
    f.unit = QStringLiteral("ms");
    f.goal = 20;
    f.value = watch.longestMs;
    f.measured = rig.taken == QList<int>{99};
    f.detail = f.measured ? QStringLiteral("6 bytes 150 ms apart, the reply used; raw %1 ms").arg(watch.longestRawMs, 0, 'f', 1)
                          : QStringLiteral("the trickled reply was not used");
    return f;
}

}  // namespace

std::vector<Figure> measureLink()
{
    std::vector<Figure> figures;
    figures.push_back(measureNoise(Disturbance::StrayByte, QStringLiteral("b) stray byte before every second reply")));
    figures.push_back(measureNoise(Disturbance::Stall, QStringLiteral("c) 250 ms stall in every second reply")));
    figures.push_back(measureNoise(Disturbance::Burst, QStringLiteral("d) 2 kB burst, then clean replies")));
    const std::vector<Figure> write = measureBlockWrite();
    figures.push_back(write.at(0));
    figures.push_back(measureTrickle());
    figures.push_back(write.at(1));
    return figures;
}

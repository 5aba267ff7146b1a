// Fuzzes the receive path of the unit link: whatever the line brings, cut into whatever pieces
// and met in whatever link state, between whatever requests of the pages and whatever timer
// running out, the link must not crash, must not block, must keep no more than a frame's bytes
// waiting, must never hand on a frame that did not come whole off the line, and must never put a
// request for a block, levels or the diagnostic record on the wire while another answer is due.
//
// Input layout:
//   byte 0    starting link state: value % 10 picks 0, 1, 4, 5, 6, 10, 20, 21, 170 or 99 (a state
//             nothing expects)
//   byte 1    flags, see Flag below
//   then      steps, until the data runs out: [action] [length] [length % 128 bytes]
//             An action below OpCount first runs that operation (some take one or two more
//             bytes after the action byte); the bytes then arrive at the port in one piece and
//             the receive notification runs, as it does for every arrival on the real port.
//             A step whose action is OpCount or more is a plain arrival; with the flags below,
//             plain arrivals may also come while a frame is being written.
#include "link/frames.h"
#include "link/prompts.h"
#include <QColor>
#include "link/serialio.h"
#include "link/unitdata.h"
#include "../common/testlink.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

[[noreturn]] void fault(const char *what)
{
    std::fprintf(stderr, "velkor_fuzz_receive: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void check(bool condition, const char *what)
{
    if (!condition)
        fault(what);
}

constexpr int StartStates[10] = {0, 1, 4, 5, 6, 10, 20, 21, 170, 99};

enum Flag : std::uint8_t {
    Measuring = 0x01,
    // The measurement ends on a code with the top bit set; otherwise it goes on forever.
    MeasurementEnds = 0x02,
    // The oscilloscope runs two channels: after the first channel's sample the waiting bytes stay.
    TwoChannels = 0x04,
    // 0x08 is no longer used: reads never wait.
    // Bytes come while a frame is handed to the port; they are announced from the event loop
    // once the sender has returned, never inside it.
    ArrivalsWhileWriting = 0x10,
};

enum Op : std::uint8_t {
    OpReadBlock,
    OpWriteBlock,
    OpRequestLevels,
    OpWriteLevels,
    OpRequestDiagnostics,
    OpSaveParamByte,        // + address, value: a tuning-page "Ulož" with the version byte
    OpCommandWithoutAnswer, // + code pick
    OpReturnToPolling,
    OpSendAux,              // + address
    OpSendService,          // + address, value
    OpSetState,             // + state pick: what the cut-off and oscilloscope pages do on entry
    OpToggleMeasuring,
    OpEditBlock,            // + index, value: a page edits a parameter before a save
    OpEditLevel,            // + index, value
    OpPrepareFrames,
    OpClosePort,
    OpReopenPort,
    // Time passes until one of the link timers runs out (only a running timer can).
    OpPollFires,
    OpBlockDelayFires,
    OpReplyGuardFires,
    OpMessageTimerFires,
    OpDiagMessageFires,
    OpCutOffReaderFires,
    OpScopeTimerFires,
    OpChainPauseFires,
    OpLineQuietFires,
    OpCount
};

// The commands the pages send without waiting for an answer.
constexpr quint8 PlainCommands[] = {UnitCode::Status, UnitCode::RamToEeprom, UnitCode::FactoryReset,
                                    UnitCode::EepromToRam, UnitCode::MeasureIdle, UnitCode::MeasureRaised,
                                    UnitCode::ClearErrors};

bool isKnownCommand(quint8 code)
{
    switch (code) {
    case UnitCode::Status:
    case UnitCode::ReadBlock:
    case UnitCode::WriteBlock:
    case UnitCode::RamToEeprom:
    case UnitCode::FactoryReset:
    case UnitCode::EepromToRam:
    case UnitCode::ReadLevels:
    case UnitCode::MeasureIdle:
    case UnitCode::MeasureRaised:
    case UnitCode::ReadDiagnostics:
    case UnitCode::ClearErrors:
        return true;
    }
    return false;
}

// The states the receive handler may leave behind: a block write waiting for its second half
// (5) drops what arrives and stays, and no unknown value may survive an arrival.
bool isSettledState(int state)
{
    switch (state) {
    case StatusPoll::State:
    case BlockRead::State:
    case DiagnosticsExchange::State:
    case BlockWrite::PendingState:
    case CutOffReader::State:
    case ScopeRecording::State:
    case BlockWrite::CheckBlockState:
    case BlockWrite::CheckLevelsState:
    case LevelExchange::State:
        return true;
    }
    return false;
}

class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray take(std::size_t count)
    {
        count = std::min(count, m_size - m_pos);
        const QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(count));
        m_pos += count;
        return out;
    }
    // A plain arrival is next: it may come while a read or a write waits.
    bool arrivalNext() const { return m_pos < m_size && m_data[m_pos] >= OpCount; }
    QByteArray arrival()
    {
        byte();  // the action byte, which only marked the step as an arrival
        return piece();
    }
    QByteArray piece() { return take(byte() % 128u); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A port that never waits: a read returns what has come, a write returns at once. It announces
// bytes as the real port does: never nested in another announcement, and bytes that came while a
// frame was handed over only after the sender has returned. It remembers everything that came,
// so what the link hands on can be checked against the line.
class FuzzPort : public SerialIo
{
public:
    FuzzPort(Input &input, std::uint8_t flags) : m_input(input), m_arrivalsWhileWriting(flags & ArrivalsWhileWriting) {}

    bool open(const QString &, EComPort *) override
    {
        m_open = true;
        return true;
    }
    bool isOpen() const override { return m_open; }

    int write(const QByteArray &bytes) override
    {
        if (!m_open)
            return 0;
        checkFrame(bytes);
        if (m_arrivalsWhileWriting && m_input.arrivalNext()) {
            const QByteArray came = m_input.arrival();
            m_inbound += came;
            line += came;
            if (!came.isEmpty())
                m_announceLater = true;
        }
        return int(bytes.size());
    }

    QByteArray read(int count) override
    {
        check(count > 0, "read of nothing");
        if (!m_open)
            return {};
        const QByteArray out = m_inbound.left(count);
        m_inbound.remove(0, out.size());
        return out;
    }

    void clearBuffer(bool input, bool) override
    {
        if (input)
            m_inbound.clear();
    }
    void setDtr(bool) override {}
    void close() override
    {
        if (!m_open)
            return;
        m_open = false;
        m_inbound.clear();
        emit afterClose();
    }

    // Bytes come in from the line. A closed port hears nothing, and an empty arrival is none.
    void arrive(const QByteArray &bytes)
    {
        if (!m_open || bytes.isEmpty())
            return;
        m_inbound += bytes;
        line += bytes;
        if (m_notifying)
            return;  // they wait for the handler that is running, as on the real port
        notify();
    }

    // The event loop turns: bytes that came while a frame was handed over are announced now.
    void announceDeferred()
    {
        if (!m_announceLater || m_notifying)
            return;
        m_announceLater = false;
        if (m_open && !m_inbound.isEmpty())
            notify();
    }

    // Everything that came off the line, in order.
    QByteArray line;
    int notifications = 0;
    // Set by the harness: the link whose due answers a new request must respect.
    const LinkTransport *link = nullptr;

private:
    void notify()
    {
        m_notifying = true;
        ++notifications;
        emit rxChar(int(m_inbound.size()));
        m_notifying = false;
    }

    void checkFrame(const QByteArray &b) const
    {
        const auto at = [&b](int i) { return quint8(b.at(i)); };
        switch (b.size()) {
        case 3:
            check(at(0) == 0x02 && at(2) == 0x03, "command frame without its framing bytes");
            check(isKnownCommand(at(1)), "command frame with a code the tool never sends");
            if (at(1) == UnitCode::ReadBlock || at(1) == UnitCode::ReadLevels || at(1) == UnitCode::ReadDiagnostics)
                check(!link || !link->answerDue(), "request sent while an earlier answer was due");
            break;
        case 5:
            check(at(0) == 0x02 && at(4) == 0x03, "five-byte frame without its framing bytes");
            check(at(1) == 0xB4 || at(1) == 0x14 || (at(1) == 0x24 && at(3) == 0x00),
                  "five-byte frame that is no write, service or aux frame");
            break;
        case UnitData::ParamBlockSize:
            check(at(0) == 0x01 && at(33) == 0x03, "parameter block sent without its framing bytes");
            break;
        default:
            fault("frame of a length the tool never sends");
        }
    }

    Input &m_input;
    QByteArray m_inbound;
    bool m_open = false;
    bool m_notifying = false;
    bool m_announceLater = false;
    bool m_arrivalsWhileWriting;
};

// The frame came whole off the line at some point.
bool cameOffTheLine(const FuzzPort &port, const QByteArray &frame)
{
    return port.line.contains(frame);
}

class QuietPrompts : public Prompts
{
public:
    void beep() override { ++beeps; }
    void message(const QString &, const QString &) override { ++messages; }
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QColor pickColour(const QColor &) override { return {}; }

    int beeps = 0;
    int messages = 0;
};

// A timer runs out: a one-shot timer stops itself before its handler, as LinkTimer does.
void runOut(LinkTimer &timer, bool oneShot)
{
    if (!timer.isEnabled())
        return;
    if (oneShot)
        timer.disable();
    emit timer.fired();
}

void runOp(Op op, Input &in, TestLink &link, UnitData &data, FuzzPort &port)
{
    switch (op) {
    case OpReadBlock: link.blockRead.readBlock(); break;
    case OpWriteBlock: link.blockWrite.writeBlock(); break;
    case OpRequestLevels: link.levels.requestLevels(); break;
    case OpWriteLevels: link.levels.writeLevels(); break;
    case OpRequestDiagnostics: link.diagnostics.requestDiagnostics(); break;
    case OpSaveParamByte: {
        const int address = in.byte();
        link.commands.sendChain(
            {{link.transport.writeFrame(address, in.byte()), 0}, {link.transport.writeFrame(63, data.paramBlock[16]), 10}});
        break;
    }
    case OpCommandWithoutAnswer:
        link.commands.commandWithoutAnswer(PlainCommands[in.byte() % std::size(PlainCommands)]);
        break;
    case OpReturnToPolling: link.transport.returnToPolling(); break;
    case OpSendAux: link.transport.send(link.transport.auxFrame(in.byte()), Reply::AuxSize); break;
    case OpSendService: {
        const int address = in.byte();
        link.transport.send(link.transport.serviceFrame(address, in.byte()));
        break;
    }
    case OpSetState: link.transport.setLinkState(StartStates[in.byte() % std::size(StartStates)]); break;
    case OpToggleMeasuring: data.measuring = !data.measuring; break;
    case OpEditBlock: {
        // Pages edit the parameter bytes, never the framing bytes around them.
        const std::size_t index = 1 + in.byte() % (UnitData::ParamBlockSize - 2);
        data.paramBlock[index] = in.byte();
        break;
    }
    case OpEditLevel: {
        const std::size_t index = 1 + in.byte() % (UnitData::LevelBlockSize - 2);
        data.levelBlock[index] = in.byte();
        break;
    }
    case OpPrepareFrames: link.transport.prepareFrames(); break;
    case OpClosePort: port.close(); break;
    case OpReopenPort: port.open(QStringLiteral("fuzz"), nullptr); break;
    case OpPollFires: runOut(link.transport.poll(), false); break;
    case OpBlockDelayFires: runOut(link.transport.blockDelay(), true); break;
    case OpReplyGuardFires: runOut(link.levels.replyGuard(), true); break;
    case OpMessageTimerFires: runOut(link.transport.messageTimer(), true); break;
    case OpDiagMessageFires: runOut(link.diagnostics.diagMessageTimer(), true); break;
    case OpCutOffReaderFires: runOut(link.cutOff.cutOffReader(), false); break;
    case OpScopeTimerFires: runOut(link.recording.scopeTimer(), false); break;
    case OpChainPauseFires: runOut(link.transport.chainPause(), true); break;
    case OpLineQuietFires: runOut(link.transport.lineQuiet(), true); break;
    case OpCount: break;
    }
}

QCoreApplication *application()
{
    static int argc = 1;
    static char name[] = "velkor_fuzz_receive";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    return app;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    Input in(bytes, size);
    const int startState = StartStates[in.byte() % std::size(StartStates)];
    const std::uint8_t flags = in.byte();

    FuzzPort port(in, flags);
    QuietPrompts prompts;
    UnitData data;
    TestLink link(&port, &data, &prompts);
    port.link = &link.transport;
    link.transport.prepareFrames();
    port.open(QStringLiteral("fuzz"), nullptr);
    data.measuring = flags & Measuring;
    link.transport.setLinkState(startState);

    unsigned sink = 0;
    QObject::connect(&link.measurement, &MeasurementExchange::measurementCodeReceived, [&sink, &link, flags](quint8 code) {
        sink += code;
        if ((flags & MeasurementEnds) && code >= 0x80)
            link.measurement.endMeasurement(false);
    });
    // A recording hands values on only while it runs.
    if (startState == ScopeRecording::State)
        link.recording.startRecording(10, 11, flags & TwoChannels);
    QObject::connect(&link.recording, &ScopeRecording::recordedValue, [&sink](int, int index, int value) {
        check(index >= 0 && index < ScopeRecording::MaxSamples, "sample index out of the recording's room");
        sink += unsigned(value);
    });

    // What the link hands on must be a framed reply that came whole off the line.
    QObject::connect(&data, &UnitData::liveValuesChanged, [&] {
        bool found = false;
        for (qsizetype at = 0; !found && at + Reply::StatusSize <= port.line.size(); ++at) {
            const QByteArray r = port.line.mid(at, Reply::StatusSize);
            found = Reply::framed(r, Reply::StatusSize, 0x02, 0x03) && data.tpsValue == quint8(r.at(1))
                && data.lambdaValue == quint8(r.at(2)) && data.positionValue == quint8(r.at(3));
        }
        check(found, "live values that came in no status reply");
    });
    QObject::connect(&link.blockRead, &BlockRead::blockReceived, [&](const QByteArray &block) {
        check(UnitData::isParamBlock(block) && cameOffTheLine(port, block), "parameter block handed on unchecked");
    });
    QObject::connect(&link.levels, &LevelExchange::levelsReceived, [&] {
        const QByteArray stored(reinterpret_cast<const char *>(data.levelBlock.data()), UnitData::LevelBlockSize);
        check(UnitData::isLevelBlock(stored) && cameOffTheLine(port, stored), "level block stored unchecked");
    });
    QObject::connect(&link.levels, &LevelExchange::levelsReset, [&] {
        // Levels from a unit stay; only a tool without them holds the placeholders.
        check(data.levelsValid
                  || (data.levelBlock[1] == 10 && data.levelBlock[2] == 60 && data.levelBlock[3] == 10
                      && data.levelBlock[4] == 60),
              "levels reset to something else than 10, 60, 10, 60");
    });
    QObject::connect(&link.diagnostics, &DiagnosticsExchange::diagnosticsReceived, [&](const QByteArray &record) {
        check(Reply::framed(record, Reply::BlockSize, 0x02, 0x03) && cameOffTheLine(port, record),
              "diagnostic record handed on unchecked");
    });
    QObject::connect(&link.cutOff, &CutOffReader::auxValueReceived, [&](int value) {
        check(value >= 0 && value <= 255, "aux value out of byte range");
        sink += unsigned(value);
    });

    // Every receive notification that ran must leave a state the next one can handle.
    const auto settled = [&](auto &&step) {
        const int before = port.notifications;
        step();
        if (port.notifications != before) {
            check(isSettledState(link.transport.linkState()), "receive handler left a state it cannot handle");
            check(link.transport.bytesWaiting() < Reply::BlockSize, "more bytes kept waiting than any frame has");
        }
    };
    while (!in.atEnd()) {
        const std::uint8_t action = in.byte();
        if (action < OpCount) {
            runOp(Op(action), in, link, data, port);
            settled([&] { port.announceDeferred(); });
        }
        settled([&] { port.arrive(in.piece()); });
        settled([&] { port.announceDeferred(); });
    }

    // Keeps the handlers' work from being optimised away.
    volatile unsigned keep = sink;
    (void)keep;
    return 0;
}

// Fuzzes the unit link, the transport and every exchange on it: whatever the line brings, cut into
// whatever pieces and met in whatever link state, between whatever operations of the exchanges and
// whatever timer running out, the link must not crash, must not block, must keep no more than a
// frame's bytes waiting, must never hand on a frame that did not come whole off the line, must
// never put a request for a block, levels or the diagnostic record on the wire while another
// answer is due, must never run two readers at once, must confirm a single save only by the values
// it wrote coming back and must end each save's read-back once. Time is the link's stepped clock:
// a timer that runs out moves it on by the timer's interval first, so chains get past their pauses.
//
// Input layout:
//   byte 0    starting link state: value % 11 picks 0, 1, 4, 5, 6, 10, 11, 20, 21, 170 or 99 (a
//             state nothing expects)
//   byte 1    flags, see Flag below
//   then      steps, until the data runs out: [action] [length] [length % 128 bytes]
//             An action below OpCount first runs that operation (some take more bytes after the
//             action byte, as the Op list says); the bytes then arrive at the port in one piece and the
//             receive notification runs, as it does for every arrival on the real port. A step
//             whose action is OpCount or more is a plain arrival; with ArrivalsWhileWriting, plain
//             arrivals may also come while a frame is being written.
// The seeds in seeds-receive/ are written by make_receive_seeds.py from this file's Op list: run
// it again whenever that list changes.
#include "link/unitlink.h"
#include "linkwords/linkwords.h"
#include "link/frames.h"
#include "link/linkclock.h"
#include "link/serialio.h"
#include "link/unitdata.h"
#include <QCoreApplication>
#include <QDate>
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

constexpr int StartStates[11] = {0, 1, 4, 5, 6, 10, 11, 20, 21, 170, 99};

enum Flag : std::uint8_t {
    Measuring = 0x01,
    // The measurement ends on a code with the top bit set (bit 0 says whether the poll goes on);
    // otherwise it goes on forever.
    MeasurementEnds = 0x02,
    // A recording started by the start state runs two channels.
    TwoChannels = 0x04,
    // 0x08 is not read: the question before writing a block nobody read belongs to the page, not
    // the link. Kept free so the corpus's inputs mean what they meant.
    // Bytes come while a frame is handed to the port; they are announced from the event loop
    // once the sender has returned, never inside it.
    ArrivalsWhileWriting = 0x10,
};

// One operation for every public operation and timer of every exchange. Bytes an operation takes
// follow its action byte.
enum Op : std::uint8_t {
    // The transport and the port.
    OpSetState,           // + state pick: what a test or a page entry may leave
    OpReturnToPolling,
    OpPrepareFrames,
    OpSendAux,            // + address: a single frame beside the exchanges
    OpSendService,        // + address, value
    OpClosePort,
    OpReopenPort,
    OpTimePasses,         // + ms: time goes by with no timer running out
    OpPollFires,
    OpHoldEnds,
    OpMessageTimerFires,
    OpChainPauseFires,
    OpLineQuietFires,
    // Commands the unit does not answer.
    OpCommandWithoutAnswer,  // + code pick (top bit: RAM->EEPROM after a byte write)
    OpSaveParamByte,         // + address, value: a tuning-page "Ulož" with the version byte
    // Levels, block read and block write.
    OpRequestLevels,
    OpWriteLevels,
    OpWriteLevelsAndPoll,
    OpLevelGuardFires,
    OpReadBlock,
    OpWriteBlock,
    OpWriteGuardFires,
    // The emulation measurement.
    OpStartMeasurement,  // + idle or raised
    OpStopMeasurement,
    OpEndMeasurement,    // + whether the poll goes on
    // The diagnostic record.
    OpRequestDiagnostics,
    OpClearErrors,
    OpStoreService,      // + day, month, year, tachometer byte
    OpDiagGuardFires,
    OpDiagMessageFires,
    // The cut-off reader.
    OpStartCutOff,       // + address
    OpSetCutOffAddress,  // + address
    OpStopCutOff,
    OpWriteCutOff,       // + address, value
    OpCutOffReaderFires,
    OpCutOffSilenceFires,
    // The oscilloscope's recording.
    OpStartRecording,        // + channel 1, channel 2, two channels
    OpSetRecordingChannels,  // + channel 1, channel 2, two channels
    OpStopRecording,
    OpScopeTimerFires,
    OpScopeSilenceFires,
    OpRecordingRuns,     // + count: count * 16 requests, each answered at once
    // What the pages do to the shared data.
    OpToggleMeasuring,
    OpEditBlock,         // + index, value
    OpEditLevel,         // + index, value
    // The read-back of a single save. At the end of the list, so that a corpus kept between runs
    // still means what it meant.
    OpCheckMemory,       // + count pick, then address and value of each of 1 to 4 bytes
    OpMemoryGuardFires,
    OpCount
};

// The commands the pages send without waiting for an answer.
constexpr quint8 PlainCommands[] = {UnitCode::RamToEeprom, UnitCode::FactoryReset, UnitCode::EepromToRam,
                                    UnitCode::MeasureIdle, UnitCode::MeasureRaised, UnitCode::ClearErrors};

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
bool isSettledState(LinkState state)
{
    switch (state) {
    case LinkState::StatusReply:
    case LinkState::Block:
    case LinkState::DiagnosticRecord:
    case LinkState::SilenceAfterWriteCode:
    case LinkState::CutOffByte:
    case LinkState::ScopeSample:
    case LinkState::MemoryByte:
    case LinkState::WrittenBlock:
    case LinkState::WrittenLevels:
    case LinkState::Levels:
        return true;
    default:
        break;
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
    // A plain arrival is next: it may come while a frame is written.
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
    // Set by the harness: the transport whose due answers a new request must respect.
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

// Everything one input runs on.
struct Rig
{
    Input in;
    std::uint8_t flags;
    FuzzPort port;
    UnitData data;
    SteppedClock clock;
    UnitLink link;
    unsigned sink = 0;

    Rig(const std::uint8_t *bytes, std::size_t size, int startState)
        : in(bytes, size), flags(in.byte()), port(in, flags),
          link(&port, &data, &clock)
    {
        port.link = &link.transport;
        announceLinkOutcomes(link);
        link.transport.prepareFrames();
        port.open(QStringLiteral("fuzz"), nullptr);
        link.status.setMeasuring(flags & Measuring);
        // As after start-up: the poll runs.
        link.transport.startPolling();
        link.transport.setLinkState(LinkState(startState));
    }

    // A timer runs out: time moves on by its interval, and a one-shot timer stops itself before
    // its handler, as LinkTimer does. Only a running timer can run out.
    void runOut(LinkTimer &timer)
    {
        if (!timer.isEnabled())
            return;
        clock.advanceMs(timer.interval());
        if (timer.oneShot())
            timer.disable();
        emit timer.fired();
    }

    void recordingRuns(int requests)
    {
        ScopeRecording &recording = link.recording;
        for (int i = 0; i < requests && recording.scopeTimer().isEnabled(); ++i) {
            runOut(recording.scopeTimer());
            port.arrive(bytesOf(0x02, quint8(i), 0x03));
        }
    }
    static QByteArray bytesOf(quint8 a, quint8 b, quint8 c)
    {
        const char bytes[] = {char(a), char(b), char(c)};
        return QByteArray(bytes, 3);
    }

    void run(Op op);
    void watch();
};

void Rig::run(Op op)
{
    LinkTransport &t = link.transport;
    switch (op) {
    case OpSetState: t.setLinkState(LinkState(StartStates[in.byte() % std::size(StartStates)])); break;
    case OpReturnToPolling: t.returnToPolling(); break;
    case OpPrepareFrames: t.prepareFrames(); break;
    case OpSendAux: t.send(t.auxFrame(in.byte()), Reply::AuxSize); break;
    case OpSendService: {
        const int address = in.byte();
        t.send(t.serviceFrame(address, in.byte()));
        break;
    }
    case OpClosePort: port.close(); break;
    case OpReopenPort: port.open(QStringLiteral("fuzz"), nullptr); break;
    case OpTimePasses: clock.advanceMs(in.byte() * 10); break;
    // The fuzzer plays the poll's timer running out; a timer that repeats is never switched by it.
    case OpPollFires: runOut(const_cast<LinkTimer &>(t.pollTimer())); break;
    case OpHoldEnds: runOut(t.blockDelay()); break;
    case OpMessageTimerFires: runOut(t.messageTimer()); break;
    case OpChainPauseFires: runOut(t.chainPause()); break;
    case OpLineQuietFires: runOut(t.lineQuiet()); break;
    case OpCommandWithoutAnswer: {
        CommandExchange &c = link.commands;
        const std::uint8_t pick = in.byte();
        // RAM->EEPROM as the tuning page sends it: the status byte first, once the port is known open.
        if (pick & 0x80) {
            if (c.requirePort())
                c.commandWithoutAnswer(UnitCode::RamToEeprom, c.writeFrame(UnitAddress::fromBlockIndex(1), pick));
        } else {
            c.commandWithoutAnswer(PlainCommands[pick % std::size(PlainCommands)]);
        }
        break;
    }
    case OpSaveParamByte: {
        CommandExchange &c = link.commands;
        const int address = in.byte();
        c.sendChain({{c.writeFrame(address, in.byte()), 0}, {c.writeFrame(63, data.set().paramByte(16)), 10}},
                    [this] { ++sink; });
        break;
    }
    case OpRequestLevels: link.levels.requestLevels(); break;
    case OpWriteLevels: link.levels.writeLevels(); break;
    case OpWriteLevelsAndPoll: link.levels.writeLevels(true); break;
    case OpLevelGuardFires: runOut(link.levels.replyGuard()); break;
    case OpReadBlock: link.blockRead.readBlock(); break;
    case OpWriteBlock: link.blockWrite.writeBlock(); break;
    case OpWriteGuardFires: runOut(link.blockWrite.replyGuard()); break;
    case OpStartMeasurement: link.measurement.startMeasurement(in.byte() & 1 ? 113 : 112); break;
    case OpStopMeasurement: link.measurement.stopMeasurement(); break;
    case OpEndMeasurement: link.measurement.endMeasurement(in.byte() & 1); break;
    case OpRequestDiagnostics: link.diagnostics.requestDiagnostics(); break;
    case OpClearErrors: link.diagnostics.clearErrors(); break;
    case OpStoreService: {
        const int day = 1 + in.byte() % 28, month = 1 + in.byte() % 12, year = 2000 + in.byte();
        link.diagnostics.storeService(QDate(year, month, day), in.byte() * 65793);
        break;
    }
    case OpDiagGuardFires: runOut(link.diagnostics.diagReplyGuard()); break;
    case OpDiagMessageFires: runOut(link.diagnostics.diagMessageTimer()); break;
    case OpStartCutOff: link.cutOff.startCutOffReading(in.byte()); break;
    case OpSetCutOffAddress: link.cutOff.setCutOffAddress(in.byte()); break;
    case OpStopCutOff: link.cutOff.stopCutOffReading(); break;
    case OpWriteCutOff: {
        const int address = in.byte();
        link.cutOff.writeCutOff(address, in.byte());
        break;
    }
    case OpCutOffReaderFires: runOut(link.cutOff.cutOffRequestTimer()); break;
    case OpCutOffSilenceFires: runOut(link.cutOff.silenceGuard()); break;
    case OpStartRecording:
    case OpSetRecordingChannels: {
        const quint8 channel1 = in.byte(), channel2 = in.byte();
        const bool two = in.byte() & 1;
        if (op == OpStartRecording)
            link.recording.startRecording(channel1, channel2, two);
        else
            link.recording.setRecordingChannels(channel1, channel2, two);
        break;
    }
    case OpStopRecording: link.recording.stopRecording(); break;
    case OpScopeTimerFires: runOut(link.recording.scopeTimer()); break;
    case OpScopeSilenceFires: runOut(link.recording.silenceGuard()); break;
    case OpRecordingRuns: recordingRuns(in.byte() * 16); break;
    case OpToggleMeasuring: link.status.setMeasuring(!link.measurement.isMeasuring()); break;
    case OpEditBlock: {
        // Pages edit the parameter bytes, never the framing bytes around them.
        const int index = 1 + in.byte() % (UnitData::ParamBlockSize - 2);
        data.set().setParamByte(index, in.byte());
        break;
    }
    case OpEditLevel: {
        const int index = 1 + in.byte() % (UnitData::LevelBlockSize - 2);
        data.set().setLevelByte(index, in.byte());
        break;
    }
    case OpCheckMemory: {
        QList<MemoryCheck::Byte> bytes;
        for (int count = 1 + in.byte() % 4; count > 0; --count) {
            const int address = in.byte();
            bytes.append({address, in.byte()});
        }
        link.check.check(bytes, [this](MemoryCheck::Outcome outcome) { sink += unsigned(outcome); });
        break;
    }
    case OpMemoryGuardFires: runOut(link.check.replyGuard()); break;
    case OpCount: break;
    }
}

// What the link hands on must be a framed reply that came whole off the line.
void Rig::watch()
{
    const auto cameOffTheLine = [this](const QByteArray &frame) { return port.line.contains(frame); };
    QObject::connect(&link.measurement, &MeasurementExchange::measurementCodeReceived, [this](quint8 code) {
        sink += code;
        if ((flags & MeasurementEnds) && code >= 0x80)
            link.measurement.endMeasurement(code & 1);
    });
    QObject::connect(&link.recording, &ScopeRecording::recordedValue, [this](int, int index, int value) {
        check(index >= 0 && index < ScopeRecording::MaxSamples, "sample index out of the recording's room");
        sink += unsigned(value);
    });
    QObject::connect(&link.status, &StatusPoll::liveValues, [this](const LiveValues &values) {
        const char head[] = {0x02, char(values.tps), char(values.lambda), char(values.position)};
        const QByteArray start(head, 4);
        const QByteArray &line = port.line;
        bool found = false;
        for (qsizetype at = line.indexOf(start); !found && at >= 0; at = line.indexOf(start, at + 1))
            found = at + Reply::StatusSize <= line.size() && line.at(at + Reply::StatusSize - 1) == 0x03;
        check(found, "live values that came in no status reply");
    });
    QObject::connect(&link.blockRead, &BlockRead::blockReceived, [cameOffTheLine](const QByteArray &block) {
        check(UnitData::isParamBlock(block) && cameOffTheLine(block), "parameter block handed on unchecked");
    });
    QObject::connect(&link.levels, &LevelExchange::levelsReceived, [this, cameOffTheLine] {
        const QByteArray stored = data.set().levelBytes();
        check(UnitData::isLevelBlock(stored) && cameOffTheLine(stored), "level block stored unchecked");
    });
    QObject::connect(&link.levels, &LevelExchange::levelsReset, [this] {
        // Levels from a unit stay; only a tool without them holds the placeholders.
        check(data.set().levelsValid()
                  || (data.set().levelByte(1) == 10 && data.set().levelByte(2) == 60 && data.set().levelByte(3) == 10
                      && data.set().levelByte(4) == 60),
              "levels reset to something else than 10, 60, 10, 60");
    });
    QObject::connect(&link.diagnostics, &DiagnosticsExchange::diagnosticsReceived,
                     [cameOffTheLine](const QByteArray &record) {
        check(Reply::framed(record, Reply::BlockSize, 0x02, 0x03) && cameOffTheLine(record),
              "diagnostic record handed on unchecked");
    });
    QObject::connect(&link.check, &MemoryCheck::checked,
                     [this](const QList<MemoryCheck::Byte> &bytes, MemoryCheck::Outcome outcome) {
        check(!bytes.isEmpty(), "a save's read-back ended twice");
        // Only the values themselves coming back confirm a save.
        if (outcome == MemoryCheck::Outcome::Confirmed) {
            for (const MemoryCheck::Byte &byte : bytes)
                check(port.line.contains(bytesOf(0x02, byte.value, 0x03)), "save confirmed by a value that never came");
        }
    });
    QObject::connect(&link.cutOff, &CutOffReader::auxValueReceived, [this](int value) {
        check(value >= 0 && value <= 255, "aux value out of byte range");
        sink += unsigned(value);
    });
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
    if (size == 0)
        return 0;
    const int startState = StartStates[bytes[0] % std::size(StartStates)];
    Rig rig(bytes + 1, size - 1, startState);
    rig.watch();
    // A recording hands values on only while it runs.
    if (LinkState(startState) == LinkState::ScopeSample)
        rig.link.recording.startRecording(10, 11, rig.flags & TwoChannels);

    // Every step must leave a state the next receive notification can handle, and one reader at most.
    const auto settled = [&](auto &&step) {
        const int before = rig.port.notifications;
        step();
        const bool cutOff = rig.link.cutOff.reading(), recording = rig.link.recording.reading();
        check(!(cutOff && recording), "two readers run at once");
        check(rig.link.transport.readerRunning() == (cutOff || recording), "the transport lost sight of a reader");
        if (rig.port.notifications != before) {
            check(isSettledState(rig.link.transport.linkState()), "receive handler left a state it cannot handle");
            check(rig.link.transport.bytesWaiting() < Reply::BlockSize, "more bytes kept waiting than any frame has");
        }
    };
    Input &in = rig.in;
    while (!in.atEnd()) {
        const std::uint8_t action = in.byte();
        if (action < OpCount) {
            settled([&] { rig.run(Op(action)); });
            settled([&] { rig.port.announceDeferred(); });
        }
        settled([&] { rig.port.arrive(in.piece()); });
        settled([&] { rig.port.announceDeferred(); });
    }

    // Keeps the handlers' work from being optimised away.
    volatile unsigned keep = rig.sink;
    (void)keep;
    return 0;
}

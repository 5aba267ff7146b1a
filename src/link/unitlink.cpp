#include "unitlink.h"
#include "linkclock.h"
#include "prompts.h"
#include "serialio.h"
#include "unitdata.h"
#include <QDate>
#include <algorithm>
#include <utility>

namespace {
// Everything the port holds is taken at once: the driver's buffer is no larger.
constexpr int ReadChunk = 4096;
// Where the record carries what a service store writes: tachometer (3 bytes), day, month, year.
constexpr int RecordServiceOffset = 10;
constexpr int RecordServiceSize = 6;

// How long the answer to a frame is, 0 for a frame the unit does not answer.
int answerSize(const QByteArray &frame)
{
    if (frame.size() == 3 && quint8(frame.at(0)) == 0x02 && quint8(frame.at(2)) == 0x03) {
        switch (quint8(frame.at(1))) {
        case UnitCode::Status: return Reply::StatusSize;
        case UnitCode::ReadBlock: return Reply::BlockSize;
        case UnitCode::ReadLevels: return Reply::LevelSize;
        case UnitCode::ReadDiagnostics: return Reply::BlockSize;
        }
        return 0;
    }
    if (frame.size() == 5 && quint8(frame.at(0)) == 0x02 && quint8(frame.at(1)) == 0x24)
        return Reply::AuxSize;
    return 0;
}

// Frames after which the unit no longer holds the settings it had: a byte write (parameters,
// levels, the cut-off threshold), a block write, a factory reset, a reload from EEPROM.
bool changesSettings(const QByteArray &frame)
{
    if (frame.size() == 5)
        return quint8(frame.at(1)) == 0xB4;
    if (frame.size() != 3)
        return false;
    const quint8 code = quint8(frame.at(1));
    return code == UnitCode::WriteBlock || code == UnitCode::FactoryReset || code == UnitCode::EepromToRam;
}

bool sameBytes(const QByteArray &bytes, const quint8 *data)
{
    return std::equal(bytes.cbegin(), bytes.cend(), data, [](char a, quint8 b) { return quint8(a) == b; });
}
}  // namespace

UnitLink::UnitLink(SerialIo *port, UnitData *data, Prompts *prompts, LinkClock *clock, QObject *parent)
    : QObject(parent), m_port(port), m_data(data), m_prompts(prompts), m_clock(clock ? clock : LinkClock::system())
{
    connect(m_port, &SerialIo::rxChar, this, [this] { CP1RxChar(); });
    connect(&m_poll, &LinkTimer::fired, this, &UnitLink::ObeznikTimer);
    connect(&m_blockDelay, &LinkTimer::fired, this, &UnitLink::ZpozdeniTimer);
    connect(&m_replyGuard, &LinkTimer::fired, this, &UnitLink::TimeOutTimer);
    connect(&m_messageTimer, &LinkTimer::fired, this, &UnitLink::linkMessageHidden);
    connect(&m_chainPause, &LinkTimer::fired, this, &UnitLink::runChain);
    connect(&m_lineQuiet, &LinkTimer::fired, this, &UnitLink::LineQuietTimer);
    connect(&m_diagGuard, &LinkTimer::fired, this, &UnitLink::diagnosticsGuardFired);
    connectReaders();
}

void UnitLink::prepareFrames()
{
    m_frames.prepare();
    m_data->resetBlocks();
}

// ---- sending and sequencing -----------------------------------------------------------------

void UnitLink::transmit(const QByteArray &frame)
{
    const int written = m_port->write(frame);
    if (written <= 0)
        return;
    // Noted as the frame leaves: until then the unit still holds what it had.
    if (changesSettings(frame))
        m_data->settingsWritten = true;
    else if (frame.size() == 3 && quint8(frame.at(1)) == UnitCode::ClearErrors)
        m_data->noteErrorsCleared();
    const qint64 now = m_clock->nowNs();
    m_lineFreeAtNs = std::max(now, m_lineFreeAtNs) + written * ByteWireNs;
    const int answer = answerSize(frame);
    if (answer == 0)
        return;
    if (answer == Reply::StatusSize) {
        countMissingStatus(false);
        m_statusWatch.polled(m_clock->nowNs());
    }
    m_answerDue = true;
    m_dueSize = answer;
    m_dueSinceNs = m_clock->nowNs();
    // Bytes already waiting keep their own gap countdown, which ends the wait as well.
    if (m_rx.waiting() == 0 && !m_rx.skipped()) {
        m_lineQuiet.setInterval(replyTimeMs(answer));
        m_lineQuiet.restart();
    }
}

bool UnitLink::wireFree() const
{
    return !m_chainRunning && !m_answerDue && !m_blockDelay.isEnabled();
}

void UnitLink::whenWireFree(std::function<void()> operation)
{
    if (m_queue.isEmpty() && wireFree()) {
        operation();
        return;
    }
    m_queue.append(std::move(operation));
}

void UnitLink::sendFrame(const QByteArray &frame)
{
    // Inside a queued operation the frame belongs to that operation and goes at once. A page's
    // periodic request does not wait for a due answer, but never cuts into an exchange.
    if (m_runningQueue || (m_queue.isEmpty() && !m_chainRunning && !m_blockDelay.isEnabled()))
        transmit(frame);
    else
        m_queue.append([this, frame] { transmit(frame); });
}

void UnitLink::runQueue()
{
    if (m_runningQueue)
        return;
    m_runningQueue = true;
    while (!m_queue.isEmpty() && wireFree())
        m_queue.takeFirst()();
    m_runningQueue = false;
}

void UnitLink::startChain(QList<Step> steps, std::function<void()> done)
{
    if (m_chainRunning) {
        // The continuation of an exchange goes before anything asked for meanwhile.
        m_queue.prepend([this, steps, done] { startChain(steps, done); });
        return;
    }
    m_chainRunning = true;
    m_steps = std::move(steps);
    m_chainDone = std::move(done);
    m_stepBaseNs = std::max(m_clock->nowNs(), m_lineFreeAtNs);
    runChain();
}

void UnitLink::runChain()
{
    while (!m_steps.isEmpty()) {
        const int pauseMs = m_steps.first().pauseBeforeMs;
        if (pauseMs > 0) {
            const qint64 leftNs = m_stepBaseNs + pauseMs * qint64(1000000) - m_clock->nowNs();
            // Never shorter than the unit needs: a timer that comes a little early waits again.
            if (leftNs > 0) {
                m_chainPause.setInterval(int((leftNs + 999999) / 1000000));
                m_chainPause.restart();
                return;
            }
        }
        const Step step = m_steps.takeFirst();
        step.send();
        m_stepBaseNs = std::max(m_clock->nowNs(), m_lineFreeAtNs);
    }
    m_chainRunning = false;
    if (std::function<void()> done = std::exchange(m_chainDone, {}))
        done();
    runQueue();
}

void UnitLink::sendChain(const QList<ChainStep> &steps, std::function<void()> done)
{
    if (!requirePort())
        return;
    endReaders();
    m_poll.disable();
    QList<Step> sends;
    for (const ChainStep &step : steps)
        sends.append({step.pauseBeforeMs, [this, frame = step.frame] { transmit(frame); }});
    whenWireFree([this, sends, done] {
        m_poll.disable();
        startChain(sends, [this, done] {
            m_poll.restart();
            if (done)
                done();
        });
    });
}

void UnitLink::answerNoLongerDue()
{
    m_answerDue = false;
    m_dueSize = 0;
}

void UnitLink::beginRequest()
{
    m_blockArrived = false;
    m_rx.clear();
    m_rx.forgetSkipped();
    m_lineQuiet.disable();
}

// ---- frame senders and operations -----------------------------------------------------------

void UnitLink::sendCommand(quint8 code)
{
    m_frames.command[1] = char(code);
    sendFrame(m_frames.command);
}

void UnitLink::sendWrite(int address, quint8 value)
{
    m_frames.write[2] = char(address);
    m_frames.write[3] = char(value);
    sendFrame(m_frames.write);
}

void UnitLink::sendService(int address, quint8 value)
{
    m_frames.service[2] = char(address);
    m_frames.service[3] = char(value);
    sendFrame(m_frames.service);
}

void UnitLink::sendAux(quint8 address)
{
    m_frames.aux[2] = char(address);
    sendFrame(m_frames.aux);
}

QByteArray UnitLink::commandFrame(quint8 code) const
{
    QByteArray frame = m_frames.command;
    frame[1] = char(code);
    return frame;
}

QByteArray UnitLink::writeFrame(int address, quint8 value) const
{
    QByteArray frame = m_frames.write;
    frame[2] = char(address);
    frame[3] = char(value);
    return frame;
}

QByteArray UnitLink::serviceFrame(int address, quint8 value) const
{
    QByteArray frame = m_frames.service;
    frame[2] = char(address);
    frame[3] = char(value);
    return frame;
}

void UnitLink::commandWithoutAnswer(quint8 code, const QByteArray &before)
{
    if (!requirePort())
        return;
    endReaders();
    const QByteArray frame = commandFrame(code);
    whenWireFree([this, before, frame] {
        if (!before.isEmpty())
            transmit(before);
        m_poll.disable();
        transmit(frame);
        m_poll.enable();
    });
}

void UnitLink::readBlock()
{
    if (!requirePort())
        return;
    endReaders();
    whenWireFree([this] {
        beginRequest();
        m_guardResetsLevels = true;
        m_replyGuard.enable();
        m_state = BlockReadState;
        m_poll.disable();
        transmit(commandFrame(UnitCode::ReadBlock));
    });
}

void UnitLink::writeBlock()
{
    if (!requirePort())
        return;
    // Sending the start-up block or the remains of a failed read would overwrite the unit's
    // settings with something nobody chose.
    if (!m_data->blockValid
        && !m_prompts->askYesNo(QStringLiteral("Pozor !!!"),
                                QStringLiteral("Parametry nebyly načteny z řídicí jednotky ani ze souboru.\n"
                                               "Opravdu je odeslat do ŘJ?")))
        return;
    endReaders();
    whenWireFree([this] {
        beginRequest();
        m_data->paramBlock[0] = 1;
        m_poll.disable();
        transmit(commandFrame(UnitCode::WriteBlock));
        m_state = BlockPendingState;
        m_blockDelay.enable();
    });
}

void UnitLink::requestLevels()
{
    if (!requirePort())
        return;
    endReaders();
    whenWireFree([this] {
        beginRequest();
        sendLevelRequest();
    });
}

void UnitLink::sendLevelRequest()
{
    m_poll.disable();
    m_state = LevelReadState;
    transmit(commandFrame(UnitCode::ReadLevels));
    m_guardResetsLevels = true;
    m_replyGuard.enable();
}

QList<UnitLink::Step> UnitLink::levelSteps(int pauseBeforeFirstMs)
{
    QList<Step> steps;
    for (int i = 0; i < 4; ++i) {
        steps.append({i > 0 ? FramePauseMs : pauseBeforeFirstMs, [this, i] {
                          m_poll.disable();
                          transmit(writeFrame(UnitAddress::FirstLevel + i, m_data->levelBlock[std::size_t(i + 1)]));
                      }});
    }
    return steps;
}

void UnitLink::writeLevels(bool pollAfterwards)
{
    if (!requirePort())
        return;
    endReaders();
    m_poll.disable();
    const QList<Step> steps = levelSteps(0);
    whenWireFree([this, steps, pollAfterwards] {
        m_poll.disable();
        m_blockDelay.disable();
        startChain(steps, [this, pollAfterwards] {
            if (pollAfterwards)
                m_poll.enable();
        });
    });
}

void UnitLink::startMeasurement(quint8 code)
{
    if (!requirePort())
        return;
    endReaders();  // the measurement's answers come with the poll, which must not run beside a reader
    // Measuring from the press on: a second press stops it even before the start has gone out.
    m_data->measuring = true;
    const QByteArray frame = commandFrame(code);
    whenWireFree([this, frame] {
        m_poll.disable();
        transmit(frame);
        m_poll.enable();
    });
}

void UnitLink::stopMeasurement()
{
    m_data->measuring = false;
}

void UnitLink::endMeasurement(bool keepPolling)
{
    endReaders();
    m_data->measuring = false;
    whenWireFree([this, keepPolling] {
        beginRequest();
        m_state = BlockReadState;
        m_poll.disable();
        transmit(commandFrame(UnitCode::ReadBlock));
        m_blockDelay.enable();
        m_poll.setEnabled(keepPolling);
    });
}

void UnitLink::requestDiagnostics()
{
    if (!requirePort())
        return;
    endReaders();
    whenWireFree([this] {
        m_serviceExpected.clear();
        sendDiagnosticsRequest();
    });
}

void UnitLink::sendDiagnosticsRequest()
{
    beginRequest();
    m_state = DiagnosticsState;
    m_poll.disable();
    transmit(commandFrame(UnitCode::ReadDiagnostics));
    m_diagGuard.restart();
}

void UnitLink::clearErrors()
{
    changeRecord({commandFrame(UnitCode::ClearErrors)}, {});
}

QList<QByteArray> UnitLink::serviceFrames(const QDate &date, int tachoValue) const
{
    // (year + 48) keeps the low 8 bits of (year - 2000), since 2048 is a multiple of 256.
    const quint8 year = quint8((date.year() + 48) & 0xFF);
    const auto tacho = quint32(tachoValue);
    return {serviceFrame(ServiceAddress::Day, quint8(date.day())),
            serviceFrame(ServiceAddress::Month, quint8(date.month())),
            serviceFrame(ServiceAddress::Year, year),
            serviceFrame(ServiceAddress::Close, 0),
            serviceFrame(ServiceAddress::TachoLow, quint8(tacho)),
            serviceFrame(ServiceAddress::TachoMid, quint8(tacho >> 8)),
            serviceFrame(ServiceAddress::TachoHigh, quint8(tacho >> 16))};
}

void UnitLink::storeService(const QDate &date, int tachoValue)
{
    const QList<QByteArray> frames = serviceFrames(date, tachoValue);
    QByteArray expected;
    for (int i : {4, 5, 6, 0, 1, 2})
        expected.append(frames.at(i).at(3));
    changeRecord(frames, expected);
}

void UnitLink::changeRecord(const QList<QByteArray> &frames, const QByteArray &expected)
{
    if (!requirePort())
        return;
    endReaders();  // the chain ends by awaiting the record
    QList<Step> steps;
    for (const QByteArray &frame : frames)
        steps.append({steps.isEmpty() ? 0 : FramePauseMs, [this, frame] { transmit(frame); }});
    // The read-back goes in the same chain: a poll tick between the change and the request would
    // take the link out of the state that awaits the record.
    steps.append({FramePauseMs, [this, expected] {
                      sendDiagnosticsRequest();
                      m_serviceExpected = expected;
                  }});
    m_poll.disable();
    whenWireFree([this, steps] {
        m_poll.disable();
        m_diagGuard.disable();
        startChain(steps, {});
    });
}

void UnitLink::ShowLinkMessage(const QString &text)
{
    emit linkMessage(text);
    m_messageTimer.enable();
}

bool UnitLink::requirePort()
{
    if (m_port->isOpen())
        return true;
    const QString text = QStringLiteral("Port není otevřen");
    ShowLinkMessage(text);
    emit portNotOpen(text);
    return false;
}

void UnitLink::returnToPolling()
{
    m_poll.enable();
    m_cutOffReader.disable();
    m_scopeTimer.disable();
    if (m_recording)
        stopRecording();
    updateSilenceGuard(false);
}

// ---- link timers ----------------------------------------------------------------------------

void UnitLink::ObeznikTimer()
{
    // A tick gives way to whatever is on its way or waiting; a status answer still due does not
    // hold it, since a late one is as good an answer to this poll.
    const bool otherAnswerDue = m_answerDue && m_dueSize != Reply::StatusSize;
    if (m_chainRunning || otherAnswerDue || m_blockDelay.isEnabled() || !m_queue.isEmpty()) {
        runQueue();
        return;
    }
    transmit(commandFrame(UnitCode::Status));
    m_state = StatusState;
}

void UnitLink::ZpozdeniTimer()
{
    if (m_state != BlockPendingState) {
        m_poll.enable();
        runQueue();
        return;
    }
    // Levels the tool never had from a unit or a file are placeholders: they must not overwrite
    // the unit's own (or, on older units, whatever lives at their addresses).
    m_levelsWritten = m_data->levelsValid;
    QList<Step> steps;
    steps.append({0, [this] {
                      transmit(QByteArray(reinterpret_cast<const char *>(m_data->paramBlock.data()),
                                          int(m_data->paramBlock.size())));
                  }});
    const std::function<void()> askBack = [this] {
        // The tool's levels are what was just written: a lost read-back must not replace them
        // with the defaults, or the next write would send those to the unit.
        m_guardResetsLevels = false;
        m_replyGuard.enable();
        m_state = WriteCheckBlockState;
        m_writeCheck = WriteCheck::Block;
        m_poll.disable();
        transmit(commandFrame(UnitCode::ReadBlock));
    };
    if (m_levelsWritten) {
        steps += levelSteps(FramePauseMs);
        steps.last().send = [levelSend = steps.last().send, askBack] {
            levelSend();
            askBack();
        };
    } else {
        steps.append({FramePauseMs, askBack});
    }
    // The read-back must come before the next poll tick; a tick while it is due gives way.
    startChain(steps, [this] { m_poll.enable(); });
}

void UnitLink::TimeOutTimer()
{
    m_poll.enable();
    // A write always ends with a result, also when the unit stops answering halfway.
    switch (m_writeCheck) {
    case WriteCheck::Block: endWriteCheck(WriteResult::Unverified); break;
    case WriteCheck::Levels: levelCheckUnanswered(); break;
    case WriteCheck::None: break;
    }
    if (!m_guardResetsLevels)
        return;
    // A read that brought nothing says so. One whose block came is complete for a unit without
    // levels, which never answers code 170.
    if (!m_blockArrived)
        ShowLinkMessage(QStringLiteral("Jednotka neodpovídá!"));
    // Levels read from a unit or loaded from a file stay: one lost answer on a noisy line must
    // not turn them into placeholders that the next write or file save would carry.
    if (!m_data->levelsValid)
        m_data->setPlaceholderLevels();
    emit levelsReset();
}

void UnitLink::diagnosticsGuardFired()
{
    const bool checking = !m_serviceExpected.isEmpty();
    m_serviceExpected.clear();
    // Another operation or a page change has taken the link over since; it owns the poll now.
    if (m_state != DiagnosticsState)
        return;
    m_state = StatusState;
    m_poll.enable();
    m_diagMessage.restart();
    if (checking)
        emit serviceChecked(false);
    else
        emit diagnosticsMissing();
}

void UnitLink::LineQuietTimer()
{
    countMissingStatus(true);
    const bool lost = m_rx.waiting() > 0 || m_rx.skipped();
    m_rx.clear();
    m_rx.forgetSkipped();
    answerNoLongerDue();
    if (lost)
        frameLost();
    runQueue();
}

// ---- receiving ------------------------------------------------------------------------------

void UnitLink::CP1RxChar()
{
    const QByteArray bytes = m_port->read(ReadChunk);
    if (bytes.isEmpty())
        return;
    m_rx.append(bytes);
    takeFrames();
    if (m_rx.waiting() > 0 || m_rx.skipped()) {
        m_lineQuiet.setInterval(InterByteLimitMs);
        m_lineQuiet.restart();
    } else if (!m_answerDue) {
        m_lineQuiet.disable();
    }
    // A line that keeps babbling must not hold the queue for ever.
    if (m_answerDue && m_clock->nowNs() - m_dueSinceNs > ReplyGuardMs * qint64(1000000))
        answerNoLongerDue();
    runQueue();
}

void UnitLink::takeFrames()
{
    for (;;) {
        FrameFinder::Shape shape{};
        switch (m_state) {
        case StatusState: shape = FrameFinder::StatusShape; break;
        case BlockReadState:
        case WriteCheckBlockState: shape = {Reply::BlockSize, 0x01, 0x03}; break;
        case LevelReadState:
        case WriteCheckLevelsState: shape = {Reply::LevelSize, 0x03, 0x04}; break;
        case DiagnosticsState: shape = {Reply::BlockSize, 0x02, 0x03}; break;
        case CutOffState:
        case ScopeState: shape = {Reply::AuxSize, 0x02, 0x03}; break;
        case BlockPendingState:
            // The unit answers nothing to code 238; what comes now is noise or a late reply.
            // Dropping it keeps the write: cancelling would leave the unit waiting for a block
            // and the technician without any result.
            m_rx.clear();
            m_rx.forgetSkipped();
            return;
        default:
            // Nothing is expected here; the bytes would only shift the next reply out of step.
            m_rx.clear();
            m_rx.forgetSkipped();
            m_state = StatusState;
            return;
        }
        QByteArray frame;
        switch (m_rx.take(shape, &frame)) {
        case FrameFinder::Result::NeedMore:
            return;
        case FrameFinder::Result::Status:
            m_statusWatch.answered(m_clock->nowNs());
            emit answerReceived();
            // A status reply that came late is no block or level answer; its values still hold.
            if (m_dueSize == Reply::StatusSize)
                answerNoLongerDue();
            if (!m_data->measuring)
                applyLiveValues(frame);
            continue;
        case FrameFinder::Result::Frame:
            answerNoLongerDue();
            emit answerReceived();
            break;
        }
        switch (m_state) {
        case StatusState: handleStatus(frame); break;
        case BlockReadState: handleBlockRead(frame); break;
        case LevelReadState: handleLevelRead(frame); break;
        case WriteCheckBlockState: handleWriteCheckBlock(frame); break;
        case WriteCheckLevelsState: handleWriteCheckLevels(frame); break;
        case DiagnosticsState: handleDiagnostics(frame); break;
        case CutOffState: handleCutOff(frame); break;
        case ScopeState: handleScope(frame); break;
        }
    }
}

// The line went quiet with a frame unfinished (or only noise): the frame is lost, as a short or
// wrongly framed read was.
void UnitLink::frameLost()
{
    switch (m_state) {
    case StatusState:
        emit statusError(QStringLiteral("Error Obeznik"));
        m_prompts->beep();
        break;
    case BlockReadState:
        // The tool's block stays as it was, and so does whether it came from a unit or a file.
        levelsAfterBlockRead();
        break;
    case LevelReadState:
        m_poll.enable();
        m_state = StatusState;
        break;
    case DiagnosticsState:
        diagnosticsLost();
        break;
    case WriteCheckBlockState:
        // The reply guard reports the write as unverified.
        m_state = StatusState;
        break;
    case WriteCheckLevelsState:
        levelCheckUnanswered();
        break;
    case ScopeState:
        purge();
        if (m_recording)
            m_scopeTimer.enable();
        break;
    default:
        break;
    }
}

void UnitLink::applyLiveValues(const QByteArray &reply)
{
    m_data->tpsValue = quint8(reply.at(1));
    m_data->lambdaValue = quint8(reply.at(2));
    m_data->positionValue = quint8(reply.at(3));
    emit m_data->liveValuesChanged();
}

void UnitLink::handleStatus(const QByteArray &reply)
{
    m_statusWatch.answered(m_clock->nowNs());
    if (m_data->measuring) {
        // The measurement decides what follows (an end code re-reads the block); the live
        // displays stand still meanwhile.
        emit measurementCodeReceived(quint8(reply.at(4)));
        return;
    }
    m_state = StatusState;
    applyLiveValues(reply);
}

void UnitLink::handleBlockRead(const QByteArray &block)
{
    m_blockArrived = true;
    m_data->blockValid = true;
    emit blockReceived(block);
    ShowLinkMessage(QStringLiteral("Načteno  OK"));
    levelsAfterBlockRead();
}

void UnitLink::levelsAfterBlockRead()
{
    startChain({{FramePauseMs, [this] { sendLevelRequest(); }}}, {});
}

void UnitLink::handleLevelRead(const QByteArray &levels)
{
    std::copy(levels.cbegin(), levels.cend(), m_data->levelBlock.begin());
    m_data->levelsValid = true;
    m_replyGuard.disable();
    emit levelsReceived();
    m_poll.enable();
    m_state = StatusState;
}

void UnitLink::handleWriteCheckBlock(const QByteArray &block)
{
    if (sameBytes(block, m_data->paramBlock.data())) {
        m_writeCheck = WriteCheck::Levels;
        startChain({{FramePauseMs, [this] {
                         m_poll.disable();
                         m_state = WriteCheckLevelsState;
                         transmit(commandFrame(UnitCode::ReadLevels));
                         m_replyGuard.enable();
                     }}},
                   {});
        return;
    }
    endWriteCheck(WriteResult::Wrong);
}

void UnitLink::handleWriteCheckLevels(const QByteArray &levels)
{
    // Only levels 1..4 were written; the unit's other four level bytes are its own (a file from
    // another unit carries different ones). Levels not written are not checked.
    const bool same = !m_levelsWritten || sameBytes(levels.mid(1, 4), m_data->levelBlock.data() + 1);
    endWriteCheck(same ? WriteResult::Verified : WriteResult::Wrong);
}

// The level answer of a matching block did not come whole. Levels that were sent are then not
// known to be in the unit; without them the block alone was written, and it matched.
void UnitLink::levelCheckUnanswered()
{
    endWriteCheck(m_levelsWritten ? WriteResult::Unverified : WriteResult::Verified);
}

void UnitLink::endWriteCheck(WriteResult result)
{
    m_writeCheck = WriteCheck::None;
    m_replyGuard.disable();
    m_poll.enable();
    // A late answer to the check must not give a second result.
    m_state = StatusState;
    switch (result) {
    case WriteResult::Verified:
        ShowLinkMessage(QStringLiteral("Uložení OK"));
        emit writeVerified();
        break;
    case WriteResult::Wrong: ShowLinkMessage(QStringLiteral("Nesprávné uložení!")); break;
    case WriteResult::Unverified: ShowLinkMessage(QStringLiteral("Uložení neověřeno!")); break;
    }
}

void UnitLink::handleDiagnostics(const QByteArray &record)
{
    m_diagGuard.disable();
    const QByteArray expected = std::exchange(m_serviceExpected, QByteArray());
    m_diagMessage.enable();
    m_data->takeRecord(record);
    emit diagnosticsReceived(record);
    if (!expected.isEmpty()) {
        // The result of a store stays its full 2 s, also right after the confirmation of a read.
        m_diagMessage.restart();
        emit serviceChecked(record.mid(RecordServiceOffset, RecordServiceSize) == expected);
    }
    m_poll.enable();
    m_state = StatusState;
}

// A garbled record: dropped without a word, unless it was the read-back of a store.
void UnitLink::diagnosticsLost()
{
    m_diagGuard.disable();
    m_poll.enable();
    m_state = StatusState;
    if (std::exchange(m_serviceExpected, QByteArray()).isEmpty())
        return;
    m_diagMessage.restart();
    emit serviceChecked(false);
}

void UnitLink::handleCutOff(const QByteArray &reply)
{
    readerAnswered();
    emit auxValueReceived(quint8(reply.at(1)));
}

void UnitLink::handleScope(const QByteArray &reply)
{
    if (takeRecordedValue(quint8(reply.at(1))))
        purge();
    if (m_recording)
        m_scopeTimer.enable();
}

void UnitLink::countMissingStatus(bool lineQuiet)
{
    for (const qint64 sentNs : m_statusWatch.takeMissing(m_clock->nowNs(), lineQuiet))
        emit statusReplyMissing(m_clock->referenceMs(sentNs));
}

void UnitLink::purge()
{
    m_port->clearBuffer(true, true);
    m_rx.clear();
    m_rx.forgetSkipped();
}

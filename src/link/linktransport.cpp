#include "linktransport.h"
#include "linkclock.h"
#include "serialio.h"
#include <algorithm>
#include <utility>

namespace {
// Everything the port holds is taken at once: the driver's buffer is no larger.
constexpr int ReadChunk = 4096;
}

LinkTransport::LinkTransport(SerialIo *port, LinkClock *clock, QObject *parent)
    : QObject(parent), m_port(port), m_clock(clock ? clock : LinkClock::system())
{
    connect(m_port, &SerialIo::rxChar, this, [this] { takeReceivedBytes(); });
    connect(&m_poll, &LinkTimer::fired, this, &LinkTransport::pollFired);
    connect(&m_hold, &LinkTimer::fired, this, &LinkTransport::holdEnded);
    connect(&m_messageTimer, &LinkTimer::fired, this, &LinkTransport::linkMessageHidden);
    connect(&m_chainPause, &LinkTimer::fired, this, &LinkTransport::runChain);
    connect(&m_lineQuiet, &LinkTimer::fired, this, &LinkTransport::lineQuietFired);
}

void LinkTransport::setPollInterval(int ms)
{
    m_chosenPollMs = ms;
    setPollAtMost(m_pollAtMostMs);
}

void LinkTransport::setPollAtMost(int ms)
{
    m_pollAtMostMs = ms;
    const int interval = ms > 0 ? std::min(ms, m_chosenPollMs) : m_chosenPollMs;
    if (interval != m_poll.interval())
        m_poll.setInterval(interval);
}

void LinkTransport::own(LinkState state, FrameFinder::Shape shape, Take take, std::function<void()> lost)
{
    Q_ASSERT(m_owners.count(state) == 0);
    m_owners[state] = {shape, std::move(take), std::move(lost)};
}

bool LinkTransport::transmit(const QByteArray &frame, int answerSize)
{
    const int written = m_port->write(frame);
    if (written <= 0)
        return false;
    emit frameWritten(frame);
    const qint64 now = m_clock->nowNs();
    m_lineFreeAtNs = std::max(now, m_lineFreeAtNs) + written * ByteWireNs;
    if (answerSize == 0)
        return true;
    m_answerDue = true;
    m_dueSize = answerSize;
    m_dueSinceNs = now;
    // Bytes already waiting keep their own gap countdown, which ends the wait as well.
    if (m_rx.waiting() == 0 && !m_rx.skipped()) {
        m_lineQuiet.setInterval(replyTimeMs(answerSize));
        m_lineQuiet.restart();
        // The answer cannot be whole before the frame has left the wire and its bytes have come.
        m_port->awaitBytes(int((m_lineFreeAtNs - now + ByteWireNs - 1) / ByteWireNs) + answerSize);
    }
    return true;
}

bool LinkTransport::wireFree() const
{
    return !m_chainRunning && !m_answerDue && !m_hold.isEnabled();
}

void LinkTransport::run(std::function<void()> operation, bool pollOff)
{
    endReaders();
    if (pollOff)
        m_poll.disable();
    if (m_queue.isEmpty() && wireFree())
        operation();
    else
        m_queue.append(std::move(operation));
}

void LinkTransport::send(const QByteArray &frame, int answerSize)
{
    // Inside a queued operation the frame belongs to that operation and goes at once.
    if (m_runningQueue || (m_queue.isEmpty() && !m_chainRunning && !m_hold.isEnabled()))
        transmit(frame, answerSize);
    else
        m_queue.append([this, frame, answerSize] { transmit(frame, answerSize); });
}

void LinkTransport::runQueue()
{
    if (m_runningQueue)
        return;
    m_runningQueue = true;
    while (!m_queue.isEmpty() && wireFree())
        m_queue.takeFirst()();
    m_runningQueue = false;
}

void LinkTransport::startChain(QList<Step> steps, std::function<void()> done)
{
    if (m_chainRunning) {
        m_queue.prepend([this, steps, done] { startChain(steps, done); });
        return;
    }
    m_chainRunning = true;
    m_steps = std::move(steps);
    m_chainDone = std::move(done);
    m_stepBaseNs = std::max(m_clock->nowNs(), m_lineFreeAtNs);
    runChain();
}

void LinkTransport::runChain()
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

void LinkTransport::hold(int ms, std::function<void()> then)
{
    m_holdThen = std::move(then);
    m_hold.setInterval(ms);
    m_hold.enable();
}

void LinkTransport::holdEnded()
{
    if (std::function<void()> then = std::exchange(m_holdThen, {}))
        then();
    runQueue();
}

LinkTransport::Lease LinkTransport::takeLink(const LinkReader *reader, LinkState awaiting)
{
    // The new holder first: a reader that ends now no longer holds what it would hand back.
    m_holder = ++m_lastLease;
    m_pollLetRun = false;
    endReaders(reader);
    m_poll.disable();
    // Late answers to what held the link before are nobody's now.
    m_state = awaiting;
    return m_holder;
}

bool LinkTransport::ask(Lease lease, LinkState state, quint8 code, int answerSize)
{
    return ask(lease, state, commandFrame(code), answerSize);
}

bool LinkTransport::ask(Lease lease, LinkState state, const QByteArray &frame, int answerSize)
{
    if (!holds(lease))
        return false;
    m_poll.disable();
    m_state = state;
    transmit(frame, answerSize);
    return true;
}

void LinkTransport::stopAwaiting(Lease lease)
{
    if (holds(lease))
        m_state = LinkState::StatusReply;
}

void LinkTransport::letPollRun(Lease lease)
{
    if (!holds(lease))
        return;
    m_pollLetRun = true;
    pollOn();
}

void LinkTransport::handBack(Lease lease)
{
    if (!holds(lease))
        return;
    m_holder = 0;
    m_pollLetRun = false;
    pollOn(true);
    m_state = LinkState::StatusReply;
}

void LinkTransport::answerNoLongerDue()
{
    m_answerDue = false;
    m_dueSize = 0;
}

void LinkTransport::beginRequest()
{
    dropWaiting();
    m_lineQuiet.disable();
}

void LinkTransport::dropWaiting()
{
    m_rx.clear();
    m_rx.forgetSkipped();
}

void LinkTransport::purge()
{
    m_port->clearBuffer(true, true);
    dropWaiting();
}

bool LinkTransport::endReaders(const LinkReader *except)
{
    bool ended = false;
    for (const QPointer<LinkReader> &reader : std::as_const(m_readers)) {
        if (reader && reader != except && reader->reading()) {
            reader->endReading();
            ended = true;
        }
    }
    return ended;
}

bool LinkTransport::readerRunning() const
{
    return std::any_of(m_readers.cbegin(), m_readers.cend(),
                       [](const QPointer<LinkReader> &reader) { return reader && reader->reading(); });
}

void LinkTransport::returnToPolling()
{
    // A reader holding the link hands it back as it ends.
    endReaders();
    if (!pollHeldOff())
        pollOn();
}

void LinkTransport::startPolling()
{
    if (!pollHeldOff())
        pollOn();
}

void LinkTransport::pollOn(bool afresh)
{
    if (!m_port->isOpen())
        return;
    afresh ? m_poll.restart() : m_poll.enable();
}

void LinkTransport::announceLinkMessage(const QString &text)
{
    emit linkMessage(text);
    m_messageTimer.enable();
}

bool LinkTransport::requirePort()
{
    if (m_port->isOpen())
        return true;
    emit portNotOpen();
    return false;
}

void LinkTransport::pollFired()
{
    // A tick gives way to whatever is on its way or waiting; a status answer still due does not
    // hold it, since a late one is as good an answer to this poll.
    const bool otherAnswerDue = m_answerDue && m_dueSize != FrameFinder::StatusShape.size;
    if (pollHeldOff() || m_chainRunning || otherAnswerDue || m_hold.isEnabled() || !m_queue.isEmpty()) {
        runQueue();
        return;
    }
    emit pollDue();
    // Asked or not (a closed port takes nothing), the link awaits the status reply.
    m_state = LinkState::StatusReply;
}

void LinkTransport::lineQuietFired()
{
    emit lineWentQuiet();
    const bool lost = m_rx.waiting() > 0 || m_rx.skipped();
    dropWaiting();
    answerNoLongerDue();
    if (lost) {
        const auto owner = m_owners.find(m_state);
        if (owner != m_owners.end() && owner->second.lost)
            owner->second.lost();
    }
    runQueue();
}

void LinkTransport::takeReceivedBytes()
{
    const QByteArray bytes = m_port->read(ReadChunk);
    if (bytes.isEmpty())
        return;
    m_rx.append(bytes);
    takeFrames();
    // The rest of a frame comes at line speed: no need to wake for each of its bytes.
    const auto owner = m_owners.find(m_state);
    const int missing = owner != m_owners.end() ? m_rx.missing(owner->second.shape) : 0;
    if (missing > 0)
        m_port->awaitBytes(missing);
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

void LinkTransport::takeFrames()
{
    for (;;) {
        const auto owner = m_owners.find(m_state);
        if (owner == m_owners.end()) {
            // Nothing is expected here; the bytes would only shift the next reply out of step.
            dropWaiting();
            m_state = LinkState::StatusReply;
            return;
        }
        if (owner->second.shape.size == 0) {
            dropWaiting();
            return;
        }
        QByteArray frame;
        switch (m_rx.take(owner->second.shape, &frame)) {
        case FrameFinder::Result::NeedMore:
            return;
        case FrameFinder::Result::Status:
            emit answerReceived();
            // A status reply that came late is no block or level answer; its values still hold.
            if (m_dueSize == FrameFinder::StatusShape.size)
                answerNoLongerDue();
            emit strayStatus(frame);
            continue;
        case FrameFinder::Result::Frame:
            answerNoLongerDue();
            emit answerReceived();
            break;
        }
        owner->second.take(frame);
    }
}

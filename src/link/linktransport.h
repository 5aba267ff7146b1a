#pragma once
#include "framefinder.h"
#include "frames.h"
#include "linkreader.h"
#include "linkstate.h"
#include "linktimer.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

class LinkClock;
class SerialIo;

// The wire to the unit, knowing nothing of what is said on it. Nothing in a reply says what it
// answers, so the link is always in one state (what it awaits), and the exchange that owns that
// state says which frame it takes: received bytes wait until they make that frame (both marks right),
// whatever noise came before it, and the frame goes to the owner, or the owner is told that the
// line went quiet with the frame unfinished. It never waits on the user-interface thread: the
// pauses the unit needs between frames are timed by a small sequencer on the clock it is handed,
// and an operation goes on the wire only when no earlier answer is still due; until then it waits
// in a queue, in the order it was asked for. The status poll runs on its timer and gives way to
// all of that.
//
// Who may hand the link back to the poll is the transport's rule: every exchange that starts (and
// every reader) takes a lease, which overtakes whatever lease was held before. Only the holder of
// the current lease asks on, lets the poll run or hands the link back; what a former holder asks
// for (its time-out, the end of its chain) changes nothing on the link, and neither does anything
// outside the exchanges (a page change, the port opening): while a lease is held, a poll tick asks
// nothing unless the holder let the poll run. The poll is switched here alone: off when an exchange
// starts, on when the exchange holding the link ends, and by the connection when the port opens and
// closes.
class LinkTransport : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultPollMs = 250;
    static constexpr int ReplyGuardMs = 2000;  // an exchange gives up on its answer after this
    static constexpr int MessageMs = 2000;
    static constexpr int FramePauseMs = 100;  // the unit's pause between two frames of a chain
    // A frame whose bytes stop coming for longer than this is dropped.
    static constexpr int InterByteLimitMs = 200;
    // 9600 baud, one start and one stop bit: a byte takes 10/9600 s on the wire.
    static constexpr qint64 ByteWireNs = 1041667;
    // How long an answer is awaited before its first byte: the unit answers within a few ms.
    static int replyTimeMs(int answerSize) { return InterByteLimitMs + int(answerSize * ByteWireNs / 1000000) + 1; }

    struct Step  // one step of a chain: what it sends, after how long a pause
    {
        int pauseBeforeMs;
        std::function<void()> send;
    };
    using Take = std::function<void(const QByteArray &frame)>;
    using Lease = quint64;  // 0 is held by nobody

    // `clock` paces the chains and times the answers due; without one the system's clock does.
    LinkTransport(SerialIo *port, LinkClock *clock = nullptr, QObject *parent = nullptr);

    // Start-up: every frame gets its fixed bytes; nothing is sent.
    void prepareFrames() { m_frames.prepare(); }
    const Frames &frames() const { return m_frames; }
    QByteArray commandFrame(quint8 code) const { return m_frames.commandFrame(code); }
    QByteArray writeFrame(int address, quint8 value) const { return m_frames.writeFrame(address, value); }
    QByteArray serviceFrame(int address, quint8 value) const { return m_frames.serviceFrame(address, value); }
    QByteArray auxFrame(quint8 address) const { return m_frames.auxFrame(address); }

    LinkState linkState() const { return m_state; }
    // Puts the link into `state` as if its owner had asked: a test starts from there. Exchanges
    // take the link, ask and hand it back instead.
    void setLinkState(LinkState state) { m_state = state; }
    // The caller owns `state`: while the link is in it, frames of `shape` go to `take`, and a frame
    // the line left unfinished (or only noise) is said to `lost`. A shape of size 0 drops whatever
    // arrives and keeps the state. A state nobody owns expects nothing.
    void own(LinkState state, FrameFinder::Shape shape, Take take, std::function<void()> lost = {});

    // The poll runs (a countdown under way goes on) when the port opens while no reader reads
    // with its own timer. Never on a closed port, nor while an exchange holds the link without
    // letting the poll run.
    void startPolling();
    // The port closes: nothing asks the unit until it opens again.
    void stopPolling() { m_poll.disable(); }
    bool polling() const { return m_poll.isEnabled(); }
    // The technician's interval, set at start-up, before the poll first runs.
    void setPollInterval(int ms);
    int pollInterval() const { return m_poll.interval(); }
    // While something needs the values at least every `ms` (a recording, for its analysis), the
    // poll runs that often; a shorter interval of the technician's stays. 0: the technician's
    // interval again.
    void setPollAtMost(int ms);
    const LinkTimer &pollTimer() const { return m_poll; }  // to watch it; switched only here

    LinkTimer &blockDelay() { return m_hold; }  // the wire held between two halves of an exchange
    LinkTimer &messageTimer() { return m_messageTimer; }
    // The pause before a chain's next frame, and the silence after which a partial frame is
    // dropped (or an answer that never began is no longer awaited).
    LinkTimer &chainPause() { return m_chainPause; }
    LinkTimer &lineQuiet() { return m_lineQuiet; }

    // Writes one frame now; an answer of `answerSize` bytes becomes due. False when the port took
    // nothing (it is closed).
    bool transmit(const QByteArray &frame, int answerSize = 0);
    // A reader's or a page's single frame: it does not wait for a due answer, but never cuts into
    // an exchange: while a chain runs, the wire is held or operations wait, it waits behind them.
    void send(const QByteArray &frame, int answerSize = 0);
    // An operation of an exchange: running readers end first (they would run beside the poll it
    // turns on, or take the answer it awaits); with `pollOff` the poll stays off meanwhile. It runs
    // now if nothing is on its way and nothing waits, else after what waits.
    void run(std::function<void()> operation, bool pollOff = false);
    // Frames in order with their pauses, each counted from the moment the previous frame has left
    // the wire; nothing else goes between them; then `done`. Asked for while a chain runs, it goes
    // before anything else that waits: it continues an exchange.
    void startChain(QList<Step> steps, std::function<void()> done = {});
    // Holds the wire for `ms` (the unit digests the first half of an exchange): the poll gives
    // way and everything waits; then `then` runs.
    void hold(int ms, std::function<void()> then);
    // A request of the tool's own: stale bytes from before it are not its answer.
    void beginRequest();
    // An exchange starts: it takes the link from whoever held it (running readers but `reader`
    // end), the link awaits `awaiting` (a reader's answers; an exchange's nothing of its own until
    // it asks), and the poll stops until the new lease is handed back.
    Lease takeLink(const LinkReader *reader = nullptr, LinkState awaiting = LinkState::StatusReply);
    bool holds(Lease lease) const { return lease != 0 && lease == m_holder; }
    // The holder asks the unit with command `code`: the poll stops, the link goes into `state`,
    // and an answer of `answerSize` is due. A former holder sends nothing (false). Keep the lease
    // before asking: an answer may be taken before ask() returns.
    bool ask(Lease lease, LinkState state, quint8 code, int answerSize);
    // The same with a frame of its own (a memory or module read).
    bool ask(Lease lease, LinkState state, const QByteArray &frame, int answerSize);
    // The holder no longer awaits its answer (it came garbled): status replies are taken again,
    // and the holder keeps the link.
    void stopAwaiting(Lease lease);
    // The holder lets the poll run while it still awaits its answer.
    void letPollRun(Lease lease);
    // Someone holds the link and has not let the poll run: a poll tick gives way to it.
    bool pollHeldOff() const { return m_holder != 0 && !m_pollLetRun; }
    // The holder's exchange got its answer or gave up on it: the link awaits status replies again
    // and the poll runs, a whole interval from now. A former holder's hand-back changes nothing.
    void handBack(Lease lease);
    // Drops what the port and the finder hold.
    void purge();

    // Nothing is on its way: no chain runs, no answer is due, the wire is not held.
    bool wireFree() const;
    bool answerDue() const { return m_answerDue; }
    bool chainRunning() const { return m_chainRunning; }
    int queuedOperations() const { return int(m_queue.size()); }
    int bytesWaiting() const { return m_rx.waiting(); }

    void addReader(LinkReader *reader) { m_readers.append(reader); }
    // Ends every running reader but `except`; true when one ran.
    bool endReaders(const LinkReader *except = nullptr);
    bool readerRunning() const;
    // The user picked another page: the readers end, and the poll runs again unless an exchange
    // holds the link without letting the poll run: it keeps the link until its answer comes or
    // its time runs out.
    void returnToPolling();

    // Shows `text` on both message labels (through linkMessage) until the message time is over.
    void announceLinkMessage(const QString &text);
    // True when the port is open; otherwise says so through portNotOpen and returns false. Every
    // operation that needs the unit asks this first.
    bool requirePort();
    LinkClock *clock() const { return m_clock; }

    // Receive notification of the port: takes in what has come and hands on every frame it
    // completes; a partial frame waits for the rest.
    void takeReceivedBytes();

signals:
    void pollDue();                                 // a poll tick found the wire free
    void strayStatus(const QByteArray &reply);      // a status reply came where another frame was due
    void lineWentQuiet();                           // nothing came for the gap or the reply time
    void frameWritten(const QByteArray &frame);     // as it leaves: the unit has it from now on
    void answerReceived();                          // a whole, well-framed answer came from the unit
    void linkMessage(const QString &text);          // show on both status labels
    void linkMessageHidden();
    void portNotOpen();                             // an operation was refused: no port is open

private:
    struct Owner
    {
        FrameFinder::Shape shape;
        Take take;
        std::function<void()> lost;
    };

    void pollFired();
    // The poll on again, a countdown under way going on or (`afresh`) starting anew: only while the
    // port is open, since a poll on a closed port asks nobody.
    void pollOn(bool afresh = false);
    void holdEnded();
    void lineQuietFired();
    void runQueue();
    void runChain();
    void answerNoLongerDue();
    void takeFrames();
    void dropWaiting();

    SerialIo *m_port;
    LinkClock *m_clock;
    Frames m_frames;
    LinkState m_state = LinkState::StatusReply;
    Lease m_holder = 0;
    Lease m_lastLease = 0;
    bool m_pollLetRun = false;  // the holder lets the poll ask while it holds the link
    std::map<LinkState, Owner> m_owners;
    QList<QPointer<LinkReader>> m_readers;

    FrameFinder m_rx;
    bool m_answerDue = false;
    int m_dueSize = 0;
    qint64 m_dueSinceNs = 0;

    QList<std::function<void()>> m_queue;
    bool m_runningQueue = false;
    QList<Step> m_steps;
    std::function<void()> m_chainDone;
    bool m_chainRunning = false;
    std::function<void()> m_holdThen;
    qint64 m_lineFreeAtNs = 0;  // when the last frame written will have left the wire
    qint64 m_stepBaseNs = 0;    // the chain's next pause counts from here

    LinkTimer m_poll{QStringLiteral("Obeznik"), DefaultPollMs, false};
    int m_chosenPollMs = DefaultPollMs;
    int m_pollAtMostMs = 0;
    LinkTimer m_hold{QStringLiteral("Zpozdeni"), 50, true};
    LinkTimer m_messageTimer{QStringLiteral("NacteniKon"), MessageMs, true};
    LinkTimer m_chainPause{QStringLiteral("Pauza"), 0, true};
    LinkTimer m_lineQuiet{QStringLiteral("Mezera"), InterByteLimitMs, true};
};

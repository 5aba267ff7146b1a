#pragma once
#include "framefinder.h"
#include "frames.h"
#include "linktimer.h"
#include "statuswatch.h"
#include <QList>
#include <QObject>
#include <functional>

class QDate;
class LinkClock;
class SerialIo;

// One frame of a chain and the pause the unit needs before it, after the previous frame has left.
struct ChainStep
{
    QByteArray frame;
    int pauseBeforeMs = 0;
};
class UnitData;
class Prompts;

// The unit link: the frames, the link state and its timers, and the one receive handler.
// Nothing in a reply says what it answers, so every sender sets the link state; received bytes
// wait in a buffer until they make the frame the state expects (both marks right), whatever noise
// came before it. It knows no widgets: what arrived is said through signals, and pages ask it to
// send. It never waits on the user-interface thread: the pauses the unit needs between frames are
// timed by a small sequencer, and a request that awaits an answer goes on the wire only when no
// earlier answer is still due; until then it waits in a queue, in the order it was asked for.
class UnitLink : public QObject
{
    Q_OBJECT
public:
    enum State {
        StatusState = 0,
        BlockReadState = 1,
        DiagnosticsState = 4,
        BlockPendingState = 5,
        CutOffState = 6,
        ScopeState = 10,
        WriteCheckBlockState = 20,
        WriteCheckLevelsState = 21,
        LevelReadState = 170,
    };

    static constexpr int DefaultPollMs = 250;
    static constexpr int BlockDelayMs = 50;
    static constexpr int ReplyGuardMs = 2000;
    static constexpr int MessageMs = 2000;
    static constexpr int FramePauseMs = 100;  // the unit's pause between two frames of a chain
    static constexpr int MaxSamples = 3000;     // a recording ends after this many samples
    static constexpr int SilenceMs = 1000;      // a reader without a valid answer this long says so
    // A frame whose bytes stop coming for longer than this is dropped.
    static constexpr int InterByteLimitMs = 200;
    // 9600 baud, one start and one stop bit: a byte takes 10/9600 s on the wire.
    static constexpr qint64 ByteWireNs = 1041667;
    // How long an answer is awaited before its first byte: the unit answers within a few ms.
    static int replyTimeMs(int answerSize) { return InterByteLimitMs + int(answerSize * ByteWireNs / 1000000) + 1; }

    // `clock` paces the chains and times the answers due; without one the system's clock does.
    UnitLink(SerialIo *port, UnitData *data, Prompts *prompts, LinkClock *clock = nullptr, QObject *parent = nullptr);

    // Start-up: every frame gets its fixed bytes; nothing is sent.
    void prepareFrames();
    const Frames &frames() const { return m_frames; }

    int linkState() const { return m_state; }
    void setLinkState(int state) { m_state = state; }

    // The link timers.
    LinkTimer &poll() { return m_poll; }              // status poll, repeating
    LinkTimer &blockDelay() { return m_blockDelay; }  // second half of a block write, one-shot
    LinkTimer &replyGuard() { return m_replyGuard; }  // gives up waiting for an answer, one-shot
    LinkTimer &messageTimer() { return m_messageTimer; }
    // Feature timers whose handlers belong to the pages that use them.
    LinkTimer &diagMessageTimer() { return m_diagMessage; }  // 2000 ms, one-shot
    LinkTimer &diagReplyGuard() { return m_diagGuard; }      // 2000 ms, one-shot
    LinkTimer &cutOffReader() { return m_cutOffReader; }     // 150 ms, repeating
    LinkTimer &scopeTimer() { return m_scopeTimer; }         // 50 ms, repeating

    // Frame senders. Each writes the whole frame once; a closed port sends nothing. While a chain
    // runs or earlier operations wait, the frame waits behind them.
    void sendCommand(quint8 code);
    void sendWrite(int address, quint8 value);
    void sendService(int address, quint8 value);
    void sendAux(quint8 address);
    quint8 auxAddress() const { return quint8(m_frames.aux.at(2)); }

    // The prepared frames with their variable bytes set, for chains.
    QByteArray commandFrame(quint8 code) const;
    QByteArray writeFrame(int address, quint8 value) const;
    QByteArray serviceFrame(int address, quint8 value) const;
    // An operation of several frames the unit does not answer: the readers end, the poll stays off
    // while the frames go in order with their pauses (each counted from the moment the previous
    // frame has left the wire), nothing else goes between them, and the poll starts anew a whole
    // interval after the last one; then `done` runs. Callers must not rely on `done` having run
    // on return.
    void sendChain(const QList<ChainStep> &steps, std::function<void()> done = {});
    // Nothing is on its way: no chain runs, no answer is due, no block waits for its second half.
    bool wireFree() const;
    // A request has gone out whose answer has neither come nor run out of time.
    bool answerDue() const { return m_answerDue; }
    // Operations asked for while the wire was busy, still waiting for their turn.
    int queuedOperations() const { return int(m_queue.size()); }
    // Received bytes that do not make a frame yet.
    int bytesWaiting() const { return m_rx.waiting(); }

    // Operations of the pages. Each needs the unit: with no port open it sends nothing, changes no
    // state and says "Port není otevřen" instead. Each ends a running cut-off reader or recording
    // first: they would run beside the poll it turns on, or take the answer it awaits.
    // Poll off, `before` (a frame the command needs in the unit first), the command, poll on.
    void commandWithoutAnswer(quint8 code, const QByteArray &before = {});
    void readBlock();                                // code 255, then the levels
    // Code 238, the block 50 ms later, then the check. A block that never came from a unit or a
    // file is sent only after the technician has said so.
    void writeBlock();
    void requestLevels();                            // code 170
    // The four levels as single writes, 100 ms apart; the poll stays off while they go out. A
    // technician's own level write ends with the poll running again.
    void writeLevels(bool pollAfterwards = false);
    // Emulation measurement: code 112 (idle) or 113 (raised) starts it; while it runs, byte 4 of
    // every status reply comes as measurementCodeReceived instead of the live values.
    void startMeasurement(quint8 code);
    void stopMeasurement();                          // the tool stops listening; nothing is sent
    // The unit reported an end code: the block is read again (its times changed); the poll runs
    // on meanwhile only when `keepPolling`.
    void endMeasurement(bool keepPolling);
    // Code 128; the record comes back through diagnosticsReceived, or the reply guard gives up
    // after 2 s with diagnosticsMissing and the poll running again.
    void requestDiagnostics();
    // Code 144, then the record read back, so that the page shows the cleared counters (or
    // diagnosticsMissing).
    void clearErrors();
    // The service date and tachometer reading as seven service frames 100 ms apart, then the
    // record read back; serviceChecked says whether the unit holds what was sent.
    void storeService(const QDate &date, int tachoValue);
    // The service frames that store `date` and the low 24 bits of `tachoValue`, in the unit's order.
    QList<QByteArray> serviceFrames(const QDate &date, int tachoValue) const;
    void ShowLinkMessage(const QString &text);
    // For an operation a page builds itself: true when the port is open; otherwise says so on the
    // status labels (and through portNotOpen) and returns false.
    bool requirePort();
    // The user picked another page: the poll runs again, the feature readers stop.
    void returnToPolling();

    // Cut-off communication: instead of the poll, the module byte at `address` is read every
    // 150 ms. Started during a recording, it only ends the recording (the poll runs again and
    // the next poll tick leaves the link in tuning communication).
    void startCutOffReading(quint8 address);
    void setCutOffAddress(quint8 address) { m_cutOffAddress = address; }
    // Back to tuning communication: the poll runs, the reader stops, a recording ends.
    void stopCutOffReading();
    bool cutOffReading() const { return m_cutOffReader.isEnabled(); }
    // One byte to the unit's memory; no answer comes and nothing else changes on the link.
    void writeCutOff(int address, quint8 value);

    // A recording: one request every 50 ms, answers alternating channel 1, channel 2 in
    // two-channel mode; ends after MaxSamples samples or by stopRecording().
    void startRecording(quint8 channel1, quint8 channel2, bool twoChannels);
    // The channels take effect with the next answer.
    void setRecordingChannels(quint8 channel1, quint8 channel2, bool twoChannels);
    void stopRecording();
    bool recording() const { return m_recording; }
    int recordedSamples() const { return m_samples; }

    // Receive notification of the port: takes in what has come and hands on every frame it
    // completes; a partial frame waits for the rest.
    void CP1RxChar();

    // The sequencer's pause before the next frame of a chain, and the silence after which a
    // partial frame is dropped (or an answer that never began is no longer awaited).
    LinkTimer &chainPause() { return m_chainPause; }
    LinkTimer &lineQuiet() { return m_lineQuiet; }


signals:
    void blockReceived(const QByteArray &block);        // a requested parameter block arrived whole
    void levelsReceived();                              // the level block was copied into the data
    void writeVerified();                               // "Uložení OK": the unit holds what was written
    // A level read went unanswered. Levels from a unit or a file stay as they were; without
    // such levels the level block holds the placeholders 10, 60, 10, 60.
    void levelsReset();
    void measurementCodeReceived(quint8 code);          // byte 4 of a status reply while measuring
    void diagnosticsReceived(const QByteArray &record);  // 34 bytes, both markers tested
    void diagnosticsMissing();                           // the unit did not answer the request
    void serviceChecked(bool stored);                    // the read-back after a service store
    void auxValueReceived(int value);                   // cut-off byte
    void cutOffReadingStopped();                        // the reader was running and stopped
    void recordingStarted();
    void recordingStopped();                            // by a request, a page change or the end
    void recordingTick(int samples);                    // before each request of a recording
    void recordedValue(int channel, int index, int value);  // channel 1 or 2, sample `index`
    void sampleRecorded(int index);                     // sample `index` is complete
    // A running reader got no valid answer for SilenceMs (true), or answers again (false).
    void readerSilenceChanged(bool silent);
    void linkMessage(const QString &text);              // show on both status labels
    void linkMessageHidden();
    void statusError(const QString &text);              // "Error Obeznik" on the tuning page label only
    void answerReceived();                              // a whole, well-framed answer came from the unit
    // A status poll went out and no reply came for it within the reply time; once per poll, some
    // time after it. `polledAt` is when that poll went out, in ms of the monotonic clock of
    // QElapsedTimer::msecsSinceReference() as the link's clock tells it.
    void statusReplyMissing(qint64 polledAt);
    void portNotOpen(const QString &text);              // an operation was refused: no port is open

private:
    // One step of a running chain: what it sends, after how long a pause.
    struct Step
    {
        int pauseBeforeMs;
        std::function<void()> send;
    };
    // What a running write check still waits for.
    enum class WriteCheck { None, Block, Levels };
    // How a write check ends: the unit holds all that was sent, holds something else, or did not say.
    enum class WriteResult { Verified, Wrong, Unverified };

    void ObeznikTimer();
    void ZpozdeniTimer();
    void TimeOutTimer();
    void LineQuietTimer();
    void diagnosticsGuardFired();

    // Writes one frame now; a frame that asks for an answer makes that answer due.
    void transmit(const QByteArray &frame);
    // Sends now if nothing is on its way and nothing waits, else after what waits.
    void whenWireFree(std::function<void()> operation);
    void sendFrame(const QByteArray &frame);
    void runQueue();
    void startChain(QList<Step> steps, std::function<void()> done);
    void runChain();
    void answerNoLongerDue();
    // A request of the tool's own: stale bytes from before it are not its answer.
    void beginRequest();

    void takeFrames();
    void frameLost();
    void applyLiveValues(const QByteArray &reply);
    void handleStatus(const QByteArray &reply);
    void handleBlockRead(const QByteArray &block);
    void handleLevelRead(const QByteArray &levels);
    void handleWriteCheckBlock(const QByteArray &block);
    void handleWriteCheckLevels(const QByteArray &levels);
    void handleDiagnostics(const QByteArray &record);
    void handleCutOff(const QByteArray &reply);
    void handleScope(const QByteArray &reply);
    void levelsAfterBlockRead();
    QList<Step> levelSteps(int pauseBeforeFirstMs);
    void sendLevelRequest();
    void levelCheckUnanswered();
    void endWriteCheck(WriteResult result);
    void sendDiagnosticsRequest();
    // `frames` 100 ms apart, then the record read back; a non-empty `expected` is checked against
    // its bytes 10..15.
    void changeRecord(const QList<QByteArray> &frames, const QByteArray &expected);
    void diagnosticsLost();
    void purge();
    void countMissingStatus(bool lineQuiet);

    void connectReaders();
    void CtenirTimer();
    void OsciloTimer();
    bool takeRecordedValue(quint8 value);  // true when the waiting bytes are to be purged
    void readerAnswered();
    void readerSilent();
    void endReaders();
    void updateSilenceGuard(bool fresh);

    SerialIo *m_port;
    UnitData *m_data;
    Prompts *m_prompts;
    Frames m_frames;
    int m_state = StatusState;
    bool m_guardResetsLevels = true;  // the running reply guard waits for a level read
    bool m_blockArrived = false;      // the running read has brought its block
    bool m_levelsWritten = false;     // the block write now being checked sent the levels
    WriteCheck m_writeCheck = WriteCheck::None;
    // Record bytes 10..15 (tachometer, service date) a pending service check expects; empty when none.
    QByteArray m_serviceExpected;

    FrameFinder m_rx;
    bool m_answerDue = false;
    int m_dueSize = 0;
    qint64 m_dueSinceNs = 0;
    StatusWatch m_statusWatch;

    QList<std::function<void()>> m_queue;
    bool m_runningQueue = false;
    QList<Step> m_steps;
    std::function<void()> m_chainDone;
    bool m_chainRunning = false;
    LinkClock *m_clock;
    qint64 m_lineFreeAtNs = 0;  // when the last frame written will have left the wire
    qint64 m_stepBaseNs = 0;    // the chain's next pause counts from here

    LinkTimer m_poll{QStringLiteral("Obeznik"), DefaultPollMs, false};
    LinkTimer m_blockDelay{QStringLiteral("Zpozdeni"), BlockDelayMs, true};
    LinkTimer m_replyGuard{QStringLiteral("TimeOut"), ReplyGuardMs, true};
    LinkTimer m_messageTimer{QStringLiteral("NacteniKon"), MessageMs, true};
    LinkTimer m_diagMessage{QStringLiteral("TNacDiag"), 2000, true};
    LinkTimer m_diagGuard{QStringLiteral("TimeOutDiag"), ReplyGuardMs, true};
    LinkTimer m_cutOffReader{QStringLiteral("Ctenir"), 150, false};
    LinkTimer m_scopeTimer{QStringLiteral("Oscilo"), 50, false};
    LinkTimer m_chainPause{QStringLiteral("Pauza"), 0, true};
    LinkTimer m_lineQuiet{QStringLiteral("Mezera"), InterByteLimitMs, true};
    LinkTimer m_silenceGuard{QStringLiteral("Mlceni"), SilenceMs, true};

    quint8 m_cutOffAddress = 241;
    bool m_recording = false;
    quint8 m_channel1 = 0;
    quint8 m_channel2 = 1;
    bool m_twoChannels = false;
    int m_samples = 0;
    bool m_silent = false;
};

#pragma once
#include "frames.h"
#include "linktimer.h"
#include <QList>
#include <QObject>
#include <functional>

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
// Nothing in a reply says what it answers, so every sender sets the link state, and the receive
// handler reads exactly the length the state expects, tests the two framing bytes and hands the
// payload on. It knows no widgets: what arrived is said through signals, and pages ask it to send.
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

    UnitLink(SerialIo *port, UnitData *data, Prompts *prompts, QObject *parent = nullptr);

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
    LinkTimer &cutOffReader() { return m_cutOffReader; }     // 150 ms, repeating
    LinkTimer &scopeTimer() { return m_scopeTimer; }         // 50 ms, repeating

    // Frame senders. Each writes the whole frame once; a closed port sends nothing.
    void sendCommand(quint8 code);
    void sendWrite(int address, quint8 value);
    void sendService(int address, quint8 value);
    void sendAux(quint8 address);
    quint8 auxAddress() const { return quint8(m_frames.aux.at(2)); }

    // The prepared frames with their variable bytes set, for chains.
    QByteArray commandFrame(quint8 code) const;
    QByteArray writeFrame(int address, quint8 value) const;
    QByteArray serviceFrame(int address, quint8 value) const;
    // Sends the frames in order with their pauses; nothing else goes onto the wire until the last
    // one has left, then `done` runs. Callers must not rely on `done` having run on return.
    void sendChain(const QList<ChainStep> &steps, std::function<void()> done = {});

    // Operations of the pages. Each needs the unit: with no port open it sends nothing, changes no
    // state and says "Port není otevřen" instead.
    void WriteParamByte(int address, quint8 value);  // poll off, one write frame
    void commandWithoutAnswer(quint8 code);          // poll off, send, poll on
    void readBlock();                                // code 255, then the levels
    void writeBlock();                               // code 238, the block 50 ms later, then the check
    void requestLevels();                            // code 170
    void writeLevels();                              // the four levels as single writes
    void requestDiagnostics();                       // code 128
    void ShowLinkMessage(const QString &text);
    // For an operation a page builds itself: true when the port is open; otherwise says so on the
    // status labels (and through portNotOpen) and returns false.
    bool requirePort();
    // The user picked another page: the poll runs again, the feature readers stop.
    void returnToPolling();

    // Receive notification of the port; the count is not used, the state decides.
    void CP1RxChar();

    // The unit needs blocking pauses between the frames of a chain; tests may replace them.
    void setSleeper(std::function<void(int)> sleeper) { m_sleep = std::move(sleeper); }
    // A blocking pause on the user-interface thread, as the unit needs between two frames.
    void pause(int ms) { m_sleep(ms); }

    // While a measurement runs, byte 4 of each status reply goes here instead of the live
    // values; the poll goes on while it returns true.
    std::function<bool(quint8 code)> measurementHandler;
    // Each oscilloscope sample goes here; it returns false right after the first channel's
    // sample in two-channel mode, where the waiting bytes must not be purged.
    std::function<bool(quint8 sample)> scopeSampleHandler;

signals:
    void blockReceived(const QByteArray &block);        // a requested parameter block arrived whole
    void levelsReceived();                              // the level block was copied into the data
    void levelsReset();                                 // nothing answered: levels back to 10, 60, 10, 60
    void diagnosticsReceived(const QByteArray &record);
    void auxValueReceived(int value);                   // cut-off byte
    void linkMessage(const QString &text);              // show on both status labels
    void linkMessageHidden();
    void statusError(const QString &text);              // "Error Obeznik" on the tuning page label only
    void answerReceived();                              // a whole, well-framed answer came from the unit
    void portNotOpen(const QString &text);              // an operation was refused: no port is open

private:
    void ObeznikTimer();
    void ZpozdeniTimer();
    void TimeOutTimer();

    void handleStatus();
    void handleBlockRead();
    void handleLevelRead();
    void handleWriteCheckBlock();
    void handleWriteCheckLevels();
    void handleDiagnostics();
    void handleCutOff();
    void handleScope();
    void discardWaiting();

    SerialIo *m_port;
    UnitData *m_data;
    Prompts *m_prompts;
    Frames m_frames;
    int m_state = StatusState;
    bool m_guardResetsLevels = true;  // the running reply guard waits for a level read
    std::function<void(int)> m_sleep;

    LinkTimer m_poll{QStringLiteral("Obeznik"), DefaultPollMs, false};
    LinkTimer m_blockDelay{QStringLiteral("Zpozdeni"), BlockDelayMs, true};
    LinkTimer m_replyGuard{QStringLiteral("TimeOut"), ReplyGuardMs, true};
    LinkTimer m_messageTimer{QStringLiteral("NacteniKon"), MessageMs, true};
    LinkTimer m_diagMessage{QStringLiteral("TNacDiag"), 2000, true};
    LinkTimer m_cutOffReader{QStringLiteral("Ctenir"), 150, false};
    LinkTimer m_scopeTimer{QStringLiteral("Oscilo"), 50, false};
};

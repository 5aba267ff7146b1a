#pragma once
#include "blockread.h"
#include "blockwrite.h"
#include "commandexchange.h"
#include "cutoffreader.h"
#include "diagnosticsexchange.h"
#include "levelexchange.h"
#include "linktransport.h"
#include "measurementexchange.h"
#include "scoperecording.h"
#include "statuspoll.h"
#include "writenotes.h"
#include <QObject>

class LinkClock;
class Prompts;
class SerialIo;
class UnitData;

// The transport and every exchange under the names the pages still use.
class UnitLink : public QObject
{
    Q_OBJECT
public:
    enum State {
        StatusState = StatusPoll::State,
        BlockReadState = BlockRead::State,
        DiagnosticsState = DiagnosticsExchange::State,
        BlockPendingState = BlockWrite::PendingState,
        CutOffState = CutOffReader::State,
        ScopeState = ScopeRecording::State,
        WriteCheckBlockState = BlockWrite::CheckBlockState,
        WriteCheckLevelsState = BlockWrite::CheckLevelsState,
        LevelReadState = LevelExchange::State,
    };

    static constexpr int DefaultPollMs = LinkTransport::DefaultPollMs;
    static constexpr int BlockDelayMs = BlockWrite::BlockDelayMs;
    static constexpr int FramePauseMs = LinkTransport::FramePauseMs;
    static constexpr int MaxSamples = ScopeRecording::MaxSamples;
    static int replyTimeMs(int answerSize) { return LinkTransport::replyTimeMs(answerSize); }

    UnitLink(SerialIo *port, UnitData *data, Prompts *prompts, LinkClock *clock = nullptr, QObject *parent = nullptr);

    LinkTransport &transport() { return m_transport; }
    BlockWrite &blockWrite() { return m_blockWrite; }

    void prepareFrames();
    const Frames &frames() const { return m_transport.frames(); }
    int linkState() const { return m_transport.linkState(); }
    void setLinkState(int state) { m_transport.setLinkState(state); }

    LinkTimer &poll() { return m_transport.poll(); }
    LinkTimer &blockDelay() { return m_transport.blockDelay(); }
    LinkTimer &replyGuard() { return m_levels.replyGuard(); }
    LinkTimer &messageTimer() { return m_transport.messageTimer(); }
    LinkTimer &diagMessageTimer() { return m_diagnostics.diagMessageTimer(); }
    LinkTimer &diagReplyGuard() { return m_diagnostics.diagReplyGuard(); }
    LinkTimer &cutOffReader() { return m_cutOff.cutOffReader(); }
    LinkTimer &scopeTimer() { return m_recording.scopeTimer(); }
    LinkTimer &chainPause() { return m_transport.chainPause(); }
    LinkTimer &lineQuiet() { return m_transport.lineQuiet(); }

    void sendWrite(int address, quint8 value) { m_transport.send(m_transport.writeFrame(address, value)); }
    void sendService(int address, quint8 value) { m_transport.send(m_transport.serviceFrame(address, value)); }
    void sendAux(quint8 address) { m_transport.send(m_transport.auxFrame(address), Reply::AuxSize); }
    QByteArray commandFrame(quint8 code) const { return m_transport.commandFrame(code); }
    QByteArray writeFrame(int address, quint8 value) const { return m_transport.writeFrame(address, value); }
    QByteArray serviceFrame(int address, quint8 value) const { return m_transport.serviceFrame(address, value); }
    void sendChain(const QList<ChainStep> &steps, std::function<void()> done = {})
    {
        m_commands.sendChain(steps, std::move(done));
    }
    bool wireFree() const { return m_transport.wireFree(); }
    bool answerDue() const { return m_transport.answerDue(); }
    int queuedOperations() const { return m_transport.queuedOperations(); }
    int bytesWaiting() const { return m_transport.bytesWaiting(); }

    void commandWithoutAnswer(quint8 code, const QByteArray &before = {}) { m_commands.commandWithoutAnswer(code, before); }
    void readBlock() { m_blockRead.readBlock(); }
    void writeBlock() { m_blockWrite.writeBlock(); }
    void requestLevels() { m_levels.requestLevels(); }
    void writeLevels(bool pollAfterwards = false) { m_levels.writeLevels(pollAfterwards); }
    void startMeasurement(quint8 code) { m_measurement.startMeasurement(code); }
    void stopMeasurement() { m_measurement.stopMeasurement(); }
    void endMeasurement(bool keepPolling) { m_measurement.endMeasurement(keepPolling); }
    void requestDiagnostics() { m_diagnostics.requestDiagnostics(); }
    void clearErrors() { m_diagnostics.clearErrors(); }
    void storeService(const QDate &date, int tachoValue) { m_diagnostics.storeService(date, tachoValue); }
    QList<QByteArray> serviceFrames(const QDate &date, int tachoValue) const
    {
        return m_diagnostics.serviceFrames(date, tachoValue);
    }
    void ShowLinkMessage(const QString &text) { m_transport.ShowLinkMessage(text); }
    bool requirePort() { return m_transport.requirePort(); }
    void returnToPolling() { m_transport.returnToPolling(); }

    void startCutOffReading(quint8 address) { m_cutOff.startCutOffReading(address); }
    void setCutOffAddress(quint8 address) { m_cutOff.setCutOffAddress(address); }
    void stopCutOffReading() { m_cutOff.stopCutOffReading(); }
    bool cutOffReading() const { return m_cutOff.cutOffReading(); }
    void writeCutOff(int address, quint8 value) { m_cutOff.writeCutOff(address, value); }

    void startRecording(quint8 channel1, quint8 channel2, bool twoChannels)
    {
        m_recording.startRecording(channel1, channel2, twoChannels);
    }
    void setRecordingChannels(quint8 channel1, quint8 channel2, bool twoChannels)
    {
        m_recording.setRecordingChannels(channel1, channel2, twoChannels);
    }
    void stopRecording() { m_recording.stopRecording(); }
    bool recording() const { return m_recording.recording(); }
    int recordedSamples() const { return m_recording.recordedSamples(); }

    void CP1RxChar() { m_transport.CP1RxChar(); }

signals:
    void blockReceived(const QByteArray &block);
    void levelsReceived();
    void writeVerified();
    void levelsReset();
    void measurementCodeReceived(quint8 code);
    void diagnosticsReceived(const QByteArray &record);
    void diagnosticsMissing();
    void serviceChecked(bool stored);
    void auxValueReceived(int value);
    void cutOffReadingStopped();
    void recordingStarted();
    void recordingStopped();
    void recordingTick(int samples);
    void recordedValue(int channel, int index, int value);
    void sampleRecorded(int index);
    void readerSilenceChanged(bool silent);
    void linkMessage(const QString &text);
    void linkMessageHidden();
    void statusError(const QString &text);
    void answerReceived();
    void statusReplyMissing(qint64 polledAt);
    void portNotOpen(const QString &text);

private:
    UnitData *m_data;
    LinkTransport m_transport;
    WriteNotes m_notes;
    CommandExchange m_commands;
    StatusPoll m_status;
    LevelExchange m_levels;
    BlockRead m_blockRead;
    BlockWrite m_blockWrite;
    MeasurementExchange m_measurement;
    DiagnosticsExchange m_diagnostics;
    ScopeRecording m_recording;
    CutOffReader m_cutOff;
};

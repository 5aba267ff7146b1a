#pragma once
#include "linkreader.h"

// The oscilloscope's recording: instead of the poll, one request every 50 ms for the byte at a
// channel's address, the answers alternating channel 1, channel 2 in two-channel mode; it ends
// after MaxSamples samples or when stopped.
class ScopeRecording : public LinkReader
{
    Q_OBJECT
public:
    static constexpr int RequestMs = 50;
    static constexpr int MaxSamples = 3000;

    explicit ScopeRecording(LinkTransport *link, QObject *parent = nullptr);

    void startRecording(quint8 channel1, quint8 channel2, bool twoChannels);
    // The channels take effect with the next answer.
    void setRecordingChannels(quint8 channel1, quint8 channel2, bool twoChannels);
    void stopRecording();
    bool recording() const { return m_timer.isEnabled(); }

    bool reading() const override { return recording(); }
    void endReading() override { stopRecording(); }

    LinkTimer &scopeTimer() { return m_timer; }

signals:
    void recordingStarted();
    void recordingStopped();                                // by a request, a page change or the end
    void recordingTick(int samples);                        // before each request
    void recordedValue(int channel, int index, int value);  // channel 1 or 2, sample `index`
    void sampleRecorded(int index);                         // sample `index` is complete

private:
    void requestScopeSample();
    void take(const QByteArray &reply);
    void lost();
    bool takeRecordedValue(quint8 value);  // true when the waiting bytes are to be purged

    quint8 m_channel1 = 0;
    quint8 m_channel2 = 1;
    bool m_twoChannels = false;
    quint8 m_asked = 0;  // the address the last request asked for: whose the next answer is
    int m_samples = 0;
    // Runs exactly while recording: its requests are the recording.
    LinkTimer m_timer{QStringLiteral("Oscilo"), RequestMs, false};
};

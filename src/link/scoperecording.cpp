#include "scoperecording.h"
#include "linktransport.h"

ScopeRecording::ScopeRecording(LinkTransport *link, QObject *parent) : LinkReader(link, parent)
{
    link->own(LinkState::ScopeSample, {Reply::AuxSize, 0x02, 0x03}, [this](const QByteArray &reply) { take(reply); },
              [this] { lost(); });
    connect(&m_timer, &LinkTimer::fired, this, &ScopeRecording::requestScopeSample);
}

void ScopeRecording::startRecording(quint8 channel1, quint8 channel2, bool twoChannels)
{
    takeLink(LinkState::ScopeSample);
    m_timer.enable();
    m_samples = 0;
    setRecordingChannels(channel1, channel2, twoChannels);
    emit recordingStarted();
    m_asked = m_channel1;
    silenceFromNow();
}

void ScopeRecording::setRecordingChannels(quint8 channel1, quint8 channel2, bool twoChannels)
{
    m_channel1 = channel1;
    m_channel2 = channel2;
    m_twoChannels = twoChannels;
}

void ScopeRecording::stopRecording()
{
    m_timer.disable();
    handLinkBack();
    m_link->endReaders(this);
    silenceOff();
    emit recordingStopped();
}

void ScopeRecording::requestScopeSample()
{
    if (m_samples >= MaxSamples) {
        stopRecording();
        return;
    }
    emit recordingTick(m_samples);
    m_link->send(m_link->auxFrame(m_asked), Reply::AuxSize);
}

void ScopeRecording::take(const QByteArray &reply)
{
    if (takeRecordedValue(quint8(reply.at(1))))
        m_link->purge();
}

// An answer lost on the line: whatever waits goes, and the requests go on.
void ScopeRecording::lost()
{
    m_link->purge();
}

bool ScopeRecording::takeRecordedValue(quint8 value)
{
    if (!recording() || m_samples >= MaxSamples)
        return true;
    answered();
    // Equal addresses would ask channel 1 for ever and never complete a sample.
    const bool two = m_twoChannels && m_channel1 != m_channel2;
    if (m_asked == m_channel1) {
        emit recordedValue(1, m_samples, value);
        if (two) {
            // The second channel's answer may already be on its way: keep what waits.
            m_asked = m_channel2;
            return false;
        }
    } else {
        emit recordedValue(2, m_samples, value);
    }
    m_asked = m_channel1;
    emit sampleRecorded(m_samples++);
    return true;
}

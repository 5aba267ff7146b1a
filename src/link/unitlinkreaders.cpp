// The link's two readers: cut-off communication and the oscilloscope's recording. Both replace
// the status poll with their own requests and share the rule that a reader whose unit stopped
// answering says so.
#include "unitdata.h"
#include "unitlink.h"

void UnitLink::connectReaders()
{
    connect(&m_cutOffReader, &LinkTimer::fired, this, &UnitLink::CtenirTimer);
    connect(&m_scopeTimer, &LinkTimer::fired, this, &UnitLink::OsciloTimer);
    connect(&m_silenceGuard, &LinkTimer::fired, this, &UnitLink::readerSilent);
}

void UnitLink::startCutOffReading(quint8 address)
{
    m_cutOffAddress = address;
    m_poll.disable();
    m_cutOffReader.enable();
    m_scopeTimer.disable();
    // Ending the recording turns the poll on and the reader off again: the first click only
    // ends the recording, and the next poll tick takes the link back to tuning communication.
    if (m_recording)
        stopRecording();
    m_state = CutOffState;
    updateSilenceGuard(true);
}

void UnitLink::stopCutOffReading()
{
    const bool wasReading = m_cutOffReader.isEnabled();
    m_poll.enable();
    m_cutOffReader.disable();
    m_scopeTimer.disable();
    if (m_recording)
        stopRecording();
    m_state = StatusState;
    updateSilenceGuard(false);
    if (wasReading)
        emit cutOffReadingStopped();
}

void UnitLink::writeCutOff(int address, quint8 value)
{
    if (!requirePort())
        return;
    sendWrite(address, value);
    // The threshold at 67 is block byte 20: a later block write must not put the old one back.
    const int index = address - UnitAddress::ParamOffset;
    if (index >= 1 && index <= UnitData::ParamBlockSize - 2)
        m_data->paramBlock[std::size_t(index)] = value;
}

void UnitLink::startRecording(quint8 channel1, quint8 channel2, bool twoChannels)
{
    m_poll.disable();
    m_cutOffReader.disable();
    m_scopeTimer.enable();
    m_samples = 0;
    m_recording = true;
    setRecordingChannels(channel1, channel2, twoChannels);
    emit recordingStarted();
    m_frames.aux[2] = char(m_channel1);
    m_state = ScopeState;
    updateSilenceGuard(true);
}

void UnitLink::setRecordingChannels(quint8 channel1, quint8 channel2, bool twoChannels)
{
    m_channel1 = channel1;
    m_channel2 = channel2;
    m_twoChannels = twoChannels;
}

void UnitLink::stopRecording()
{
    m_poll.enable();
    m_cutOffReader.disable();
    m_scopeTimer.disable();
    m_recording = false;
    m_state = StatusState;
    updateSilenceGuard(false);
    emit recordingStopped();
}

void UnitLink::endReaders()
{
    if (m_recording)
        stopRecording();
    if (m_cutOffReader.isEnabled())
        stopCutOffReading();
}

void UnitLink::CtenirTimer()
{
    sendAux(m_cutOffAddress);
}

void UnitLink::OsciloTimer()
{
    if (m_samples >= MaxSamples) {
        stopRecording();
        return;
    }
    emit recordingTick(m_samples);
    sendAux(auxAddress());
}

bool UnitLink::takeRecordedValue(quint8 value)
{
    if (!m_recording || m_samples >= MaxSamples)
        return true;
    readerAnswered();
    // Equal addresses would ask channel 1 for ever and never complete a sample.
    const bool two = m_twoChannels && m_channel1 != m_channel2;
    if (auxAddress() == m_channel1) {
        emit recordedValue(1, m_samples, value);
        if (two) {
            // The second channel's answer may already be on its way: keep what waits.
            m_frames.aux[2] = char(m_channel2);
            return false;
        }
    } else {
        emit recordedValue(2, m_samples, value);
    }
    m_frames.aux[2] = char(m_channel1);
    emit sampleRecorded(m_samples++);
    return true;
}

void UnitLink::readerAnswered()
{
    if (!m_recording && !m_cutOffReader.isEnabled())
        return;
    m_silenceGuard.restart();
    if (m_silent) {
        m_silent = false;
        emit readerSilenceChanged(false);
    }
}

void UnitLink::readerSilent()
{
    if (!m_recording && !m_cutOffReader.isEnabled())
        return;
    m_silent = true;
    emit readerSilenceChanged(true);
}

void UnitLink::updateSilenceGuard(bool fresh)
{
    const bool running = m_recording || m_cutOffReader.isEnabled();
    if (running && !fresh)
        return;
    if (running)
        m_silenceGuard.restart();
    else
        m_silenceGuard.disable();
    if (m_silent) {
        m_silent = false;
        emit readerSilenceChanged(false);
    }
}

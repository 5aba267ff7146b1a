#include "unitlink.h"
#include "unitdata.h"

UnitLink::UnitLink(SerialIo *port, UnitData *data, Prompts *prompts, LinkClock *clock, QObject *parent)
    : QObject(parent), m_data(data), m_transport(port, clock), m_notes(&m_transport, data), m_commands(&m_transport),
      m_status(&m_transport, data, prompts), m_levels(&m_transport, data), m_blockRead(&m_transport, data, &m_levels),
      m_blockWrite(&m_transport, data, prompts), m_measurement(&m_transport, data, &m_status, &m_blockRead),
      m_diagnostics(&m_transport, data), m_recording(&m_transport), m_cutOff(&m_transport, data)
{
    connect(&m_blockRead, &BlockRead::blockReceived, this, &UnitLink::blockReceived);
    connect(&m_levels, &LevelExchange::levelsReceived, this, &UnitLink::levelsReceived);
    connect(&m_levels, &LevelExchange::levelsReset, this, &UnitLink::levelsReset);
    connect(&m_blockWrite, &BlockWrite::writeVerified, this, &UnitLink::writeVerified);
    connect(&m_measurement, &MeasurementExchange::measurementCodeReceived, this, &UnitLink::measurementCodeReceived);
    connect(&m_diagnostics, &DiagnosticsExchange::diagnosticsReceived, this, &UnitLink::diagnosticsReceived);
    connect(&m_diagnostics, &DiagnosticsExchange::diagnosticsMissing, this, &UnitLink::diagnosticsMissing);
    connect(&m_diagnostics, &DiagnosticsExchange::serviceChecked, this, &UnitLink::serviceChecked);
    connect(&m_cutOff, &CutOffReader::auxValueReceived, this, &UnitLink::auxValueReceived);
    connect(&m_cutOff, &CutOffReader::cutOffReadingStopped, this, &UnitLink::cutOffReadingStopped);
    connect(&m_cutOff, &LinkReader::readerSilenceChanged, this, &UnitLink::readerSilenceChanged);
    connect(&m_recording, &LinkReader::readerSilenceChanged, this, &UnitLink::readerSilenceChanged);
    connect(&m_recording, &ScopeRecording::recordingStarted, this, &UnitLink::recordingStarted);
    connect(&m_recording, &ScopeRecording::recordingStopped, this, &UnitLink::recordingStopped);
    connect(&m_recording, &ScopeRecording::recordingTick, this, &UnitLink::recordingTick);
    connect(&m_recording, &ScopeRecording::recordedValue, this, &UnitLink::recordedValue);
    connect(&m_recording, &ScopeRecording::sampleRecorded, this, &UnitLink::sampleRecorded);
    connect(&m_transport, &LinkTransport::linkMessage, this, &UnitLink::linkMessage);
    connect(&m_transport, &LinkTransport::linkMessageHidden, this, &UnitLink::linkMessageHidden);
    connect(&m_status, &StatusPoll::statusError, this, &UnitLink::statusError);
    connect(&m_transport, &LinkTransport::answerReceived, this, &UnitLink::answerReceived);
    connect(&m_status, &StatusPoll::statusReplyMissing, this, &UnitLink::statusReplyMissing);
    connect(&m_transport, &LinkTransport::portNotOpen, this, &UnitLink::portNotOpen);
}

void UnitLink::prepareFrames()
{
    m_transport.prepareFrames();
    m_data->resetBlocks();
}

#include "recordingsetkeeper.h"
#include "logrecorder.h"
#include "recordedsets.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"

RecordingSetKeeper::RecordingSetKeeper(LogRecorder *recorder, const UnitData *data, QObject *parent)
    : QObject(parent), m_recorder(recorder), m_data(data)
{
    connect(recorder, &LogRecorder::started, this, [this] {
        m_number = 0;
        keep(m_data->set().value());
    });
}

void RecordingSetKeeper::setWritten()
{
    if (!m_recorder->isRecording())
        return;
    keep(m_data->set().value());
    mark();
}

void RecordingSetKeeper::byteWritten(int index, quint8 value, quint8 version)
{
    if (!m_recorder->isRecording() || m_last.isEmpty() || index < 0 || index >= ParamBlock::Size)
        return;
    keep(m_last.withParam(index, value).withParam(ParamBlock::SetVersion, version));
    mark();
}

void RecordingSetKeeper::mark()
{
    m_recorder->addStatusRow(RecordedSets::writtenStatus(m_number));
}

void RecordingSetKeeper::keep(const ParameterSet &set)
{
    if (m_recorder->files().isEmpty())
        return;
    ++m_number;
    m_last = set;
    RecordedSets::keep(m_recorder->files().first(), m_number, set, nullptr);
}

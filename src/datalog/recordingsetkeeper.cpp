#include "recordingsetkeeper.h"
#include "logrecorder.h"
#include "recordedsets.h"
#include "cfgfiles/configfile.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"

RecordingSetKeeper::RecordingSetKeeper(LogRecorder *recorder, const UnitData *data, QObject *parent)
    : QObject(parent), m_recorder(recorder), m_data(data)
{
    connect(recorder, &LogRecorder::started, this, [this] {
        m_number = 0;
        keep(m_data->set().paramBytes());
    });
}

void RecordingSetKeeper::setWritten()
{
    if (!m_recorder->isRecording())
        return;
    keep(m_data->set().paramBytes());
    mark();
}

void RecordingSetKeeper::byteWritten(int index, quint8 value, quint8 version)
{
    if (!m_recorder->isRecording() || index < 0 || index >= m_last.size())
        return;
    QByteArray block = m_last;
    block[index] = char(value);
    block[ParamBlock::SetVersion] = char(version);
    keep(block);
    mark();
}

void RecordingSetKeeper::mark()
{
    m_recorder->addStatusRow(RecordedSets::writtenStatus(m_number));
}

void RecordingSetKeeper::keep(const QByteArray &block)
{
    if (m_recorder->files().isEmpty())
        return;
    ++m_number;
    m_last = block;
    RecordedSets::keep(m_recorder->files().first(), m_number, block, m_data->set().levelBytes(), m_data->set().levelsValid(), nullptr);
}

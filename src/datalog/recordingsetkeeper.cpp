#include "recordingsetkeeper.h"
#include "logrecorder.h"
#include "recordedsets.h"
#include "cfgfiles/configfile.h"
#include "link/unitdata.h"

RecordingSetKeeper::RecordingSetKeeper(LogRecorder *recorder, const UnitData *data, QObject *parent)
    : QObject(parent), m_recorder(recorder), m_data(data)
{
    connect(recorder, &LogRecorder::started, this, [this] {
        m_number = 0;
        keep();
    });
}

void RecordingSetKeeper::setWritten()
{
    if (!m_recorder->isRecording())
        return;
    keep();
    m_recorder->addStatusRow(RecordedSets::writtenStatus(m_number));
}

void RecordingSetKeeper::keep()
{
    if (m_recorder->files().isEmpty())
        return;
    ++m_number;
    const QByteArray block(reinterpret_cast<const char *>(m_data->paramBlock.data()), int(m_data->paramBlock.size()));
    const QByteArray levels = m_data->levelsValid
                                  ? QByteArray(reinterpret_cast<const char *>(m_data->levelBlock.data()), int(m_data->levelBlock.size()))
                                  : ConfigFile::noLevelsPart();
    RecordedSets::keep(m_recorder->files().first(), m_number, block, levels, nullptr);
}

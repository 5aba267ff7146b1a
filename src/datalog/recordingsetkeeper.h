#pragma once
#include "link/parameterset.h"
#include <QObject>

class LogRecorder;
class UnitData;

// Keeps beside a recording the sets it is made against: the tool's set when it starts, and each
// set written to the unit while it runs, whose moment a row's status marks. A set that cannot be
// kept does not stop the recording: its analysis then uses the tool's set and says so.
class RecordingSetKeeper : public QObject
{
    Q_OBJECT
public:
    RecordingSetKeeper(LogRecorder *recorder, const UnitData *data, QObject *parent = nullptr);

    // The unit now holds the tool's set (a whole block written and checked).
    void setWritten();
    // One byte and the version byte were sent to the unit ("Ulož"): the unit holds the set kept
    // last with those two, whatever else the tool's copy holds unsaved.
    void byteWritten(int index, quint8 value, quint8 version);

private:
    void keep(const ParameterSet &set);
    void mark();

    LogRecorder *m_recorder;
    const UnitData *m_data;
    int m_number = 0;
    ParameterSet m_last;  // the set kept last
};

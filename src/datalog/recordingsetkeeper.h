#pragma once
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

private:
    void keep();

    LogRecorder *m_recorder;
    const UnitData *m_data;
    int m_number = 0;
};

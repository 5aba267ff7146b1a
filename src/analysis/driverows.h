#pragma once
#include "driveset.h"
#include <QtGlobal>
#include <vector>

// One row of a recording as the analysis reads it: 9 bytes.
struct DriveRow
{
    enum Flag : quint8 { Values = 1, Measuring = 2, SetWritten = 4 };
    qint32 ms = 0;
    quint8 lambda = 0, tps = 0, position = 0;
    quint8 flags = 0;
    quint8 set = 0;  // which of DriveInput::sets was in force
    bool has(Flag f) const { return flags & f; }
};

// A recorded drive and the sets it was recorded against, the first being the one at its start.
struct DriveInput
{
    std::vector<DriveRow> rows;
    std::vector<DriveSet> sets;
    // Rows further apart than this are not joined: the poll stood still.
    qint64 gapMs = 1000;
    // The recording did not keep its set: the tool's was taken.
    bool setFromTool = false;
};

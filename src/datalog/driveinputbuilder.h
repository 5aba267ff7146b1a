#pragma once
#include "analysis/driverows.h"
#include <memory>

class Recording;

// Turns a recording's rows into the analysis's rows a slice at a time, so a long one never holds
// the window: each row with the set in force (a row whose status says a set was written switches
// to that set from there on).
class DriveInputBuilder
{
public:
    DriveInputBuilder(const Recording *recording, std::vector<DriveSet> sets, bool setFromTool);

    // Converts up to `rows` more rows; true when the whole recording is done.
    bool step(int rows);
    std::shared_ptr<const DriveInput> result() const { return m_input; }
    const Recording *recording() const { return m_recording; }

private:
    void startingSet();

    const Recording *m_recording;
    std::shared_ptr<DriveInput> m_input;
    int m_next = 0;
    quint8 m_set = 0;
    int m_firstWritten = -1;  // the first row that says a set was written
};

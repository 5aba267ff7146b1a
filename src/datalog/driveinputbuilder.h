#pragma once
#include "analysis/driverows.h"
#include "link/parameterset.h"
#include <memory>

class Recording;

// Turns a recording's rows into the analysis's rows a slice at a time, so a long one never holds
// the window: each row with the set in force when it was recorded (a row whose status says a set
// was written switches to that set from there on).
class DriveInputBuilder
{
public:
    // `startSet`: the index of the set in force at the first row.
    DriveInputBuilder(const Recording *recording, std::vector<DriveSet> sets, bool setFromTool, int startSet = 0);
    // For a recording file: the sets kept beside it, from the one in force when this part of it
    // began, or the tool's set when it kept none. `kept` gets the kept sets.
    static std::unique_ptr<DriveInputBuilder> forFile(const Recording *recording, const QString &csvPath,
                                                      const ParameterSet &toolSet, std::vector<ParameterSet> *kept = nullptr);

    // Converts up to `rows` more rows; true when the whole recording is done.
    bool step(int rows);
    std::shared_ptr<const DriveInput> result() const { return m_input; }
    const Recording *recording() const { return m_recording; }

private:
    const Recording *m_recording;
    std::shared_ptr<DriveInput> m_input;
    int m_next = 0;
    quint8 m_set = 0;
};

#pragma once
#include "link/parameterset.h"
#include <QString>
#include <vector>

// The sets a recording was made against, kept beside its CSV in the configuration-file format:
// "<name>.cfg" the set at its start, "<name>.sada2.cfg" the next one written to the unit during
// it, and so on. The row of a write says so in its status.
namespace RecordedSets {

QString pathFor(const QString &csvPath, int number);
// "zapsána sada 2"; the number of such a status, 0 for any other.
QString writtenStatus(int number);
int writtenNumber(const QString &status);

// Keeps set `number` of the recording, with its levels only when the set has them (a set without
// levels is kept as one: the file says "no levels"); false with the reason in `error`.
bool keep(const QString &csvPath, int number, const ParameterSet &set, QString *error);
// The sets kept beside a recording, the one at its start first; empty when it kept none. A
// damaged or missing later set ends the list there. A later part of a long recording
// ("..._2.csv") has the sets of its first part.
std::vector<ParameterSet> load(const QString &csvPath);
// The number of the set in force when this part of a recording began: 1 for a first part, for a
// later one the set written last in the parts before it.
int inForceAtStart(const QString &csvPath);

}  // namespace RecordedSets

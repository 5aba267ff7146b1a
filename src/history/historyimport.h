#pragma once
#include "visit.h"

// What a PC that kept no history yet already holds in its data folder, as visits: each service
// report names its unit ("protokoly/2026-12-07_14-03_117.pdf"), and the backups of the same day up
// to the report's minute are that visit's sets as read. Reports without a unit ("bez-cisla") and
// backups tied to no report stay out. A report names its unit's year since reports did; an older
// one leaves the year unknown. Ids come from the PC, the file names and the report's contents, so a
// second import adds nothing and two PCs with a report of the same name keep a visit each.
namespace HistoryImport {
QList<Visit> visitsIn(const QString &dataFolder, const QString &pc);
}

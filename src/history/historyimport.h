#pragma once
#include "visit.h"

// What a PC that kept no history yet already holds in its data folder, as visits: each service
// report names its unit ("protokoly/2026-12-07_14-03_117.pdf"), and the backups of the same day up
// to the report's minute are that visit's sets as read. Reports without a unit ("bez-cisla") and
// backups tied to no report stay out. Ids come from the file names, so a second import adds nothing.
namespace HistoryImport {
QList<Visit> visitsIn(const QString &dataFolder, const QString &pc);
}

#pragma once
#include "history/visit.h"
#include <QStringList>

namespace VisitDetails {
// One visit as the page shows it (HTML): the unit, who and where, the error counters before and
// after clearing, the sets, recordings, reports and notes, and the previous visit with the
// number of values changed since.
QString html(const Visit &visit, const Visit &previous, const QStringList &versionNames);
// "zápis – nesprávně" and the like, for the list of a visit's sets.
QString setKind(const VisitSet &set);
QString checkText(const VisitSet &set);
QString timeText(const QDateTime &when);
}  // namespace VisitDetails

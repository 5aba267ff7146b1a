#pragma once
#include "link/parameterset.h"
#include <QDateTime>
#include <QString>
#include <QStringList>

class UnitData;

// The unit's visit before this one, as the history keeps it.
struct PreviousVisit
{
    QDateTime at;  // invalid: the history knows no earlier visit of this unit
    QString technician;
    ParameterSet set;  // the visit's last set; empty if none
    bool known() const { return at.isValid(); }
};

// The report's part on the previous visit, as HTML under its heading: when and by whom, then
// each setting that differs between that visit's last set and the tool's set now.
QString previousVisitSectionBody(const PreviousVisit &previous, const UnitData &data, const QStringList &versionNames,
                                 bool blockOfThisUnit);

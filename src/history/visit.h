#pragma once
#include "link/parameterset.h"
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include "link/unitidentity.h"
#include <optional>

// What the history keeps. Every id is a UUID in text form, so visits made apart never collide.

// A parameter set at one moment of a visit: the first read, or a write and how its check ended.
struct VisitSet
{
    enum class Kind { Read, Write };
    // How a write's check ended; a read is always Verified.
    enum class Check { Verified, Wrong, Unverified };
    QString id;
    QDateTime at;
    Kind kind = Kind::Read;
    ParameterSet set;  // without levels when the unit gave none or they were not yet read
    Check check = Check::Verified;
};

struct VisitRecording
{
    QString id;
    QDateTime at;
    QString name;      // the file name, without the folder
    qint64 lengthMs = 0;
    QString pc;        // the PC that has the file
    QString analysis;  // empty when none was made
};

struct VisitReport
{
    QString id;
    QDateTime at;
    QString name;
    QByteArray pdf;
};

struct Visit
{
    QString id;
    QString unitId;
    std::optional<UnitIdentity> unit;  // none while the unit is kept "bez čísla"
    QString vehicle;  // as the technician typed it (plate or VIN); remembered for the unit
    QString customer;  // as the report asked it; remembered for the unit
    QDateTime started;
    QDateTime ended;  // invalid while the visit is open
    QString technician;
    QString pc;
    QByteArray record;        // the diagnostic record as last read
    QByteArray errorsBefore;  // the record as the unit came in
    QByteArray errorsAfter;   // the record after the error memory was cleared; empty if not cleared
    QDateTime serviceStored;  // when the service record was stored and checked; invalid if not
    QString notes;
    QList<VisitSet> sets;
    QList<VisitRecording> recordings;
    QList<VisitReport> reports;

    const VisitSet *firstRead() const;
};

// One row of the unit list.
struct UnitSummary
{
    QString id;
    std::optional<UnitIdentity> unit;  // none: "bez čísla"
    QString vehicle;
    QDateTime lastVisit;
    int visitCount = 0;
};

// One row of a unit's visit list.
struct VisitSummary
{
    QString id;
    QDateTime started;
    QDateTime ended;
    QString technician;
    QString pc;
    int writes = 0;
    int reports = 0;
};

namespace HistoryIds {
QString newId();
// The same serial number and year give the same unit id on every PC. A unit whose year is unknown
// (kept before the year was) has the id it had then, from its serial number alone.
QString unitId(const UnitIdentity &unit);
}  // namespace HistoryIds

Q_DECLARE_METATYPE(Visit)
Q_DECLARE_METATYPE(UnitSummary)
Q_DECLARE_METATYPE(VisitSummary)

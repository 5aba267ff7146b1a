#pragma once
#include "link/parameterset.h"
#include "link/unitidentity.h"
#include <QByteArray>
#include <QString>
#include <optional>

class UnitData;

// Which unit the service report is about. What the tool notes during a run (errors cleared, the
// counters before that, settings written, the set before the first write) belongs to one unit: a
// record of another unit (another serial number or another year), or a block after a new
// connection that differs from what the tool knew, starts the next unit's report afresh, and
// nothing of the previous unit stays in it.
class UnitSession
{
public:
    explicit UnitSession(UnitData *data) : m_data(data) {}

    // The unit answers again after it did not (a new connection, or a cable moved to another car).
    void linkAnswering(bool answering);
    // A diagnostic record, after the tool's data took it.
    void takeRecord(const QByteArray &record);
    // A parameter block read whole from the unit (a set without levels: they are not compared).
    void takeBlock(const ParameterSet &read);
    // A backup of a set read whole from the unit was kept (or found unchanged) at `path`.
    void takeBackup(const QString &path);

    // The set before this unit's first write, or empty when none is known for this unit.
    QString backupBeforeWrites() const { return m_setBefore; }
    // The tool's block came from this unit (read, or written to it); false right after a record
    // revealed another unit, until its block is read.
    bool blockIsThisUnits() const;
    // How many times another unit was recognised in this run.
    int unitChanges() const { return m_changes; }

private:
    void startNewUnit(bool recordIsOld);

    UnitData *m_data;
    std::optional<UnitIdentity> m_identity;  // none before a record came
    ParameterSet m_lastBlock;  // the block last read from this unit
    ParameterSet m_setAtRenewal;  // the tool's block when the unit answered again
    QString m_setBefore;
    bool m_blockOwned = true;
    bool m_answering = false;
    // Since the unit last answered again: it may be another one until a record or block says.
    bool m_renewed = false;
    bool m_recordSinceRenewal = false;
    bool m_blockSinceRenewal = false;
    QString m_backupSinceRenewal;
    int m_changes = 0;
};

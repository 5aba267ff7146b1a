#pragma once
#include "vehicledetails.h"
#include "link/unitidentity.h"
#include <QString>

// The customer and vehicle last typed for a unit, kept by the unit's serial number and year of
// manufacture ("jednotka-117-2019.json": serial numbers repeat across years) so that the next report
// of the same unit offers them again. One small file per unit in `folder`.
class VehicleDetailsStore
{
public:
    explicit VehicleDetailsStore(const QString &folder = QString()) : m_folder(folder) {}
    void setFolder(const QString &folder) { m_folder = folder; }

    // Empty details for a unit never seen, a unit whose year is unknown or an unreadable file.
    VehicleDetails load(const UnitIdentity &unit) const;
    // False when the file cannot be written; a report goes on without it.
    bool save(const UnitIdentity &unit, const VehicleDetails &details) const;

private:
    QString pathFor(const UnitIdentity &unit) const;
    QString m_folder;
};

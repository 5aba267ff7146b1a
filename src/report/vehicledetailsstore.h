#pragma once
#include "vehicledetails.h"
#include <QString>

// The customer and vehicle last typed for a unit, kept by the unit's serial number ("117-2019": with
// its year of manufacture, as serial numbers repeat across years) so that the
// next report of the same unit offers them again. One small file per unit in `folder`; a unit
// history may take this place later behind the same two calls.
class VehicleDetailsStore
{
public:
    explicit VehicleDetailsStore(const QString &folder = QString()) : m_folder(folder) {}
    void setFolder(const QString &folder) { m_folder = folder; }

    // Empty details for a unit never seen, an empty serial or an unreadable file.
    VehicleDetails load(const QString &serial) const;
    // False when the file cannot be written; a report goes on without it.
    bool save(const QString &serial, const VehicleDetails &details) const;

private:
    QString pathFor(const QString &serial) const;
    QString m_folder;
};

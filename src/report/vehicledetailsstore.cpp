#include "vehicledetailsstore.h"
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
const char *const Keys[] = {"zakaznik", "spz", "vin", "tachometr"};
QString *fieldOf(VehicleDetails &d, int i)
{
    QString *fields[] = {&d.customer, &d.plate, &d.vin, &d.mileage};
    return fields[i];
}
}

QString VehicleDetailsStore::pathFor(const UnitIdentity &unit) const
{
    // Without its year the unit could be another car's.
    if (m_folder.isEmpty() || !unit.year)
        return QString();
    return QDir(m_folder).filePath(QStringLiteral("jednotka-%1.json").arg(unit.fileNamePart()));
}

VehicleDetails VehicleDetailsStore::load(const UnitIdentity &unit) const
{
    VehicleDetails details;
    QFile file(pathFor(unit));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return details;
    const QJsonObject json = QJsonDocument::fromJson(file.read(64 * 1024)).object();
    for (int i = 0; i < 4; ++i)
        *fieldOf(details, i) = json.value(QLatin1String(Keys[i])).toString();
    return details;
}

bool VehicleDetailsStore::save(const UnitIdentity &unit, const VehicleDetails &details) const
{
    const QString path = pathFor(unit);
    if (path.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    QJsonObject json;
    VehicleDetails copy = details;
    for (int i = 0; i < 4; ++i)
        json.insert(QLatin1String(Keys[i]), *fieldOf(copy, i));
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(json).toJson()) >= 0 && file.commit();
}

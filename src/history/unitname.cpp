#include "unitname.h"
#include <QVariant>

namespace UnitName {

QString unnamed()
{
    return QStringLiteral("bez čísla");
}

QString unknownYear()
{
    return QStringLiteral("rok neznámý");
}

QString serial(const std::optional<UnitIdentity> &unit)
{
    return unit ? QString::number(unit->serial) : unnamed();
}

QString year(const std::optional<UnitIdentity> &unit)
{
    if (!unit)
        return QString();
    return unit->year ? QString::number(*unit->year) : unknownYear();
}

QString full(const std::optional<UnitIdentity> &unit)
{
    if (!unit)
        return unnamed();
    return unit->year ? QStringLiteral("%1 / %2").arg(unit->serial).arg(*unit->year)
                      : QStringLiteral("%1, %2").arg(unit->serial).arg(unknownYear());
}

std::optional<UnitIdentity> fromColumns(const QString &serial, const QVariant &year)
{
    bool number = false;
    const int value = serial.toInt(&number);
    if (!number)
        return std::nullopt;
    UnitIdentity unit{value, std::nullopt};
    if (!year.isNull())
        unit.year = year.toInt();
    return unit;
}

}  // namespace UnitName

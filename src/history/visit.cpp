#include "visit.h"
#include <QUuid>

const VisitSet *Visit::firstRead() const
{
    for (const VisitSet &set : sets) {
        if (set.kind == VisitSet::Kind::Read)
            return &set;
    }
    return nullptr;
}

namespace HistoryIds {

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString unitId(const UnitIdentity &unit)
{
    static const QUuid space(QStringLiteral("{6f1c2a4e-93b0-4c55-9a57-3d0e8f4b2c61}"));
    const QString name = unit.year ? QStringLiteral("%1/%2").arg(unit.serial).arg(*unit.year) : QString::number(unit.serial);
    return QUuid::createUuidV5(space, name).toString(QUuid::WithoutBraces);
}

}  // namespace HistoryIds

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

QString unitId(const QString &serial)
{
    static const QUuid space(QStringLiteral("{6f1c2a4e-93b0-4c55-9a57-3d0e8f4b2c61}"));
    return QUuid::createUuidV5(space, serial).toString(QUuid::WithoutBraces);
}

}  // namespace HistoryIds

#include "unitidentity.h"
#include "frames.h"

std::optional<UnitIdentity> UnitIdentity::fromRecord(const QByteArray &record)
{
    if (!Reply::framed(record, Reply::BlockSize, 0x02, 0x03))
        return std::nullopt;
    return UnitIdentity{quint8(record.at(2)), 2000 + quint8(record.at(3))};
}

QString UnitIdentity::fileNamePart() const
{
    return year ? QStringLiteral("%1-%2").arg(serial).arg(*year) : QString::number(serial);
}

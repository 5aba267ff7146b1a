#include "recordfields.h"

namespace RecordFields {

quint32 number(const QByteArray &record, int offset, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(record.at(offset + i));
    return value;
}

QString operatingTime(quint32 ticks)
{
    const quint32 minutes = ticks * 16 / 10;  // fits: 24 bits times 16
    return QString::asprintf("%02u/%02u  %02u:%02u", minutes / 43200, (minutes / 1440) % 30, (minutes / 60) % 24,
                             minutes % 60);
}

QString text(const Field &field, const QByteArray &record)
{
    const int at = field.offset;
    switch (field.kind) {
    case Kind::Byte: return QString::number(number(record, at, 1));
    case Kind::Year: return QString::number(2000 + number(record, at, 1));
    case Kind::OperatingTime: return operatingTime(number(record, at, 3));
    case Kind::Reading: return QString::number(number(record, at, 3));
    case Kind::Date:
        return QString::asprintf("%02d/%02d/%02d", quint8(record.at(at)), quint8(record.at(at + 1)),
                                 quint8(record.at(at + 2)));
    }
    return QString();
}

}  // namespace RecordFields

#include "unitdata.h"

UnitData::UnitData(QObject *parent)
    : QObject(parent)
{
}

bool UnitData::isParamBlock(const QByteArray &bytes)
{
    return bytes.size() == ParamBlockSize && quint8(bytes.front()) == 0x01 && quint8(bytes.back()) == 0x03;
}

bool UnitData::isLevelBlock(const QByteArray &bytes)
{
    return bytes.size() == LevelBlockSize && quint8(bytes.front()) == 0x03 && quint8(bytes.back()) == 0x04;
}

#include "unitdata.h"
#include <algorithm>
#include <iterator>

UnitData::UnitData(QObject *parent)
    : QObject(parent)
{
    resetBlocks();
    agreedSet = setBytes();
}

void UnitData::resetBlocks()
{
    paramBlock.fill(0);
    paramBlock.front() = 0x01;
    paramBlock.back() = 0x03;
    levelBlock.fill(0);
    levelBlock.front() = 0x03;
    levelBlock.back() = 0x04;
}

void UnitData::setPlaceholderLevels()
{
    constexpr quint8 Placeholders[] = {10, 60, 10, 60};
    std::copy(std::begin(Placeholders), std::end(Placeholders), levelBlock.begin() + 1);
}

QByteArray UnitData::paramBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(paramBlock.data()), ParamBlockSize);
}

QByteArray UnitData::levelBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(levelBlock.data()), LevelBlockSize);
}

QByteArray UnitData::setBytes() const
{
    return paramBytes() + levelBytes();
}

bool UnitData::isParamBlock(const QByteArray &bytes)
{
    return bytes.size() == ParamBlockSize && quint8(bytes.front()) == 0x01 && quint8(bytes.back()) == 0x03;
}

bool UnitData::isLevelBlock(const QByteArray &bytes)
{
    return bytes.size() == LevelBlockSize && quint8(bytes.front()) == 0x03 && quint8(bytes.back()) == 0x04;
}

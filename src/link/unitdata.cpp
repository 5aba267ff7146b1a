#include "unitdata.h"
#include <QDir>
#include <algorithm>
#include <iterator>

UnitData::UnitData(QObject *parent)
    : QObject(parent)
{
    versionNames.reserve(VersionNameCount);
    for (int i = 0; i < VersionNameCount; ++i)
        versionNames << QString();
    for (int i = 0; i < MeasurementTextCount; ++i)
        measurementTexts << QString();
    for (int i = 0; i < AddressNameCount; ++i)
        addressNames << QString();
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

void UnitData::takeRecord(const QByteArray &record)
{
    diagRecord = record;
    recordAfterClearing = true;
}

void UnitData::noteErrorsCleared()
{
    if (!errorsCleared)
        recordBeforeClearing = diagRecord;
    errorsCleared = true;
    recordAfterClearing = false;
}

QString UnitData::versionName(int version) const
{
    if (version >= 0 && version < versionNames.size())
        return versionNames.at(version);
    return QStringLiteral("Nedefinováno");
}

bool UnitData::isParamBlock(const QByteArray &bytes)
{
    return bytes.size() == ParamBlockSize && quint8(bytes.front()) == 0x01 && quint8(bytes.back()) == 0x03;
}

bool UnitData::isLevelBlock(const QByteArray &bytes)
{
    return bytes.size() == LevelBlockSize && quint8(bytes.front()) == 0x03 && quint8(bytes.back()) == 0x04;
}

QString UnitData::dataFilePath(const QString &name) const
{
    return QDir(dataFolder).absoluteFilePath(name);
}

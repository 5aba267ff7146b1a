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

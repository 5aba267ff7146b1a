#include "unitset.h"
#include <QtGlobal>
#include <algorithm>
#include <iterator>

UnitSet::UnitSet(QObject *parent)
    : QObject(parent)
{
    reset();
}

quint8 UnitSet::paramByte(int index) const
{
    Q_ASSERT(index >= 0 && index < ParamBlockSize);
    return m_params[std::size_t(index)];
}

quint8 UnitSet::levelByte(int index) const
{
    Q_ASSERT(index >= 0 && index < LevelBlockSize);
    return m_levels[std::size_t(index)];
}

QByteArray UnitSet::paramBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_params.data()), ParamBlockSize);
}

QByteArray UnitSet::levelBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_levels.data()), LevelBlockSize);
}

QByteArray UnitSet::bytes() const
{
    return paramBytes() + levelBytes();
}

QByteArray UnitSet::startUpBytes()
{
    QByteArray set(ParamBlockSize + LevelBlockSize, '\0');
    set[0] = 0x01;
    set[ParamBlockSize - 1] = 0x03;
    set[ParamBlockSize] = 0x03;
    set[ParamBlockSize + LevelBlockSize - 1] = 0x04;
    return set;
}

void UnitSet::reset()
{
    const QByteArray set = startUpBytes();
    std::copy(set.cbegin(), set.cbegin() + ParamBlockSize, m_params.begin());
    std::copy(set.cbegin() + ParamBlockSize, set.cend(), m_levels.begin());
    m_levelsValid = false;
    m_lambdaStatus = 0;
    m_tpsStatus = 0;
    m_tpsRising = true;
    setBlockValid(false);
    emit blockTakenOver(paramBytes());
    emitLevels();
    emitStatus();
}

void UnitSet::takeOverBlock(const QByteArray &block)
{
    Q_ASSERT(block.size() == ParamBlockSize);
    std::copy(block.cbegin(), block.cend(), m_params.begin());
    emit blockTakenOver(block);
}

void UnitSet::markBlockValid()
{
    setBlockValid(true);
}

void UnitSet::setParamByte(int index, quint8 value)
{
    Q_ASSERT(index >= 0 && index < ParamBlockSize);
    quint8 &byte = m_params[std::size_t(index)];
    if (byte == value)
        return;
    byte = value;
    emit paramByteChanged(index, value);
}

void UnitSet::setLevels(const QByteArray &levels)
{
    Q_ASSERT(levels.size() == LevelBlockSize);
    std::copy(levels.cbegin(), levels.cend(), m_levels.begin());
    m_levelsValid = true;
    emitLevels();
}

void UnitSet::setLevelByte(int index, quint8 value)
{
    Q_ASSERT(index >= 0 && index < LevelBlockSize);
    quint8 &byte = m_levels[std::size_t(index)];
    if (byte == value)
        return;
    byte = value;
    emitLevels();
}

void UnitSet::setPlaceholderLevels()
{
    constexpr quint8 Placeholders[] = {10, 60, 10, 60};
    std::copy(std::begin(Placeholders), std::end(Placeholders), m_levels.begin() + 1);
    m_levelsValid = false;
    emitLevels();
}

void UnitSet::takeUpStatus(unsigned lambdaStatus, unsigned tpsStatus)
{
    m_lambdaStatus = lambdaStatus;
    m_tpsStatus = tpsStatus;
    emitStatus();
}

void UnitSet::setTpsRising(bool rising)
{
    m_tpsRising = rising;
    emitStatus();
}

void UnitSet::markWritten()
{
    setSettingsWritten(true);
}

void UnitSet::forgetWritten()
{
    setSettingsWritten(false);
}

void UnitSet::setBlockValid(bool valid)
{
    if (m_blockValid == valid)
        return;
    m_blockValid = valid;
    emit blockValidChanged(valid);
}

void UnitSet::setSettingsWritten(bool written)
{
    if (m_settingsWritten == written)
        return;
    m_settingsWritten = written;
    emit settingsWrittenChanged(written);
}

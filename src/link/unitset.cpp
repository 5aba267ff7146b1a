#include "unitset.h"
#include <QtGlobal>
#include <algorithm>
#include <iterator>

namespace {
// The block's TPS logic: bit 0 of byte 3 is set when the sensor's value rises with the throttle.
constexpr int TpsFlagsIndex = 3;
constexpr int TpsRisingBit = 0;

// Sets `field` to `value`; true when that changed it.
template <typename T>
bool change(T &field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
}

UnitSet::UnitSet(QObject *parent)
    : QObject(parent)
{
    reset();
}

quint8 UnitSet::paramByte(int index) const
{
    Q_ASSERT(index >= 0 && index < Reply::BlockSize);
    return m_params[std::size_t(index)];
}

quint8 UnitSet::levelByte(int index) const
{
    Q_ASSERT(index >= 0 && index < Reply::LevelSize);
    return m_levels[std::size_t(index)];
}

QByteArray UnitSet::paramBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_params.data()), Reply::BlockSize);
}

QByteArray UnitSet::levelBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_levels.data()), Reply::LevelSize);
}

ParameterSet UnitSet::value() const
{
    std::optional<ParameterSet::Levels> levels;
    if (m_levelsValid)
        levels = m_levels;
    return ParameterSet(m_params, levels);
}

void UnitSet::reset()
{
    m_params = {};
    m_params.front() = 0x01;
    m_params.back() = 0x03;
    m_levels = {};
    m_levels.front() = 0x03;
    m_levels.back() = 0x04;
    m_levelsValid = false;
    m_lambdaStatus = 0;
    m_tpsStatus = 0;
    // The start-up block says falling, and the power range shown follows what the block says.
    m_tpsRising = (m_params[TpsFlagsIndex] >> TpsRisingBit) & 1;
    if (change(m_blockValid, false))
        emit blockValidChanged(false);
    emit blockTakenOver(paramBytes());
    emitLevels();
    emitStatus();
}

void UnitSet::takeOverBlock(const QByteArray &block)
{
    Q_ASSERT(block.size() == Reply::BlockSize);
    std::copy(block.cbegin(), block.cend(), m_params.begin());
    emit blockTakenOver(block);
}

void UnitSet::markBlockValid()
{
    if (change(m_blockValid, true))
        emit blockValidChanged(true);
}

void UnitSet::setParamByte(int index, quint8 value)
{
    Q_ASSERT(index >= 0 && index < Reply::BlockSize);
    if (change(m_params[std::size_t(index)], value))
        emit paramByteChanged(index, value);
}

void UnitSet::setLevels(const QByteArray &levels)
{
    Q_ASSERT(levels.size() == Reply::LevelSize);
    std::copy(levels.cbegin(), levels.cend(), m_levels.begin());
    m_levelsValid = true;
    emitLevels();
}

void UnitSet::setLevelByte(int index, quint8 value)
{
    Q_ASSERT(index >= 0 && index < Reply::LevelSize);
    if (change(m_levels[std::size_t(index)], value))
        emitLevels();
}

void UnitSet::setPlaceholderLevels()
{
    constexpr quint8 Placeholders[] = {10, 60, 10, 60};
    std::copy(std::begin(Placeholders), std::end(Placeholders), m_levels.begin() + 1);
    m_levelsValid = false;
    emitLevels();
}

void UnitSet::takeOverLevels(const std::optional<ParameterSet::Levels> &levels)
{
    if (!levels) {
        setPlaceholderLevels();
        return;
    }
    m_levels = *levels;
    m_levelsValid = true;
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
    if (change(m_settingsWritten, true))
        emit settingsWrittenChanged(true);
}

void UnitSet::forgetWritten()
{
    if (change(m_settingsWritten, false))
        emit settingsWrittenChanged(false);
    markRamSettled();
}

void UnitSet::markRamChanged()
{
    if (change(m_ramOnlyChanges, true))
        emit ramOnlyChangesChanged(true);
}

void UnitSet::markCommitted()
{
    markRamSettled();
    m_committed = value();
}

void UnitSet::markRamSettled()
{
    m_committed = {};
    if (change(m_ramOnlyChanges, false))
        emit ramOnlyChangesChanged(false);
}

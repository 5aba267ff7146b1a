#include "parameterset.h"
#include <QtGlobal>
#include <algorithm>

namespace {
template <typename Array>
Array toArray(const QByteArray &bytes)
{
    Array array{};
    std::copy(bytes.cbegin(), bytes.cend(), array.begin());
    return array;
}

template <typename Array>
QByteArray toBytes(const Array &array)
{
    return QByteArray(reinterpret_cast<const char *>(array.data()), int(array.size()));
}
}

ParameterSet::ParameterSet(const Block &block, const std::optional<Levels> &levels)
    : m_block(block), m_levels(levels)
{
}

std::optional<ParameterSet::Block> ParameterSet::blockOf(const QByteArray &frame)
{
    if (!Reply::framed(frame, Reply::BlockSize, 0x01, 0x03))
        return std::nullopt;
    return toArray<Block>(frame);
}

std::optional<ParameterSet::Levels> ParameterSet::levelsOf(const QByteArray &frame)
{
    if (!Reply::framed(frame, Reply::LevelSize, 0x03, 0x04))
        return std::nullopt;
    return toArray<Levels>(frame);
}

ParameterSet ParameterSet::fromFrames(const QByteArray &block, const QByteArray &levels)
{
    const std::optional<Block> framed = blockOf(block);
    return framed ? ParameterSet(*framed, levelsOf(levels)) : ParameterSet();
}

quint8 ParameterSet::param(int index) const
{
    Q_ASSERT(m_block && index >= 0 && index < Reply::BlockSize);
    return (*m_block)[std::size_t(index)];
}

quint8 ParameterSet::level(int number) const
{
    Q_ASSERT(m_levels && number >= 1 && number <= 4);
    return (*m_levels)[std::size_t(number)];
}

const ParameterSet::Block &ParameterSet::block() const
{
    Q_ASSERT(m_block);
    return *m_block;
}

QByteArray ParameterSet::blockFrame() const
{
    return m_block ? toBytes(*m_block) : QByteArray();
}

QByteArray ParameterSet::levelFrame() const
{
    return m_levels ? toBytes(*m_levels) : QByteArray();
}

ParameterSet ParameterSet::withParam(int index, quint8 value) const
{
    Q_ASSERT(m_block && index >= 0 && index < Reply::BlockSize);
    ParameterSet changed = *this;
    (*changed.m_block)[std::size_t(index)] = value;
    return changed;
}

ParameterSet ParameterSet::withLevels(const std::optional<Levels> &levels) const
{
    ParameterSet changed = *this;
    changed.m_levels = levels;
    return changed;
}

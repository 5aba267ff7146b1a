#include "paramstore.h"
#include "protocol.h"
#include <algorithm>

namespace unitsim {

namespace {
constexpr int FirstParam = 1;
constexpr int LastParam = 32;
}

ParamStore::ParamStore(int stuckIndex)
    : stuckIndex_(stuckIndex)
{
    factoryReset();
}

std::uint8_t ParamStore::stored(int index, std::uint8_t value) const
{
    return index == stuckIndex_ ? std::uint8_t(value ^ 0x01) : value;
}

void ParamStore::writeBlock(const ParamBlock &block)
{
    for (int i = FirstParam; i <= LastParam; ++i)
        ram_[i] = stored(i, block[i]);
}

void ParamStore::writeByte(int index, std::uint8_t value)
{
    if (index >= FirstParam && index <= LastParam)
        ram_[index] = stored(index, value);
}

void ParamStore::storeMeasured(int index, std::uint8_t value)
{
    if (index >= FirstParam && index <= LastParam)
        ram_[index] = value;
}

void ParamStore::writeLevel(int level, std::uint8_t value)
{
    if (level >= 0 && level < 4)
        levels_[level] = value;
}

void ParamStore::factoryReset()
{
    ram_ = eeprom_ = factoryBlock();
    levels_ = factoryLevels();
}

std::vector<std::uint8_t> ParamStore::blockReply() const
{
    return {ram_.begin(), ram_.end()};
}

std::vector<std::uint8_t> ParamStore::levelReply() const
{
    std::vector<std::uint8_t> reply(LevelSize);
    reply.front() = Mark::LevelStart;
    std::copy(levels_.begin(), levels_.end(), reply.begin() + 1);
    reply.back() = Mark::LevelEnd;
    return reply;
}

}  // namespace unitsim

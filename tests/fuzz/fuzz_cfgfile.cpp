// Feeds arbitrary file contents to the configuration file reader. A part is only ever taken when
// it has its length and both markers, and a file made of what was taken reads back the same.
#include "cfgfiles/configfile.h"
#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const ConfigFile::Contents c = ConfigFile::read(&buffer);
    if (buffer.pos() > ConfigFile::Size)
        std::abort();

    const ParameterSet set = c.set();
    if (c.paramValid()) {
        if (set.blockFrame() != bytes.left(ConfigFile::ParamPartSize) || set.param(0) != 0x01 || set.param(33) != 0x03)
            std::abort();
    }
    if (c.levelsValid()) {
        const QByteArray levels = ParameterSet(ParameterSet::Block{}, c.levels).levelFrame();
        if (levels != bytes.mid(ConfigFile::ParamPartSize, ConfigFile::LevelPartSize) || quint8(levels.front()) != 0x03
            || quint8(levels.back()) != 0x04)
            std::abort();
    }
    // A part that says "no levels" is no levels, and a set kept without levels says so again.
    if (c.levelsAbsent
        && (c.levelsValid() || bytes.mid(ConfigFile::ParamPartSize, ConfigFile::LevelPartSize) != ConfigFile::noLevelsPart()))
        std::abort();
    if (c.paramValid() && !ConfigFile::parse(ConfigFile::compose(set.withLevels(std::nullopt))).levelsAbsent)
        std::abort();
    // A set read from a file is written back as the same bytes and reads back as the same set.
    if (c.paramValid() && !c.levelsDamaged()) {
        const QByteArray again = ConfigFile::compose(set);
        if (again != bytes.left(ConfigFile::Size) || ConfigFile::parse(again).set() != set)
            std::abort();
    }
    return 0;
}

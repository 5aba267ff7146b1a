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

    if (c.paramValid()) {
        if (c.paramBlock != bytes.left(ConfigFile::ParamPartSize) || quint8(c.paramBlock.front()) != 0x01
            || quint8(c.paramBlock.back()) != 0x03)
            std::abort();
    }
    if (c.levelsValid()) {
        if (c.levelBlock != bytes.mid(ConfigFile::ParamPartSize, ConfigFile::LevelPartSize)
            || quint8(c.levelBlock.front()) != 0x03 || quint8(c.levelBlock.back()) != 0x04)
            std::abort();
    }
    // A part that says "no levels" is no levels, and a set kept without levels says so again.
    if (c.levelsAbsent
        && (c.levelsValid() || bytes.mid(ConfigFile::ParamPartSize, ConfigFile::LevelPartSize) != ConfigFile::noLevelsPart()))
        std::abort();
    if (c.paramValid() && !ConfigFile::parse(ConfigFile::compose(c.paramBlock, c.levelBlock, false)).levelsAbsent)
        std::abort();
    if (c.paramValid() && c.levelsValid()) {
        const ConfigFile::Contents again = ConfigFile::parse(ConfigFile::compose(c.paramBlock, c.levelBlock, true));
        if (again.paramBlock != c.paramBlock || again.levelBlock != c.levelBlock)
            std::abort();
    }
    return 0;
}

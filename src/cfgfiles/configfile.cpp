#include "configfile.h"
#include "link/unitdata.h"
#include <QIODevice>
#include <QSaveFile>

namespace ConfigFile {

namespace {
bool framed(const QByteArray &part, int size, quint8 first, quint8 last)
{
    return part.size() == size && quint8(part.front()) == first && quint8(part.back()) == last;
}
}

Contents parse(const QByteArray &bytes)
{
    Contents contents;
    const QByteArray part1 = bytes.left(ParamPartSize);
    const QByteArray part2 = bytes.mid(ParamPartSize, LevelPartSize);
    if (framed(part1, ParamPartSize, 0x01, 0x03))
        contents.paramBlock = part1;
    if (framed(part2, LevelPartSize, 0x03, 0x04))
        contents.levelBlock = part2;
    else
        contents.levelsAbsent = part2 == noLevelsPart();
    return contents;
}

QByteArray noLevelsPart()
{
    QByteArray part(LevelPartSize, char(0xFF));
    part[0] = 0x03;
    return part;
}

Contents read(QIODevice *device)
{
    return parse(device->read(Size));
}

QByteArray compose(const QByteArray &paramBlock, const QByteArray &levelBlock, bool levelsRead)
{
    return paramBlock + (levelsRead ? levelBlock : noLevelsPart());
}

QByteArray compose(const UnitData &data)
{
    return compose(data.set().paramBytes(), data.set().levelBytes(), data.set().levelsValid());
}

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // QSaveFile's commit() does not notice a buffered write that failed (a file-size limit, a full
    // disk) and would rename the short file over the good one: check every step before it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace ConfigFile

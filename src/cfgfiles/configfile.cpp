#include "configfile.h"
#include <QFile>
#include <QIODevice>
#include <QSaveFile>

namespace ConfigFile {

ParameterSet Contents::set() const
{
    return block ? ParameterSet(*block, levels) : ParameterSet();
}

Contents parse(const QByteArray &bytes)
{
    Contents contents;
    const QByteArray part1 = bytes.left(ParamPartSize);
    const QByteArray part2 = bytes.mid(ParamPartSize, LevelPartSize);
    contents.block = ParameterSet::blockOf(part1);
    contents.levels = ParameterSet::levelsOf(part2);
    if (!contents.levels)
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

ParameterSet readSet(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? read(&file).set() : ParameterSet();
}

QByteArray compose(const ParameterSet &set)
{
    if (set.isEmpty())
        return QByteArray();
    return set.blockFrame() + (set.hasLevels() ? set.levelFrame() : noLevelsPart());
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

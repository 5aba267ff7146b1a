#pragma once
#include <QByteArray>
#include <QString>

class QIODevice;
class UnitData;

// The 44-byte configuration file: the parameter block (34 bytes, 0x01 .. 0x03) followed by the
// level block (10 bytes, 0x03 .. 0x04). The markers are the only check the format has; each part
// stands or falls on its own, so a file with one damaged part still gives the other.
namespace ConfigFile {

constexpr int ParamPartSize = 34;
constexpr int LevelPartSize = 10;
constexpr int Size = ParamPartSize + LevelPartSize;

struct Contents
{
    QByteArray paramBlock;  // empty when part 1 is damaged or missing
    QByteArray levelBlock;  // empty when part 2 is damaged, missing or says "no levels"
    bool levelsAbsent = false;  // part 2 says the set was read from a unit that gave no levels
    bool paramValid() const { return !paramBlock.isEmpty(); }
    bool levelsValid() const { return !levelBlock.isEmpty(); }
};

// Part 2 of a set whose levels were never read (a unit that does not answer code 170): its end
// byte is no 0x04, so every reader of the format refuses it as levels, and no unit's set ever
// holds it, so this reader tells it from a damaged part.
QByteArray noLevelsPart();

// Splits what was read from a file into its two parts; bytes after the 44th do not count.
Contents parse(const QByteArray &bytes);
// Reads at most the 44 bytes the format has.
Contents read(QIODevice *device);

// The one way a file's bytes are made, for every writer of a set (saves, backups, the keep on a
// stop): levels that did not come from a unit or a file are never kept as levels, so that a load
// cannot make them real and a write cannot send them.
QByteArray compose(const QByteArray &paramBlock, const QByteArray &levelBlock, bool levelsRead);
// The tool's set as a file holds it.
QByteArray compose(const UnitData &data);

// Writes `bytes` to `path` so that the file there is either the old one or all of the new one:
// a full disk or a pulled stick never leaves a shortened file. On failure `error` says why.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error);

}  // namespace ConfigFile

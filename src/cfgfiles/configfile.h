#pragma once
#include "link/parameterset.h"
#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

// The 44-byte configuration file: the parameter block (34 bytes, 0x01 .. 0x03) followed by the
// level block (10 bytes, 0x03 .. 0x04). The markers are the only check the format has; each part
// stands or falls on its own, so a file with one damaged part still gives the other. Only here
// does a set exist as these bytes: everything else hands on a ParameterSet.
namespace ConfigFile {

constexpr int ParamPartSize = 34;
constexpr int LevelPartSize = 10;
constexpr int Size = ParamPartSize + LevelPartSize;

struct Contents
{
    std::optional<ParameterSet::Block> block;    // none when part 1 is damaged or missing
    std::optional<ParameterSet::Levels> levels;  // none when part 2 is damaged, missing or says "no levels"
    bool levelsAbsent = false;  // part 2 says the set was read from a unit that gave no levels
    bool paramValid() const { return block.has_value(); }
    bool levelsValid() const { return levels.has_value(); }
    // Part 2 is neither levels nor the mark of a set without them.
    bool levelsDamaged() const { return !levels && !levelsAbsent; }
    // The set the file holds; empty when part 1 is damaged. Damaged levels count as not read.
    ParameterSet set() const;
};

// Part 2 of a set whose levels were never read (a unit that does not answer code 170): its end
// byte is no 0x04, so every reader of the format refuses it as levels, and no unit's set ever
// holds it, so this reader tells it from a damaged part.
QByteArray noLevelsPart();

// Splits what was read from a file into its two parts; bytes after the 44th do not count.
Contents parse(const QByteArray &bytes);
// Reads at most the 44 bytes the format has.
Contents read(QIODevice *device);
// The set in the file at `path`; empty when it cannot be read or its part 1 is damaged.
ParameterSet readSet(const QString &path);

// The one way a file's bytes are made, for every writer of a set (saves, backups, the history, the
// keep on a stop): a set without levels gets the part that says so, so that a load cannot make
// levels real and a write cannot send them. An empty set gives no bytes.
QByteArray compose(const ParameterSet &set);

// Writes `bytes` to `path` so that the file there is either the old one or all of the new one:
// a full disk or a pulled stick never leaves a shortened file. On failure `error` says why.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error);

}  // namespace ConfigFile

#include "setcomparison.h"
#include "textformat/czechnumber.h"
#include "configfile.h"
#include "tuning/paramnames.h"

using namespace ParamBlock;
using ParamNames::Encoding;

namespace {
const QString Damaged = QStringLiteral("poškozeno");

// Version first, then what a technician tunes range by range, then what the unit decides by.
constexpr int Order[] = {
    IdleStopMax, IdleStopMin, IdleSpeedMax, IdleSpeedMin, LowPowerStopMax, LowPowerStopMin, LowPowerSpeedMax, LowPowerSpeedMin,
    HighPowerStopMax, HighPowerStopMin, HighPowerSpeedMax, HighPowerSpeedMin, FullPowerStopMax, FullPowerStopMin, FullPowerSpeedMax, FullPowerSpeedMin,
    TpsThreshold1, TpsThreshold2, TpsThreshold3, LambdaThreshold, LambdaIgnoreTime, ServoStartPosition,
};
constexpr int Times[] = {EmulationTimeIdleRich, EmulationTimeIdleLean, EmulationTimeRaisedRich, EmulationTimeRaisedLean};
constexpr int Raw[] = {UnitFlags, TpsFlags, LambdaFlags, ReservedByte4, ReservedByte20};

QString valueText(const ParamNames::Field &field, quint8 byte, const QStringList &versionNames)
{
    switch (field.encoding) {
    case Encoding::Speed: return QString::number(byteToSpeed(byte));
    case Encoding::Voltage: return QStringLiteral("%1 (%2 V)").arg(byte).arg(czechDecimal(byte * 0.02, 2));
    case Encoding::Bits: return byteToBinary(byte);
    case Encoding::Version: {
        const QString name = byte < versionNames.size() ? versionNames.at(byte) : QStringLiteral("Nedefinováno");
        return QStringLiteral("%1 %2").arg(byte).arg(name);
    }
    case Encoding::Plain:
    case Encoding::Carried: break;
    }
    return QString::number(byte);
}

struct Side
{
    ConfigFile::Contents parts;
    quint8 param(int i) const { return (*parts.block)[std::size_t(i)]; }
    quint8 level(int i) const { return (*parts.levels)[std::size_t(i)]; }
};

// A set as its file would read: a set without levels says so, an empty one is damaged throughout.
ConfigFile::Contents partsOf(const ParameterSet &set)
{
    ConfigFile::Contents parts;
    if (set.isEmpty())
        return parts;
    parts.block = set.block();
    parts.levels = set.levels();
    parts.levelsAbsent = !set.hasLevels();
    return parts;
}

ComparisonRow row(const QString &name, const QString &ours, const QString &theirs,
                  const ParamNames::Field *field = nullptr)
{
    return {name, ours, theirs, ours != theirs, field};
}
}

QList<ComparisonRow> compareSets(const ParameterSet &ours, const ParameterSet &theirs, const QStringList &versionNames)
{
    return compareSets(ours, partsOf(theirs), versionNames);
}

QList<ComparisonRow> compareSets(const ParameterSet &oursSet, const ConfigFile::Contents &file, const QStringList &versionNames)
{
    const Side ours{partsOf(oursSet)}, theirs{file};
    QList<ComparisonRow> rows;
    auto paramRow = [&](int index) {
        const ParamNames::Field &f = *ParamNames::param(index);
        rows << row(ParamNames::name(f),
                    ours.parts.paramValid() ? valueText(f, ours.param(index), versionNames) : Damaged,
                    theirs.parts.paramValid() ? valueText(f, theirs.param(index), versionNames) : Damaged, &f);
    };

    paramRow(SetVersion);
    for (int index : Order)
        paramRow(index);
    for (const ParamNames::StatusGroup &g : ParamNames::StatusGroups) {
        auto option = [&g](const Side &side) {
            return side.parts.paramValid() ? QString::fromUtf8(ParamNames::decode(g, side.param(g.index)).caption) : Damaged;
        };
        rows << row(QString::fromUtf8(g.caption), option(ours), option(theirs));
    }
    for (int index : Times)
        paramRow(index);
    for (const ParamNames::Field &f : ParamNames::Levels) {
        auto level = [&f](const Side &side) {
            if (side.parts.levelsValid())
                return QString::number(side.level(f.index));
            return side.parts.levelsAbsent ? QStringLiteral("bez úrovní") : Damaged;
        };
        rows << row(ParamNames::name(f), level(ours), level(theirs), &f);
    }
    for (int index : Raw)
        paramRow(index);
    return rows;
}

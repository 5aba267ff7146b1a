#include "driveset.h"
#include "tuning/paramblock.h"

namespace {
constexpr int MaxIndex[DriveSet::Ranges] = {ParamBlock::IdleStopMax, ParamBlock::LowPowerStopMax, ParamBlock::HighPowerStopMax,
                                            ParamBlock::FullPowerStopMax};
constexpr int MinIndex[DriveSet::Ranges] = {ParamBlock::IdleStopMin, ParamBlock::LowPowerStopMin, ParamBlock::HighPowerStopMin,
                                            ParamBlock::FullPowerStopMin};
constexpr int ReversedLogicBit = 5;
}

DriveSet DriveSet::fromBlock(const ParameterSet::Block &block)
{
    static_assert(std::tuple_size<ParameterSet::Block>::value == ParamBlock::Size);
    DriveSet set;
    const auto at = [&block](int i) { return int(block[std::size_t(i)]); };
    for (int r = 0; r < Ranges; ++r) {
        set.stopMax[std::size_t(r)] = at(MaxIndex[r]);
        set.stopMin[std::size_t(r)] = at(MinIndex[r]);
    }
    set.tpsThresholds = {at(ParamBlock::TpsThreshold1), at(ParamBlock::TpsThreshold2), at(ParamBlock::TpsThreshold3)};
    set.tpsRising = at(ParamBlock::TpsFlags) & (1 << ParamBlock::TpsRisingBit);
    set.lambdaThreshold = at(ParamBlock::LambdaThreshold);
    set.probe5V = at(ParamBlock::LambdaFlags) & (1 << ParamBlock::LambdaProbe5VBit);
    set.reversedLogic = at(ParamBlock::LambdaFlags) & (1 << ReversedLogicBit);
    return set;
}

int DriveSet::rangeOf(int tps) const
{
    for (int r = 0; r < 3; ++r) {
        const int t = tpsThresholds[std::size_t(r)];
        if (tpsRising ? tps <= t : tps >= t)
            return r;
    }
    return 3;
}

#include "faultplan.h"

namespace unitsim {

FaultPlan::FaultPlan(const FaultConfig &config)
    : config_(config)
{
}

bool FaultPlan::answerLevels()
{
    if (config_.levelsAnswered >= 0 && levelRequests_ >= config_.levelsAnswered)
        return false;
    ++levelRequests_;
    return true;
}

bool FaultPlan::shape(Transmission &reply)
{
    const std::uint64_t n = ++replies_;
    if (config_.muteAfter >= 0 && requests_ > std::uint64_t(config_.muteAfter))
        return false;
    if (hits(config_.dropEvery, n) || reply.bytes.empty())
        return false;
    if (hits(config_.corruptEvery, n))
        reply.bytes.back() ^= 0xFF;
    if (hits(config_.slowEvery, n) && reply.bytes.size() > 1) {
        reply.stallBefore = reply.bytes.size() / 2;
        reply.stallMs = config_.slowMs;
    }
    if (hits(config_.strayEvery, n)) {
        reply.bytes.insert(reply.bytes.begin(), StrayByte);
        if (reply.stallMs > 0)
            ++reply.stallBefore;
    }
    return true;
}

}  // namespace unitsim

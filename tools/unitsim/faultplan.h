#pragma once
#include "unitconfig.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace unitsim {

// A reply as it is to go on the line. stallMs > 0 holds the line quiet before byte stallBefore.
struct Transmission
{
    std::vector<std::uint8_t> bytes;
    std::size_t stallBefore = 0;
    int stallMs = 0;
};

// Decides, reply by reply, how the unit misbehaves. Deterministic: the same sequence of
// requests always meets the same faults.
class FaultPlan
{
public:
    explicit FaultPlan(const FaultConfig &config);

    void countRequest() { ++requests_; }
    // false when the reply must not go out (dropped, or the unit has gone mute)
    bool shape(Transmission &reply);
    // Counts a level request; false once the unit has stopped answering them.
    bool answerLevels();

    static constexpr std::uint8_t StrayByte = 0x00;  // what a glitch on the line reads as

private:
    static bool hits(int every, std::uint64_t n) { return every > 0 && n % std::uint64_t(every) == 0; }

    FaultConfig config_;
    std::uint64_t requests_ = 0;
    std::uint64_t replies_ = 0;
    int levelRequests_ = 0;
};

}  // namespace unitsim

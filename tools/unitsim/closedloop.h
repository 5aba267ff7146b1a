#pragma once
#include "factorydefaults.h"
#include "unitconfig.h"
#include <array>
#include <cstdint>
#include <deque>

namespace unitsim {

// The engine, its probe and the unit's servo control as a loop: TPS follows a drive through the
// four ranges; the mixture is lean while the servo is short of the range's need; the probe tells
// so after its delay; the unit moves the servo towards rich while the probe says lean, at the
// range's speeds, and holds it within the range's stops. Driven by time, in 10 ms steps, against
// the parameter block in the unit's RAM at each step.
class ClosedLoop
{
public:
    explicit ClosedLoop(const LoopConfig &config) : config_(config) {}

    void advanceTo(std::int64_t ms, const ParamBlock &block);
    std::uint8_t tps() const { return tps_; }
    std::uint8_t lambda() const { return lambda_; }
    std::uint8_t position() const;

    // The range the drive is in at `ms` (0 idle .. 3 maximum power).
    int driveRange(std::int64_t ms) const;
    static int rangeOf(int tps, const ParamBlock &block);

private:
    void step(std::int64_t ms, const ParamBlock &block);

    LoopConfig config_;
    std::int64_t nowMs_ = -1;
    double position_ = -1;
    double tpsNow_ = 0;
    std::deque<bool> mixtureRich_;  // one entry per step, newest last, as long as the probe's delay
    double probe_ = 0;              // volts the probe gives now
    std::uint8_t tps_ = 0, lambda_ = 0;
};

}  // namespace unitsim

#include "closedloop.h"
#include <algorithm>
#include <cmath>

namespace unitsim {

namespace {
constexpr int StepMs = 10;
constexpr int Order[4] = {0, 1, 2, 3};
constexpr int TpsStatus = 3, LambdaThreshold = 6, LambdaStatus = 7, FirstSpeed = 8, FirstThreshold = 17, FirstStop = 21;
constexpr double ProbeTimeConstantMs = 40;  // a healthy narrow-band probe flips in well under 100 ms

bool reversedLogic(const ParamBlock &b) { return b[LambdaStatus] & 0x20; }
bool probe5V(const ParamBlock &b) { return b[LambdaStatus] & 0x10; }
int stopMax(const ParamBlock &b, int range) { return b[std::size_t(FirstStop + 2 * range)]; }
int stopMin(const ParamBlock &b, int range) { return b[std::size_t(FirstStop + 2 * range + 1)]; }
// Servo steps a second: three times the speed the tool shows (the byte holds its negation), so
// that a drive of a few seconds a range brings the servo from one range's place to the next.
double speed(const ParamBlock &b, int range, bool up)
{
    const int byte = b[std::size_t(FirstSpeed + 2 * range + (up ? 1 : 0))];
    return 3.0 * std::max(1, 256 - byte == 256 ? 255 : 256 - byte);
}
}

int ClosedLoop::rangeOf(int tps, const ParamBlock &b)
{
    const bool rising = b[TpsStatus] & 1;
    for (int r = 0; r < 3; ++r) {
        const int t = b[std::size_t(FirstThreshold + r)];
        if (rising ? tps <= t : tps >= t)
            return r;
    }
    return 3;
}

int ClosedLoop::driveRange(std::int64_t ms) const
{
    const int segment = int((ms / std::max(1, config_.segmentMs)) % 4);
    return Order[segment];
}

std::uint8_t ClosedLoop::position() const
{
    return std::uint8_t(std::clamp(std::lround(position_), 0L, 255L));
}

void ClosedLoop::advanceTo(std::int64_t ms, const ParamBlock &block)
{
    if (nowMs_ < 0) {
        nowMs_ = 0;
        position_ = (stopMax(block, 0) + stopMin(block, 0)) / 2.0;
    }
    // A long silence needs no hours of steps: the loop has long settled.
    if (ms - nowMs_ > 60000)
        nowMs_ = ms - 60000;
    while (nowMs_ + StepMs <= ms) {
        nowMs_ += StepMs;
        step(nowMs_, block);
    }
}

void ClosedLoop::step(std::int64_t ms, const ParamBlock &b)
{
    // TPS heads for the middle of the drive's range, quickly but not at once.
    const int target = driveRange(ms);
    const bool rising = b[TpsStatus] & 1;
    const int t[3] = {b[FirstThreshold], b[FirstThreshold + 1], b[FirstThreshold + 2]};
    const int low = target == 0 ? (rising ? 0 : 255) : t[target - 1];
    const int high = target == 3 ? (rising ? 255 : 0) : t[target];
    tpsNow_ += (std::lround((low + high) / 2.0) - tpsNow_) * 0.2;
    tps_ = std::uint8_t(std::clamp(std::lround(tpsNow_), 0L, 255L));
    const int range = rangeOf(tps_, b);

    const int need = config_.need[std::size_t(range)] >= 0 ? config_.need[std::size_t(range)]
                                                          : (stopMax(b, range) + stopMin(b, range)) / 2;
    const bool lean = config_.enrichUp ? position_ < need : position_ > need;
    mixtureRich_.push_back(!lean);
    const std::size_t delaySteps = std::size_t(std::max(1, config_.probeDelayMs / StepMs));
    while (mixtureRich_.size() > delaySteps)
        mixtureRich_.pop_front();
    const bool seenRich = mixtureRich_.front();

    // The probe's voltage: high when rich for normal logic; the unit reads it by its logic.
    const double scale = probe5V(b) ? 5.0 / 1.2 : 1.0;
    const double highV = 0.85 * scale, lowV = 0.1 * scale;
    const double goal = seenRich != reversedLogic(b) ? highV : lowV;
    probe_ += (goal - probe_) * (1 - std::exp(-StepMs / ProbeTimeConstantMs));
    lambda_ = std::uint8_t(std::clamp(std::lround(probe_ / 0.02), 0L, 255L));

    const int threshold = b[LambdaThreshold];
    const bool unitSeesRich = reversedLogic(b) ? lambda_ < threshold : lambda_ > threshold;
    const bool up = unitSeesRich != config_.enrichUp;
    position_ += (up ? 1 : -1) * speed(b, range, up) * StepMs / 1000.0;
    const int hi = stopMax(b, range), lo = stopMin(b, range);
    position_ = std::clamp(position_, double(std::min(lo, hi)), double(std::max(lo, hi)));
}

}  // namespace unitsim

#include "measurement.h"
#include <algorithm>

namespace unitsim {

namespace {
constexpr std::uint8_t FirstIdleCode = 1;
constexpr std::uint8_t FirstRaisedCode = 17;
}

EmulationMeasurement::EmulationMeasurement(int stepMs, bool keepPollEnd)
    : stepMs_(std::max(1, stepMs)), keepPollEnd_(keepPollEnd)
{
}

void EmulationMeasurement::start(Kind kind, std::int64_t nowMs)
{
    kind_ = kind;
    startMs_ = nowMs;
    running_ = true;
    resultsTaken_ = false;
}

std::uint8_t EmulationMeasurement::endCode() const
{
    if (keepPollEnd_)
        return kind_ == Kind::Idle ? 7 : 10;
    return kind_ == Kind::Idle ? 5 : 21;
}

std::uint8_t EmulationMeasurement::code(std::int64_t nowMs) const
{
    if (!running_)
        return 0;
    const std::int64_t step = (nowMs - startMs_) / stepMs_;
    if (step < Steps)
        return std::uint8_t((kind_ == Kind::Idle ? FirstIdleCode : FirstRaisedCode) + step);
    // The end code stays up for one step so a lost status reply does not hide it.
    if (step == Steps)
        return endCode();
    return 0;
}

std::optional<EmulationMeasurement::Kind> EmulationMeasurement::takeFinished(std::int64_t nowMs)
{
    if (!running_ || resultsTaken_ || nowMs - startMs_ < std::int64_t(Steps) * stepMs_)
        return std::nullopt;
    resultsTaken_ = true;
    return kind_;
}

}  // namespace unitsim

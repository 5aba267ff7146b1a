#include "livesignals.h"
#include "protocol.h"
#include <algorithm>
#include <cmath>

namespace unitsim::live {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr std::int64_t LambdaPeriodMs = 1500;
constexpr std::int64_t ThrottlePeriodMs = 10000;
constexpr std::int64_t ServoLagMs = 300;

double phase(std::int64_t ms, std::int64_t period)
{
    const std::int64_t wrapped = ((ms % period) + period) % period;
    return double(wrapped) / double(period);
}

std::uint8_t toByte(double value)
{
    return std::uint8_t(std::clamp(std::lround(value), 0L, 255L));
}

double wave(std::int64_t ms, std::int64_t period)
{
    return std::sin(2 * Pi * phase(ms, period));
}

}  // namespace

std::uint8_t lambda(std::int64_t ms)
{
    // A narrow-band probe flips between its ends rather than gliding: squash the sine.
    const double squash = 3.0;
    return toByte(25 + 20 * std::tanh(squash * wave(ms, LambdaPeriodMs)) / std::tanh(squash));
}

std::uint8_t tps(std::int64_t ms)
{
    const double open = 0.5 - 0.5 * std::cos(2 * Pi * phase(ms, ThrottlePeriodMs));
    return toByte(20 + 210 * std::pow(open, 1.5));
}

std::uint8_t position(std::int64_t ms)
{
    const std::int64_t then = ms - ServoLagMs;
    // Lean (low lambda) opens the gas a little more, rich closes it.
    const double trim = -16 * wave(then, LambdaPeriodMs);
    return toByte(50 + 0.7 * tps(then) + trim);
}

int cutOffDrift(std::int64_t msSinceSet)
{
    // Triangle, 0 -> +20 -> -20 -> 0 over 4 s.
    const double p = phase(msSinceSet, 4000);
    const double tri = p < 0.25 ? p * 4 : p < 0.75 ? 2 - p * 4 : p * 4 - 4;
    return int(std::lround(20 * tri));
}

std::optional<std::uint8_t> scopeSignal(int address, std::int64_t ms)
{
    switch (address) {
    case Addr::ScopeSine: return toByte(128 + 100 * wave(ms, 2000));
    case Addr::ScopeSawtooth: return std::uint8_t(phase(ms, 3000) * 256);
    case Addr::ScopeSquare: return std::uint8_t(phase(ms, 1000) < 0.5 ? 200 : 40);
    case Addr::LiveLambda: return lambda(ms);
    case Addr::LiveTps: return tps(ms);
    case Addr::LivePosition: return position(ms);
    default: return std::nullopt;
    }
}

}  // namespace unitsim::live

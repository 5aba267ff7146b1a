#pragma once
#include <cstdint>
#include <optional>

// What the unit's sensors and servo do while the engine runs, as functions of the time since
// the unit started. Pure functions, so a test can ask for any moment and get the same answer.
namespace unitsim::live {

// Lambda probe, 0.02 V steps: swings rich and lean between 0.10 and 0.90 V every 1.5 s.
std::uint8_t lambda(std::int64_t ms);
// Throttle sensor: idles near 20, opens to about 230 and closes again every 10 s.
std::uint8_t tps(std::int64_t ms);
// Servo: opens with the throttle, trims against the lambda swing, a little behind both.
std::uint8_t position(std::int64_t ms);

// Drift of the cut-off value around its set point, starting at 0 when the point was set.
int cutOffDrift(std::int64_t msSinceSet);

// Memory addresses with a signal on them for the oscilloscope; nothing for other addresses.
//   10  sine, 28..228, period 2 s
//   11  sawtooth, 0..255, period 3 s
//   12  square, 40 / 200, period 1 s
//   13  lambda, 14 TPS, 15 servo position (as in the status reply)
std::optional<std::uint8_t> scopeSignal(int address, std::int64_t ms);

}  // namespace unitsim::live

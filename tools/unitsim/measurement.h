#pragma once
#include <cstdint>
#include <optional>

namespace unitsim {

// The unit's lambda emulation measurement. Once started it reports its progress in byte 4 of
// every status reply: four step codes, then an end code, then 0 again. When it reaches the end
// code the unit has measured the emulation times for that speed.
class EmulationMeasurement
{
public:
    enum class Kind { Idle, Raised };

    // keepPollEnd picks the end codes after which the tool keeps polling (7, 10) instead of
    // the ones after which it pauses (5, 21).
    EmulationMeasurement(int stepMs, bool keepPollEnd);

    void start(Kind kind, std::int64_t nowMs);  // a new start restarts from the first step
    std::uint8_t code(std::int64_t nowMs) const;
    // The measurement that has reached its end code since the last call, once.
    std::optional<Kind> takeFinished(std::int64_t nowMs);

    static constexpr int Steps = 4;

private:
    std::uint8_t endCode() const;

    int stepMs_;
    bool keepPollEnd_;
    bool running_ = false;
    bool resultsTaken_ = false;
    Kind kind_ = Kind::Idle;
    std::int64_t startMs_ = 0;
};

}  // namespace unitsim

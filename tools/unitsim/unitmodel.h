#pragma once
#include "closedloop.h"
#include "diagrecord.h"
#include "faultplan.h"
#include "framereader.h"
#include "measurement.h"
#include "paramstore.h"
#include "unitconfig.h"
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace unitsim {

struct UnitEvent
{
    enum class Kind {
        Received,  // a whole request arrived
        Junk,      // bytes that made no frame, thrown away
        Reply,     // to be sent, faults already applied
        Withheld,  // a reply the unit was told not to send
    };
    Kind kind;
    Transmission tx;

    const std::vector<std::uint8_t> &bytes() const { return tx.bytes; }
};

// The simulated unit, without a line or a clock of its own: bytes go in with the time they
// arrived, and out come what the unit recognised and what it answers. Time only moves when
// the caller says so, which keeps every answer reproducible.
class UnitModel
{
public:
    explicit UnitModel(const UnitConfig &config = {}, std::int64_t startMs = 0);

    std::vector<UnitEvent> feed(const std::uint8_t *data, std::size_t size, std::int64_t nowMs);
    std::vector<UnitEvent> feed(const std::vector<std::uint8_t> &bytes, std::int64_t nowMs)
    {
        return feed(bytes.data(), bytes.size(), nowMs);
    }

    const ParamStore &params() const { return params_; }
    const DiagRecord &diagnostics() const { return diag_; }
    int version() const { return config_.version; }

private:
    std::optional<std::vector<std::uint8_t>> answer(const Frame &frame, std::int64_t nowMs);
    std::optional<std::vector<std::uint8_t>> command(std::uint8_t code, std::int64_t nowMs);
    std::optional<std::uint8_t> read(int address, std::int64_t nowMs) const;
    void write(int address, std::uint8_t value, std::int64_t nowMs);
    void settleMeasurement(std::int64_t nowMs);
    // The live values at `nowMs`: the closed loop when it is on, else the fixed waves.
    std::array<std::uint8_t, 3> liveValues(std::int64_t nowMs) const;

    bool hasLevels() const { return config_.version >= 4; }
    bool hasScope() const { return config_.version >= 3; }
    bool hasCutOff() const { return config_.version == 3 || config_.version == 4; }

    UnitConfig config_;
    std::int64_t startMs_;
    FrameReader reader_;
    ParamStore params_;
    DiagRecord diag_;
    EmulationMeasurement measurement_;
    FaultPlan faults_;
    mutable ClosedLoop loop_;
    std::array<std::uint8_t, 256> memory_{};
    std::uint8_t cutOffSetPoint_ = 100;
    std::int64_t cutOffSetMs_;
};

}  // namespace unitsim

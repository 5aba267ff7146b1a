#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace unitsim {

// The unit's on-board record: identity, operating hours, tachometer, last service and the
// error counters of the four power ranges (rich and lean each).
class DiagRecord
{
public:
    DiagRecord(std::uint8_t version, std::uint8_t serial, std::uint8_t builtYear, std::int64_t startMs);

    // 02, 32 record bytes, 03. The hour meters run on from start-up in the unit's
    // 1.6-minute ticks.
    std::vector<std::uint8_t> reply(std::int64_t nowMs) const;

    void clearErrors() { errors_.fill(0); }
    // One byte of a service record, by its service address (89..95).
    void serviceWrite(std::uint8_t address, std::uint8_t value);

    std::uint32_t tacho() const { return tacho_; }
    std::uint8_t serviceNumber() const { return serviceNumber_; }

    static constexpr std::int64_t TickMs = 96000;  // 1.6 minutes

private:
    std::uint8_t version_;
    std::uint8_t serial_;
    std::int64_t startMs_;
    std::uint8_t builtYear_;  // since 2000
    std::uint32_t totalTicks_ = 27000;
    std::uint32_t lpgTicks_ = 20500;
    std::uint32_t tacho_ = 123456;
    std::uint8_t serviceDay_ = 14;
    std::uint8_t serviceMonth_ = 3;
    std::uint8_t serviceYear_ = 23;
    std::uint8_t serviceNumber_ = 4;
    // Idle, small, large, maximum load; rich before lean in each.
    std::array<std::uint16_t, 8> errors_{3, 0, 12, 1, 0, 7, 260, 0x1234};
};

}  // namespace unitsim

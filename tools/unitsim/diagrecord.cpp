#include "diagrecord.h"
#include "protocol.h"

namespace unitsim {

namespace {

void put24(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
    out.push_back(std::uint8_t(value >> 16));
}

// Service record addresses.
constexpr std::uint8_t TachoLow = 89;
constexpr std::uint8_t TachoMid = 90;
constexpr std::uint8_t TachoHigh = 91;
constexpr std::uint8_t Day = 92;
constexpr std::uint8_t Month = 93;
constexpr std::uint8_t Year = 94;
constexpr std::uint8_t Close = 95;

}  // namespace

DiagRecord::DiagRecord(std::uint8_t version, std::uint8_t serial, std::uint8_t builtYear, std::int64_t startMs)
    : version_(version), serial_(serial), startMs_(startMs), builtYear_(builtYear)
{
}

std::vector<std::uint8_t> DiagRecord::reply(std::int64_t nowMs) const
{
    const auto ran = std::uint32_t((nowMs - startMs_) / TickMs);
    const std::uint32_t max24 = 0xFFFFFF;
    std::vector<std::uint8_t> out{Mark::Start, version_, serial_, builtYear_};
    // The engine has been on gas the whole time the unit has been running.
    put24(out, (totalTicks_ + ran) & max24);
    put24(out, (lpgTicks_ + ran) & max24);
    put24(out, tacho_);
    out.insert(out.end(), {serviceDay_, serviceMonth_, serviceYear_, serviceNumber_});
    for (std::uint16_t counter : errors_) {
        out.push_back(std::uint8_t(counter));
        out.push_back(std::uint8_t(counter >> 8));
    }
    out.push_back(Mark::End);
    return out;
}

void DiagRecord::serviceWrite(std::uint8_t address, std::uint8_t value)
{
    switch (address) {
    case TachoLow: tacho_ = (tacho_ & 0xFFFF00) | value; break;
    case TachoMid: tacho_ = (tacho_ & 0xFF00FF) | (std::uint32_t(value) << 8); break;
    case TachoHigh: tacho_ = (tacho_ & 0x00FFFF) | (std::uint32_t(value) << 16); break;
    case Day: serviceDay_ = value; break;
    case Month: serviceMonth_ = value; break;
    case Year: serviceYear_ = value; break;
    // The tool closes the date with a zero here; the unit counts the service then.
    case Close: ++serviceNumber_; break;
    default: break;
    }
}

}  // namespace unitsim

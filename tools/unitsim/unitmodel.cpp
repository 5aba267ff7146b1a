#include "unitmodel.h"
#include "livesignals.h"
#include "protocol.h"
#include <algorithm>

namespace unitsim {

namespace {

constexpr int LastLevel = Addr::FirstLevel + 3;
constexpr int FirstBlockAddress = Addr::ParamOffset;
constexpr int LastBlockAddress = Addr::ParamOffset + int(BlockSize) - 1;

// Emulation times the measurement arrives at: rich and lean, for idle and for raised speed.
constexpr int IdleRichIndex = 29;
constexpr std::uint8_t IdleMeasured[2] = {34, 41};
constexpr std::uint8_t RaisedMeasured[2] = {26, 31};

std::vector<std::uint8_t> auxReply(std::uint8_t value)
{
    return {Mark::Start, value, Mark::End};
}

}  // namespace

UnitModel::UnitModel(const UnitConfig &config, std::int64_t startMs)
    : config_(config),
      startMs_(startMs),
      params_(config.stuckIndex),
      diag_(std::uint8_t(config.version), std::uint8_t(config.serial), std::uint8_t(config.year - 2000), startMs),
      measurement_(config.measureStepMs, config.keepPollEnd),
      faults_(config.faults),
      loop_(config.loop),
      cutOffSetMs_(startMs)
{
    // Memory nobody has written holds whatever start-up left there; make it repeatable.
    for (std::size_t a = 0; a < memory_.size(); ++a)
        memory_[a] = std::uint8_t(a * 37 + 11);
    for (const auto &[index, value] : config.startParams)
        params_.writeByte(index, std::uint8_t(value));
}

std::vector<UnitEvent> UnitModel::feed(const std::uint8_t *data, std::size_t size, std::int64_t nowMs)
{
    std::vector<UnitEvent> events;
    for (Frame &frame : reader_.push(data, size, nowMs)) {
        if (frame.type == Frame::Type::Junk) {
            events.push_back({UnitEvent::Kind::Junk, {std::move(frame.bytes)}});
            continue;
        }
        events.push_back({UnitEvent::Kind::Received, {frame.bytes}});
        faults_.countRequest();
        settleMeasurement(nowMs);
        if (auto reply = answer(frame, nowMs)) {
            Transmission tx{std::move(*reply)};
            const bool sent = faults_.shape(tx);
            events.push_back({sent ? UnitEvent::Kind::Reply : UnitEvent::Kind::Withheld, std::move(tx)});
        }
    }
    return events;
}

void UnitModel::settleMeasurement(std::int64_t nowMs)
{
    const auto finished = measurement_.takeFinished(nowMs);
    if (!finished)
        return;
    const int index = IdleRichIndex + (*finished == EmulationMeasurement::Kind::Idle ? 0 : 2);
    const std::uint8_t *values = *finished == EmulationMeasurement::Kind::Idle ? IdleMeasured : RaisedMeasured;
    params_.storeMeasured(index, values[0]);
    params_.storeMeasured(index + 1, values[1]);
}

std::optional<std::vector<std::uint8_t>> UnitModel::answer(const Frame &frame, std::int64_t nowMs)
{
    switch (frame.type) {
    case Frame::Type::Command:
        return command(frame.code(), nowMs);
    case Frame::Type::Block: {
        ParamBlock block;
        std::copy(frame.bytes.begin(), frame.bytes.end(), block.begin());
        params_.writeBlock(block);
        return std::nullopt;
    }
    case Frame::Type::Write:
        write(frame.address(), frame.value(), nowMs);
        return std::nullopt;
    case Frame::Type::Service:
        diag_.serviceWrite(frame.address(), frame.value());
        return std::nullopt;
    case Frame::Type::Aux:
        if (auto value = read(frame.address(), nowMs))
            return auxReply(*value);
        return std::nullopt;
    case Frame::Type::Junk:
        break;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> UnitModel::command(std::uint8_t code, std::int64_t nowMs)
{
    const std::int64_t t = nowMs - startMs_;
    switch (code) {
    case Code::Status:
    {
        const auto values = liveValues(nowMs);
        return std::vector<std::uint8_t>{Mark::Start, values[1], values[0], values[2], measurement_.code(nowMs), Mark::End};
    }
    case Code::ReadBlock:
        return params_.blockReply();
    case Code::ReadLevels:
        if (hasLevels() && faults_.answerLevels())
            return params_.levelReply();
        return std::nullopt;
    case Code::ReadDiagnostics:
        return diag_.reply(nowMs);
    case Code::RamToEeprom:
        params_.commit();
        break;
    case Code::EepromToRam:
        params_.reload();
        break;
    case Code::FactoryReset:
        params_.factoryReset();
        break;
    case Code::MeasureIdle:
        measurement_.start(EmulationMeasurement::Kind::Idle, nowMs);
        break;
    case Code::MeasureRaised:
        measurement_.start(EmulationMeasurement::Kind::Raised, nowMs);
        break;
    case Code::ClearErrors:
        diag_.clearErrors();
        break;
    default:
        // 238 only tells the reader a block follows; codes the unit does not know go unanswered.
        break;
    }
    return std::nullopt;
}

std::array<std::uint8_t, 3> UnitModel::liveValues(std::int64_t nowMs) const
{
    const std::int64_t t = nowMs - startMs_;
    if (!config_.loop.enabled)
        return {live::lambda(t), live::tps(t), live::position(t)};
    loop_.advanceTo(t, params_.ram());
    return {loop_.lambda(), loop_.tps(), loop_.position()};
}

std::optional<std::uint8_t> UnitModel::read(int address, std::int64_t nowMs) const
{
    if (!hasScope())
        return std::nullopt;
    const bool cutOffAddress = address == Addr::CutOffCurrent || address == Addr::CutOffThreshold;
    if (cutOffAddress && !hasCutOff())
        return std::nullopt;
    if (address == Addr::CutOffCurrent)
        return std::uint8_t(std::clamp(cutOffSetPoint_ + live::cutOffDrift(nowMs - cutOffSetMs_), 0, 255));
    if (address >= FirstBlockAddress && address <= LastBlockAddress)
        return params_.ram()[std::size_t(address - Addr::ParamOffset)];
    if (hasLevels() && address >= Addr::FirstLevel && address <= LastLevel)
        return params_.levels()[std::size_t(address - Addr::FirstLevel)];
    if (config_.loop.enabled && address >= Addr::LiveLambda && address <= Addr::LivePosition)
        return liveValues(nowMs)[std::size_t(address - Addr::LiveLambda)];
    if (auto signal = live::scopeSignal(address, nowMs - startMs_))
        return signal;
    return memory_[std::size_t(address)];
}

void UnitModel::write(int address, std::uint8_t value, std::int64_t nowMs)
{
    if (address >= FirstBlockAddress && address <= LastBlockAddress) {
        params_.writeByte(address - Addr::ParamOffset, value);
        return;
    }
    if (address >= Addr::FirstLevel && address <= LastLevel) {
        if (hasLevels())
            params_.writeLevel(address - Addr::FirstLevel, value);
        return;
    }
    if (address == Addr::CutOffCurrent) {
        cutOffSetPoint_ = value;
        cutOffSetMs_ = nowMs;
        return;
    }
    // The scope addresses are driven by the hardware; a write there does not stick.
    if (live::scopeSignal(address, 0))
        return;
    memory_[std::size_t(address)] = value;
}

}  // namespace unitsim

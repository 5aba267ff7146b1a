#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace unitsim {

struct Frame
{
    enum class Type { Command, Write, Service, Aux, Block, Junk };
    Type type = Type::Junk;
    std::vector<std::uint8_t> bytes;  // the whole frame as it arrived

    std::uint8_t code() const { return bytes.at(1); }     // Command
    std::uint8_t address() const { return bytes.at(2); }  // Write, Service, Aux
    std::uint8_t value() const { return bytes.at(3); }    // Write, Service
};

// Cuts the unit's receive stream into requests. The line carries no lengths, so the unit goes
// by the second byte (3- or 5-byte frame) and by what it was told to expect (a block after
// code 238). Anything that does not fit is handed out as junk so it can be logged.
class FrameReader
{
public:
    // A frame left unfinished for longer than this is noise, not a slow sender.
    static constexpr int GapMs = 100;
    // The tool sends the block 50 ms after code 238; a much later one is not coming.
    static constexpr int BlockWaitMs = 1000;

    std::vector<Frame> push(const std::uint8_t *data, std::size_t size, std::int64_t nowMs);
    bool blockDue() const { return blockDue_; }

private:
    void scan(std::vector<Frame> &out, std::int64_t nowMs);

    std::vector<std::uint8_t> pending_;
    std::int64_t lastByteMs_ = 0;
    bool blockDue_ = false;
    std::int64_t blockDueSinceMs_ = 0;
};

}  // namespace unitsim

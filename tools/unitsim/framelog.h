#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace unitsim {

// One line per frame, flushed at once, so a test reading the file while the simulator runs
// sees every frame that has reached the unit so far.
class FrameLog
{
public:
    FrameLog() = default;
    ~FrameLog();
    FrameLog(const FrameLog &) = delete;
    FrameLog &operator=(const FrameLog &) = delete;

    bool open(const std::string &path);
    // "<ms> <tag> 02 0F 03"; does nothing when no file is open.
    void write(std::int64_t ms, const char *tag, const std::vector<std::uint8_t> &bytes);

private:
    std::FILE *file_ = nullptr;
};

}  // namespace unitsim

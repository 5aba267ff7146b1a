#include "framelog.h"

namespace unitsim {

FrameLog::~FrameLog()
{
    if (file_)
        std::fclose(file_);
}

bool FrameLog::open(const std::string &path)
{
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

void FrameLog::write(std::int64_t ms, const char *tag, const std::vector<std::uint8_t> &bytes)
{
    if (!file_)
        return;
    std::fprintf(file_, "%lld %s", static_cast<long long>(ms), tag);
    for (std::uint8_t byte : bytes)
        std::fprintf(file_, " %02X", byte);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace unitsim

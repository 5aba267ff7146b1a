#include "pacedline.h"
#include <algorithm>
#include <unistd.h>

namespace unitsim {

PacedLine::PacedLine(int fd, int byteUs)
    : fd_(fd), byteUs_(byteUs)
{
}

std::int64_t PacedLine::lengthUs(const Transmission &tx) const
{
    return std::int64_t(tx.bytes.size()) * byteUs_ + std::int64_t(tx.stallMs) * 1000;
}

std::int64_t PacedLine::dueUs(const Pending &pending, std::size_t index) const
{
    const bool afterStall = pending.tx.stallMs > 0 && index >= pending.tx.stallBefore;
    return pending.startUs + std::int64_t(index) * byteUs_
           + (afterStall ? std::int64_t(pending.tx.stallMs) * 1000 : 0);
}

void PacedLine::send(Transmission tx, std::int64_t notBeforeUs)
{
    if (tx.bytes.empty())
        return;
    const std::int64_t start = std::max(notBeforeUs, lineFreeUs_);
    lineFreeUs_ = start + lengthUs(tx);
    queue_.push_back({std::move(tx), start});
}

std::vector<Transmission> PacedLine::service(std::int64_t nowUs)
{
    std::vector<Transmission> started;
    while (!queue_.empty()) {
        Pending &front = queue_.front();
        if (dueUs(front, front.sent) > nowUs)
            break;
        if (front.sent == 0)
            started.push_back(front.tx);
        // A full pty buffer means nobody is reading: the byte is lost, as on an unplugged line.
        if (::write(fd_, &front.tx.bytes[front.sent], 1) != 1)
            ++lost_;
        if (++front.sent == front.tx.bytes.size())
            queue_.pop_front();
    }
    return started;
}

std::int64_t PacedLine::nextDueUs() const
{
    if (queue_.empty())
        return -1;
    return dueUs(queue_.front(), queue_.front().sent);
}

}  // namespace unitsim

#pragma once
#include "faultplan.h"
#include <cstdint>
#include <deque>
#include <vector>

namespace unitsim {

// Sends replies no faster than a 9600-baud line would carry them. A pseudo-terminal delivers
// whatever is written at once, and a tool that only ever sees whole replies in one piece would
// never meet the partial reads it has to cope with on a real port.
class PacedLine
{
public:
    PacedLine(int fd, int byteUs);

    void send(Transmission tx, std::int64_t notBeforeUs);
    // Writes every byte whose time has come; returns the replies that started going out.
    std::vector<Transmission> service(std::int64_t nowUs);
    // When the next byte is due, or -1 when there is nothing to send.
    std::int64_t nextDueUs() const;
    std::uint64_t lostBytes() const { return lost_; }

private:
    struct Pending
    {
        Transmission tx;
        std::int64_t startUs;
        std::size_t sent = 0;
    };
    std::int64_t dueUs(const Pending &pending, std::size_t index) const;
    std::int64_t lengthUs(const Transmission &tx) const;

    int fd_;
    int byteUs_;
    std::deque<Pending> queue_;
    std::int64_t lineFreeUs_ = 0;
    std::uint64_t lost_ = 0;
};

}  // namespace unitsim

#include "framereader.h"
#include "protocol.h"

namespace unitsim {

namespace {

bool isFiveByteKind(std::uint8_t second)
{
    return second == Kind::Write || second == Kind::Service || second == Kind::Aux;
}

Frame::Type typeOf(std::uint8_t second)
{
    switch (second) {
    case Kind::Write: return Frame::Type::Write;
    case Kind::Service: return Frame::Type::Service;
    case Kind::Aux: return Frame::Type::Aux;
    default: return Frame::Type::Command;
    }
}

void flushJunk(std::vector<std::uint8_t> &junk, std::vector<Frame> &out)
{
    if (junk.empty())
        return;
    out.push_back({Frame::Type::Junk, junk});
    junk.clear();
}

}  // namespace

std::vector<Frame> FrameReader::push(const std::uint8_t *data, std::size_t size, std::int64_t nowMs)
{
    std::vector<Frame> out;
    if (!pending_.empty() && nowMs - lastByteMs_ > GapMs) {
        out.push_back({Frame::Type::Junk, pending_});
        pending_.clear();
    }
    if (blockDue_ && pending_.empty() && nowMs - blockDueSinceMs_ > BlockWaitMs)
        blockDue_ = false;
    if (size == 0)
        return out;
    pending_.insert(pending_.end(), data, data + size);
    lastByteMs_ = nowMs;
    scan(out, nowMs);
    return out;
}

void FrameReader::scan(std::vector<Frame> &out, std::int64_t nowMs)
{
    std::vector<std::uint8_t> junk;
    std::size_t pos = 0;
    const std::size_t size = pending_.size();
    while (pos < size) {
        const std::size_t left = size - pos;
        const std::uint8_t first = pending_[pos];

        if (blockDue_ && first == Mark::BlockStart) {
            if (left < BlockSize)
                break;
            if (pending_[pos + BlockSize - 1] == Mark::End) {
                flushJunk(junk, out);
                out.push_back({Frame::Type::Block,
                               {pending_.begin() + pos, pending_.begin() + pos + BlockSize}});
                pos += BlockSize;
            } else {
                junk.push_back(first);
                ++pos;
            }
            blockDue_ = false;
            continue;
        }

        if (first != Mark::Start) {
            junk.push_back(first);
            ++pos;
            continue;
        }
        if (left < 2)
            break;
        const std::size_t length = isFiveByteKind(pending_[pos + 1]) ? 5 : 3;
        if (left < length)
            break;
        if (pending_[pos + length - 1] != Mark::End) {
            // Not a frame after all; the real start may be further in.
            junk.push_back(first);
            ++pos;
            continue;
        }

        flushJunk(junk, out);
        Frame frame{typeOf(pending_[pos + 1]),
                    {pending_.begin() + pos, pending_.begin() + pos + length}};
        // Whatever comes after code 238 other than the block means the tool gave up on it.
        blockDue_ = frame.type == Frame::Type::Command && frame.code() == Code::WriteBlock;
        if (blockDue_)
            blockDueSinceMs_ = nowMs;
        out.push_back(std::move(frame));
        pos += length;
    }
    flushJunk(junk, out);
    pending_.erase(pending_.begin(), pending_.begin() + pos);
}

}  // namespace unitsim

#include "framefinder.h"
#include <algorithm>

FrameFinder::Result FrameFinder::take(const Shape &expected, QByteArray *frame)
{
    const bool statusMayCome = expected.first != StatusShape.first;
    while (!m_bytes.isEmpty()) {
        const quint8 head = quint8(m_bytes.front());
        if (statusMayCome && head == StatusShape.first) {
            if (m_bytes.size() < StatusShape.size)
                return Result::NeedMore;
            if (quint8(m_bytes.at(StatusShape.size - 1)) == StatusShape.last) {
                *frame = m_bytes.left(StatusShape.size);
                m_bytes.remove(0, StatusShape.size);
                return Result::Status;
            }
            skip(1);
            continue;
        }
        if (head != expected.first) {
            // Everything up to the next possible start goes at once: a burst of noise costs one pass.
            int next = 1;
            while (next < m_bytes.size() && quint8(m_bytes.at(next)) != expected.first
                   && !(statusMayCome && quint8(m_bytes.at(next)) == StatusShape.first))
                ++next;
            skip(next);
            continue;
        }
        if (m_bytes.size() < expected.size)
            return Result::NeedMore;
        if (quint8(m_bytes.at(expected.size - 1)) != expected.last) {
            skip(1);
            continue;
        }
        *frame = m_bytes.left(expected.size);
        m_bytes.remove(0, expected.size);
        m_skipped = false;
        return Result::Frame;
    }
    return Result::NeedMore;
}

void FrameFinder::skip(int count)
{
    m_bytes.remove(0, count);
    m_skipped = true;
}

int FrameFinder::missing(const Shape &expected) const
{
    if (m_bytes.isEmpty())
        return 0;
    const quint8 head = quint8(m_bytes.front());
    const bool statusMayCome = expected.first != StatusShape.first;
    const int size = statusMayCome && head == StatusShape.first ? StatusShape.size
                     : head == expected.first                  ? expected.size
                                                               : 0;
    return std::max(0, size - int(m_bytes.size()));
}

#pragma once
#include <QtGlobal>
#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

// Says which status polls went unanswered. Nothing in a reply says which poll it answers, and on
// a fast poll a reply may come after the next poll has gone out. A reply is counted for the newest
// poll it can physically answer (one sent at least the reply's own wire time before). A poll left
// without a reply becomes owed when no later reply can be its own any more; a poll that then gets
// two replies shows that the owed one was only late, and pays it. What is still owed after the
// reply time is missing, said once.
class StatusWatch
{
public:
    static constexpr qint64 ReplyWireNs = 6 * 1041667;  // six bytes at 9600 baud
    static constexpr qint64 ReplyTimeNs = 200 * 1000000LL;

    void polled(qint64 nowNs) { m_open.push_back({nowNs, 0}); }
    void answered(qint64 nowNs)
    {
        for (auto slot = m_open.rbegin(); slot != m_open.rend(); ++slot) {
            if (slot->sentNs <= nowNs - ReplyWireNs) {
                ++slot->replies;
                return;
            }
        }
        // Too early for every open poll: a late reply of one already closed, which says nothing new.
    }
    // The polls whose replies became missing by `nowNs`, by the time each went out. `lineQuiet`:
    // nothing came for the whole reply time, so no late reply can pay what is owed.
    std::vector<qint64> takeMissing(qint64 nowNs, bool lineQuiet = false)
    {
        // Closings and reports in the order they fell due, so that a poll closed late on a check
        // cannot pay what was due to be told before.
        std::vector<qint64> missing;
        for (;;) {
            const qint64 closes = m_open.empty() ? Never : closeTime(0);
            const qint64 tells = m_owed.empty() ? Never : m_owed.front().closedNs + ReplyTimeNs;
            if (closes <= nowNs && closes <= tells) {
                close(m_open.front(), closes);
                m_open.pop_front();
            } else if (tells <= nowNs) {
                missing.push_back(m_owed.front().sentNs);
                m_owed.pop_front();
            } else {
                break;
            }
        }
        if (lineQuiet) {
            for (const Owed &owed : m_owed)
                missing.push_back(owed.sentNs);
            m_owed.clear();
        }
        return missing;
    }

private:
    struct Slot
    {
        qint64 sentNs;
        int replies;
    };
    static constexpr qint64 Never = std::numeric_limits<qint64>::max();
    // When no reply can be counted for open poll `i` any more: the next poll can take it, or the
    // reply time is over.
    qint64 closeTime(std::size_t i) const
    {
        const qint64 timeUp = m_open[i].sentNs + ReplyTimeNs;
        return i + 1 < m_open.size() ? std::min(timeUp, m_open[i + 1].sentNs + ReplyWireNs) : timeUp;
    }
    struct Owed
    {
        qint64 sentNs;
        qint64 closedNs;
    };
    void close(const Slot &slot, qint64 atNs)
    {
        if (slot.replies == 0)
            m_owed.push_back({slot.sentNs, atNs});
        for (int extra = slot.replies - 1; extra > 0 && !m_owed.empty(); --extra)
            m_owed.pop_back();
    }

    std::deque<Slot> m_open;    // polls that may still get their reply
    std::deque<Owed> m_owed;    // unanswered polls not yet said missing
};

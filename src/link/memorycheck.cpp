#include "memorycheck.h"
#include <utility>

MemoryCheck::MemoryCheck(LinkTransport *link, QObject *parent) : QObject(parent), m_link(link)
{
    link->own(LinkState::MemoryByte, {Reply::AuxSize, 0x02, 0x03}, [this](const QByteArray &reply) { take(reply); },
              [this] {
                  if (m_bytes.isEmpty())
                      m_link->handBack(m_lease);
                  else if (m_asked)
                      finish(Outcome::NotConfirmed);
                  // Noise in the pause between two reads garbles no answer: the next read goes out.
              });
    connect(&m_guard, &LinkTimer::fired, this, &MemoryCheck::guardFired);
}

void MemoryCheck::check(const QList<Byte> &bytes, std::function<void(Outcome)> done)
{
    if (bytes.isEmpty() || !m_link->requirePort())
        return;
    m_link->run([this, bytes, done = std::move(done)] {
        // A check whose answer is no longer awaited belongs to the save before: it ends now.
        if (!m_bytes.isEmpty())
            finish(unanswered());
        m_bytes = bytes;
        m_next = 0;
        m_done = done;
        m_lease = m_link->takeLink();
        m_link->startChain({{LinkTransport::FramePauseMs, [this] { askNext(); }}});
    });
}

void MemoryCheck::askNext()
{
    if (m_bytes.isEmpty())
        return;
    // A reader took the link in the unit's pause: the check ends there, the link stays the reader's.
    if (!m_link->holds(m_lease)) {
        finish(unanswered());
        return;
    }
    m_link->beginRequest();
    m_asked = m_link->ask(m_lease, LinkState::MemoryByte, m_link->auxFrame(quint8(m_bytes.at(m_next).address)),
                          Reply::AuxSize);
    m_guard.restart();
}

void MemoryCheck::take(const QByteArray &reply)
{
    // A byte that comes before the read that would ask for it answers nothing (a late reply, noise).
    if (m_bytes.isEmpty() || !std::exchange(m_asked, false))
        return;
    m_guard.disable();
    if (quint8(reply.at(1)) != m_bytes.at(m_next).value) {
        finish(Outcome::NotConfirmed);
        return;
    }
    if (++m_next == m_bytes.size()) {
        finish(Outcome::Confirmed);
        return;
    }
    m_link->startChain({{LinkTransport::FramePauseMs, [this] {
                             // Another exchange took the link during the pause: the check ends there.
                             if (m_link->holds(m_lease) && m_link->linkState() == LinkState::MemoryByte)
                                 askNext();
                             else
                                 finish(Outcome::NotConfirmed);
                         }}});
}

void MemoryCheck::guardFired()
{
    if (!m_bytes.isEmpty())
        finish(unanswered());
}

MemoryCheck::Outcome MemoryCheck::unanswered() const
{
    // Silence from the first read on is a unit without memory reads; later, a check cut short.
    return m_next == 0 ? Outcome::NoAnswer : Outcome::NotConfirmed;
}

void MemoryCheck::finish(Outcome outcome)
{
    m_guard.disable();
    m_asked = false;
    const QList<Byte> bytes = std::exchange(m_bytes, {});
    // An exchange that took the link over meanwhile owns the poll now.
    m_link->handBack(m_lease);
    if (std::function<void(Outcome)> done = std::exchange(m_done, {}))
        done(outcome);
    emit checked(bytes, outcome);
}

#include "memorycheck.h"
#include <utility>

MemoryCheck::MemoryCheck(LinkTransport *link, QObject *parent) : QObject(parent), m_link(link)
{
    link->own(State, {Reply::AuxSize, 0x02, 0x03}, [this](const QByteArray &reply) { take(reply); },
              [this] {
                  if (!m_bytes.isEmpty())
                      finish(Outcome::NotConfirmed);
                  else
                      m_link->endExchange();
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
        m_link->poll().disable();
        m_link->startChain({{LinkTransport::FramePauseMs, [this] { askNext(); }}});
    });
}

void MemoryCheck::askNext()
{
    if (m_bytes.isEmpty())
        return;
    m_link->beginRequest();
    m_link->poll().disable();
    m_link->setLinkState(State);
    m_link->transmit(m_link->auxFrame(quint8(m_bytes.at(m_next).address)), Reply::AuxSize);
    m_guard.restart();
}

void MemoryCheck::take(const QByteArray &reply)
{
    if (m_bytes.isEmpty())
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
                             if (m_link->linkState() == State)
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
    const QList<Byte> bytes = std::exchange(m_bytes, {});
    // An exchange that took the link over meanwhile owns the poll now.
    if (m_link->linkState() == State)
        m_link->endExchange();
    if (std::function<void(Outcome)> done = std::exchange(m_done, {}))
        done(outcome);
    emit checked(bytes, outcome);
}

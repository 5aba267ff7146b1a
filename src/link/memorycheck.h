#pragma once
#include "linktimer.h"
#include "linktransport.h"
#include <QList>
#include <QObject>
#include <functional>

// Confirms a single save: the bytes just written are asked back one by one with the memory read
// the oscilloscope uses (02 24 address 00 03, answered 02 value 03) and compared with what was
// sent. Older units answer no memory read at all; that is told apart from a wrong answer.
class MemoryCheck : public QObject
{
    Q_OBJECT
public:
    // The unit answers a memory read within a few ms; waiting longer only holds the poll back.
    static constexpr int ReplyGuardMs = 500;

    struct Byte
    {
        int address;
        quint8 value;
    };
    enum class Outcome {
        Confirmed,     // every byte read back as sent
        NotConfirmed,  // an answer differed or came garbled, or the unit stopped answering halfway
        NoAnswer,      // the unit answered no memory read (or another exchange took the link first)
    };
    Q_ENUM(Outcome)

    MemoryCheck(LinkTransport *link, QObject *parent = nullptr);

    // Reads `bytes` back after the unit's pause; `done` gets the outcome, then checked() is said.
    void check(const QList<Byte> &bytes, std::function<void(Outcome)> done = {});

    LinkTimer &replyGuard() { return m_guard; }
    LinkTransport *link() const { return m_link; }

signals:
    void checked(const QList<MemoryCheck::Byte> &bytes, MemoryCheck::Outcome outcome);

private:
    void askNext();
    void take(const QByteArray &reply);
    void guardFired();
    Outcome unanswered() const;
    void finish(Outcome outcome);

    LinkTransport *m_link;
    QList<Byte> m_bytes;
    int m_next = 0;  // index in m_bytes of the byte asked for last
    bool m_asked = false;  // that byte's read went out and its answer has not come
    std::function<void(Outcome)> m_done;
    LinkTransport::Lease m_lease = 0;
    LinkTimer m_guard{QStringLiteral("TimeOutCheck"), ReplyGuardMs, true};
};

#include "statuspoll.h"
#include "linkclock.h"
#include "linktransport.h"

StatusPoll::StatusPoll(LinkTransport *link, QObject *parent)
    : QObject(parent), m_link(link)
{
    link->own(LinkState::StatusReply, FrameFinder::StatusShape, [this](const QByteArray &reply) { take(reply); }, [this] { lost(); });
    connect(link, &LinkTransport::pollDue, this, &StatusPoll::pollDue);
    connect(link, &LinkTransport::strayStatus, this, &StatusPoll::stray);
    connect(link, &LinkTransport::lineWentQuiet, this, [this] { countMissing(true); });
}

void StatusPoll::pollDue()
{
    if (m_link->transmit(m_link->commandFrame(UnitCode::Status), Reply::StatusSize)) {
        countMissing(false);
        m_watch.polled(m_link->clock()->nowNs());
    }
}

void StatusPoll::take(const QByteArray &reply)
{
    m_watch.answered(m_link->clock()->nowNs());
    if (m_measuring) {
        // The measurement decides what follows (an end code re-reads the block); the live
        // displays stand still meanwhile.
        emit measuringReply(quint8(reply.at(4)));
        return;
    }
    takeLiveValues(reply);
}

// A status reply that came late, where another answer was due: its values still hold.
void StatusPoll::stray(const QByteArray &reply)
{
    m_watch.answered(m_link->clock()->nowNs());
    if (!m_measuring)
        takeLiveValues(reply);
}

// The line went quiet with a status reply unfinished (or only noise).
void StatusPoll::lost()
{
    emit statusError();
}

void StatusPoll::takeLiveValues(const QByteArray &reply)
{
    // Bytes 1..3: TPS, lambda, servo position.
    m_last = LiveValues{quint8(reply.at(2)), quint8(reply.at(1)), quint8(reply.at(3))};
    emit liveValues(m_last);
}

void StatusPoll::countMissing(bool lineQuiet)
{
    const LinkClock *clock = m_link->clock();
    for (const qint64 sentNs : m_watch.takeMissing(clock->nowNs(), lineQuiet))
        emit statusReplyMissing(clock->referenceMs(sentNs));
}

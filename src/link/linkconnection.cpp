#include "linkconnection.h"
#include "serialio.h"
#include "linktransport.h"
#include <QSignalBlocker>

LinkConnection::LinkConnection(SerialIo *port, LinkTransport *link, QObject *parent)
    : QObject(parent), m_port(port), m_link(link)
{
    // Coarse timers: an attempt a second, whenever it comes, wakes the tool once and costs nothing.
    m_retry.setInterval(RetryMs);
    m_retry.setTimerType(Qt::CoarseTimer);
    m_silence.setInterval(SilenceMs);
    m_silence.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] { tryOpen(nullptr, true); });
    connect(&m_silence, &QTimer::timeout, this, &LinkConnection::silenceElapsed);
    connect(m_link, &LinkTransport::answerReceived, this, &LinkConnection::answered);
    connect(m_port, &SerialIo::deviceLost, this, &LinkConnection::lost);
}

bool LinkConnection::openPort(const QString &name, EComPort *error)
{
    if (m_port->isOpen()) {
        if (name == m_portName)
            return true;
        // A change of port is no end of the session: the page change that follows a close must
        // not happen here.
        const QSignalBlocker quiet(m_port);
        m_port->setDtr(false);
        m_port->close();
    }
    m_portName = name;
    return tryOpen(error, false);
}

bool LinkConnection::tryOpen(EComPort *error, bool retrying)
{
    EComPort reason;
    if (!m_port->open(m_portName, &reason)) {
        failed(reason, retrying);
        if (error)
            *error = reason;
        return false;
    }
    opened();
    return true;
}

void LinkConnection::opened()
{
    m_retry.stop();
    m_problem.reset();
    m_port->setDtr(true);
    // The poll goes on by itself; a page mode that reads with its own timer keeps it off.
    if (!m_link->readerRunning())
        m_link->startPolling();
    setHealth(Health::Waiting);
    m_silence.start();
}

void LinkConnection::failed(const EComPort &error, bool retrying)
{
    m_problem = error;
    // After a loss the line keeps saying so until the port is back: that the device is missing
    // now is the same story. A port the technician picks is judged afresh.
    const bool sameStory = retrying && m_health == Health::Lost && error.reason == EComPort::Missing;
    if (!sameStory) {
        switch (error.reason) {
        case EComPort::Missing: setHealth(Health::Missing); break;
        case EComPort::Busy: setHealth(Health::Busy); break;
        case EComPort::Denied: setHealth(Health::Denied); break;
        case EComPort::Other:
        case EComPort::Invalid:
        case EComPort::Lost: setHealth(Health::Failed); break;
        }
    }
    m_silence.stop();
    // A name that can never be a device is not worth another attempt.
    if (error.reason == EComPort::Invalid)
        m_retry.stop();
    else if (!m_retry.isActive())
        m_retry.start();
}

void LinkConnection::lost(const QString &port)
{
    m_problem = EComPort::lost(port);
    m_silence.stop();
    setHealth(Health::Lost);
    m_retry.start();
}

void LinkConnection::closePort()
{
    m_retry.stop();
    m_silence.stop();
    m_link->stopPolling();
    m_port->setDtr(false);
    m_port->close();
    setHealth(Health::Closed);
}

void LinkConnection::dropPort()
{
    // Cleared first: whoever hears of the closed port hears of no port chosen.
    m_portName.clear();
    closePort();
}

void LinkConnection::answered()
{
    if (!m_port->isOpen())
        return;
    setHealth(Health::Answering);
    m_silence.start();
}

bool LinkConnection::unitIsAsked() const
{
    return m_link->polling() || m_link->readerRunning();
}

void LinkConnection::silenceElapsed()
{
    if (!m_port->isOpen())
        return;
    // Nothing asked, nothing answered: a quiet line between two exchanges says nothing about the
    // unit. Look again later.
    if (unitIsAsked())
        setHealth(Health::Silent);
    m_silence.start();
}

void LinkConnection::setHealth(Health health)
{
    if (health == m_health)
        return;
    m_health = health;
    emit healthChanged(health);
}

#pragma once
#include "ecomport.h"
#include <QObject>
#include <QTimer>
#include <optional>

class SerialIo;
class LinkTransport;

// Keeps the port to the unit open and says how the link is doing. A port that cannot be opened,
// or whose device goes away, is tried again every second until it is back; then DTR is raised and
// the poll runs on by itself, with the tool's data as it was.
class LinkConnection : public QObject
{
    Q_OBJECT
public:
    enum class Health {
        Closed,     // no port in use (the tool is ending)
        Waiting,    // open, no answer yet
        Answering,  // valid answers keep coming
        Silent,     // open, but no valid answer for more than SilenceMs while the tool asks
        Missing,    // the device is not there
        Busy,       // another program holds it
        Denied,     // the user may not open it
        Failed,     // it cannot be opened for another reason
        Lost,       // it went away while open
    };
    Q_ENUM(Health)

    static constexpr int RetryMs = 1000;
    static constexpr int SilenceMs = 2000;

    LinkConnection(SerialIo *port, LinkTransport *link, QObject *parent = nullptr);

    // Opens `name` at once with DTR raised, closing the port in use first. Until it opens it is
    // tried again every second. Returns false, with the reason in `error`, when it did not open now.
    bool openPort(const QString &name, EComPort *error = nullptr);
    // The end of the run: DTR lowered, the port closed, no further attempts.
    void closePort();
    // As closePort, and the port is no longer the one chosen: none is.
    void dropPort();

    // The port last asked for; empty when none was, or after dropPort.
    QString portName() const { return m_portName; }

    Health health() const { return m_health; }
    bool isRetrying() const { return m_retry.isActive(); }
    // Why the port is not open (none while it is).
    std::optional<EComPort> problem() const { return m_problem; }

signals:
    void healthChanged(LinkConnection::Health health);

private:
    // `retrying`: an attempt of the timer, which must not turn a lost port into a merely missing one.
    bool tryOpen(EComPort *error, bool retrying);
    void opened();
    void failed(const EComPort &error, bool retrying);
    void lost(const QString &port);
    void answered();
    void silenceElapsed();
    bool unitIsAsked() const;
    void setHealth(Health health);

    SerialIo *m_port;
    LinkTransport *m_link;
    QTimer m_retry;
    QTimer m_silence;
    Health m_health = Health::Closed;
    std::optional<EComPort> m_problem;
    QString m_portName;
};

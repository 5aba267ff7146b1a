#pragma once
#include "livevalues.h"
#include "statuswatch.h"
#include <QObject>

class LinkTransport;

// The status poll and the live values: every poll tick that finds the wire free asks for the
// status, and every status reply that comes whole, asked for or met on the way to another answer,
// goes out as the live values it holds (while a measurement runs, its code goes to the
// measurement instead). It says which polls went unanswered.
class StatusPoll : public QObject
{
    Q_OBJECT
public:
    StatusPoll(LinkTransport *link, QObject *parent = nullptr);

    // The values of the last status reply taken; all 0 until one came.
    LiveValues last() const { return m_last; }
    // While a measurement runs, byte 4 of a status reply is its code and the live values stand still.
    void setMeasuring(bool measuring) { m_measuring = measuring; }
    bool measuring() const { return m_measuring; }

signals:
    // A status reply taken while no measurement runs.
    void liveValues(const LiveValues &values);
    void statusError();  // a status reply came garbled, or only noise came
    // Byte 4 of a polled status reply while a measurement runs; the live values stand still.
    void measuringReply(quint8 code);
    // A status poll went out and no reply came for it within the reply time; once per poll, some
    // time after it. `polledAt` is when that poll went out, in ms of the monotonic clock of
    // QElapsedTimer::msecsSinceReference() as the link's clock tells it.
    void statusReplyMissing(qint64 polledAt);

private:
    void pollDue();
    void take(const QByteArray &reply);
    void stray(const QByteArray &reply);
    void lost();
    void takeLiveValues(const QByteArray &reply);
    void countMissing(bool lineQuiet);

    LinkTransport *m_link;
    StatusWatch m_watch;
    LiveValues m_last;
    bool m_measuring = false;
};

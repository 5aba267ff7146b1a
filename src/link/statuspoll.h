#pragma once
#include "statuswatch.h"
#include <QObject>

class LinkTransport;
class UnitData;

// The status poll and the live values: every poll tick that finds the wire free asks for the
// status, and every status reply that comes whole, asked for or met on the way to another answer,
// refreshes the live values (while a measurement runs, its code goes to the measurement instead).
// It says which polls went unanswered.
class StatusPoll : public QObject
{
    Q_OBJECT
public:
    static constexpr int State = 0;

    StatusPoll(LinkTransport *link, UnitData *data, QObject *parent = nullptr);

signals:
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
    void applyLiveValues(const QByteArray &reply);
    void countMissing(bool lineQuiet);

    LinkTransport *m_link;
    UnitData *m_data;
    StatusWatch m_watch;
};

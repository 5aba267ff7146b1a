#pragma once
#include <QtGlobal>

// The time by which the link paces a chain's frames and judges how long an answer has been due.
// The tool hands the link the system's monotonic clock; tests and fuzzing hand it a stepped one,
// so that a pause has passed exactly when they say so.
class LinkClock
{
public:
    virtual ~LinkClock() = default;
    // Nanoseconds since a fixed moment of this clock; never goes back.
    virtual qint64 nowNs() const = 0;
    // A moment of this clock as ms of the monotonic clock of QElapsedTimer::msecsSinceReference().
    virtual qint64 referenceMs(qint64 ns) const = 0;

    // The system's monotonic clock, one for the whole process.
    static LinkClock *system();
};

// A clock that stands still until it is told to move on.
class SteppedClock : public LinkClock
{
public:
    qint64 nowNs() const override { return m_nowNs; }
    qint64 referenceMs(qint64 ns) const override { return ns / 1000000; }
    void advanceNs(qint64 ns) { m_nowNs += ns > 0 ? ns : 0; }
    void advanceMs(qint64 ms) { advanceNs(ms * 1000000); }

private:
    qint64 m_nowNs = 0;
};

#include "linkclock.h"
#include <QElapsedTimer>

namespace {
class SystemClock : public LinkClock
{
public:
    SystemClock() { m_timer.start(); }
    qint64 nowNs() const override { return m_timer.nsecsElapsed(); }
    qint64 referenceMs(qint64 ns) const override { return m_timer.msecsSinceReference() + ns / 1000000; }

private:
    QElapsedTimer m_timer;
};
}

LinkClock *LinkClock::system()
{
    static SystemClock clock;
    return &clock;
}

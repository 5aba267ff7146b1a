#pragma once
#include <QObject>
#include <QTimer>

// A timer with the semantics the unit protocol was designed around: enabling a running timer
// does not restart its countdown (QTimer::start() would), and a one-shot timer disables itself
// before its handler runs.
class LinkTimer : public QObject
{
    Q_OBJECT
public:
    LinkTimer(const QString &name, int intervalMs, bool oneShot, QObject *parent = nullptr)
        : QObject(parent), m_oneShot(oneShot)
    {
        setObjectName(name);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(intervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_oneShot)
                m_timer.stop();
            emit fired();
        });
    }

    void enable()
    {
        if (!m_timer.isActive())
            m_timer.start();
    }
    void disable() { m_timer.stop(); }
    void setEnabled(bool on) { on ? enable() : disable(); }
    // Starts the countdown anew, as the tuning page's saves do with the poll.
    void restart() { m_timer.start(); }
    bool isEnabled() const { return m_timer.isActive(); }

    // Set at start-up, before the timer is first enabled.
    void setInterval(int ms) { m_timer.setInterval(ms); }
    int interval() const { return m_timer.interval(); }
    bool oneShot() const { return m_oneShot; }

signals:
    void fired();

private:
    QTimer m_timer;
    bool m_oneShot;
};

#pragma once
#include "linkstate.h"
#include "linktimer.h"
#include <QObject>
#include <QtGlobal>

class LinkTransport;

// An exchange that reads the unit with a timer of its own instead of the poll (the cut-off value,
// the oscilloscope's recording). Only one reads at a time, and every operation of another exchange
// ends it first. A reader that gets no valid answer for SilenceMs says so, and says when answers
// come again.
class LinkReader : public QObject
{
    Q_OBJECT
public:
    static constexpr int SilenceMs = 1000;

    explicit LinkReader(LinkTransport *link, QObject *parent = nullptr);

    virtual bool reading() const = 0;
    // Another exchange takes the link over: the reader stops and the poll runs again.
    virtual void endReading() = 0;

    LinkTimer &silenceGuard() { return m_silenceGuard; }

signals:
    // The running reader got no valid answer for SilenceMs (true), or answers again (false).
    void readerSilenceChanged(bool silent);

protected:
    // The reader started: silence counts from now. It stopped: there is no silence to speak of.
    void silenceFromNow();
    void silenceOff();
    // A valid answer came.
    void answered();
    // The reader starts: it takes the link from whoever held it (the poll stops, another reader
    // ends), and the link awaits its answers in `state`.
    void takeLink(LinkState state);
    // The reader stops: the poll runs again, unless something else has taken the link since.
    void handLinkBack();

    LinkTransport *m_link;

private:
    void silenceElapsed();
    void speak(bool silent);

    LinkTimer m_silenceGuard{QStringLiteral("Mlceni"), SilenceMs, true};
    bool m_silent = false;
    quint64 m_lease = 0;  // what the transport handed out when this reader took the link
};

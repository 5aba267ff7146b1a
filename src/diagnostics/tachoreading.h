#pragma once
#include <QObject>

// The tachometer reading a service store sends: from the last record shown, or typed. A typed
// reading needs no confirmation before a store; one the record brought does.
class TachoReading : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    int km() const { return m_km; }
    // A positive reading was typed since start-up or the last request of the record.
    bool typed() const { return m_typed; }

    // The record shown carries `km`. A typed reading still counts as typed: the record read back
    // after a store carries what was typed.
    void takeFromRecord(int km);
    // Only a positive reading counts as typed.
    void type(int km);
    // A record is on its way and replaces whatever was typed.
    void awaitRecord();
    // No record of the unit now connected is shown: nothing to send.
    void forget();

signals:
    void changed(int km, bool typed);

private:
    void set(int km, bool typed);

    int m_km = 0;
    bool m_typed = false;
};

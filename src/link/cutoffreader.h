#pragma once
#include "linkreader.h"

class UnitData;

// Cut-off communication: instead of the poll, the module byte at one address is read every 150 ms.
// Writes of single bytes go beside it.
class CutOffReader : public LinkReader
{
    Q_OBJECT
public:
    static constexpr int ReadMs = 150;

    CutOffReader(LinkTransport *link, UnitData *data, QObject *parent = nullptr);

    // Started while another reader runs, it only ends that one: the poll runs again and the link
    // is in tuning communication.
    void startCutOffReading(quint8 address);
    void setCutOffAddress(quint8 address) { m_address = address; }
    // Back to tuning communication: the poll runs, no reader runs.
    void stopCutOffReading();
    bool cutOffReading() const { return m_requestTimer.isEnabled(); }
    // One byte to the unit's memory; no answer comes and nothing else changes on the link.
    void writeCutOff(int address, quint8 value);

    bool reading() const override { return cutOffReading(); }
    void endReading() override { stopCutOffReading(); }

    LinkTimer &cutOffRequestTimer() { return m_requestTimer; }

signals:
    void auxValueReceived(int value);  // the module byte
    void cutOffReadingStopped();       // the reader was running and stopped

private:
    void requestCutOffValue();
    void take(const QByteArray &reply);

    UnitData *m_data;
    quint8 m_address = 241;
    LinkTimer m_requestTimer{QStringLiteral("Ctenir"), ReadMs, false};
};

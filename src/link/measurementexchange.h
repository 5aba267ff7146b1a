#pragma once
#include <QObject>

class BlockRead;
class LinkTransport;
class StatusPoll;

// The emulation measurement: code 112 (idle) or 113 (raised) starts it in the unit; while it runs,
// byte 4 of every status reply is its code instead of live values, and an end code has the block
// read again, since its times changed.
class MeasurementExchange : public QObject
{
    Q_OBJECT
public:
    MeasurementExchange(LinkTransport *link, StatusPoll *status, BlockRead *blockRead, QObject *parent = nullptr);

    void startMeasurement(quint8 code);
    void stopMeasurement();  // the tool stops listening; nothing is sent
    // The unit reported an end code: the block is read again; the poll runs on meanwhile only
    // when `keepPolling`.
    void endMeasurement(bool keepPolling);
    bool isMeasuring() const;

signals:
    void measurementCodeReceived(quint8 code);  // byte 4 of a status reply while measuring

private:
    LinkTransport *m_link;
    StatusPoll *m_status;
    BlockRead *m_blockRead;
};

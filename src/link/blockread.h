#pragma once
#include "linktransport.h"
#include <QObject>

class LevelExchange;
class UnitData;

// The parameter block read: code 255 brings the 34-byte block, and the levels are asked for after
// it, whether the block came or the line lost it.
class BlockRead : public QObject
{
    Q_OBJECT
public:
    // The unit needs the line quiet this long after a read that ends a measurement.
    static constexpr int QuietMs = 50;

    BlockRead(LinkTransport *link, UnitData *data, LevelExchange *levels, QObject *parent = nullptr);

    void readBlock();  // code 255, then the levels
    // The block again after a measurement changed its times: without a guard of its own, the
    // wire held for QuietMs, the poll running meanwhile only when `keepPolling`.
    void readAgain(bool keepPolling);

signals:
    void blockReceived(const QByteArray &block);  // a requested parameter block arrived whole

private:
    void take(const QByteArray &block);

    LinkTransport *m_link;
    UnitData *m_data;
    LevelExchange *m_levels;
    LinkTransport::Lease m_lease = 0;
};

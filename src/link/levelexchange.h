#pragma once
#include "linktimer.h"
#include "linktransport.h"
#include <QObject>

class UnitData;

// The emulation levels: code 170 brings the 10-byte level block (also after every block read),
// and the four levels are written singly, 100 ms apart. One reply guard gives a read 2 s, counted
// from the block's request when the levels follow a block.
class LevelExchange : public QObject
{
    Q_OBJECT
public:
    LevelExchange(LinkTransport *link, UnitData *data, QObject *parent = nullptr);

    void requestLevels();  // code 170
    // The four levels as single writes, 100 ms apart; the poll stays off while they go out. A
    // technician's own level write ends with the poll running again.
    void writeLevels(bool pollAfterwards = false);
    // The four level writes, the first after `pauseBeforeFirstMs`, the poll kept off before each.
    static QList<LinkTransport::Step> levelSteps(LinkTransport *link, UnitData *data, int pauseBeforeFirstMs);

    // A block read that holds `lease` goes out: the guard runs from now on.
    void guardBlockRead(LinkTransport::Lease lease);
    // The block read that holds `lease` ended, with its block (`blockCame`) or lost on the line:
    // the levels are asked for after the unit's pause, under the same lease.
    void requestAfterBlock(bool blockCame, LinkTransport::Lease lease);

    LinkTimer &replyGuard() { return m_replyGuard; }

signals:
    void levelsReceived();  // the level block was copied into the data
    // A read brought nothing: no levels, and no block before them.
    void readUnanswered();
    // A level read went unanswered. Levels from a unit or a file stay as they were, unless a
    // block came just before (from a unit without levels); without such levels the level block
    // holds the placeholders 10, 60, 10, 60.
    void levelsReset();

private:
    void sendRequest();
    void take(const QByteArray &levels);
    void lost();
    void replyTimedOut();

    LinkTransport *m_link;
    UnitData *m_data;
    bool m_blockArrived = false;  // the read the guard watches has brought its block
    LinkTransport::Lease m_lease = 0;
    LinkTimer m_replyGuard{QStringLiteral("TimeOut"), LinkTransport::ReplyGuardMs, true};
};

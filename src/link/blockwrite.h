#pragma once
#include "linktimer.h"
#include "linktransport.h"
#include <QObject>

class UnitData;

// The parameter block write and its check: code 238, the block 50 ms later, the levels (when the
// tool has real ones), then the block and the levels read back and compared with what was sent.
// Every write ends with one result: Verified only when the unit confirmed all that was sent.
class BlockWrite : public QObject
{
    Q_OBJECT
public:
    static constexpr int BlockDelayMs = 50;

    BlockWrite(LinkTransport *link, UnitData *data, QObject *parent = nullptr);

    // Sends the tool's block as it is: whether a block that never came from a unit or a file may
    // go is the page's question.
    void writeBlock();

    LinkTimer &replyGuard() { return m_replyGuard; }

    // How a write's check ended.
    enum class Result { Verified, Wrong, Unverified };

signals:
    void writeVerified();  // the unit holds what was written
    void writeEnded(BlockWrite::Result result);  // every write, once

private:
    // What a running check still waits for.
    enum class Check { None, Block, Levels };

    void writeAfterPause();
    void askBack();
    void replyTimedOut();
    void takeBlock(const QByteArray &block);
    void takeLevels(const QByteArray &levels);
    void levelCheckUnanswered();
    void end(Result result);

    LinkTransport *m_link;
    UnitData *m_data;
    Check m_check = Check::None;
    bool m_levelsWritten = false;  // the write now being checked sent the levels
    LinkTransport::Lease m_lease = 0;
    LinkTimer m_replyGuard{QStringLiteral("TimeOut"), LinkTransport::ReplyGuardMs, true};
};

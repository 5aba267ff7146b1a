#include "blockwrite.h"
#include "levelexchange.h"
#include "unitdata.h"

namespace {
}

BlockWrite::BlockWrite(LinkTransport *link, UnitData *data, QObject *parent)
    : QObject(parent), m_link(link), m_data(data)
{
    // The unit answers nothing to code 238; what comes before the block is noise or a late reply.
    // Dropping it keeps the write: cancelling would leave the unit waiting for a block and the
    // technician without any result.
    link->own(LinkState::SilenceAfterWriteCode, {0, 0, 0}, {});
    // A block read back garbled leaves the result to the reply guard: the write is unverified.
    link->own(LinkState::WrittenBlock, {Reply::BlockSize, 0x01, 0x03}, [this](const QByteArray &block) { takeBlock(block); },
              [this] { m_link->stopAwaiting(m_lease); });
    link->own(LinkState::WrittenLevels, {Reply::LevelSize, 0x03, 0x04}, [this](const QByteArray &levels) { takeLevels(levels); },
              [this] { levelCheckUnanswered(); });
    connect(&m_replyGuard, &LinkTimer::fired, this, &BlockWrite::replyTimedOut);
}

void BlockWrite::writeBlock()
{
    if (!m_link->requirePort())
        return;
    m_link->run([this] {
        // A check still waiting for its answer belongs to the write before: it ends with its own
        // result, and this write's check gets a guard of its own.
        if (m_check != Check::None)
            end(Result::Unverified);
        m_link->beginRequest();
        // Whatever came before, the unit takes a block only behind its start byte.
        m_data->set().setParamByte(0, 0x01);
        m_lease = m_link->takeLink();
        m_link->ask(m_lease, LinkState::SilenceAfterWriteCode, UnitCode::WriteBlock, 0);
        m_link->hold(BlockDelayMs, [this] { writeAfterPause(); });
    });
}

void BlockWrite::writeAfterPause()
{
    const auto sendBlock = [this] {
        m_link->transmit(m_data->set().paramBytes());
    };
    // A reader has taken the link over meanwhile and keeps it. The unit still awaits the block
    // after code 238 and would take the reader's frames for it: the block goes alone, unchecked.
    if (!m_link->holds(m_lease)) {
        m_link->startChain({{0, sendBlock}});
        end(Result::Unverified);
        return;
    }
    // Levels the tool never had from a unit or a file are placeholders: they must not overwrite
    // the unit's own (or, on older units, whatever lives at their addresses).
    m_levelsWritten = m_data->set().levelsValid();
    QList<LinkTransport::Step> steps;
    steps.append({0, sendBlock});
    if (m_levelsWritten) {
        steps += LevelExchange::levelSteps(m_link, m_data, LinkTransport::FramePauseMs);
        steps.last().send = [levelSend = steps.last().send, this] {
            levelSend();
            askBack();
        };
    } else {
        steps.append({LinkTransport::FramePauseMs, [this] { askBack(); }});
    }
    // The read-back must come before the next poll tick; a tick while it is due gives way.
    m_link->startChain(steps, [this] { m_link->letPollRun(m_lease); });
}

void BlockWrite::askBack()
{
    m_replyGuard.enable();
    m_check = Check::Block;
    // Overtaken while its frames went out, the write asks nothing back; the guard says it is unverified.
    m_link->ask(m_lease, LinkState::WrittenBlock, UnitCode::ReadBlock, Reply::BlockSize);
}

void BlockWrite::replyTimedOut()
{
    // A write always ends with a result, also when the unit stops answering halfway. The tool's
    // levels stay what was just written: a lost read-back must not replace them.
    switch (m_check) {
    case Check::Block: end(Result::Unverified); break;
    case Check::Levels: levelCheckUnanswered(); break;
    case Check::None: m_link->handBack(m_lease); break;
    }
}

void BlockWrite::takeBlock(const QByteArray &block)
{
    if (block != m_data->set().paramBytes()) {
        end(Result::Wrong);
        return;
    }
    m_check = Check::Levels;
    m_link->startChain({{LinkTransport::FramePauseMs, [this] {
                             // The guard ran out during the pause: the check has its result.
                             if (m_check != Check::Levels)
                                 return;
                             m_link->ask(m_lease, LinkState::WrittenLevels, UnitCode::ReadLevels, Reply::LevelSize);
                             m_replyGuard.enable();
                         }}});
}

void BlockWrite::takeLevels(const QByteArray &levels)
{
    // Only levels 1..4 were written; the unit's other four level bytes are its own (a file from
    // another unit carries different ones). Levels not written are not checked.
    const bool same = !m_levelsWritten || levels.mid(1, 4) == m_data->set().levelBytes().mid(1, 4);
    end(same ? Result::Verified : Result::Wrong);
}

// The level answer of a matching block did not come whole. Levels that were sent are then not
// known to be in the unit; without them the block alone was written, and it matched.
void BlockWrite::levelCheckUnanswered()
{
    end(m_levelsWritten ? Result::Unverified : Result::Verified);
}

void BlockWrite::end(Result result)
{
    m_check = Check::None;
    m_replyGuard.disable();
    // A late answer to the check must not give a second result. A read or a reader that took the
    // link over while the check went unanswered keeps it, and runs the poll again when it ends.
    m_link->handBack(m_lease);
    if (result == Result::Verified)
        emit writeVerified();
    emit writeEnded(result);
}

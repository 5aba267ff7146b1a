#include "levelexchange.h"
#include "unitdata.h"

LevelExchange::LevelExchange(LinkTransport *link, UnitData *data, QObject *parent)
    : QObject(parent), m_link(link), m_data(data)
{
    link->own(LinkState::Levels, {Reply::LevelSize, 0x03, 0x04}, [this](const QByteArray &levels) { take(levels); },
              [this] { lost(); });
    connect(&m_replyGuard, &LinkTimer::fired, this, &LevelExchange::replyTimedOut);
}

void LevelExchange::requestLevels()
{
    if (!m_link->requirePort())
        return;
    m_link->run([this] {
        m_link->beginRequest();
        m_blockArrived = false;
        m_lease = m_link->takeLink();
        sendRequest();
    });
}

QList<LinkTransport::Step> LevelExchange::levelSteps(LinkTransport *link, UnitData *data, int pauseBeforeFirstMs)
{
    QList<LinkTransport::Step> steps;
    for (int i = 0; i < 4; ++i) {
        // The chain holds the wire: no poll tick goes between these frames.
        steps.append({i > 0 ? LinkTransport::FramePauseMs : pauseBeforeFirstMs, [link, data, i] {
                          link->transmit(link->writeFrame(UnitAddress::FirstLevel + i, data->set().levelByte(i + 1)));
                      }});
    }
    return steps;
}

void LevelExchange::writeLevels(bool pollAfterwards)
{
    if (!m_link->requirePort())
        return;
    const QList<LinkTransport::Step> steps = levelSteps(m_link, m_data, 0);
    m_link->run(
        [this, steps, pollAfterwards] {
            const LinkTransport::Lease lease = m_link->takeLink();
            m_link->startChain(steps, [this, lease, pollAfterwards] {
                if (pollAfterwards)
                    m_link->handBack(lease);
            });
        },
        true);
}

void LevelExchange::guardBlockRead(LinkTransport::Lease lease)
{
    m_lease = lease;
    m_blockArrived = false;
    m_replyGuard.enable();
}

void LevelExchange::requestAfterBlock(bool blockCame, LinkTransport::Lease lease)
{
    m_lease = lease;
    if (blockCame)
        m_blockArrived = true;
    m_link->startChain({{LinkTransport::FramePauseMs, [this] { sendRequest(); }}});
}

void LevelExchange::sendRequest()
{
    // A read overtaken in the pause after its block asks nothing; its guard still says how it ended.
    m_link->ask(m_lease, LinkState::Levels, UnitCode::ReadLevels, Reply::LevelSize);
    m_replyGuard.enable();
}

void LevelExchange::take(const QByteArray &levels)
{
    m_data->set().setLevels(levels);
    m_replyGuard.disable();
    emit levelsReceived();
    m_link->handBack(m_lease);
}

// The level answer came garbled: the guard says what became of the read.
void LevelExchange::lost()
{
    m_link->handBack(m_lease);
}

void LevelExchange::replyTimedOut()
{
    m_link->handBack(m_lease);
    // A read that brought nothing says so. One whose block came is complete for a unit without
    // levels, which never answers code 170.
    if (!m_blockArrived)
        emit readUnanswered();
    // Levels read from a unit or loaded from a file stay: one lost answer on a noisy line must
    // not turn them into placeholders that the next write or file save would carry. A block that
    // came is a unit's own, perhaps another unit's: levels read before belong to no part of it.
    if (m_blockArrived || !m_data->set().levelsValid())
        m_data->set().setPlaceholderLevels();
    emit levelsReset();
}

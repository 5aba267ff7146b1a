#include "blockread.h"
#include "levelexchange.h"
#include "unitdata.h"

BlockRead::BlockRead(LinkTransport *link, UnitData *data, LevelExchange *levels, QObject *parent)
    : QObject(parent), m_link(link), m_data(data), m_levels(levels)
{
    // A block lost on the line leaves the tool's block as it was, and whether it came from a unit
    // or a file.
    link->own(LinkState::Block, {Reply::BlockSize, 0x01, 0x03}, [this](const QByteArray &block) { take(block); },
              [this] { m_levels->requestAfterBlock(false, m_lease); });
}

void BlockRead::readBlock()
{
    if (!m_link->requirePort())
        return;
    m_link->run([this] {
        m_link->beginRequest();
        m_lease = m_link->takeLink();
        m_levels->guardBlockRead(m_lease);
        m_link->ask(m_lease, LinkState::Block, UnitCode::ReadBlock, Reply::BlockSize);
    });
}

void BlockRead::readAgain(bool keepPolling)
{
    m_link->run([this, keepPolling] {
        m_link->beginRequest();
        const LinkTransport::Lease lease = m_lease = m_link->takeLink();
        m_link->ask(lease, LinkState::Block, UnitCode::ReadBlock, Reply::BlockSize);
        m_link->hold(QuietMs, [this, lease] { m_link->letPollRun(lease); });
        if (keepPolling)
            m_link->letPollRun(lease);
    });
}

void BlockRead::take(const QByteArray &block)
{
    m_data->set().markBlockValid();
    emit blockReceived(block);
    m_levels->requestAfterBlock(true, m_lease);
}

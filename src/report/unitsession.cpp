#include "unitsession.h"
#include "link/unitdata.h"

bool UnitSession::blockIsThisUnits() const
{
    return m_blockOwned || m_data->set().settingsWritten();
}

void UnitSession::linkAnswering(bool answering)
{
    if (answering && !m_answering) {
        m_renewed = true;
        m_recordSinceRenewal = false;
        m_blockSinceRenewal = false;
        m_backupSinceRenewal.clear();
        m_setAtRenewal = m_data->set().value().withLevels(std::nullopt);
    }
    m_answering = answering;
}

void UnitSession::takeRecord(const QByteArray &record)
{
    const std::optional<UnitIdentity> identity = UnitIdentity::fromRecord(record);
    if (!identity)
        return;
    if (m_identity && identity != m_identity) {
        startNewUnit(false);
        // What was read since the unit answered again came from this one already.
        if (m_blockSinceRenewal) {
            m_blockOwned = true;
            m_setBefore = m_backupSinceRenewal;
        }
    }
    m_identity = identity;
    m_recordSinceRenewal = m_renewed;
}

void UnitSession::takeBlock(const ParameterSet &read)
{
    const ParameterSet block = read.withLevels(std::nullopt);
    // Without a record since the new connection only the block can tell: one the tool neither
    // read nor held before is another unit's. The same set in another car goes unnoticed.
    const bool known = block == m_lastBlock || block == m_setAtRenewal;
    if (m_renewed && !m_recordSinceRenewal && !m_lastBlock.isEmpty() && !known)
        startNewUnit(true);
    m_lastBlock = block;
    m_blockOwned = true;
    m_blockSinceRenewal = m_renewed;
}

void UnitSession::takeBackup(const QString &path)
{
    if (m_renewed && m_backupSinceRenewal.isEmpty())
        m_backupSinceRenewal = path;
    if (!m_data->set().settingsWritten())
        m_setBefore = path;
}

void UnitSession::startNewUnit(bool recordIsOld)
{
    ++m_changes;
    m_data->record().forgetPreviousUnit(recordIsOld);
    m_data->set().forgetWritten();
    m_identity.reset();
    m_setBefore.clear();
    m_blockOwned = false;
}

#include "commandexchange.h"
#include "linktransport.h"

CommandExchange::CommandExchange(LinkTransport *link, QObject *parent) : QObject(parent), m_link(link) {}

bool CommandExchange::requirePort()
{
    return m_link->requirePort();
}

QByteArray CommandExchange::writeFrame(int address, quint8 value) const
{
    return m_link->writeFrame(address, value);
}

bool CommandExchange::commandWithoutAnswer(quint8 code, const QByteArray &before, std::function<void()> sent)
{
    if (!m_link->requirePort())
        return false;
    const QByteArray frame = m_link->commandFrame(code);
    m_link->run([this, before, frame, sent] {
        const LinkTransport::Lease lease = m_link->takeLink();
        if (!before.isEmpty())
            m_link->transmit(before);
        m_link->transmit(frame);
        m_link->handBack(lease);
        if (sent)
            sent();
    });
    return true;
}

void CommandExchange::sendChain(const QList<ChainStep> &steps, std::function<void()> done)
{
    if (!m_link->requirePort())
        return;
    QList<LinkTransport::Step> sends;
    for (const ChainStep &step : steps)
        sends.append({step.pauseBeforeMs, [this, frame = step.frame] { m_link->transmit(frame); }});
    m_link->run(
        [this, sends, done] {
            const LinkTransport::Lease lease = m_link->takeLink();
            m_link->startChain(sends, [this, lease, done] {
                m_link->handBack(lease);
                if (done)
                    done();
            });
        },
        true);
}

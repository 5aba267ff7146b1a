#include "measurementexchange.h"
#include "blockread.h"
#include "linktransport.h"
#include "statuspoll.h"

MeasurementExchange::MeasurementExchange(LinkTransport *link, StatusPoll *status, BlockRead *blockRead, QObject *parent)
    : QObject(parent), m_link(link), m_status(status), m_blockRead(blockRead)
{
    connect(status, &StatusPoll::measuringReply, this, &MeasurementExchange::measurementCodeReceived);
}

void MeasurementExchange::startMeasurement(quint8 code)
{
    if (!m_link->requirePort())
        return;
    // Measuring from the press on: a second press stops it even before the start has gone out.
    // Its answers come with the poll, which must not run beside a reader.
    m_status->setMeasuring(true);
    const QByteArray frame = m_link->commandFrame(code);
    m_link->run([this, frame] {
        const LinkTransport::Lease lease = m_link->takeLink();
        m_link->transmit(frame);
        m_link->handBack(lease);
    });
}

void MeasurementExchange::stopMeasurement()
{
    m_status->setMeasuring(false);
}

void MeasurementExchange::endMeasurement(bool keepPolling)
{
    m_status->setMeasuring(false);
    m_blockRead->readAgain(keepPolling);
}

bool MeasurementExchange::isMeasuring() const
{
    return m_status->measuring();
}

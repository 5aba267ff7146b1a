#include "cutoffreader.h"
#include "linktransport.h"
#include "unitdata.h"

CutOffReader::CutOffReader(LinkTransport *link, UnitData *data, QObject *parent) : LinkReader(link, parent), m_data(data)
{
    link->own(LinkState::CutOffByte, {Reply::AuxSize, 0x02, 0x03}, [this](const QByteArray &reply) { take(reply); });
    connect(&m_requestTimer, &LinkTimer::fired, this, &CutOffReader::requestCutOffValue);
}

void CutOffReader::startCutOffReading(quint8 address)
{
    m_address = address;
    // The reader that ended handed the link back: it awaits status replies, not a cut-off byte
    // nobody asks for.
    if (m_link->endReaders(this))
        return;
    takeLink(LinkState::CutOffByte);
    m_requestTimer.enable();
    silenceFromNow();
}

void CutOffReader::stopCutOffReading()
{
    const bool wasReading = m_requestTimer.isEnabled();
    m_requestTimer.disable();
    handLinkBack();
    m_link->endReaders(this);
    silenceOff();
    if (wasReading)
        emit cutOffReadingStopped();
}

void CutOffReader::writeCutOff(int address, quint8 value)
{
    if (!m_link->requirePort())
        return;
    m_link->send(m_link->writeFrame(address, value));
    // The threshold at 67 is block byte 20: a later block write must not put the old one back.
    const int index = address - UnitAddress::ParamOffset;
    if (index >= 1 && index <= UnitData::ParamBlockSize - 2)
        m_data->set().setParamByte(index, value);
}

void CutOffReader::requestCutOffValue()
{
    m_link->send(m_link->auxFrame(m_address), Reply::AuxSize);
}

void CutOffReader::take(const QByteArray &reply)
{
    answered();
    emit auxValueReceived(quint8(reply.at(1)));
}

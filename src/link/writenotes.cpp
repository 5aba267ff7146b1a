#include "writenotes.h"
#include "frames.h"
#include "linktransport.h"
#include "unitdata.h"

WriteNotes::WriteNotes(LinkTransport *link, UnitData *data, QObject *parent) : QObject(parent), m_data(data)
{
    connect(link, &LinkTransport::frameWritten, this, &WriteNotes::note);
}

void WriteNotes::note(const QByteArray &frame)
{
    if (frame.size() == 5) {
        if (quint8(frame.at(1)) == 0xB4)
            m_data->set().markWritten();
        return;
    }
    if (frame.size() != 3)
        return;
    switch (quint8(frame.at(1))) {
    case UnitCode::WriteBlock: m_data->set().markWritten(); break;
    case UnitCode::FactoryReset:
    case UnitCode::EepromToRam:
        m_data->set().markWritten();
        m_data->set().markRamSettled();
        break;
    case UnitCode::RamToEeprom: m_data->set().markCommitted(); break;
    case UnitCode::ClearErrors: m_data->record().noteErrorsCleared(); break;
    }
}

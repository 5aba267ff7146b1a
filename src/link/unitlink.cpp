#include "unitlink.h"
#include "unitdata.h"

UnitLink::UnitLink(SerialIo *port, UnitData *data, LinkClock *clock, QObject *parent)
    : QObject(parent), transport(port, clock), notes(&transport, data), status(&transport),
      commands(&transport), levels(&transport, data), blockRead(&transport, data, &levels),
      blockWrite(&transport, data), measurement(&transport, &status, &blockRead), check(&transport),
      diagnostics(&transport, data), recording(&transport), cutOff(&transport, data)
{
    // What the unit confirmed holding lives in its RAM until RAM->EEPROM.
    connect(&blockWrite, &BlockWrite::writeVerified, data, [data] { data->set().markRamChanged(); });
    connect(&check, &MemoryCheck::checked, data, [data](const QList<MemoryCheck::Byte> &, MemoryCheck::Outcome outcome) {
        if (outcome == MemoryCheck::Outcome::Confirmed)
            data->set().markRamChanged();
    });
}

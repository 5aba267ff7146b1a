#include "unitlink.h"

UnitLink::UnitLink(SerialIo *port, UnitData *data, LinkClock *clock, QObject *parent)
    : QObject(parent), transport(port, clock), notes(&transport, data), status(&transport),
      commands(&transport), levels(&transport, data), blockRead(&transport, data, &levels),
      blockWrite(&transport, data), measurement(&transport, &status, &blockRead), check(&transport),
      diagnostics(&transport, data), recording(&transport), cutOff(&transport, data)
{
}

#pragma once
#include "blockread.h"
#include "blockwrite.h"
#include "commandexchange.h"
#include "cutoffreader.h"
#include "diagnosticsexchange.h"
#include "levelexchange.h"
#include "linktransport.h"
#include "measurementexchange.h"
#include "memorycheck.h"
#include "scoperecording.h"
#include "statuspoll.h"
#include "writenotes.h"
#include <QObject>

class LinkClock;
class SerialIo;
class UnitData;

// The link to the unit as one piece: the transport and every kind of conversation over it, built
// in the order they depend on each other. The window, the tests and the bench all take it from
// here. A new kind of conversation is its file, its frame codes and one member here.
class UnitLink : public QObject
{
public:
    // `clock` paces the link; without one the system's clock does.
    UnitLink(SerialIo *port, UnitData *data, LinkClock *clock = nullptr, QObject *parent = nullptr);

    LinkTransport transport;
    WriteNotes notes;
    StatusPoll status;
    CommandExchange commands;
    LevelExchange levels;
    BlockRead blockRead;
    BlockWrite blockWrite;
    MeasurementExchange measurement;
    MemoryCheck check;
    DiagnosticsExchange diagnostics;
    ScopeRecording recording;
    CutOffReader cutOff;
};

#pragma once
// Header only, so that the bench can use it as well.
#include "link/blockread.h"
#include "link/blockwrite.h"
#include "link/commandexchange.h"
#include "link/cutoffreader.h"
#include "link/diagnosticsexchange.h"
#include "link/levelexchange.h"
#include "link/linktransport.h"
#include "link/measurementexchange.h"
#include "link/memorycheck.h"
#include "link/scoperecording.h"
#include "link/statuspoll.h"
#include "link/writenotes.h"
#include "linkwords/linkwords.h"

class Prompts;

// The link as the window composes it, without the window: the transport and every exchange, and
// the words of their results on the message labels. The link asks nothing through prompts itself.
struct TestLink
{
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

    TestLink(SerialIo *port, UnitData *data, Prompts *, LinkClock *clock = nullptr)
        : transport(port, clock), notes(&transport, data), status(&transport, data), commands(&transport),
          levels(&transport, data), blockRead(&transport, data, &levels), blockWrite(&transport, data),
          measurement(&transport, &status, &blockRead), check(&transport), diagnostics(&transport, data), recording(&transport),
          cutOff(&transport, data)
    {
        announceLinkOutcomes(&transport, &blockRead, &blockWrite, &levels);
    }
};

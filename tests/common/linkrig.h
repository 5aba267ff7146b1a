#pragma once
#include "fakeport.h"
#include "scriptedprompts.h"
#include "link/unitlink.h"
#include "linkwords/linkwords.h"
#include "link/unitdata.h"

// The link as a test drives it: the fake port (open), scripted prompts, the data and every
// exchange over the one transport. Held by a test for one case and made anew for the next.
struct LinkRig
{
    FakePort port;
    ScriptedPrompts prompts;
    UnitData data;
    UnitLink link{&port, &data};

    LinkRig()
    {
        port.open(QStringLiteral("fake"), nullptr);
        link.transport.prepareFrames();
        announceLinkOutcomes(link);
    }
};

#pragma once
#include "link/blockwrite.h"
#include "link/unitlink.h"
#include <QString>

// What a block write's check came to, as the message labels say it.
QString blockWriteWords(BlockWrite::Result result);

// The results of the exchanges go to the link's message labels in these words, shown for the
// transport's message time: a block read, a write's check, a read the unit left unanswered and an
// operation refused because no port is open.
void announceLinkOutcomes(UnitLink &unit);

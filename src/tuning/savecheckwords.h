#pragma once
#include "link/memorycheck.h"
#include <QString>

// What the pages say after a single save, on the link's message labels: whether the unit holds
// what was sent, or only that it was sent (a unit that answers no memory reads).
QString saveCheckWords(MemoryCheck::Outcome outcome);
void tellSaveOutcome(MemoryCheck *check, MemoryCheck::Outcome outcome);

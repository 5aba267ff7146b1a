#pragma once
#include "unitconfig.h"
#include <string>

namespace unitsim {

struct SimOptions
{
    UnitConfig unit;
    std::string linkPath;  // symlink to the pseudo-terminal, empty for none
    std::string logPath;   // frame log, empty for none
    int reactMs = 3;       // the unit's pause between a request and its answer
    int byteUs = 1042;     // one byte at 9600 baud, 8N1
    bool help = false;
};

// Fills options from the command line; false with a message in error when it cannot.
bool parseOptions(int argc, char **argv, SimOptions &options, std::string &error);
std::string usageText(const char *program);

}  // namespace unitsim

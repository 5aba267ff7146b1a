#include "options.h"
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace unitsim {

namespace {

bool toInt(const char *text, int low, int high, int &out)
{
    errno = 0;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < low || value > high)
        return false;
    out = int(value);
    return true;
}

struct IntOption
{
    const char *name;
    int low;
    int high;
    int SimOptions::*plain;
    int UnitConfig::*unit;
    int FaultConfig::*fault;
};

int &target(SimOptions &options, const IntOption &option)
{
    if (option.plain)
        return options.*option.plain;
    if (option.unit)
        return options.unit.*option.unit;
    return options.unit.faults.*option.fault;
}

const IntOption intOptions[] = {
    {"--unit-version", 1, 5, nullptr, &UnitConfig::version, nullptr},
    {"--serial", 0, 255, nullptr, &UnitConfig::serial, nullptr},
    {"--year", 2000, 2255, nullptr, &UnitConfig::year, nullptr},
    {"--step-ms", 1, 600000, nullptr, &UnitConfig::measureStepMs, nullptr},
    {"--stuck-byte", 1, 32, nullptr, &UnitConfig::stuckIndex, nullptr},
    {"--react-ms", 0, 1000, &SimOptions::reactMs, nullptr, nullptr},
    {"--byte-us", 0, 100000, &SimOptions::byteUs, nullptr, nullptr},
    {"--drop-every", 1, INT_MAX, nullptr, nullptr, &FaultConfig::dropEvery},
    {"--corrupt-every", 1, INT_MAX, nullptr, nullptr, &FaultConfig::corruptEvery},
    {"--stray-every", 1, INT_MAX, nullptr, nullptr, &FaultConfig::strayEvery},
    {"--slow-every", 1, INT_MAX, nullptr, nullptr, &FaultConfig::slowEvery},
    {"--slow-ms", 1, 10000, nullptr, nullptr, &FaultConfig::slowMs},
    {"--mute-after", 0, INT_MAX, nullptr, nullptr, &FaultConfig::muteAfter},
    {"--levels-answered", 0, INT_MAX, nullptr, nullptr, &FaultConfig::levelsAnswered},
};

// "--need 1:170": range 1 needs position 170.
bool takeNeed(const char *text, LoopConfig &loop)
{
    const char *colon = std::strchr(text, ':');
    int range = 0, need = 0;
    if (!colon || !toInt(std::string(text, colon).c_str(), 0, 3, range) || !toInt(colon + 1, 0, 255, need))
        return false;
    loop.need[std::size_t(range)] = need;
    return true;
}

// "--param 21:100": block byte 21 holds 100 from the start.
bool takeParam(const char *text, UnitConfig &unit)
{
    const char *colon = std::strchr(text, ':');
    int index = 0, value = 0;
    if (!colon || !toInt(std::string(text, colon).c_str(), 1, 32, index) || !toInt(colon + 1, 0, 255, value))
        return false;
    unit.startParams.emplace_back(index, value);
    return true;
}

}  // namespace

bool parseOptions(int argc, char **argv, SimOptions &options, std::string &error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--measure-end-keep") {
            options.unit.keepPollEnd = true;
            continue;
        }
        if (arg == "--closed-loop") {
            options.unit.loop.enabled = true;
            continue;
        }
        const bool loopValue = arg == "--need" || arg == "--probe-delay-ms" || arg == "--enrich" || arg == "--segment-ms";
        if (loopValue && i + 1 < argc) {
            const char *value = argv[++i];
            LoopConfig &loop = options.unit.loop;
            const bool ok = arg == "--need"             ? takeNeed(value, loop)
                            : arg == "--probe-delay-ms" ? toInt(value, 10, 5000, loop.probeDelayMs)
                            : arg == "--segment-ms"     ? toInt(value, 1000, 600000, loop.segmentMs)
                            : (std::strcmp(value, "up") == 0 || std::strcmp(value, "down") == 0);
            if (arg == "--enrich")
                loop.enrichUp = std::strcmp(value, "up") == 0;
            if (!ok) {
                error = arg + " cannot take \"" + value + "\"";
                return false;
            }
            continue;
        }
        if (arg == "--param" && i + 1 < argc) {
            if (!takeParam(argv[++i], options.unit)) {
                error = "--param wants BYTE:VALUE (1..32:0..255), not \"" + std::string(argv[i]) + "\"";
                return false;
            }
            continue;
        }
        const bool takesValue = arg == "--link" || arg == "--log" || arg == "--param" || loopValue;
        const IntOption *numeric = nullptr;
        for (const IntOption &option : intOptions)
            if (arg == option.name)
                numeric = &option;
        if (!takesValue && !numeric) {
            error = "unknown option " + arg;
            return false;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        const char *value = argv[++i];
        if (arg == "--link")
            options.linkPath = value;
        else if (arg == "--log")
            options.logPath = value;
        else if (!toInt(value, numeric->low, numeric->high, target(options, *numeric))) {
            error = arg + " wants a whole number from " + std::to_string(numeric->low) + " to "
                    + std::to_string(numeric->high) + ", not \"" + value + "\"";
            return false;
        }
    }
    return true;
}

std::string usageText(const char *program)
{
    return std::string("Usage: ") + program + R"( [options]

Simulated control unit on a pseudo-terminal. The first line printed is the device to
open in the tool (9600 8N1); the unit then answers until SIGINT or SIGTERM.

Line and files:
  --link PATH          also make PATH a symlink to the device (an old link is replaced,
                       the link is removed on exit)
  --log FILE           append one line per frame: "<ms> RX 02 0F 03", "<ms> TX ...";
                       also JUNK (received bytes that made no frame) and HELD (a reply
                       a fault kept back); ms since the simulator started
  --react-ms MS        pause before answering (default 3)
  --byte-us US         time per byte sent (default 1042, as 9600 baud)

Unit:
  --unit-version N     1..5 (default 4). 1, 2: no levels (silent on code 170), no
                       cut-off, no oscilloscope (silent on every aux read); 3: no
                       levels; 4: everything; 5: no cut-off (silent on aux reads of
                       241 and 67)
  --serial N           serial number in the diagnostic record (default 117)
  --year N             year of manufacture in the record, 2000..2255 (default 2019)
  --param I:V          block byte I (1..32) holds V at start instead of the factory value
  --step-ms MS         how long each emulation measurement code is shown (default 1000)
  --measure-end-keep   end measurements with codes 7 (idle) / 10 (raised), after which
                       the tool keeps polling, instead of 5 / 21

Closed loop (the live values from a model of the engine, probe and servo control):
  --closed-loop        on; without it the live values are fixed waves
  --segment-ms MS      time in each range of the repeating drive (default 8000)
  --need R:POS         the position range R (0 idle .. 3 maximum power) needs; a need
                       beyond a stop keeps the servo there (default: between the stops)
  --probe-delay-ms MS  the probe's answer comes this late (default 150)
  --enrich up|down     the servo enriches towards MAX (up, default) or MIN

Faults (replies and requests counted from 1):
  --drop-every N       never send every N-th reply
  --corrupt-every N    invert the closing framing byte of every N-th reply
  --stray-every N      send a stray 00 byte before every N-th reply
  --slow-every N       stall every N-th reply in the middle for --slow-ms
  --slow-ms MS         length of that stall (default 250)
  --mute-after N       answer nothing once N requests have arrived
  --levels-answered N  answer the first N level requests (code 170), then none
  --stuck-byte INDEX   parameter block byte 1..32 that stores bit 0 inverted, so a
                       written block never reads back the same

Memory seen by aux reads (02 24 addr 00 03):
  10 sine 28..228 (2 s), 11 sawtooth 0..255 (3 s), 12 square 40/200 (1 s),
  13 lambda, 14 TPS, 15 servo position, 47..80 parameter block (67 is the cut-off
  threshold), 163..166 emulation levels, 241 current cut-off value (drifts +-20
  around the last value written there); other addresses hold plain memory that
  single writes change.

  -h, --help           show this text
)";
}

}  // namespace unitsim

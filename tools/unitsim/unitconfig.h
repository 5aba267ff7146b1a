#pragma once
#include <array>
#include <utility>
#include <vector>

namespace unitsim {

// Misbehaviour on demand, for testing how the tool copes. Every "every N" counts the unit's
// replies from 1, so the N-th, 2N-th, ... reply is hit; 0 switches a fault off.
struct FaultConfig
{
    int dropEvery = 0;     // the reply is never sent
    int corruptEvery = 0;  // its closing framing byte is inverted
    int strayEvery = 0;    // one zero byte goes out just before it
    int slowEvery = 0;     // the line goes quiet for slowMs in the middle of it
    int slowMs = 250;      // longer than the 200 ms the tool takes as the end of a frame
    int muteAfter = -1;    // requests answered before the unit goes silent; -1 never
    int levelsAnswered = -1;  // level requests (code 170) answered before they go unanswered; -1 all
};

struct LoopConfig
{
    bool enabled = false;        // off: the live values are the fixed waves of livesignals
    std::array<int, 4> need{-1, -1, -1, -1};  // position the engine needs per range; -1 the middle of its stops
    int probeDelayMs = 150;      // from the mixture to the probe's answer
    bool enrichUp = true;        // the servo enriches towards MAX; false towards MIN
    int segmentMs = 8000;        // time in each range of the repeating drive
};

struct UnitConfig
{
    int version = 4;           // 1..5; older units lack levels, cut-off and the scope
    int serial = 117;
    int year = 2019;           // of manufacture, 2000..2255: with the serial, what names the unit
    int measureStepMs = 1000;  // how long each emulation measurement code is reported
    bool keepPollEnd = false;  // end measurements with 7/10 (poll stays on) instead of 5/21
    int stuckIndex = -1;       // block byte 1..32 that never stores what is written to it
    std::vector<std::pair<int, int>> startParams;  // block byte 1..32 and the value it holds at start
    FaultConfig faults;
    LoopConfig loop;
};

}  // namespace unitsim

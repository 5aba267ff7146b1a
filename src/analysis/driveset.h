#pragma once
#include "link/parameterset.h"
#include <array>

// What the analysis needs of a parameter set: the stops, the thresholds and how the probe is read.
struct DriveSet
{
    static constexpr int Ranges = 4;
    std::array<int, Ranges> stopMax{};
    std::array<int, Ranges> stopMin{};
    std::array<int, 3> tpsThresholds{};
    bool tpsRising = true;
    int lambdaThreshold = 0;   // 0.02 V steps
    bool probe5V = false;      // else a 0-1.2 V probe
    bool reversedLogic = false; // a high voltage means lean

    // What the analysis reads of a set's parameter block (the levels play no part in it).
    static DriveSet fromBlock(const ParameterSet::Block &block);

    // The range of a TPS value: a value equal to a threshold belongs to the idle side of it.
    int rangeOf(int tps) const;
    // Whether the probe says rich at this voltage; the threshold itself counts as lean.
    bool rich(int lambda) const { return reversedLogic ? lambda < lambdaThreshold : lambda > lambdaThreshold; }
    // The limits of the stop controls.
    static constexpr int StopMaxLimit = 254;
    static constexpr int StopMinLimit = 255;
};

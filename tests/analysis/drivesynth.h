#pragma once
#include "analysis/driverows.h"

// Recordings made up for the tests: rows at a fixed poll, against a set with easy numbers.
struct DriveSynth
{
    DriveInput input;
    qint32 ms = 0;
    int stepMs = 20;

    static DriveSet plainSet()
    {
        DriveSet s;
        s.stopMax = {120, 140, 160, 180};
        s.stopMin = {40, 60, 80, 100};
        s.tpsThresholds = {50, 100, 150};
        s.lambdaThreshold = 22;
        return s;
    }
    explicit DriveSynth(int step = 20, DriveSet set = plainSet()) : stepMs(step)
    {
        input.sets.push_back(set);
        input.gapMs = std::max(100, 3 * step);
    }
    void row(int lambda, int tps, int position, quint8 flags = DriveRow::Values)
    {
        DriveRow r;
        r.ms = ms;
        r.lambda = quint8(lambda);
        r.tps = quint8(tps);
        r.position = quint8(position);
        r.flags = flags;
        r.set = quint8(input.sets.size() - 1);
        input.rows.push_back(r);
        ms += stepMs;
    }
    // A TPS value inside each range of the plain set.
    static int tpsOf(int range) { return 25 + 50 * range; }
};

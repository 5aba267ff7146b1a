#pragma once
#include <QMetaType>

// What one status reply tells: the lambda probe, the throttle position sensor and the servo
// position, each as the unit's byte (0..255).
struct LiveValues
{
    int lambda = 0;
    int tps = 0;
    int position = 0;

    friend bool operator==(const LiveValues &a, const LiveValues &b)
    {
        return a.lambda == b.lambda && a.tps == b.tps && a.position == b.position;
    }
    friend bool operator!=(const LiveValues &a, const LiveValues &b) { return !(a == b); }
};
Q_DECLARE_METATYPE(LiveValues)

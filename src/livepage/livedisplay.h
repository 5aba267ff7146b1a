#pragma once
#include "textformat/czechnumber.h"
#include <QColor>
#include <QString>

class BarGauge;
class UnitSet;
struct LiveValues;

// How the live values are shown: the rules both live displays share.
namespace LiveDisplay {

// Parameter block bytes the live displays read.
constexpr int LambdaThresholdIndex = 6;
constexpr int TpsThreshold3Index = 19;

// Bit 4 of the lambda status byte: a 0-5 V probe (scale 255) instead of 0-1.2 V (scale 60).
inline int lambdaMaximum(unsigned lambdaStatus) { return (lambdaStatus & 0x10u) ? 255 : 60; }

// Unit values are 0.02 V steps: "0,60 V".
inline QString voltageText(int value) { return czechDecimal(value * 0.02, 2) + QStringLiteral(" V"); }

inline QColor darkGreen() { return QColor(0, 128, 0); }
// A value strictly above its threshold shows red.
inline QColor gaugeColour(int threshold, int value) { return threshold < value ? QColor(Qt::red) : darkGreen(); }
inline QColor designBlue() { return QColor(0, 0, 255); }

// The lambda and TPS bars of either display: the probe's scale and each bar's colour against its
// threshold in the tool's set, then the new values.
void showOnGauges(BarGauge *lambda, BarGauge *tps, const UnitSet &set, const LiveValues &values);

}

#include "paramblock.h"

PowerRange activePowerRange(int tps, bool tpsRising, int t1, int t2, int t3)
{
    if (tpsRising) {
        if (tps <= t1) return PowerRange::Idle;
        if (tps <= t2) return PowerRange::LowPower;
        if (tps <= t3) return PowerRange::HighPower;
        return PowerRange::FullPower;
    }
    if (tps >= t1) return PowerRange::Idle;
    if (tps >= t2) return PowerRange::LowPower;
    if (tps >= t3) return PowerRange::HighPower;
    return PowerRange::FullPower;
}

int intPower(int base, int exponent)
{
    int result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

bool testBit(unsigned value, int n)
{
    return (value & unsigned(intPower(2, n))) != 0;
}

void setBit(unsigned &value, int n)
{
    value |= unsigned(intPower(2, n));
}

void clearBit(unsigned &value, int n)
{
    value &= 255u - unsigned(intPower(2, n));
}

QString byteToBinary(unsigned value)
{
    QString text(8, QLatin1Char('0'));
    for (int bit = 0; bit < 8; ++bit)
        if (testBit(value, bit))
            text[7 - bit] = QLatin1Char('1');
    return text;
}

#include "paramblock.h"

PowerRange activePowerRange(int tps, bool tpsRising, int t1, int t2, int t3)
{
    if (tpsRising) {
        if (tps <= t1) return PowerRange::Volnobeh;
        if (tps <= t2) return PowerRange::MalyVykon;
        if (tps <= t3) return PowerRange::VelkyVykon;
        return PowerRange::MaximalniVykon;
    }
    if (tps >= t1) return PowerRange::Volnobeh;
    if (tps >= t2) return PowerRange::MalyVykon;
    if (tps >= t3) return PowerRange::VelkyVykon;
    return PowerRange::MaximalniVykon;
}

int IntPower(int base, int exponent)
{
    int result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

bool TestBit(unsigned value, int n)
{
    return (value & unsigned(IntPower(2, n))) != 0;
}

void SetBit(unsigned &value, int n)
{
    value |= unsigned(IntPower(2, n));
}

void ClearBit(unsigned &value, int n)
{
    value &= 255u - unsigned(IntPower(2, n));
}

QString ByteToBinary(unsigned value)
{
    QString text(8, QLatin1Char('0'));
    for (int bit = 0; bit < 8; ++bit)
        if (TestBit(value, bit))
            text[7 - bit] = QLatin1Char('1');
    return text;
}

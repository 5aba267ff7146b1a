#include "tachoreading.h"

void TachoReading::takeFromRecord(int km)
{
    set(km, m_typed);
}

void TachoReading::type(int km)
{
    set(km, m_typed || km > 0);
}

void TachoReading::awaitRecord()
{
    set(m_km, false);
}

void TachoReading::forget()
{
    set(0, false);
}

void TachoReading::set(int km, bool typed)
{
    m_km = km;
    m_typed = typed;
    emit changed(km, typed);
}

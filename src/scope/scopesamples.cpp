#include "scopesamples.h"
#include <algorithm>

void ScopeSamples::clear()
{
    std::fill(m_values.begin(), m_values.end(), quint8(0));
    m_count = 0;
}

void ScopeSamples::setValue(int channel, int index, int value)
{
    if (index < 0 || index >= Room || (channel != 1 && channel != 2))
        return;
    m_values[std::size_t((channel == 2 ? Room : 0) + index)] = quint8(value);
}

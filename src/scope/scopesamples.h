#pragma once
#include <QtGlobal>
#include <vector>

// The samples of the last recording: channel 1 sample i at position i, channel 2 sample i at
// position Room + i. A recording fills at most 3000 of each channel's room.
class ScopeSamples
{
public:
    static constexpr int Room = 10000;

    // A new recording: nothing counted and both channels zero, so a one-channel recording
    // never shows or exports the second channel of an earlier one.
    void clear();
    void setValue(int channel, int index, int value);
    void setCount(int count) { m_count = qBound(0, count, Room); }
    int count() const { return m_count; }
    quint8 channel1(int index) const { return m_values[std::size_t(index)]; }
    quint8 channel2(int index) const { return m_values[std::size_t(Room + index)]; }

private:
    std::vector<quint8> m_values = std::vector<quint8>(2 * Room);
    int m_count = 0;
};

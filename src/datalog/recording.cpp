#include "recording.h"
#include <algorithm>

const Recording::Marker *Recording::marker(int number) const
{
    for (const Marker &m : m_markers) {
        if (m.number == number)
            return &m;
    }
    return nullptr;
}

int Recording::rowAtOrAfter(qint64 ms) const
{
    return int(std::lower_bound(m_ms.begin(), m_ms.end(), ms) - m_ms.begin());
}

int Recording::nearestRow(qint64 ms) const
{
    if (m_ms.empty())
        return -1;
    const int after = rowAtOrAfter(ms);
    if (after >= rows())
        return rows() - 1;
    if (after == 0)
        return 0;
    return ms - m_ms[std::size_t(after - 1)] <= m_ms[std::size_t(after)] - ms ? after - 1 : after;
}

void Recording::reserve(std::size_t rows)
{
    m_ms.reserve(rows);
    m_clock.reserve(rows);
    m_lambda.reserve(rows);
    m_tps.reserve(rows);
    m_position.reserve(rows);
    m_flags.reserve(rows);
}

int Recording::indexOf(QStringList &table, const QString &text, int limit)
{
    const int at = int(table.indexOf(text));
    if (at >= 0)
        return at;
    // A foreign file with more distinct texts than fit keeps the first ones; the rest show as "…".
    if (table.size() >= limit)
        return limit - 1;
    table << (table.size() == limit - 1 ? QStringLiteral("…") : text);
    return int(table.size()) - 1;
}

void Recording::addRow(qint64 ms, int clockMs, bool values, int lambda, int tps, int position, const QString &range,
                       const QString &status)
{
    m_ms.push_back(qint32(ms));
    m_clock.push_back(clockMs);
    m_lambda.push_back(quint8(lambda));
    m_tps.push_back(quint8(tps));
    m_position.push_back(quint8(position));
    const int r = range.isEmpty() ? 0 : indexOf(m_ranges, range, 8);
    const int s = status.isEmpty() ? 0 : indexOf(m_statuses, status, 16);
    m_flags.push_back(quint8((values ? HasValues : 0) | (r << 1) | (s << 4)));
    if (values)
        m_lambdaPeak = std::max(m_lambdaPeak, lambda);
}

void Recording::addMarker(int number, const QString &text)
{
    for (Marker &m : m_markers) {
        if (m.number == number) {
            if (m.text.isEmpty())
                m.text = text;
            return;
        }
    }
    m_markers.append({number, rows() - 1, text});
}

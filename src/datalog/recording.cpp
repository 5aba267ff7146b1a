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

const Recording::Blocks &Recording::blocks() const
{
    if (m_blocks)
        return *m_blocks;
    auto b = std::make_shared<Blocks>();
    // The usual step between rows, from the first thousand: a poll interval, whatever it was set to.
    std::vector<qint64> steps;
    for (int i = 1; i < rows() && steps.size() < 1000; ++i) {
        if (hasValues(i) && hasValues(i - 1) && ms(i) > ms(i - 1))
            steps.push_back(ms(i) - ms(i - 1));
    }
    if (!steps.empty()) {
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        b->gapMs = std::max<qint64>(100, 3 * steps[steps.size() / 2]);
    }
    const std::vector<quint8> *lanes[3] = {&m_lambda, &m_tps, &m_position};
    for (int level = 0; level < BlockLevels; ++level) {
        const int size = blockSize(level);
        const int count = rows() / size;
        b->whole[level].resize(std::size_t(count));
        for (int lane = 0; lane < 3; ++lane) {
            b->low[level][lane].resize(std::size_t(count));
            b->high[level][lane].resize(std::size_t(count));
        }
        for (int k = 0; k < count; ++k) {
            const int from = k * size;
            bool whole = true;
            if (level == 0) {
                for (int i = from; i < from + size && whole; ++i)
                    whole = hasValues(i) && (i == from || ms(i) - ms(i - 1) <= b->gapMs);
            } else {
                // Eight blocks of the level below, joined where they meet.
                for (int j = 0; j < 8 && whole; ++j) {
                    const int sub = k * 8 + j;
                    const int start = sub * blockSize(level - 1);
                    whole = b->whole[level - 1][std::size_t(sub)] && (j == 0 || ms(start) - ms(start - 1) <= b->gapMs);
                }
            }
            b->whole[level][std::size_t(k)] = whole;
            for (int lane = 0; lane < 3; ++lane) {
                quint8 low = 255, high = 0;
                if (level == 0) {
                    for (int i = from; i < from + size; ++i) {
                        low = std::min(low, (*lanes[lane])[std::size_t(i)]);
                        high = std::max(high, (*lanes[lane])[std::size_t(i)]);
                    }
                } else {
                    for (int j = 0; j < 8; ++j) {
                        low = std::min(low, b->low[level - 1][lane][std::size_t(k * 8 + j)]);
                        high = std::max(high, b->high[level - 1][lane][std::size_t(k * 8 + j)]);
                    }
                }
                b->low[level][lane][std::size_t(k)] = low;
                b->high[level][lane][std::size_t(k)] = high;
            }
        }
    }
    m_blocks = b;
    return *b;
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
    m_blocks.reset();
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

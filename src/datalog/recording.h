#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A recording read back: one entry per row in columns of their own, 13 bytes a row, so a
// million rows take 13 MB.
class Recording
{
public:
    struct Marker
    {
        int number = 0;
        int row = 0;      // the row that carries it
        QString text;
    };

    int rows() const { return int(m_ms.size()); }
    bool isEmpty() const { return m_ms.empty(); }
    qint64 ms(int row) const { return m_ms[std::size_t(row)]; }
    // Milliseconds since midnight of the wall clock, -1 when the row has none.
    int clockMs(int row) const { return m_clock[std::size_t(row)]; }
    bool hasValues(int row) const { return m_flags[std::size_t(row)] & HasValues; }
    int lambda(int row) const { return m_lambda[std::size_t(row)]; }
    int tps(int row) const { return m_tps[std::size_t(row)]; }
    int position(int row) const { return m_position[std::size_t(row)]; }
    QString range(int row) const { return m_ranges.value((m_flags[std::size_t(row)] >> 1) & 7); }
    QString status(int row) const { return m_statuses.value(m_flags[std::size_t(row)] >> 4); }
    const QList<Marker> &markers() const { return m_markers; }
    const Marker *marker(int number) const;

    qint64 firstMs() const { return m_ms.empty() ? 0 : m_ms.front(); }
    qint64 lastMs() const { return m_ms.empty() ? 0 : m_ms.back(); }
    qint64 durationMs() const { return lastMs() - firstMs(); }
    // The first row at or after `ms` (rows() when none).
    int rowAtOrAfter(qint64 ms) const;
    // The row nearest to `ms`, -1 when there are none.
    int nearestRow(qint64 ms) const;
    // The largest lambda value; decides whether it is drawn on the scale of a 0-1.2 V probe.
    int lambdaPeak() const { return m_lambdaPeak; }
    // Rows longer apart than this are not joined: the poll stood still (three usual steps, at
    // least 100 ms).
    qint64 gapMs() const { return blocks().gapMs; }

    // The rows in blocks of 8, 64, 512 and 4096, each with the lowest and highest value of each
    // lane, so that a plot of many rows per pixel does not visit every row. Made on first use.
    static constexpr int BlockLevels = 4;
    static constexpr int blockSize(int level) { return 8 << (3 * level); }
    struct Blocks
    {
        qint64 gapMs = 1000;
        // Per level: whether every row of a block has values and joins the next; per lane the
        // lowest and highest value.
        std::vector<bool> whole[BlockLevels];
        std::vector<quint8> low[BlockLevels][3];
        std::vector<quint8> high[BlockLevels][3];
    };
    const Blocks &blocks() const;

    // Filled by the reader.
    void reserve(std::size_t rows);
    void addRow(qint64 ms, int clockMs, bool values, int lambda, int tps, int position, const QString &range,
                const QString &status);
    // A marker number seen again brings its text; the row of its first appearance stays.
    void addMarker(int number, const QString &text);

private:
    enum : quint8 { HasValues = 1 };
    static int indexOf(QStringList &table, const QString &text, int limit);

    std::vector<qint32> m_ms;
    std::vector<qint32> m_clock;
    std::vector<quint8> m_lambda, m_tps, m_position;
    std::vector<quint8> m_flags;  // bit 0 values, bits 1-3 range, bits 4-7 status
    QStringList m_ranges{QString()};
    QStringList m_statuses{QString()};
    QList<Marker> m_markers;
    int m_lambdaPeak = 0;
    mutable std::shared_ptr<const Blocks> m_blocks;  // made once the rows are all there
};

// Feeds arbitrary bytes to the recording reader. Whatever it takes is in time order with its
// markers on rows it has, a message names the line it stopped at, and what it took, written
// again (marker texts included), reads back the same.
#include "datalog/logformat.h"
#include "datalog/recordingreader.h"
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const RecordingRead read = readRecording(bytes);
    const Recording &r = read.recording;
    if (!read.error.isEmpty() && read.errorLine < 1)
        std::abort();
    if (read.errorLine == 1 && !r.isEmpty())
        std::abort();
    for (int i = 1; i < r.rows(); ++i) {
        if (r.ms(i) < r.ms(i - 1))
            std::abort();
    }
    for (const Recording::Marker &m : r.markers()) {
        if (m.row < 0 || m.row >= r.rows() || m.number < 1)
            std::abort();
    }
    (void)r.blocks();

    QByteArray again = LogFormat::byteOrderMark() + LogFormat::headerLine();
    for (int i = 0; i < r.rows(); ++i) {
        LogRow row;
        row.ms = r.ms(i);
        row.hasValues = r.hasValues(i);
        row.lambda = r.lambda(i);
        row.tps = r.tps(i);
        row.position = r.position(i);
        row.status = r.hasValues(i) ? QString() : QStringLiteral("x");
        for (const Recording::Marker &m : r.markers()) {
            if (m.row == i)
                row.marker = LogFormat::markerField(m.number, m.text);
        }
        LogFormat::appendRow(again, row);
    }
    const RecordingRead back = readRecording(again);
    if (!back.error.isEmpty() || back.recording.rows() != r.rows() || back.recording.markers().size() != r.markers().size())
        std::abort();
    // Marker texts go out quoted where they must and come back as they went.
    for (int k = 0; k < r.markers().size(); ++k) {
        const Recording::Marker &m = r.markers()[k];
        const Recording::Marker &b = back.recording.markers()[k];
        if (b.number != m.number || LogFormat::markerField(b.number, b.text) != LogFormat::markerField(m.number, m.text))
            std::abort();
    }
    for (int i = 0; i < r.rows(); ++i) {
        const Recording &b = back.recording;
        if (b.ms(i) != r.ms(i) || b.hasValues(i) != r.hasValues(i)
            || (r.hasValues(i) && (b.lambda(i) != r.lambda(i) || b.tps(i) != r.tps(i) || b.position(i) != r.position(i))))
            std::abort();
    }
    return 0;
}

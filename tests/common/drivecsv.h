#pragma once
// Header only: a recording with known answers, as the recorder writes it.
#include "datalog/logformat.h"
#include <QByteArray>
#include <algorithm>

// A minute at idle (TPS 20) with the mixture switching every second and the servo hunting
// (up while lean, 41..119), then `stuckS` seconds in the low power range (TPS 75) with the servo
// at 140 and the mixture lean; a row every 20 ms.
inline QByteArray driveCsv(int stuckS)
{
    QByteArray bytes = LogFormat::byteOrderMark() + LogFormat::headerLine();
    LogRow row;
    row.hasValues = true;
    int pos = 80;
    for (int i = 0; i < 3000 + stuckS * 50; ++i) {
        row.ms = qint64(i) * 20;
        const bool idle = i < 3000;
        const bool lean = idle ? i % 100 < 50 : true;
        pos = idle ? std::clamp(pos + (lean ? 1 : -1), 41, 119) : 140;
        row.lambda = lean ? 10 : 40;
        row.tps = idle ? 20 : 75;
        row.position = pos;
        LogFormat::appendRow(bytes, row);
    }
    return bytes;
}

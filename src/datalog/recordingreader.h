#pragma once
#include "recording.h"
#include <QByteArray>
#include <QString>

// Reads a recording file: UTF-8 with or without the byte-order mark (or Windows-1250 where a
// spreadsheet saved it so), `;` between fields, quoted fields as CSV has them, decimal comma or
// point, the columns found by their names in the header. A damaged line ends the reading
// there: what came before is kept and the message names the line.
struct RecordingRead
{
    Recording recording;
    QString error;       // empty when every line was read
    int errorLine = 0;   // 1 is the header
    bool usable() const { return error.isEmpty() || errorLine > 1; }
};

// A larger file is refused with its size named: its rows alone would take hundreds of MB.
constexpr qint64 MaxRecordingBytes = 256LL * 1024 * 1024;

RecordingRead readRecording(const QByteArray &bytes);
// Reads the header from the first bytes, so that a file of another kind is refused at once;
// then the rows in chunks of a few MB.
RecordingRead readRecordingFile(const QString &path);

// What the list of recordings shows without reading a whole file: the first and last rows' times
// from its head and tail.
struct RecordingSummary
{
    bool valid = false;
    qint64 bytes = 0;
    qint64 durationMs = 0;
};
RecordingSummary summarizeRecording(const QString &path);

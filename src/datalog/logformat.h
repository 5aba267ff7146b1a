#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <QTime>

// One row of a recording: what one status reply (or its absence) left.
struct LogRow
{
    qint64 ms = 0;        // since the start of the recording, monotonic
    QTime wallClock;
    bool hasValues = false;
    int lambda = 0;       // unit bytes, 0.02 V steps for lambda and TPS
    int tps = 0;
    int position = 0;
    QString range;        // the active power range's name, empty when unknown
    QString marker;       // "3" or "3 text", empty without a marker
    QString status;       // empty for a reply, else why the row has no values
};

// The file a Czech spreadsheet opens as columns of numbers: UTF-8 with a byte-order mark, `;`
// between fields, a decimal comma and no thousands separator, one header row with the units,
// CR LF after every line.
namespace LogFormat {
extern const char *const Columns[10];
constexpr int ColumnCount = 10;
enum Column { Seconds, Clock, LambdaVolts, LambdaValue, TpsVolts, TpsValue, Position, Range, Marker, Status };

// The recordings' folder in the data folder: written by the recorder, listed by the page.
inline QString folderName() { return QStringLiteral("zaznamy"); }

inline const char *noReply() { return "bez odpovědi"; }
inline const char *measuring() { return "měření"; }
inline const char *linkLost() { return "spojení přerušeno"; }
inline const char *linkBack() { return "spojení obnoveno"; }
inline const char *markerOnly() { return "značka"; }

QByteArray byteOrderMark();
QByteArray headerLine();
// Appends the row as one whole line.
void appendRow(QByteArray &out, const LogRow &row);
// A text field as CSV has it: one with `;` or `"` in quotes, its quotes doubled.
void appendText(QByteArray &out, const QString &text);
// "3" or "3 text": the text loses only what would break the line (and blanks at its ends);
// however long, it is kept whole, as typed.
QString markerField(int number, const QString &text);
// "<yyyy-MM-dd_HH-mm-ss>_<version name>.csv", "..._2.csv" for the second part of a long one; the
// version name as safeFileNamePart() makes it, "Bez-verze" when nothing of it is left.
QString fileName(const QDateTime &start, const QString &versionName, int part = 1);
// When the file's recording began: from its name, or its last change for a file named otherwise.
QDateTime startOf(const QFileInfo &file);
// 0,60 for 30: the unit's 0.02 V steps with two decimals.
QByteArray volts(int value);
}

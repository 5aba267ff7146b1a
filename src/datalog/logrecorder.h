#pragma once
#include "logformat.h"
#include "logwriter.h"
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>

class ToolSetup;
class UnitData;
class MeasurementExchange;
class StatusPoll;
class LinkTransport;
struct LiveValues;

// Records what the link reports, one row for every status reply it accepts and one for every
// status reply that did not come, into data/zaznamy. It only listens: the poll and the handling
// of a reply are the link's; a row costs a few microseconds in memory. Twice a second the rows
// older than holdMs go to the file as whole lines in one write; the younger ones wait, so that a
// reply found missing a little later takes its place at the time of its poll.
class LogRecorder : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        qint64 maxBytes = 50LL * 1024 * 1024;  // a longer recording goes on in a new file
        qint64 maxMs = 3600LL * 1000;
        // A missing reply is known a reply time (200 ms) after its poll; every row waits that long.
        qint64 holdMs = 300;
        // The analysis times the probe's transitions only from rows this close: the poll runs at
        // least this often while recording.
        int pollMs = 100;
    };
    static constexpr int FlushMs = 500;

    LogRecorder(StatusPoll *status, LinkTransport *link, MeasurementExchange *measurement, UnitData *data, const ToolSetup *setup,
                QObject *parent = nullptr);
    ~LogRecorder() override;

    void setLimits(const Limits &limits) { m_limits = limits; }
    // Starts a recording in `folder` (made when missing); false with the reason in Czech.
    bool start(const QString &folder, QString *error);
    void stop();
    bool isRecording() const { return m_writer.isOpen(); }
    // What the timer does twice a second: the rows that have waited long enough go to the file.
    void flush();

    // Puts the next numbered marker into the next row, or into a row of its own at this moment
    // when no row comes within MarkerReachMs (a reader runs, the cable is out); 0 when nothing
    // is recorded.
    int addMarker();
    // The marker's short text, given after it was placed: it follows in a later row, the same way.
    void setMarkerText(int number, const QString &text);
    static constexpr qint64 MarkerReachMs = 1000;

    // The link to the unit was lost, or answers again: a row says so, once for each change.
    void setLinkAnswering(bool answering);

    // A row without values whose status says what happened at this moment.
    void addStatusRow(const QString &status);

    qint64 rows() const { return m_rows; }
    // How long the recording has been running.
    qint64 elapsedMs() const { return isRecording() ? m_clock.elapsed() : 0; }
    // The files of the current (or last) recording, the first first.
    QStringList files() const { return m_files; }

signals:
    void started();
    void stopped();
    // The disk refused the recording; it has ended, and what was written before stays.
    void failed(const QString &message);

private:
    void replyRow(const LiveValues &values);
    void missingRow(qint64 polledAt);
    void measuringRow();
    // The row goes last, with the next marker; `stampNow`: it is of this moment.
    void append(LogRow row, bool stampNow = true);
    // The row goes among the waiting ones at its own time.
    void insertAtItsTime(LogRow row);
    // Markers waiting since `untilMs` or longer get rows of their own.
    void placeMarkerRows(qint64 untilMs);
    void statusRow(const char *status);
    // Writes the rows at least `holdMs` old; false when the disk refused.
    bool write(qint64 holdMs, QString *error);
    bool nextPartIfDue(qint64 rowMs, QString *error);
    void fail(const QString &problem);
    void finish();
    QString rangeName(int tps) const;
    QString partPath(int part) const;

    QList<QMetaObject::Connection> m_feeds;  // what brings the rows while recording
    StatusPoll *m_status;
    QPointer<LinkTransport> m_link;  // at the window's end it may be gone before the recorder
    MeasurementExchange *m_measurement;
    UnitData *m_data;
    const ToolSetup *m_setup;
    Limits m_limits;
    LogWriter m_writer;
    QTimer m_flushTimer;
    QElapsedTimer m_clock;
    QString m_folder;
    QDateTime m_start;
    QString m_version;
    QStringList m_files;
    std::deque<LogRow> m_waiting;  // in time order, not yet written
    qint64 m_writtenMs = 0;        // the time of the last row written
    qint64 m_partStartMs = 0;
    qint64 m_rows = 0;
    QTime m_lastWritten;
    int m_markers = 0;
    struct PendingMarker
    {
        QString field;  // "3" or "3 text"
        qint64 ms;
        QTime wallClock;
    };
    QList<PendingMarker> m_pendingMarkers;
    bool m_linkAnswering = true;
    QByteArray m_line;
};

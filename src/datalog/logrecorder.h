#pragma once
#include "logformat.h"
#include "logwriter.h"
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class UnitData;
class UnitLink;

// Records what the link reports, one row for every status reply it accepts and one for every
// status reply that did not come, into data/zaznamy. It only listens: the poll and the handling
// of a reply are the link's; a row costs a few microseconds of formatting into memory, and the
// lines go to the file twice a second in one write.
class LogRecorder : public QObject
{
    Q_OBJECT
public:
    struct Limits
    {
        qint64 maxBytes = 50LL * 1024 * 1024;  // a longer recording goes on in a new file
        qint64 maxMs = 3600LL * 1000;
    };
    static constexpr int FlushMs = 500;

    LogRecorder(UnitLink *link, UnitData *data, QObject *parent = nullptr);
    ~LogRecorder() override;

    void setLimits(const Limits &limits) { m_limits = limits; }
    // Starts a recording in `folder` (made when missing); false with the reason in Czech.
    bool start(const QString &folder, QString *error);
    void stop();
    bool isRecording() const { return m_writer.isOpen(); }

    // Puts the next numbered marker into the next row; 0 when nothing is recorded.
    int addMarker();
    // The marker's short text, given after it was placed: it follows in a later row.
    void setMarkerText(int number, const QString &text);

    qint64 rows() const { return m_rows; }
    qint64 elapsedMs() const { return isRecording() ? m_clock.elapsed() : m_lastElapsedMs; }
    // The files of the current (or last) recording, the first first.
    QStringList files() const { return m_files; }

signals:
    void started();
    void stopped();
    // The disk refused the recording; it has ended, and what was written before stays.
    void failed(const QString &message);

private:
    void replyRow();
    void emptyRow(const char *status);
    void addRow(LogRow &row);
    bool nextPartIfDue(QString *error);
    void flush();
    void fail(const QString &problem);
    void finish();
    QString rangeName() const;
    QString partPath(int part) const;

    UnitLink *m_link;
    UnitData *m_data;
    Limits m_limits;
    LogWriter m_writer;
    QTimer m_flushTimer;
    QElapsedTimer m_clock;
    QString m_folder;
    QDateTime m_start;
    QString m_version;
    QStringList m_files;
    qint64 m_partStartMs = 0;
    qint64 m_rows = 0;
    qint64 m_lastElapsedMs = 0;
    QTime m_lastWritten;
    int m_markers = 0;
    QStringList m_pendingMarkers;
    QByteArray m_line;
};

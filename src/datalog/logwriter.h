#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

class DiskSync;

// One file of a recording. Rows wait in memory and go to the file in whole lines, in one write
// each time it is flushed; a write the disk refuses is cut back to the last whole line, so the
// file is valid CSV at any moment and nothing written before is lost.
class LogWriter
{
public:
    LogWriter();
    ~LogWriter();

    // Creates `path` (never an existing file) with the byte-order mark and the header row.
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

    void append(const QByteArray &lines) { m_pending += lines; }
    // Writes what waits; on failure the file ends with the last line written before.
    bool flush(QString *error);
    // Flushes and closes; false with the reason when the last lines could not be written.
    bool close(QString *error);
    // Closes without writing what waits: the disk has refused it already.
    void abandon();

    // Bytes in the file and waiting for it.
    qint64 size() const { return m_written + m_pending.size(); }

private:
    bool writeAll(const QByteArray &bytes, QString *error);

    QFile m_file;
    QByteArray m_pending;
    qint64 m_written = 0;
    std::unique_ptr<DiskSync> m_sync;
};

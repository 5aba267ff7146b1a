#include "logwriter.h"
#include "disksync.h"
#include "logformat.h"
#include "writeproblem.h"
#include <cerrno>
#include <utility>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
// The reason the system gave for the write just refused, in Czech where it is a usual one.
QString lastWriteProblem(int systemError, const QFile &file)
{
#ifdef Q_OS_WIN
    // WriteFile leaves errno alone: its reason is the thread's last error.
    Q_UNUSED(systemError);
    return windowsWriteProblem(quint32(GetLastError()), file.errorString());
#else
    return writeProblem(systemError, file.errorString());
#endif
}
}

LogWriter::LogWriter() = default;

LogWriter::~LogWriter()
{
    close(nullptr);
}

bool LogWriter::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    m_pending.clear();
    m_written = 0;
    errno = 0;
    // A new file for every recording: a name taken already is never appended to.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = lastWriteProblem(errno, m_file);
        return false;
    }
    m_sync = std::make_unique<DiskSync>(m_file.handle());
    m_pending = LogFormat::byteOrderMark() + LogFormat::headerLine();
    return flush(error);
}

bool LogWriter::writeAll(const QByteArray &bytes, QString *error)
{
    errno = 0;
    const qint64 done = m_file.write(bytes);
    if (done == bytes.size()) {
        m_written += done;
        return true;
    }
    // Taken before the resize below can overwrite the reason.
    const QString problem = lastWriteProblem(errno, m_file);
    // Part of a line would make the file end in a broken row: back to the last whole line.
    m_file.resize(m_written);
    if (error)
        *error = problem;
    return false;
}

bool LogWriter::flush(QString *error)
{
    if (m_pending.isEmpty() || !m_file.isOpen())
        return true;
    const QByteArray bytes = std::exchange(m_pending, QByteArray());
    return writeAll(bytes, error);
}

bool LogWriter::close(QString *error)
{
    if (!m_file.isOpen())
        return true;
    const bool ok = flush(error);
    m_sync.reset();
    m_file.close();
    return ok;
}

void LogWriter::abandon()
{
    m_pending.clear();
    close(nullptr);
}

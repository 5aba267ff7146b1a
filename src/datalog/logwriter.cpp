#include "logwriter.h"
#include "disksync.h"
#include "logformat.h"
#include <cerrno>
#include <utility>

namespace {
// Why a file could not be written, in Czech, from the system's error number.
QString writeProblem(int systemError, const QString &fallback)
{
    switch (systemError) {
    case ENOSPC: return QStringLiteral("na disku není místo");
    case EFBIG: return QStringLiteral("soubor přerostl největší velikost, kterou disk dovolí");
    case EACCES:
    case EPERM: return QStringLiteral("do složky není dovoleno zapisovat");
    case EROFS: return QStringLiteral("disk je jen pro čtení");
#ifdef EDQUOT  // Windows has no disk quotas of this kind
    case EDQUOT: return QStringLiteral("je vyčerpána kvóta disku");
#endif
    case EIO: return QStringLiteral("chyba disku při zápisu");
    case ENOENT: return QStringLiteral("složka neexistuje");
    }
    return fallback;
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
            *error = writeProblem(errno, m_file.errorString());
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
    const int systemError = errno;
    if (done == bytes.size()) {
        m_written += done;
        return true;
    }
    // Part of a line would make the file end in a broken row: back to the last whole line.
    m_file.resize(m_written);
    if (error)
        *error = writeProblem(systemError ? systemError : ENOSPC, m_file.errorString());
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

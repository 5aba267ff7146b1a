#include "singleinstance.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {
// A starting copy writes its process id into the lock right after creating it; a lock that names
// nobody for this long was left by a copy that ended in between.
constexpr int FillingMs = 1000;
}

SingleInstance::SingleInstance(const QString &name)
    : m_lock(std::make_unique<QLockFile>(QDir::temp().filePath(name + QStringLiteral(".lock"))))
{
    // Never stale by age: the running copy never touches its lock again.
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
    // A lock naming a process that is gone is taken over by tryLock(); one that names nobody is
    // never, so a copy killed while creating it would keep every later start out.
    if (!m_acquired && m_lock->error() == QLockFile::LockFailedError && !namesOwner()) {
        QElapsedTimer waited;
        waited.start();
        while (!namesOwner() && waited.elapsed() < FillingMs)
            QThread::msleep(50);
        // Removal fails while a living copy holds the lock, however little it has written.
        if (!namesOwner())
            m_lock->removeStaleLockFile();
        m_acquired = m_lock->tryLock(0);
    }
}

bool SingleInstance::namesOwner() const
{
    qint64 pid = 0;
    QString host, app;
    return !QFileInfo::exists(m_lock->fileName()) || m_lock->getLockInfo(&pid, &host, &app);
}

#include "disksync.h"
#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

struct DiskSync::Shared
{
    int fd = -1;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
};

namespace {
int duplicate(int fd)
{
#ifdef Q_OS_WIN
    return _dup(fd);
#else
    return ::dup(fd);
#endif
}

void syncAndMaybeClose(int fd, bool close)
{
#if defined(Q_OS_WIN)
    _commit(fd);
    if (close)
        _close(fd);
#else
#if defined(Q_OS_LINUX)
    ::fdatasync(fd);
#else
    ::fsync(fd);
#endif
    if (close)
        ::close(fd);
#endif
}
}

DiskSync::DiskSync(int fd)
{
    const int own = fd >= 0 ? duplicate(fd) : -1;
    if (own < 0)
        return;
    m_shared = std::make_shared<Shared>();
    m_shared->fd = own;
    std::thread([shared = m_shared] {
        std::unique_lock<std::mutex> lock(shared->mutex);
        for (;;) {
            const bool stop = shared->wake.wait_for(lock, std::chrono::seconds(1), [&] { return shared->stop; });
            lock.unlock();
            syncAndMaybeClose(shared->fd, stop);
            if (stop)
                return;
            lock.lock();
        }
    }).detach();
}

DiskSync::~DiskSync()
{
    if (!m_shared)
        return;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->stop = true;
    }
    m_shared->wake.notify_one();
}

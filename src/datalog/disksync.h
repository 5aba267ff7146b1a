#pragma once
#include <memory>

// Pushes a file's written lines from the system's cache to the disk once a second, on a thread of
// its own: a sync can take tens of milliseconds, which the user-interface thread must never wait
// for, not even when the file is closed. After a power cut the file holds what was written up to
// a second before.
class DiskSync
{
public:
    explicit DiskSync(int fd);  // the descriptor is duplicated; the caller keeps its own
    ~DiskSync();                // the thread makes a last sync and ends by itself

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

#pragma once
#include <QLockFile>
#include <memory>

// Only one copy of the tool may drive the serial line. The lock is held until the process ends;
// a lock left by a crashed copy is recognised by its process id and taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("mardunKX"));
    bool acquired() const { return m_acquired; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};

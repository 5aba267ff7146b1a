#pragma once
#include <QLockFile>
#include <memory>

// Only one copy of the tool may drive the serial line. The lock is held until the process ends;
// a lock left by a crashed copy is recognised by its process id and taken over, and so is one a
// copy killed while creating it left naming nobody.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("mardunKX"));
    bool acquired() const { return m_acquired; }

private:
    // The lock is gone or names the process that holds it.
    bool namesOwner() const;

    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};

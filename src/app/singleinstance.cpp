#include "singleinstance.h"
#include <QDir>

SingleInstance::SingleInstance(const QString &name)
    : m_lock(std::make_unique<QLockFile>(QDir::temp().filePath(name + QStringLiteral(".lock"))))
{
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
}

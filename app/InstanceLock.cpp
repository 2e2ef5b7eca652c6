#include "app/InstanceLock.h"

InstanceLock::InstanceLock(const QString& directory) : m_lock(directory + u'/' + QLatin1String(kFileName))
{
    // The lock is held for as long as the program runs, hours or days: its
    // age says nothing. Only a holder that no longer runs makes it stale.
    m_lock.setStaleLockTime(0);
}

InstanceLock::Result InstanceLock::acquire()
{
    if (m_lock.tryLock(0))
        return Result::Acquired;
    return m_lock.error() == QLockFile::LockFailedError ? Result::HeldByAnother : Result::Unavailable;
}

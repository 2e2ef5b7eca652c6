// The file lock on POSIX systems: flock(2). The lock belongs to the open
// file description, so the kernel drops it when the last descriptor closes,
// which happens at the latest when the process ends. The descriptor is not
// inherited by programs this one starts (O_CLOEXEC), or a child could keep
// the lock alive after its parent has died.
#include "app/FileLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString systemError(const char* what, int error)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

FileLock::Result FileLock::tryLock()
{
    if (isLocked())
        return Result::Locked;
    m_error.clear();
    const QByteArray name = QFile::encodeName(m_path);
    int fd = -1;
    do
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_error = systemError("open", errno) + QStringLiteral(" (") + m_path + u')';
        return Result::Failed;
    }
    int rc = -1;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::HeldByAnother;
        m_error = systemError("flock", error) + QStringLiteral(" (") + m_path + u')';
        return Result::Failed;
    }
    m_handle = fd;
    return Result::Locked;
}

bool FileLock::write(const QByteArray& content)
{
    if (!isLocked())
        return false;
    const int fd = int(m_handle);
    if (::ftruncate(fd, 0) != 0)
        return false;
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::pwrite(fd, content.constData() + done, size_t(content.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void FileLock::unlock()
{
    if (!isLocked())
        return;
    // Closing the only descriptor releases the lock.
    ::close(int(m_handle));
    m_handle = kNoHandle;
}

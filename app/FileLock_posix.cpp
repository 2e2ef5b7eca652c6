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
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QString systemError(const char* what, int error)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

// Descriptors of a file that a database engine of this process may also
// have open. Closing any descriptor of a file drops every POSIX record lock
// the process holds on it, the engine's included; so such a descriptor is
// unlocked and kept for the next lock instead of being closed.
std::vector<int>& parkedDescriptors()
{
    static std::vector<int> parked;
    return parked;
}

int openFor(const QByteArray& name, FileLock::Mode mode)
{
    if (mode == FileLock::Mode::ExistingFile) {
        struct stat path { };
        if (::lstat(name.constData(), &path) == 0) {
            auto& parked = parkedDescriptors();
            for (auto it = parked.begin(); it != parked.end(); ++it) {
                struct stat open { };
                if (::fstat(*it, &open) == 0 && open.st_dev == path.st_dev && open.st_ino == path.st_ino) {
                    const int fd = *it;
                    parked.erase(it);
                    return fd;
                }
            }
        }
    }
    const int flags = mode == FileLock::Mode::ExistingFile ? O_RDONLY | O_NOFOLLOW | O_CLOEXEC
                                                           : O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    int fd = -1;
    do
        fd = ::open(name.constData(), flags, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Whether the path still names the file open as fd: a regular file, not a
// link, with the same device and file number.
bool stillAtPath(int fd, const QByteArray& name)
{
    struct stat open { };
    struct stat path { };
    return ::fstat(fd, &open) == 0 && ::lstat(name.constData(), &path) == 0 && S_ISREG(path.st_mode)
        && open.st_dev == path.st_dev && open.st_ino == path.st_ino;
}

} // namespace

FileLock::Result FileLock::tryLock()
{
    if (isLocked())
        return Result::Locked;
    m_error.clear();
    const QByteArray name = QFile::encodeName(m_path);
    // The file may be replaced between opening and locking; the lock is
    // then taken again on the file now at the path, a few times at most.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = openFor(name, m_mode);
        if (fd < 0) {
            const int error = errno;
            m_error = (error == ELOOP ? QStringLiteral("open: a symbolic link stands in the file's place")
                                      : systemError("open", error))
                + QStringLiteral(" (") + m_path + u')';
            return Result::Failed;
        }
        int rc = -1;
        do
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int error = errno;
            release(fd);
            if (error == EWOULDBLOCK)
                return Result::HeldByAnother;
            m_error = systemError("flock", error) + QStringLiteral(" (") + m_path + u')';
            return Result::Failed;
        }
        if (stillAtPath(fd, name)) {
            m_handle = fd;
            return Result::Locked;
        }
        ::flock(fd, LOCK_UN);
        release(fd);
    }
    m_error = QStringLiteral("the file keeps being replaced (") + m_path + u')';
    return Result::Failed;
}

void FileLock::release(qintptr handle) const
{
    const int fd = int(handle);
    if (m_mode == Mode::ExistingFile)
        parkedDescriptors().push_back(fd);
    else
        ::close(fd);
}

QByteArray FileLock::readNoFollow(const QString& path, qint64 maxBytes)
{
    int fd = -1;
    do
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return {};
    QByteArray out(int(maxBytes), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, size_t(out.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    out.truncate(done);
    return out;
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
    ::flock(int(m_handle), LOCK_UN);
    release(int(m_handle));
    m_handle = kNoHandle;
}

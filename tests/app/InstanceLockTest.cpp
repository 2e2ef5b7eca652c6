#include "app/InstanceLock.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

// A second copy on the same data directory is refused while the first
// runs; another directory is another installation.
TEST(InstanceLock, OneCopyPerDataDirectory)
{
    QTemporaryDir dir, other;
    auto first = std::make_unique<InstanceLock>(dir.path());
    EXPECT_EQ(first->acquire(), InstanceLock::Result::Acquired);
    InstanceLock second(dir.path());
    EXPECT_EQ(second.acquire(), InstanceLock::Result::HeldByAnother);
    InstanceLock elsewhere(other.path());
    EXPECT_EQ(elsewhere.acquire(), InstanceLock::Result::Acquired);
    first.reset(); // the first copy ends
    InstanceLock third(dir.path());
    EXPECT_EQ(third.acquire(), InstanceLock::Result::Acquired);
}

#ifdef Q_OS_UNIX
// A copy that crashed leaves its lock file behind; the next start takes it
// over however young it is.
TEST(InstanceLock, ALockLeftByACrashedCopyIsTakenOver)
{
    QTemporaryDir dir;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock(dir.path());
        const bool acquired = lock.acquire() == InstanceLock::Result::Acquired;
        _exit(acquired ? 0 : 1); // ends without releasing the lock
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(QDir(dir.path()).filePath(QLatin1String(InstanceLock::kFileName))));
    InstanceLock next(dir.path());
    EXPECT_EQ(next.acquire(), InstanceLock::Result::Acquired);
}
#endif

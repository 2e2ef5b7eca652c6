#pragma once
// An exclusive lock on a file that the operating system keeps for this
// process and drops when the process ends, however it ends: closed, crashed
// or killed. No lock is ever left behind for someone to clear by hand.
//
// This is not QLockFile: there the lock is the file's existence, and a lock
// left by a dead holder is recognised only by guessing (the process id on
// the same computer, or the lock's age), which fails for a holder on
// another computer, for a reused process id and for a lock that is
// legitimately held for hours. Here the kernel's own lock (flock on POSIX,
// LockFileEx on Windows) decides, and the file merely carries text.
//
// While the lock is held, other processes can still open and read the
// file, so the holder can describe itself in it. The file is never removed:
// removing it would let a second process lock a new file of the same name
// while the first still holds the old one.
#include <QByteArray>
#include <QString>

class FileLock {
public:
    explicit FileLock(QString path) : m_path(std::move(path)) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Result {
        Locked,        // this process holds the lock
        HeldByAnother, // another process (or another FileLock) holds it
        Failed,        // the file cannot be made or opened; errorString() says why
    };
    // Creates the file when missing and takes the lock without waiting.
    Result tryLock();

    // Replaces the file's content. Only while locked.
    bool write(const QByteArray& content);

    void unlock();
    bool isLocked() const { return m_handle != kNoHandle; }

    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

private:
    static constexpr qintptr kNoHandle = -1;

    QString m_path;
    qintptr m_handle = kNoHandle; // file descriptor or HANDLE
    QString m_error;
};

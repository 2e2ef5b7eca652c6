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
//
// A name can be deleted or replaced under its lock, so
//  - a symbolic link in the file's place is never followed (it fails);
//  - after locking, the file at the path must still be the file locked
//    (same device and file number); when it was replaced meanwhile the
//    lock is taken again on the new one;
//  - ExistingFile mode locks a file that must exist and is never written,
//    such as a database: a hold on the database file itself lasts as long
//    as the data it guards, whatever happens to files beside it. The lock
//    lies where the database engine's own locks are not (a separate lock
//    kind on POSIX, a byte far beyond the content on Windows).
#include <QByteArray>
#include <QString>

class FileLock {
public:
    enum class Mode {
        CreateAndWrite, // made when missing; write() replaces its text
        ExistingFile, // must exist; opened for reading only
    };
    explicit FileLock(QString path, Mode mode = Mode::CreateAndWrite) : m_path(std::move(path)), m_mode(mode) { }
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Result {
        Locked, // this process holds the lock
        HeldByAnother, // another process (or another FileLock) holds it
        Failed, // the file cannot be made or opened; errorString() says why
    };
    // Creates the file when missing and takes the lock without waiting.
    Result tryLock();

    // Replaces the file's content. Only while locked.
    bool write(const QByteArray& content);

    void unlock();
    bool isLocked() const { return m_handle != kNoHandle; }

    QString path() const { return m_path; }

    // Reads up to maxBytes of a file without following a symbolic link in
    // its place; empty when it cannot be read.
    static QByteArray readNoFollow(const QString& path, qint64 maxBytes);
    QString errorString() const { return m_error; }

private:
    static constexpr qintptr kNoHandle = -1;
    // Closes a descriptor this lock no longer needs (POSIX: keeps it open,
    // unlocked, for an ExistingFile).
    void release(qintptr handle) const;

    QString m_path;
    Mode m_mode = Mode::CreateAndWrite;
    qintptr m_handle = kNoHandle; // file descriptor or HANDLE
    QString m_error;
};

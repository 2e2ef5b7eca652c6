#pragma once
// One running copy of the program per data directory. Two copies would
// write set.ini and the log at the same time and lose each other's writes,
// so the second one stops before it touches anything. The lock is a file in
// the data directory that names the process holding it; a copy that crashed
// leaves it behind, and the next start finds that process gone and takes
// the lock over.
#include <QLockFile>
#include <QString>

class InstanceLock {
public:
    // directory: the data directory (set.ini, syslog/).
    explicit InstanceLock(const QString& directory);

    enum class Result {
        Acquired, // this copy runs
        HeldByAnother, // another running copy holds the lock
        Unavailable, // no lock could be made (e.g. a read-only directory);
                     // the program runs without it rather than not at all
    };
    Result acquire();

    static constexpr const char* kFileName = "quillmark.lock";

private:
    QLockFile m_lock;
};

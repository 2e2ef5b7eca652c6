// The file lock on Windows: LockFileEx on the file's handle. Windows drops
// the locks of a handle when it is closed and when the process ends. The
// locked byte lies far beyond the file's content: Windows locks are
// mandatory, and a lock over the content would keep other processes from
// reading who holds it. The handle is not inheritable (no security
// attributes), so programs this one starts cannot keep the lock alive.
#include "app/FileLock.h"

#include <QDir>

#include <windows.h>

namespace {

// Byte 2^62 of the file: never part of the few lines it holds.
constexpr DWORD kLockOffsetHigh = 0x40000000;

QString systemError(const char* what, DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString message = text ? QString::fromWCharArray(text).trimmed() : QString::number(error);
    if (text)
        LocalFree(text);
    return QString::fromLatin1(what) + QStringLiteral(": ") + message;
}

OVERLAPPED lockRegion()
{
    OVERLAPPED region{};
    region.Offset = 0;
    region.OffsetHigh = kLockOffsetHigh;
    return region;
}

} // namespace

FileLock::Result FileLock::tryLock()
{
    if (isLocked())
        return Result::Locked;
    m_error.clear();
    const QString native = QDir::toNativeSeparators(m_path);
    const HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_error = systemError("CreateFile", GetLastError()) + QStringLiteral(" (") + m_path + u')';
        return Result::Failed;
    }
    OVERLAPPED region = lockRegion();
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        if (error == ERROR_LOCK_VIOLATION)
            return Result::HeldByAnother;
        m_error = systemError("LockFileEx", error) + QStringLiteral(" (") + m_path + u')';
        return Result::Failed;
    }
    m_handle = reinterpret_cast<qintptr>(file);
    return Result::Locked;
}

bool FileLock::write(const QByteArray& content)
{
    if (!isLocked())
        return false;
    const HANDLE file = reinterpret_cast<HANDLE>(m_handle);
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN) || !SetEndOfFile(file))
        return false;
    qsizetype done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        if (!WriteFile(file, content.constData() + done, DWORD(content.size() - done), &written, nullptr)
            || written == 0)
            return false;
        done += written;
    }
    return true;
}

void FileLock::unlock()
{
    if (!isLocked())
        return;
    const HANDLE file = reinterpret_cast<HANDLE>(m_handle);
    OVERLAPPED region = lockRegion();
    UnlockFileEx(file, 0, 1, 0, &region);
    CloseHandle(file);
    m_handle = kNoHandle;
}

// The file lock on Windows: LockFileEx on the file's handle; a link in the
// file's place is opened as itself (FILE_FLAG_OPEN_REPARSE_POINT) and
// refused. Windows drops
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
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
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

// The file's identity: volume and file index.
bool identity(HANDLE file, BY_HANDLE_FILE_INFORMATION& info)
{
    return GetFileInformationByHandle(file, &info) != 0;
}

HANDLE openFor(const QString& path, FileLock::Mode mode)
{
    const QString native = QDir::toNativeSeparators(path);
    // FILE_FLAG_OPEN_REPARSE_POINT opens a symbolic link itself instead of
    // its target; such a handle is refused below.
    return CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()),
                       mode == FileLock::Mode::ExistingFile ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       mode == FileLock::Mode::ExistingFile ? OPEN_EXISTING : OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

} // namespace

FileLock::Result FileLock::tryLock()
{
    if (isLocked())
        return Result::Locked;
    m_error.clear();
    for (int attempt = 0; attempt < 5; ++attempt) {
        const HANDLE file = openFor(m_path, m_mode);
        if (file == INVALID_HANDLE_VALUE) {
            m_error = systemError("CreateFile", GetLastError()) + QStringLiteral(" (") + m_path + u')';
            return Result::Failed;
        }
        BY_HANDLE_FILE_INFORMATION locked{};
        if (!identity(file, locked) || (locked.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            CloseHandle(file);
            m_error = QStringLiteral("open: a link stands in the file's place (") + m_path + u')';
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
        // The file at the path must still be the one locked.
        const HANDLE again = openFor(m_path, Mode::ExistingFile);
        BY_HANDLE_FILE_INFORMATION now{};
        const bool same = again != INVALID_HANDLE_VALUE && identity(again, now)
            && now.dwVolumeSerialNumber == locked.dwVolumeSerialNumber && now.nFileIndexHigh == locked.nFileIndexHigh
            && now.nFileIndexLow == locked.nFileIndexLow;
        if (again != INVALID_HANDLE_VALUE)
            CloseHandle(again);
        if (same) {
            m_handle = reinterpret_cast<qintptr>(file);
            return Result::Locked;
        }
        UnlockFileEx(file, 0, 1, 0, &region);
        CloseHandle(file);
    }
    m_error = QStringLiteral("the file keeps being replaced (") + m_path + u')';
    return Result::Failed;
}

void FileLock::release(qintptr handle) const
{
    // Windows locks belong to the handle: closing another handle of the
    // file takes nothing from the database engine.
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

QByteArray FileLock::readNoFollow(const QString& path, qint64 maxBytes)
{
    const HANDLE file = openFor(path, Mode::ExistingFile);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info{};
    QByteArray out;
    if (identity(file, info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        out.resize(int(maxBytes));
        DWORD read = 0;
        if (!ReadFile(file, out.data(), DWORD(out.size()), &read, nullptr))
            read = 0;
        out.truncate(int(read));
    }
    CloseHandle(file);
    return out;
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
    release(m_handle);
    m_handle = kNoHandle;
}

#include "app/OperationLog.h"

#include "app/Clock.h"
#include "app/TextCodec.h"

#ifdef Q_OS_WIN
#include <QDir>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

// The decimal text with "00" in front, last two characters kept.
QString twoDigits(int n)
{
    return (QStringLiteral("00") + QString::number(n)).right(2);
}

QString fourDigits(int n)
{
    return (QStringLiteral("00") + QString::number(n)).right(4);
}

QString timeText(const QDateTime& m)
{
    return twoDigits(m.time().hour()) + u':' + twoDigits(m.time().minute()) + u':' + twoDigits(m.time().second());
}

} // namespace

bool OperationLog::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    if (!QFile::exists(path))
        return false;
        // Append mode: the system puts every write at the end of the file as it
        // is at that moment, so entries of another copy of the program writing
        // at the same time are never overwritten.
#ifdef Q_OS_WIN
    // Qt's append mode on Windows only starts at the end: a handle that may
    // append but not write (FILE_APPEND_DATA without FILE_WRITE_DATA) has
    // Windows put each write at the end of the file as it is then.
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), FILE_GENERIC_READ | FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return false;
    }
    if (!m_file.open(fd, QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return false;
    }
    return true;
#else
    return m_file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered);
#endif
}

void OperationLog::write(const QString& text)
{
    if (!m_file.isOpen())
        return;
    // One write per entry, so that the entry stays in one piece.
    const QByteArray entry = textcodec::toGbk(日志时间文本() + u':' + text) + "\r\n\r\n";
#ifdef Q_OS_WIN
    // Straight to the append-only handle: one WriteFile, one append. The
    // writers of the log also take turns on a byte far past its end, so an
    // append stays whole where the system does not make appends atomic
    // (Wine).
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(m_file.handle()));
    OVERLAPPED turn{};
    turn.OffsetHigh = 0x40000000;
    const bool locked = LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn);
    DWORD written = 0;
    WriteFile(handle, entry.constData(), DWORD(entry.size()), &written, nullptr);
    if (locked)
        UnlockFileEx(handle, 0, 1, 0, &turn);
#else
    m_file.write(entry);
#endif
}

OperationLog& OperationLog::instance()
{
    static OperationLog log;
    return log;
}

void 写日志(const QString& text)
{
    OperationLog::instance().write(text);
}

QString 日志时间文本()
{
    const QDateTime m = appclock::now();
    const QDate d = m.date();
    return u'[' + QString::number(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day()) + u' '
        + timeText(m) + u']';
}

QString 日期时间文本(const QDateTime& moment)
{
    return 日期文本(moment) + u' ' + timeText(moment);
}

QString 日期文本(const QDateTime& moment)
{
    const QDate d = moment.date();
    return fourDigits(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day());
}

#pragma once
// Points unixODBC at the test-local odbcinst.ini the build wrote (see
// OdbcFixture.cmake). Called first thing in main(), before any driver loads.
#include <QByteArray>
#include <QDir>
#include <QString>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// The account set's path as the ODBC driver is to see it. Under Wine the
// driver is the host's (Wine's odbc32 hands the calls to unixODBC), so it
// needs the host's path for a file this Windows program made.
inline QString pathForOdbcDriver(const QString& path)
{
#ifdef Q_OS_WIN
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix) {
        const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
        if (char* unix = toUnix(native.c_str())) {
            const QString result = QString::fromUtf8(unix);
            HeapFree(GetProcessHeap(), 0, unix);
            return result;
        }
    }
#endif
    return path;
}

inline void useTestOdbcDrivers()
{
#ifdef QUILLMARK_TEST_ODBCSYSINI
    qputenv("ODBCSYSINI", QByteArray(QUILLMARK_TEST_ODBCSYSINI));
    qputenv("ODBCINSTINI", QByteArray("odbcinst.ini"));
#endif
}

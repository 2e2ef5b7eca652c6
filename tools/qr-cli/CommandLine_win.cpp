// Windows: the wide command line and wide file names, converted from and to
// UTF-8, and binary standard streams.
#include "tools/qr-cli/CommandLine.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdlib>

namespace qrcli {

namespace {

std::string toUtf8(const wchar_t* wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

std::wstring toWide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

UINT g_consoleOutputCodePage = 0;

void restoreConsoleOutputCodePage()
{
    SetConsoleOutputCP(g_consoleOutputCodePage);
}

} // namespace

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(toUtf8(wide[i]));
    LocalFree(wide);
    return args;
}

void useByteStreams()
{
    // Typed text stays in text mode: there Ctrl-Z and Enter end it as usual.
    if (!_isatty(_fileno(stdin)))
        _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Messages are UTF-8; the console's own code page is put back on exit so
    // the window the tool ran in is left as it was.
    g_consoleOutputCodePage = GetConsoleOutputCP();
    if (g_consoleOutputCodePage != 0 && g_consoleOutputCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        std::atexit(&restoreConsoleOutputCodePage);
}

std::FILE* openForWriting(const std::string& utf8Path)
{
    return _wfopen(toWide(utf8Path).c_str(), L"wb");
}

} // namespace qrcli

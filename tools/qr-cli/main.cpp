// quillmark-qr: encodes a text with the program's QR module.
//
//   quillmark-qr [--level L|M|Q|H] [--width N] [--height N]
//                [--background COLORREF] [--foreground COLORREF]
//                [--output FILE] [--matrix] TEXT
//
// Writes the BMP file of 创建二维码 (to FILE or standard output). With
// --matrix it prints "version V mask M mode numeric|alphanumeric|byte" and
// the symbol's module rows as lines of 0 and 1 instead. TEXT "-" reads UTF-8
// from standard input. Arguments are UTF-8 and output is the same bytes on
// Windows too. Bad arguments: one usage line, exit code 2. A report of the QR
// module: one line on standard error, exit code 1.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qr/facade.h"
#include "qr/report.h"
#include "tools/qr-cli/CommandLine.h"

namespace {

constexpr const char* kUsage = "usage: quillmark-qr [--level L|M|Q|H] [--width N] [--height N] [--background COLORREF] "
                               "[--foreground COLORREF] [--output FILE] [--matrix] TEXT";

// Messages go out with stdio: the tool has no use for iostreams, whose
// start-up (locales) would cost more than an encoding.
void printError(const std::string& line)
{
    std::fprintf(stderr, "quillmark-qr: %s\n", line.c_str());
    std::fflush(stderr);
}

// Ending the tool early: thrown, caught in main, which returns the code,
// so that what the tool made is destroyed on the way.
struct ExitCode {
    int code;
};

[[noreturn]] void usage(const std::string& why)
{
    printError(why + "; " + kUsage);
    throw ExitCode{2};
}

void reportToStderr(const std::string& source, const std::string& method, const std::string& message)
{
    // The report's two line breaks become blanks: one line per failure.
    std::string line;
    for (char c : qr::模块错误报告文本(source, method, message)) {
        if (c == '\r')
            continue;
        line.push_back(c == '\n' ? ' ' : c);
    }
    printError(line);
    throw ExitCode{1};
}

template <typename T> std::optional<T> parseNumber(std::string_view s, int base)
{
    T value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        return std::nullopt;
    return value;
}

std::uint32_t parseColour(const std::string& option, std::string_view s)
{
    std::optional<std::uint32_t> v;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        v = parseNumber<std::uint32_t>(s.substr(2), 16);
    } else {
        v = parseNumber<std::uint32_t>(s, 10);
    }
    if (!v)
        usage(option + " needs a COLORREF (decimal or 0x hex), not '" + std::string(s) + "'");
    return *v;
}

const char* modeName(const std::string& name)
{
    if (name == "数字")
        return "numeric";
    if (name == "字母数字")
        return "alphanumeric";
    return "byte";
}

int run(int argc, char** argv)
{
    std::optional<std::string> level;
    std::int64_t width = 0;
    std::int32_t height = 0;
    std::uint32_t background = 0xFFFFFF;
    std::uint32_t foreground = 0;
    std::optional<std::string> output;
    bool matrix = false;
    std::optional<std::string> text;

    qrcli::useByteStreams();
    const std::vector<std::string> args = qrcli::utf8Arguments(argc, argv);
    bool optionsDone = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                usage(arg + " needs a value");
            return args[++i];
        };
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "--level") {
            std::string l = value();
            if (l.size() != 1 || std::string_view("LMQHlmqh").find(l[0]) == std::string_view::npos)
                usage("--level must be L, M, Q or H");
            level = l;
        } else if (!optionsDone && arg == "--width") {
            const std::string v = value();
            const auto n = parseNumber<std::int64_t>(v, 10);
            if (!n)
                usage("--width needs a whole number, not '" + v + "'");
            width = *n;
        } else if (!optionsDone && arg == "--height") {
            const std::string v = value();
            const auto n = parseNumber<std::int32_t>(v, 10);
            if (!n)
                usage("--height needs a whole number, not '" + v + "'");
            height = *n;
        } else if (!optionsDone && arg == "--background") {
            background = parseColour(arg, value());
        } else if (!optionsDone && arg == "--foreground") {
            foreground = parseColour(arg, value());
        } else if (!optionsDone && arg == "--output") {
            output = value();
        } else if (!optionsDone && arg == "--matrix") {
            matrix = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-' && arg != "-") {
            usage("unknown option " + arg);
        } else {
            if (text)
                usage("only one TEXT");
            text = arg;
        }
    }
    if (!text)
        usage("TEXT is missing");
    if (*text == "-") {
        text->clear();
        char buf[65536];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, stdin)) > 0;)
            text->append(buf, n);
    }

    qr::设置模块错误报告处理(&reportToStderr);
    qr::初始化二维码模块();
    const auto bmp = qr::创建二维码(*text, level ? std::optional<std::string_view>(*level) : std::nullopt, width,
                                    height, background, foreground);

    std::string out;
    if (matrix) {
        const qr::二维码类& q = qr::取模块二维码();
        out = "version " + std::to_string(q.取版本号()) + " mask " + std::to_string(q.取掩码图形()) + " mode "
            + modeName(q.取模式().取名称()) + "\n";
        const qr::字节矩阵类& m = q.矩阵();
        for (int y = 0; y < m.取高度(); ++y) {
            for (int x = 0; x < m.取宽度(); ++x)
                out += static_cast<char>('0' + m.取值(x, y));
            out += '\n';
        }
    }
    // The picture is written from where the encoder left it: a copy of a
    // large picture would double the memory the tool needs.
    const char* data = matrix ? out.data() : reinterpret_cast<const char*>(bmp.data());
    const std::size_t size = matrix ? out.size() : bmp.size();

    std::FILE* f = output ? qrcli::openForWriting(*output) : stdout;
    if (!f) {
        printError("cannot write " + *output);
        return 1;
    }
    const bool ok = std::fwrite(data, 1, size, f) == size;
    if ((output ? std::fclose(f) : std::fflush(f)) != 0 || !ok) {
        printError("cannot write " + (output ? *output : std::string("standard output")));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const ExitCode& ended) {
        return ended.code;
    }
}

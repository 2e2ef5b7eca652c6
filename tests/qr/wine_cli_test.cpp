// quillmark-qr.exe, the Windows build of the command-line encoder, run under
// Wine next to the Linux tool: the same arguments and input must give the
// same bytes and the same exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/qr/ToolRun.h"

namespace {

constexpr int kWineUnavailable = 77;

using qrtest::ToolRun;

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a command line through the shell in dir; standard error joins
// standard output when errToOut is set.
ToolRun runIn(const std::string& dir, const std::string& command, bool errToOut) {
    return qrtest::runShell("cd " + shellQuoted(dir) + " && " + command + (errToOut ? " 2>&1" : " 2>/dev/null"));
}

std::string arguments(const std::vector<std::string>& args) {
    std::string s;
    for (const std::string& a : args) s += " " + shellQuoted(a);
    return s;
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class QrCliOnWindows : public ::testing::Test {
protected:
    // Both tools run in one folder and name their files relative to it: the
    // same name then means the same file to both.
    void SetUp() override {
        m_dir = std::filesystem::path(::testing::TempDir()) /
                ("qr-cli-windows-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    ToolRun linuxTool(const std::vector<std::string>& args, const std::string& input = "", bool errToOut = false) {
        return runIn(m_dir.string(), shellQuoted(QUILLMARK_QR_CLI) + arguments(args) + stdinFrom(input), errToOut);
    }
    // Sets m_wineUnavailable when Wine cannot start here.
    ToolRun windowsTool(const std::vector<std::string>& args, const std::string& input = "", bool errToOut = false) {
        ToolRun r = runIn(m_dir.string(),
                          shellQuoted(QUILLMARK_WINE_RUN) + " " + shellQuoted(QUILLMARK_QR_CLI_EXE) + arguments(args) +
                              stdinFrom(input),
                          errToOut);
        if (r.exitCode == kWineUnavailable) m_wineUnavailable = true;
        return r;
    }

    bool m_wineUnavailable = false;
    std::filesystem::path m_dir;

private:
    std::string stdinFrom(const std::string& input) {
        if (input.empty()) return " </dev/null";
        const std::filesystem::path file = m_dir / "input.txt";
        std::ofstream(file, std::ios::binary) << input;
        return " <" + shellQuoted(file.string());
    }
};

#define SKIP_WITHOUT_WINE() \
    if (m_wineUnavailable) GTEST_SKIP() << "Wine cannot start on this machine (see the test windows.wine_prefix)"

}  // namespace

TEST_F(QrCliOnWindows, ChineseArgumentDrawsTheSameSymbol) {
    const ToolRun w = windowsTool({"--matrix", "领料人"});
    SKIP_WITHOUT_WINE();
    const ToolRun l = linuxTool({"--matrix", "领料人"});
    ASSERT_EQ(l.exitCode, 0);
    EXPECT_EQ(w.exitCode, 0);
    EXPECT_EQ(w.out, l.out);
}

TEST_F(QrCliOnWindows, WritesTheSameBytesAsOnLinux) {
    const std::string version40(2900, 'a');  // more than version 39-L holds in byte mode
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string input;
        bool errToOut;
    } cases[] = {
        {"ascii label", {"--level", "H", "--width", "50", "--height", "50", "R00123"}, "", false},
        // 10 pixels wide: the BMP header holds byte 0x0A, which a text-mode
        // standard output would turn into CR LF.
        {"bmp with LF bytes", {"--width", "10", "R1"}, "", false},
        {"chinese argument", {"--level", "M", "--foreground", "0xFF", "S设备-01"}, "", false},
        {"chinese on stdin, CR LF kept", {"-"}, "领料人\r\n第二行\x1a end", false},
        {"version 40", {version40}, "", false},
        {"version 40 matrix", {"--matrix", version40}, "", false},
        {"usage error", {"--level", "X", "A"}, "", true},
        {"module report", {"   "}, "", true},
    };
    for (const Case& c : cases) {
        const ToolRun w = windowsTool(c.args, c.input, c.errToOut);
        SKIP_WITHOUT_WINE();
        const ToolRun l = linuxTool(c.args, c.input, c.errToOut);
        EXPECT_EQ(w.exitCode, l.exitCode) << c.what;
        EXPECT_EQ(w.out.size(), l.out.size()) << c.what;
        EXPECT_TRUE(w.out == l.out) << c.what;
    }
    EXPECT_NE(linuxTool({"--matrix", version40}).out.find("version 40 "), std::string::npos);
}

TEST_F(QrCliOnWindows, OutputFileWithChineseName) {
    const std::vector<std::string> args = {"--width", "60", "--output", "标签 R1.bmp", "R1"};
    const ToolRun w = windowsTool(args);
    SKIP_WITHOUT_WINE();
    ASSERT_EQ(w.exitCode, 0);
    const std::string written = readFile(m_dir / "标签 R1.bmp");
    std::filesystem::remove(m_dir / "标签 R1.bmp");
    ASSERT_EQ(linuxTool(args).exitCode, 0);
    EXPECT_FALSE(written.empty());
    EXPECT_TRUE(written == readFile(m_dir / "标签 R1.bmp"));
}

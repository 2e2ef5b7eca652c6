// The command-line encoder quillmark-qr.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>  // wait4 and its status macros
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "qr/facade.h"
#include "tests/qr/ToolRun.h"
#include "tests/qr/support.h"
#include "tests/support/ZbarDecode.h"

using namespace qr;

namespace {

using qrtest::ToolRun;

// Runs the tool through the shell; standard error goes to standard output
// when errToOut is set.
ToolRun run(const std::string& args, bool errToOut = false) {
    return qrtest::runShell(std::string("'") + QUILLMARK_QR_CLI + "' " + args + (errToOut ? " 2>&1" : " 2>/dev/null"));
}

std::string symbolRows(const 二维码类& q) {
    std::string rows;
    for (int y = 0; y < q.矩阵().取高度(); ++y) {
        for (int x = 0; x < q.矩阵().取宽度(); ++x) rows += static_cast<char>('0' + q.矩阵().取值(x, y));
        rows += '\n';
    }
    return rows;
}

}  // namespace

TEST(QrCli, MatrixOutputNamesVersionMaskAndMode) {
    struct Case {
        const char* args;
        const char* text;
        const char* level;
        const char* mode;
    } cases[] = {
        {"--matrix --level H R1234567", "R1234567", "H", "alphanumeric"},
        {"--level q --matrix 0123", "0123", "q", "numeric"},
        {"--matrix '%%SpecCode10'", "%%SpecCode10", nullptr, "byte"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run(c.args);
        ASSERT_EQ(r.exitCode, 0) << c.args;
        创建二维码(c.text, c.level ? std::optional<std::string_view>(c.level) : std::nullopt, 0, 0, 0xFFFFFF, 0);
        const 二维码类& q = 取模块二维码();
        const std::string header = "version " + std::to_string(q.取版本号()) + " mask " +
                                   std::to_string(q.取掩码图形()) + " mode " + c.mode + "\n";
        EXPECT_EQ(r.out, header + symbolRows(q)) << c.args;
    }
}

TEST(QrCli, WritesTheFacadesBmp) {
    const std::string file = ::testing::TempDir() + "qr-cli-test.bmp";
    const ToolRun r = run("--level M --width 60 --height 40 --background 16777215 --foreground 0xFF --output '" + file +
                          "' 'S设备-01'");
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, 创建二维码("S设备-01", "M", 60, 40, 0xFFFFFF, 0xFF));
    std::remove(file.c_str());

    // Defaults of the facade, to standard output.
    const ToolRun d = run("R00123");
    const auto expected = 创建二维码("R00123", std::nullopt, 0, 0, 0xFFFFFF, 0);
    EXPECT_EQ(d.out, std::string(expected.begin(), expected.end()));
}

// Peak memory of one run of the tool in kilobytes, or -1.
long peakKilobytes(int width) {
    const std::string size = std::to_string(width);
    const pid_t child = fork();
    if (child == 0) {
        execl(QUILLMARK_QR_CLI, QUILLMARK_QR_CLI, "--width", size.c_str(), "--height", size.c_str(), "--output",
              "/dev/null", "R1", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

// The picture is written from the encoder's buffer: a large picture needs
// its own size in memory once, not once more for a copy.
TEST(QrCli, ALargePictureIsNotCopiedBeforeWriting) {
    constexpr int kWidth = 5000;
    const long pictureKilobytes = (24L * kWidth + 31) / 32 * 4 * kWidth / 1024;  // rows padded to 4 bytes
    const long small = peakKilobytes(100);
    const long large = peakKilobytes(kWidth);
    ASSERT_GT(small, 0);
    ASSERT_GT(large, 0);
    EXPECT_LT(large - small, pictureKilobytes * 3 / 2)
        << "picture " << pictureKilobytes << " KB, peak grew by " << large - small << " KB";
}

TEST(QrCli, ReadsTheTextFromStandardInput) {
    const std::string file = ::testing::TempDir() + "qr-cli-stdin.txt";
    std::ofstream(file, std::ios::binary) << "中文 text\n";
    const ToolRun r = run("--matrix - < '" + file + "'");
    std::remove(file.c_str());
    ASSERT_EQ(r.exitCode, 0);
    创建二维码("中文 text\n", std::nullopt, 0, 0, 0xFFFFFF, 0);
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), symbolRows(取模块二维码()));
    EXPECT_NE(r.out.find("mode byte"), std::string::npos);
}

TEST(QrCli, BadArgumentsGiveOneUsageLineAndExitCode2) {
    for (const char* args : {"", "--level X A", "--width ten A", "--height 1.5 A", "--background 0xZZ A",
                             "--foreground -1 A", "--bogus A", "A B", "--output"}) {
        const ToolRun r = run(args, true);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << args;
        EXPECT_NE(r.out.find("usage: quillmark-qr"), std::string::npos) << args;
    }
}

TEST(QrCli, ModuleReportsExitWithCode1) {
    const ToolRun r = run("--level H '" + std::string(1274, 'a') + "'", true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "quillmark-qr: 异常来源：[编码类] 方法名称：初始化二维码() 异常信息：\n");
    const ToolRun blank = run("'   '", true);
    EXPECT_EQ(blank.exitCode, 1);
    EXPECT_NE(blank.out.find("没有编码内容"), std::string::npos);
}

TEST(QrCli, VersionFortySymbolsAtTheDefaultSizeDecode) {
    // The default picture (100 x 100) is too small for version 40 at one
    // pixel a module: the symbol is drawn whole at two, at every level.
    struct Case {
        const char* level;
        int bytes;  // the most version 40 holds in byte mode at the level
    } cases[] = {{"L", 2953}, {"M", 2331}, {"Q", 1663}, {"H", 1273}};
    for (const Case& c : cases) {
        std::string text;
        for (int i = 0; i < c.bytes; ++i) text += "Quillmark 0123 abc-_./~"[(i * 7) % 23];
        const std::string file = ::testing::TempDir() + "qr-cli-v40.txt";
        std::ofstream(file, std::ios::binary) << text;
        const ToolRun r = run(std::string("--level ") + c.level + " - < '" + file + "'");
        std::remove(file.c_str());
        ASSERT_EQ(r.exitCode, 0) << c.level;
        const std::vector<std::uint8_t> bmp(r.out.begin(), r.out.end());
        const auto found = qrtest::decodeBmp(bmp);
        ASSERT_EQ(found.size(), 1u) << c.level;
        EXPECT_EQ(found[0], text) << c.level;
    }
}

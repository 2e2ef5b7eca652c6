// The facade: content and level checks, default sizes, scaling and the BMP
// file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qr/facade.h"
#include "qr/picture.h"
#include "tests/qr/support.h"

using namespace qr;

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Blue, green, red of picture pixel (x, y), y = 0 at the top.
std::array<int, 3> pixel(const std::vector<std::uint8_t>& bmp, int x, int y) {
    const int w = static_cast<int>(u32(bmp, 18));
    const int h = static_cast<int>(u32(bmp, 22));
    const std::size_t row = static_cast<std::size_t>((24 * w + 31) / 32 * 4);
    const std::size_t at = 54 + static_cast<std::size_t>(h - 1 - y) * row + 3 * static_cast<std::size_t>(x);
    return {bmp[at], bmp[at + 1], bmp[at + 2]};
}

bool dark(const std::vector<std::uint8_t>& bmp, int x, int y) {
    return pixel(bmp, x, y) == std::array<int, 3>{0, 0, 0};
}

}  // namespace

TEST(QrFacade, BmpHeadersAndRowPadding) {
    const auto bmp = 创建二维码("R1234567", "H", 50, 50, 0xFFFFFF, 0);
    ASSERT_EQ(bmp.size(), 54u + 152u * 50u);  // 150 pixel bytes + 2 fill bytes a row
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(bmp, 2), bmp.size());
    EXPECT_EQ(u32(bmp, 6), 0u);  // reserved words
    EXPECT_EQ(u32(bmp, 10), 54u);
    EXPECT_EQ(u32(bmp, 14), 40u);
    EXPECT_EQ(u32(bmp, 18), 50u);
    EXPECT_EQ(u32(bmp, 22), 50u);  // positive: bottom-up
    EXPECT_EQ(bmp[26] | (bmp[27] << 8), 1);
    EXPECT_EQ(bmp[28] | (bmp[29] << 8), 24);
    for (std::size_t i = 30; i < 54; ++i) EXPECT_EQ(bmp[i], 0) << i;
    for (int y = 0; y < 50; ++y) {
        EXPECT_EQ(bmp[54 + 152 * static_cast<std::size_t>(y) + 150], 0);
        EXPECT_EQ(bmp[54 + 152 * static_cast<std::size_t>(y) + 151], 0);
    }
    // Bottom-up: the first stored row is the picture's last, which is in
    // the quiet zone; the top-left finder starts at (4, 4).
    EXPECT_EQ(bmp[54], 0xFF);
    EXPECT_TRUE(dark(bmp, 4, 4));
    EXPECT_FALSE(dark(bmp, 3, 4));
    EXPECT_FALSE(dark(bmp, 4, 3));
}

TEST(QrFacade, ScalingCases) {
    struct Case {
        std::string text;
        const char* level;
        int version, width, height;
        int outW, outH, s, left, top;
    } cases[] = {
        {"%%SpecCode10", "H", 2, 0, 0, 100, 100, 3, 12, 12},  // default size
        {"R1234567", "H", 1, 50, 50, 50, 50, 2, 4, 4},
        {std::string(30, 'q'), "H", 4, 50, 50, 50, 50, 1, 8, 8},
        // Too small for one pixel a module: grows to two rather than crop.
        {std::string(240, 'q'), "L", 10, 50, 50, 122, 122, 2, 4, 4},
        {std::string(240, 'q'), "L", 10, 200, 50, 200, 122, 2, 43, 4},
        {std::string(240, 'q'), "L", 10, 60, 1000, 122, 1000, 2, 4, 443},
        {"R1234567", "H", 1, 100, 60, 100, 60, 2, 29, 9},
        {"R1234567", "H", 1, -7, 101, 100, 101, 4, 8, 8},  // odd leftover to the bottom
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 16) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        const auto bmp = 创建二维码(c.text, c.level, c.width, c.height, 0xFFFFFF, 0);
        const 二维码类& q = 取模块二维码();
        ASSERT_EQ(q.取版本号(), c.version);
        const int n = q.取矩阵宽度();
        const 缩放 z = 计算缩放(n, c.width <= 0 ? 100 : c.width, c.height <= 0 ? 100 : c.height);
        EXPECT_EQ(z.输出宽, c.outW);
        EXPECT_EQ(z.输出高, c.outH);
        EXPECT_EQ(z.模块像素, c.s);
        EXPECT_EQ(z.左, c.left);
        EXPECT_EQ(z.上, c.top);
        const int w = static_cast<int>(u32(bmp, 18));
        const int h = static_cast<int>(u32(bmp, 22));
        EXPECT_EQ(w, c.outW);
        EXPECT_EQ(h, c.outH);
        // The finder's top row: 7 modules dark, then the light separator.
        for (int x = c.left; x < std::min(w, c.left + 7 * c.s); ++x) EXPECT_TRUE(dark(bmp, x, c.top)) << x;
        if (c.left + 7 * c.s < w) {
            EXPECT_FALSE(dark(bmp, c.left + 7 * c.s, c.top));
        }
        EXPECT_FALSE(dark(bmp, c.left - 1, c.top));
        EXPECT_FALSE(dark(bmp, c.left, c.top - 1));
        // The drawing in one pass equals drawing the scaled output matrix.
        const 字节矩阵类 out = 渲染矩阵(q, w, h);
        EXPECT_EQ(out.取宽度(), c.outW);
        EXPECT_EQ(out.取高度(), c.outH);
        EXPECT_EQ(bmp, 生成图片(out, w, h, 0xFFFFFF, 0));
    }
}

TEST(QrFacade, PictureMatchesTheOutputMatrixPixelForPixel) {
    // A per-pixel oracle for odd sizes and colours, against the row-wise
    // drawing (module sizes up to 5 pixels go four modules at a time).
    for (auto [askW, askH] : {std::pair{37, 91}, {1, 1}, {29, 29}, {203, 77}, {30, 30}, {145, 145}, {180, 175}}) {
        const auto bmp = 创建二维码("%%SpecCode18", "h", askW, askH, 0x123456, 0x0000FF);
        const int w = static_cast<int>(u32(bmp, 18));
        const int h = static_cast<int>(u32(bmp, 22));
        ASSERT_EQ(bmp.size(), 54u + static_cast<std::size_t>((24 * w + 31) / 32 * 4) * static_cast<std::size_t>(h));
        const 字节矩阵类 out = 渲染矩阵(取模块二维码(), w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::array<int, 3> expect =
                    out.取值(x, y) == 1 ? std::array<int, 3>{0, 0, 0xFF} : std::array<int, 3>{0x12, 0x34, 0x56};
                ASSERT_EQ(pixel(bmp, x, y), expect) << w << "x" << h << " at " << x << "," << y;
            }
    }
}

TEST(QrFacade, LevelLetters) {
    struct Case {
        std::optional<std::string_view> given;
        const char* level;
    } cases[] = {{std::nullopt, "L"}, {"l", "L"}, {"m", "M"}, {"Q", "Q"}, {"h", "H"}};
    for (const Case& c : cases) {
        创建二维码("R00123", c.given, 50, 50, 0xFFFFFF, 0);
        EXPECT_EQ(取模块二维码().取容错级别().取名称(), c.level);
    }
    for (const char* bad : {"X", " H", "H ", "", "HH", "ｈ"})
        EXPECT_QR_REPORT(创建二维码("R00123", bad, 50, 50, 0xFFFFFF, 0), "二维码模块", "创建二维码",
                         "容错等级必须为L、M、Q、H四个之一。");
}

TEST(QrFacade, ContentMustHoldMoreThanSpaces) {
    for (const char* empty : {"", "  \xE3\x80\x80", "\xE3\x80\x80"})
        EXPECT_QR_REPORT(创建二维码(empty, "H", 50, 50, 0xFFFFFF, 0), "二维码模块", "编码", "没有编码内容");
    // The content check comes before the level check.
    EXPECT_QR_REPORT(创建二维码(" ", "X", 50, 50, 0xFFFFFF, 0), "二维码模块", "编码", "没有编码内容");
    // Tabs and line breaks are content.
    for (const char* text : {"\t", " \r\n ", "\xE3\x80\x80x"}) {
        创建二维码(text, "H", 50, 50, 0xFFFFFF, 0);
        EXPECT_EQ(取模块二维码().取模式().取名称(), "字节");
    }
}

TEST(QrFacade, ColoursAreColorrefValues) {
    // The clear-data command of the scanner set-up: red modules on white.
    const auto bmp = 创建二维码("%%SpecCode10", "H", 0, 0, 0xFFFFFF, 0xFF);
    EXPECT_EQ(pixel(bmp, 12, 12), (std::array<int, 3>{0, 0, 0xFF}));
    EXPECT_EQ(pixel(bmp, 0, 0), (std::array<int, 3>{0xFF, 0xFF, 0xFF}));
    const auto bgr = 创建二维码("A", "L", 30, 30, 0x00102030, 0x00405060);
    EXPECT_EQ(pixel(bgr, 0, 0), (std::array<int, 3>{0x10, 0x20, 0x30}));
}

TEST(QrFacade, PicturesABmpCannotHoldAreRefused) {
    EXPECT_QR_REPORT(创建二维码("A", "L", std::int64_t{1} << 31, 1, 0xFFFFFF, 0), "二维码模块", "创建二维码",
                     "图片尺寸过大");
    EXPECT_QR_REPORT(创建二维码("A", "L", 40000, 40000, 0xFFFFFF, 0), "二维码模块", "创建二维码", "图片尺寸过大");
    EXPECT_QR_REPORT(创建二维码("A", "L", 2147483647, 2147483647, 0xFFFFFF, 0), "二维码模块", "创建二维码",
                     "图片尺寸过大");
}

TEST(QrFacade, TooLongTextEndsInTheVersionReport) {
    EXPECT_QR_REPORT(创建二维码(std::string(2954, 'x'), "L", 0, 0, 0xFFFFFF, 0), "编码类", "初始化二维码", "");
    创建二维码(std::string(2953, 'x'), "L", 0, 0, 0xFFFFFF, 0);
    EXPECT_EQ(取模块二维码().取版本号(), 40);
}

TEST(QrModuleReport, TextOfTheReport) {
    EXPECT_EQ(模块错误报告文本("二维码模块", "编码", "没有编码内容"),
              "异常来源：[二维码模块]\r\n方法名称：编码()\r\n异常信息：没有编码内容");
    EXPECT_EQ(模块错误报告文本("无", "无", "无"), "异常来源：[无]\r\n方法名称：无()\r\n异常信息：无");
}

// The symbol on its own is the one the picture shows, and getting it leaves
// the module's QR code object alone; its checks are the picture's.
TEST(QrFacade, SymbolIsThePicturesSymbol) {
    for (const char* level : {"L", "h"}) {
        for (const std::string& text : {std::string("R1234567"), std::string("S-设备-0042"), std::string(300, 'x')}) {
            创建二维码(text, level, 0, 0, 0xFFFFFF, 0);
            const 字节矩阵类 drawn = 取模块二维码().矩阵();
            const 二维码符号 symbol = 生成二维码符号("other text", "M");
            EXPECT_EQ(取模块二维码().矩阵().取宽度(), drawn.取宽度());
            const 二维码符号 same = 生成二维码符号(text, level);
            ASSERT_EQ(same.边长, drawn.取宽度()) << text;
            for (int y = 0; y < same.边长; ++y)
                for (int x = 0; x < same.边长; ++x)
                    ASSERT_EQ(same.深色(x, y), drawn.取值(x, y) == 1) << text << " " << x << "," << y;
            EXPECT_GT(symbol.边长, 0);
        }
    }
    EXPECT_QR_REPORT(生成二维码符号("  ", "H"), "二维码模块", "编码", "没有编码内容");
    EXPECT_QR_REPORT(生成二维码符号("A", "X"), "二维码模块", "创建二维码", "容错等级必须为L、M、Q、H四个之一。");
}

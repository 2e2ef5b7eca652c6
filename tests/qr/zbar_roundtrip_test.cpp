// Decoder round trip: zbar reads the BMP of 创建二维码 back to the exact
// bytes of the text, for every version 1..40 at every level.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "qr/facade.h"
#include "tests/qr/support.h"
#include "tests/support/ZbarDecode.h"

using namespace qr;

namespace {

using qrtest::decodeBmp;

enum class Kind { Numeric, Alphanumeric, Ascii, Chinese, Mixed };

// Bytes of data bits that n characters of a kind take.
int inputBytes(Kind k, int n) {
    if (k == Kind::Numeric) return (10 * (n / 3) + (n % 3 == 1 ? 4 : n % 3 == 2 ? 7 : 0) + 7) / 8;
    if (k == Kind::Alphanumeric) return (11 * (n / 2) + 6 * (n % 2) + 7) / 8;
    return n;  // byte kinds are built to n UTF-8 bytes
}

std::string makeText(Kind k, int n, int shift) {
    std::string t;
    switch (k) {
        case Kind::Numeric:
            for (int i = 0; i < n; ++i) t += static_cast<char>('0' + (i * 7 + shift) % 10);
            break;
        case Kind::Alphanumeric: {
            const std::string set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
            t.push_back('R');
            for (int i = 1; i < n; ++i) t += set[static_cast<std::size_t>((i * 13 + shift) % 45)];
            break;
        }
        case Kind::Ascii: {
            const std::string set = "%%SpecCode abcdefghijklmnopqrstuvwxyz~!@#&()[]{}_=";
            for (int i = 0; i < n; ++i) t += set[static_cast<std::size_t>((i * 11 + shift) % set.size())];
            break;
        }
        case Kind::Chinese: {
            const char* chars[] = {"仓", "库", "材", "料", "出", "单", "设", "备", "人", "员", "扫", "码"};
            for (int i = 0; static_cast<int>(t.size()) + 3 <= n; ++i) t += chars[(i + shift) % 12];
            while (static_cast<int>(t.size()) < n) t += 'a';
            break;
        }
        case Kind::Mixed: {
            // Includes a character outside GB2312 (an emoji, 4 bytes).
            const char* parts[] = {"S", "设备", "-07 ", "\xF0\x9F\x98\x80", "ok", "工号", "\t", "€"};
            for (int i = 0;; ++i) {
                const std::string p = parts[(i + shift) % 8];
                if (static_cast<int>(t.size() + p.size()) > n) break;
                t += p;
            }
            while (static_cast<int>(t.size()) < n) t += 'z';
            break;
        }
    }
    return t;
}

}  // namespace

TEST(QrZbarRoundTrip, EveryVersionAtEveryLevel) {
    const char* letters[] = {"L", "M", "Q", "H"};
    const Kind kinds[] = {Kind::Numeric, Kind::Alphanumeric, Kind::Ascii, Kind::Chinese, Kind::Mixed};
    for (int v = 1; v <= 40; ++v) {
        const 版本类 version = 二维码类::取版本_通过版本号(v);
        for (int l = 1; l <= 4; ++l) {
            const 容错块组类& blocks = version.取容错块组(二维码类::取容错级别_按索引(l));
            const int dataCodewords = version.取总码字数() - blocks.取总容错码字数();
            const Kind kind = kinds[(v + l) % 5];
            // The longest text of the kind that still fits this version.
            int n = 1;
            while (inputBytes(kind, n + 1) + 3 <= dataCodewords) ++n;
            const std::string text = makeText(kind, n, v * 4 + l);
            const int side = 17 + 4 * v;
            const auto bmp = 创建二维码(text, letters[l - 1], 3 * (side + 4), 3 * (side + 4), 0xFFFFFF, 0);
            ASSERT_EQ(取模块二维码().取版本号(), v) << letters[l - 1] << " kind " << static_cast<int>(kind);
            const auto found = decodeBmp(bmp);
            ASSERT_EQ(found.size(), 1u) << "version " << v << "-" << letters[l - 1];
            EXPECT_EQ(found[0], text) << "version " << v << "-" << letters[l - 1];
        }
    }
}

TEST(QrZbarRoundTrip, ProgramSizedPictures) {
    struct Case {
        std::string text;
        const char* level;
        int width, height;
        std::uint32_t dark;
    } cases[] = {
        {"R00123", "H", 50, 50, 0},         // personnel label
        {"S设备-0001", "H", 50, 50, 0},     // device label, Chinese
        {"%%SpecCode18", "H", 0, 0, 0},     // scanner set-up command
        {"%%SpecCode10", "H", 0, 0, 0xFF},  // clear-data command, red
        {"仓库材料出库单 CLCK240101120000", "M", 200, 120, 0},
        {"\xF0\x9F\x93\xA6 箱 \xF0\x9F\x98\x80", "Q", 0, 0, 0},  // outside GB2312: kept
    };
    for (const Case& c : cases) {
        const auto bmp = 创建二维码(c.text, c.level, c.width, c.height, 0xFFFFFF, c.dark);
        const auto found = decodeBmp(bmp);
        ASSERT_EQ(found.size(), 1u) << c.text;
        EXPECT_EQ(found[0], c.text);
    }
}

TEST(QrZbarRoundTrip, TooSmallPicturesGrowInsteadOfCropping) {
    // Sizes that cannot give each module of the symbol and its quiet zone a
    // pixel: the whole symbol must still come out and decode.
    struct Case {
        int version, level;
        Kind kind;
        int width, height;
    } cases[] = {
        {10, 2, Kind::Alphanumeric, 50, 50}, {25, 4, Kind::Chinese, 0, 0},     {40, 1, Kind::Ascii, 0, 0},
        {40, 4, Kind::Numeric, 1, 1},        {36, 4, Kind::Chinese, 1000, 77}, {40, 3, Kind::Mixed, 120, 5000},
    };
    const char* letters[] = {"L", "M", "Q", "H"};
    for (const Case& c : cases) {
        const 版本类 version = 二维码类::取版本_通过版本号(c.version);
        const 容错块组类& blocks = version.取容错块组(二维码类::取容错级别_按索引(c.level));
        const int dataCodewords = version.取总码字数() - blocks.取总容错码字数();
        int n = 1;
        while (inputBytes(c.kind, n + 1) + 3 <= dataCodewords) ++n;
        const std::string text = makeText(c.kind, n, c.version);
        const auto bmp = 创建二维码(text, letters[c.level - 1], c.width, c.height, 0xFFFFFF, 0);
        ASSERT_EQ(取模块二维码().取版本号(), c.version);
        const int side = 17 + 4 * c.version;
        const auto u32 = [&](std::size_t at) {
            return static_cast<int>(bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) | (bmp[at + 3] << 24));
        };
        EXPECT_GE(std::min(u32(18), u32(22)), 2 * (side + 4)) << "version " << c.version;
        const auto found = decodeBmp(bmp);
        ASSERT_EQ(found.size(), 1u) << "version " << c.version << "-" << letters[c.level - 1];
        EXPECT_EQ(found[0], text);
    }
}

// Data encoding: modes, version table, version choice, data bits,
// terminator and padding, blocks and interleaving.
#include <gtest/gtest.h>

#include <string>

#include "qr/encoding.h"
#include "tests/qr/support.h"

using namespace qr;

namespace {

std::vector<int> bytesOf(const 位向量类& v) {
    std::vector<int> out;
    const auto raw = v.取数组();
    for (int i = 0; i < v.取字节数(); ++i) out.push_back(raw[static_cast<std::size_t>(i)]);
    return out;
}

容错级别类 level(int index) { return 二维码类::取容错级别_按索引(index); }

}  // namespace

TEST(QrEncodingModes, ChoiceFollowsTheCharacters) {
    struct Case {
        const char* text;
        const char* mode;
    } cases[] = {
        {"0123", "数字"},
        {"R1234567", "字母数字"},
        {"12 34", "字母数字"},  // a space makes it alphanumeric
        {"ABC$%*+-./:", "字母数字"},
        {"%%SpecCode10", "字节"},  // lower-case letters are not alphanumeric
        {"abc", "字节"},
        {"A#B", "字节"},
        {"中文", "字节"},
        {"", "字节"},
    };
    const 编码类 enc;
    for (const Case& c : cases) EXPECT_EQ(enc.选择模式(c.text).取名称(), c.mode) << c.text;
}

TEST(QrEncodingModes, TablesOfModesAndLevels) {
    const 版本类 v9 = 二维码类::取版本_通过版本号(9), v10 = 二维码类::取版本_通过版本号(10),
                 v26 = 二维码类::取版本_通过版本号(26), v27 = 二维码类::取版本_通过版本号(27);
    struct Case {
        const 模式类& mode;
        int indicator, bits9, bits10, bits26, bits27;
    } cases[] = {
        {二维码类::数字模式(), 1, 10, 12, 12, 14},
        {二维码类::字母数字模式(), 2, 9, 11, 11, 13},
        {二维码类::字节模式(), 4, 8, 16, 16, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.mode.取模式位(), c.indicator);
        EXPECT_EQ(c.mode.取字符数位数(v9), c.bits9);
        EXPECT_EQ(c.mode.取字符数位数(v10), c.bits10);
        EXPECT_EQ(c.mode.取字符数位数(v26), c.bits26);
        EXPECT_EQ(c.mode.取字符数位数(v27), c.bits27);
    }
    const char* letters[] = {"L", "M", "Q", "H"};
    const int formatBits[] = {1, 0, 3, 2};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(level(i).取名称(), letters[i - 1]);
        EXPECT_EQ(level(i).取序号(), i);
        EXPECT_EQ(level(i).取格式位(), formatBits[i - 1]);
    }
}

TEST(QrVersionTable, TellingRows) {
    struct Row {
        int version, total;
        int ec[4];
        int groups[4][4];  // n1, d1, n2, d2
    } rows[] = {
        {1, 26, {7, 10, 13, 17}, {{1, 19, 0, 0}, {1, 16, 0, 0}, {1, 13, 0, 0}, {1, 9, 0, 0}}},
        {2, 44, {10, 16, 22, 28}, {{1, 34, 0, 0}, {1, 28, 0, 0}, {1, 22, 0, 0}, {1, 16, 0, 0}}},
        {5, 134, {26, 24, 18, 22}, {{1, 108, 0, 0}, {2, 43, 0, 0}, {2, 15, 2, 16}, {2, 11, 2, 12}}},
        {7, 196, {20, 18, 18, 26}, {{2, 78, 0, 0}, {4, 31, 0, 0}, {2, 14, 4, 15}, {4, 13, 1, 14}}},
        {40, 3706, {30, 28, 30, 30}, {{19, 118, 6, 119}, {18, 47, 31, 48}, {34, 24, 34, 25}, {20, 15, 61, 16}}},
    };
    for (const Row& r : rows) {
        const 版本类 v = 二维码类::取版本_通过版本号(r.version);
        EXPECT_EQ(v.取总码字数(), r.total);
        EXPECT_EQ(v.取维长度(), 17 + 4 * r.version);
        for (int l = 0; l < 4; ++l) {
            const 容错块组类& g = v.取容错块组(level(l + 1));
            EXPECT_EQ(g.取每块容错码字数(), r.ec[l]);
            EXPECT_EQ(g.取块组(0).取块数(), r.groups[l][0]);
            EXPECT_EQ(g.取块组(0).取数据码字数(), r.groups[l][1]);
            EXPECT_EQ(g.取组数(), r.groups[l][2] ? 2 : 1);
            if (r.groups[l][2]) {
                EXPECT_EQ(g.取块组(1).取块数(), r.groups[l][2]);
                EXPECT_EQ(g.取块组(1).取数据码字数(), r.groups[l][3]);
            }
        }
    }
}

TEST(QrVersionTable, EveryLevelAddsUpAndMatchesTheBlockSplit) {
    // Each level's blocks fill the version's codewords, and the encoder's
    // block split (from totals alone) yields exactly the table's groups.
    const 编码类 enc;
    for (int v = 1; v <= 40; ++v) {
        const 版本类 ver = 二维码类::取版本_通过版本号(v);
        int previousData = 0;
        for (int l = 1; l <= 4; ++l) {
            const 容错块组类& g = ver.取容错块组(level(l));
            int sum = 0;
            for (int i = 0; i < g.取组数(); ++i)
                sum += g.取块组(i).取块数() * (g.取块组(i).取数据码字数() + g.取每块容错码字数());
            EXPECT_EQ(sum, ver.取总码字数()) << "version " << v << " level " << l;
            if (g.取组数() == 2) {
                EXPECT_EQ(g.取块组(1).取数据码字数(), g.取块组(0).取数据码字数() + 1);
            }

            const int total = ver.取总码字数();
            const int data = total - g.取总容错码字数();
            int block = 0;
            for (int i = 0; i < g.取组数(); ++i) {
                for (int k = 0; k < g.取块组(i).取块数(); ++k, ++block) {
                    int d = 0, e = 0;
                    enc.根据块ID取数据字节数和容错字节数(total, data, g.取块数(), block, d, e);
                    EXPECT_EQ(d, g.取块组(i).取数据码字数()) << "version " << v << " level " << l;
                    EXPECT_EQ(e, g.取每块容错码字数());
                }
            }
            // Higher levels hold fewer data codewords.
            if (l > 1) {
                EXPECT_LT(data, previousData);
            }
            previousData = data;
        }
    }
}

TEST(QrEncoder, ModeAndVersionChoices) {
    struct Case {
        std::string text;
        int level;
        const char* mode;
        int version, dataBytes, blocks, ecBytes;
    } cases[] = {
        {"R1234567", 4, "字母数字", 1, 9, 1, 17},
        {"%%SpecCode10", 4, "字节", 2, 16, 1, 28},
        {"01234567", 2, "数字", 1, 16, 1, 10},
        {"中文", 1, "字节", 1, 19, 1, 7},
        {std::string(2953, 'a'), 1, "字节", 40, 2956, 25, 750},
        {std::string(1273, 'a'), 4, "字节", 40, 1276, 81, 2430},
        {std::string(16, 'a'), 1, "字节", 1, 19, 1, 7},   // 16 + 3 = 19 fits exactly
        {std::string(17, 'a'), 1, "字节", 2, 34, 1, 10},  // one more moves up
    };
    for (const Case& c : cases) {
        二维码类 q;
        编码类().编码(c.text, level(c.level), q);
        EXPECT_EQ(q.取模式().取名称(), c.mode) << c.text.substr(0, 20);
        EXPECT_EQ(q.取版本号(), c.version) << c.text.substr(0, 20);
        EXPECT_EQ(q.取矩阵宽度(), 17 + 4 * c.version);
        EXPECT_EQ(q.取数据字节数(), c.dataBytes);
        EXPECT_EQ(q.取块数(), c.blocks);
        EXPECT_EQ(q.取容错字节数(), c.ecBytes);
        EXPECT_TRUE(q.是否有效());
        EXPECT_TRUE(二维码类::是否有效掩码(q.取掩码图形()));
        EXPECT_EQ(q.矩阵().取宽度(), 17 + 4 * c.version);
    }
}

TEST(QrEncoder, TooLongForVersion40ReportsWithEmptyMessage) {
    二维码类 q;
    EXPECT_QR_REPORT(编码类().编码(std::string(2954, 'a'), level(1), q), "编码类", "初始化二维码", "");
    EXPECT_QR_REPORT(编码类().编码(std::string(1274, 'a'), level(4), q), "编码类", "初始化二维码", "");
}

TEST(QrEncoder, NumericAlphanumericAndByteDataBits) {
    const 编码类 enc;
    位向量类 n;
    enc.追加数字字节("0123", n);
    EXPECT_EQ(n.到字符串(), "0,0,0,0,0,0,1,1,0,0,0,0,1,1");  // 012 in 10 bits, 3 in 4 bits
    位向量类 n2;
    enc.追加数字字节("45", n2);
    EXPECT_EQ(n2.取大小(), 7);
    位向量类 a;
    enc.追加字母数字字节("AC-", a);  // (10 * 45 + 12) in 11 bits, 41 in 6 bits
    EXPECT_EQ(a.取大小(), 17);
    EXPECT_EQ(a.到字符串(), "0,0,1,1,1,0,0,1,1,1,0,1,0,1,0,0,1");
    // UTF-8 bytes as they are, also outside GB2312 (the emoji).
    位向量类 b;
    enc.追加八位字节("中\xF0\x9F\x98\x80", b);
    EXPECT_EQ(bytesOf(b), (std::vector<int>{0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80}));
}

TEST(QrEncoder, ByteModeCountIsTheUtf8ByteCount) {
    // "中文测试" is 4 characters and 12 UTF-8 bytes; an emoji (outside
    // GB2312) adds 4 more bytes instead of emptying the symbol.
    for (const auto& [text, bytes] : {std::pair<std::string, int>{"中文测试", 12}, {"中文测试\xF0\x9F\x98\x80", 16}}) {
        二维码类 q;
        编码类().编码(text, level(1), q);
        EXPECT_EQ(q.取模式().取名称(), "字节");
        EXPECT_EQ(q.取版本号(), bytes + 3 <= 19 ? 1 : 2);
    }
}

TEST(QrEncoder, WorkedExampleDataAndErrorCorrectionCodewords) {
    // 01234567 at 1-M, built with the pipeline's own steps.
    const 编码类 enc;
    位向量类 bits;
    enc.追加模式信息(二维码类::数字模式(), bits);
    enc.追加长度信息(8, 1, 二维码类::数字模式(), bits);
    enc.追加数字字节("01234567", bits);
    enc.结束数据位(16, bits);
    const std::vector<int> data{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    EXPECT_EQ(bytesOf(bits), data);
    位向量类 final;
    enc.交错容错字节(bits, 26, 16, 1, final);
    std::vector<int> expected = data;
    for (int c : {0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55}) expected.push_back(c);
    EXPECT_EQ(bytesOf(final), expected);
}

TEST(QrEncoder, TerminatorAndPadCodewords) {
    const 编码类 enc;
    位向量类 bits;
    bits.追加多位(0b101, 3);
    enc.结束数据位(5, bits);  // 3 bits, terminator 4, fill 1, then EC 11 EC 11
    EXPECT_EQ(bytesOf(bits), (std::vector<int>{0xA0, 0xEC, 0x11, 0xEC, 0x11}));
    位向量类 full;
    full.追加多位(0xABCD, 16);
    enc.结束数据位(2, full);  // at capacity: no terminator, no pad
    EXPECT_EQ(bytesOf(full), (std::vector<int>{0xAB, 0xCD}));
}

TEST(QrEncoder, Version5QInterleaving) {
    // 4 blocks: 2 x 15 and 2 x 16 data codewords, 18 EC codewords each.
    const 编码类 enc;
    int d = 0, e = 0;
    const int expectedData[] = {15, 15, 16, 16};
    for (int i = 0; i < 4; ++i) {
        enc.根据块ID取数据字节数和容错字节数(134, 62, 4, i, d, e);
        EXPECT_EQ(d, expectedData[i]);
        EXPECT_EQ(e, 18);
    }
    位向量类 bits;
    for (int i = 0; i < 62; ++i) bits.追加多位(i, 8);
    位向量类 out;
    enc.交错容错字节(bits, 134, 62, 4, out);
    const std::vector<int> got = bytesOf(out);
    ASSERT_EQ(got.size(), 134u);
    // Rounds 1..15 take one codeword from every block (blocks start at 0,
    // 15, 30, 46); round 16 only from the third and fourth blocks.
    EXPECT_EQ(std::vector<int>(got.begin(), got.begin() + 8), (std::vector<int>{0, 15, 30, 46, 1, 16, 31, 47}));
    EXPECT_EQ(got[56], 14);
    EXPECT_EQ(got[59], 60);
    EXPECT_EQ(got[60], 45);
    EXPECT_EQ(got[61], 61);
    // Then the EC codewords, interleaved the same way.
    字节数组类 block0;
    block0.置范围(bits.取数组(), 0, 15);
    const 字节数组类 ec0 = enc.生成容错字节(block0, 18);
    EXPECT_EQ(got[62], ec0.取元素(1));
    EXPECT_EQ(got[66], ec0.取元素(2));
}

TEST(QrEncoder, Reports) {
    const 编码类 enc;
    位向量类 bits;
    EXPECT_QR_REPORT(enc.追加字母数字字节("Ab", bits), "编码类", "追加字母数字字节", "无效值");
    EXPECT_QR_REPORT(enc.追加长度信息(256, 1, 二维码类::字节模式(), bits), "编码类", "追加长度信息", "要添加信息过多");
    位向量类 tooLong;
    tooLong.追加多位(0, 17);
    EXPECT_QR_REPORT(enc.结束数据位(2, tooLong), "编码类", "结束数据位", "数据无法填充");
    位向量类 nearlyFull;  // 15 bits for 16: the terminator overruns
    nearlyFull.追加多位(0, 15);
    EXPECT_QR_REPORT(enc.结束数据位(2, nearlyFull), "编码类", "结束数据位", "位长度不等于容量");
    位向量类 fiveBytes;
    fiveBytes.追加多位(0, 32);
    fiveBytes.追加多位(0, 8);
    位向量类 out;
    EXPECT_QR_REPORT(enc.交错容错字节(fiveBytes, 26, 16, 1, out), "编码类", "交错容错字节", "位数和数据字节数不匹配");
    // 10 codewords in 2 blocks cannot hold 5 data codewords as 2 + 2.
    EXPECT_QR_REPORT(enc.交错容错字节(fiveBytes, 10, 5, 2, out), "编码类", "交错容错字节", "数据字节数写偏移量不匹配");
    int d = 0, e = 0;
    EXPECT_QR_REPORT(enc.根据块ID取数据字节数和容错字节数(26, 16, 1, 1, d, e), "编码类",
                     "根据块ID取数据字节数和容错字节数", "无效值");
}

TEST(QrCodeObject, LookupsAndReports) {
    EXPECT_EQ(二维码类::取版本_通过维长度(21).取版本号(), 1);
    EXPECT_EQ(二维码类::取版本_通过维长度(177).取版本号(), 40);
    EXPECT_QR_REPORT(二维码类::取版本_通过版本号(0), "二维码类", "取版本_通过版本号",
                     "版本号不在0到40之间。当前版本号：0");
    EXPECT_QR_REPORT(二维码类::取版本_通过版本号(41), "二维码类", "取版本_通过版本号",
                     "版本号不在0到40之间。当前版本号：41");
    EXPECT_QR_REPORT(二维码类::取版本_通过维长度(22), "二维码类", "取版本_通过维长度",
                     "维长度不为4的位数加1。当前维数：22");
    EXPECT_QR_REPORT(二维码类::取版本_通过维长度(181), "二维码类", "取版本_通过版本号",
                     "版本号不在0到40之间。当前版本号：41");
    EXPECT_QR_REPORT(二维码类::取容错级别_按索引(0), "二维码类", "取容错级别_按索引", "索引异常。当前索引：0");
    EXPECT_QR_REPORT(二维码类::取容错级别_按索引(5), "二维码类", "取容错级别_按索引", "索引异常。当前索引：5");

    二维码类 q;
    q.重置();
    EXPECT_FALSE(q.是否有效());
    字节矩阵类 m;
    m.初始化矩阵(2, 1);
    m.置值(0, 0, 1);
    m.置值(1, 0, 255);
    q.置矩阵(m);
    EXPECT_EQ(q.矩阵取值(0, 0), 1);
    EXPECT_QR_REPORT(q.矩阵取值(1, 0), "二维码类", "矩阵取值", "值异常，当前值为：255");
    EXPECT_FALSE(二维码类::是否有效掩码(8));
    EXPECT_FALSE(二维码类::是否有效掩码(-1));
}

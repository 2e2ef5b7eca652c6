// Matrix construction, masks, penalty rules and the mask choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "qr/encoding.h"
#include "qr/fast_mask.h"
#include "qr/mask.h"
#include "qr/matrix_builder.h"
#include "tests/qr/support.h"

using namespace qr;

namespace {

容错级别类 level(int index) { return 二维码类::取容错级别_按索引(index); }

字节矩阵类 build(int version, int mask, const 位向量类& data = 位向量类(), int levelIndex = 2) {
    字节矩阵类 m;
    const int n = 17 + 4 * version;
    m.初始化矩阵(n, n);
    矩阵应用类().构建矩阵(data, level(levelIndex), version, mask, m);
    return m;
}

int valueOf(const 位向量类& v) {
    int x = 0;
    for (int i = 0; i < v.取大小(); ++i) x = (x << 1) | v.取位值(i);
    return x;
}

// A matrix from rows of '0' and '1'.
字节矩阵类 fromRows(const std::vector<std::string>& rows) {
    字节矩阵类 m;
    m.初始化矩阵(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            m.置值(static_cast<int>(x), static_cast<int>(y), rows[y][x] - '0');
    return m;
}

字节矩阵类 checkerboard(int w, int h) {
    字节矩阵类 m;
    m.初始化矩阵(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.置值(x, y, (x + y) % 2);
    return m;
}

位向量类 randomBits(int count, std::mt19937& rng) {
    位向量类 v;
    for (int i = 0; i < count; ++i) v.追加位(static_cast<int>(rng() & 1));
    return v;
}

int dataCapacity(int version) {
    // The placement report tells how many bits the data area took.
    位向量类 tooMany;
    tooMany.追加多位(0, 32);
    for (int i = 0; i < 1000; ++i) tooMany.追加多位(0, 32);
    const qrtest::Report r = qrtest::expectReport([&] { build(version, 0, tooMany); });
    const std::string prefix = "数据位未被全部填充，n：";
    return std::stoi(r.message.substr(prefix.size()));
}

}  // namespace

TEST(QrMatrix, Version1TimingAndDarkModule) {
    const 字节矩阵类 m = build(1, 0);
    for (int i = 8; i <= 12; ++i) {
        EXPECT_EQ(m.取值(i, 6), i % 2 == 0 ? 1 : 0) << i;
        EXPECT_EQ(m.取值(6, i), i % 2 == 0 ? 1 : 0) << i;
    }
    EXPECT_EQ(m.取值(8, 13), 1);
    // Finder corners and separators.
    for (auto [x, y] : {std::pair{0, 0}, {20, 0}, {0, 20}, {3, 3}, {17, 3}, {3, 17}}) EXPECT_EQ(m.取值(x, y), 1);
    for (auto [x, y] : {std::pair{7, 0}, {13, 0}, {0, 13}, {7, 7}, {13, 7}, {7, 13}, {1, 1}})
        EXPECT_EQ(m.取值(x, y), 0);
}

TEST(QrMatrix, Version2AlignmentPattern) {
    const 字节矩阵类 m = build(2, 0);
    for (int y = 16; y <= 20; ++y)
        for (int x = 16; x <= 20; ++x) {
            const bool ring = x == 16 || x == 20 || y == 16 || y == 20;
            EXPECT_EQ(m.取值(x, y), ring || (x == 18 && y == 18) ? 1 : 0) << x << "," << y;
        }
}

TEST(QrMatrix, Version7AlignmentPatternsAndVersionInformation) {
    const 字节矩阵类 m = build(7, 0);
    // Six patterns: the centres not on finder patterns, among 6, 22, 38.
    for (auto [x, y] : {std::pair{22, 6}, {6, 22}, {22, 22}, {38, 22}, {22, 38}, {38, 38}}) {
        EXPECT_EQ(m.取值(x, y), 1);
        EXPECT_EQ(m.取值(x - 1, y - 1), 0);
        EXPECT_EQ(m.取值(x - 2, y - 2), 1);
    }
    位向量类 bits;
    矩阵应用类().标记版本信息位(7, bits);
    EXPECT_EQ(bits.取大小(), 18);
    EXPECT_EQ(valueOf(bits), 0x7C94);
    // Least significant bit first into (0, h - 11), down the column and
    // mirrored across the diagonal.
    const int h = 45;
    int k = 0;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 3; ++j, ++k) {
            const int bit = (0x7C94 >> k) & 1;
            EXPECT_EQ(m.取值(i, h - 11 + j), bit);
            EXPECT_EQ(m.取值(h - 11 + j, i), bit);
        }
}

TEST(QrMatrix, FormatInformation) {
    struct Case {
        int level, mask, bits;
    } cases[] = {{2, 0, 0x5412}, {1, 0, 0x77C4}, {4, 7, 0x083B}, {3, 7, 0x2BED}, {1, 4, 0x662F}};
    for (const Case& c : cases) {
        位向量类 bits;
        矩阵应用类().标记类型信息位(level(c.level), c.mask, bits);
        EXPECT_EQ(bits.取大小(), 15);
        EXPECT_EQ(valueOf(bits), c.bits) << c.level << "/" << c.mask;
    }
    // Least significant bit first down column 8 and along row 8.
    const 字节矩阵类 m = build(1, 0, 位向量类(), 2);
    EXPECT_EQ(m.取值(8, 0), 0x5412 & 1);
    EXPECT_EQ(m.取值(8, 1), (0x5412 >> 1) & 1);
    EXPECT_EQ(m.取值(0, 8), (0x5412 >> 14) & 1);
    EXPECT_EQ(m.取值(20, 8), 0x5412 & 1);
    EXPECT_EQ(m.取值(8, 20), (0x5412 >> 14) & 1);
}

TEST(QrMatrix, BchHelpers) {
    EXPECT_EQ(矩阵应用类::取最高位位置(0), 0);
    EXPECT_EQ(矩阵应用类::取最高位位置(1), 1);
    EXPECT_EQ(矩阵应用类::取最高位位置(0x537), 11);
    EXPECT_EQ(矩阵应用类::取最高位位置(-1), 32);
    EXPECT_EQ(无符号右移(-1, 28), 15);
    EXPECT_EQ(矩阵应用类::计算BCH码(7, 0x1F25), 0xC94);
}

TEST(QrMatrix, AlignmentTableShape) {
    const 整数表& t = 矩阵应用类::共享图形表().方位调整标识坐标表;
    ASSERT_EQ(t.size(), 40u);
    ASSERT_EQ(t[0].size(), 7u);
    EXPECT_EQ(t[38], (std::vector<int>{6, 26, 54, 82, 110, 138, 166}));
    for (int v = 2; v <= 40; ++v) {
        std::vector<int> c;
        for (int x : t[static_cast<std::size_t>(v - 1)])
            if (x != -1) c.push_back(x);
        EXPECT_EQ(c.size(), static_cast<std::size_t>(v / 7 + 2)) << v;
        EXPECT_EQ(c.front(), 6);
        EXPECT_EQ(c.back(), 17 + 4 * v - 7) << v;
        // Equal even steps after the first one.
        for (std::size_t i = 2; i < c.size(); ++i) EXPECT_EQ(c[i] - c[i - 1], c.back() - c[c.size() - 2]) << v;
        EXPECT_EQ((c.back() - c[c.size() - 2]) % 2, 0) << v;
    }
}

TEST(QrMatrix, DataAreaHoldsTheVersionsCodewordsPlusRemainderBits) {
    for (int v = 1; v <= 40; ++v) {
        const int remainder = v == 1 ? 0 : v <= 6 ? 7 : v <= 13 ? 0 : v <= 20 ? 3 : v <= 27 ? 4 : v <= 34 ? 3 : 0;
        EXPECT_EQ(dataCapacity(v), 8 * 二维码类::取版本_通过版本号(v).取总码字数() + remainder) << "version " << v;
    }
}

TEST(QrMatrix, ShortDataLeavesZerosBeforeMasking) {
    // Without data every data module is the mask's own value.
    const 掩码辅助类 masks;
    for (int mask : {0, 3, 6}) {
        const 字节矩阵类 m = build(1, mask);
        for (auto [x, y] : {std::pair{20, 20}, {19, 20}, {20, 9}, {10, 10}, {0, 9}})
            EXPECT_EQ(m.取值(x, y), masks.取数据掩码位(mask, x, y) ? 1 : 0) << mask << ":" << x << "," << y;
    }
    // The first data bits fill the bottom-right corner upwards, right first.
    位向量类 one;
    one.追加多位(0b1101, 4);
    const 字节矩阵类 m = build(1, 1, one);  // mask 1 inverts even rows: row 20
    EXPECT_EQ(m.取值(20, 20), 0);
    EXPECT_EQ(m.取值(19, 20), 0);
    EXPECT_EQ(m.取值(20, 19), 0);
    EXPECT_EQ(m.取值(19, 19), 1);
}

TEST(QrMatrix, MaskConditions) {
    const 掩码辅助类 masks;
    struct Case {
        int mask, x, y;
        bool inverted;
    } cases[] = {
        {0, 0, 0, true},  {0, 1, 0, false}, {1, 5, 2, true},  {1, 5, 3, false}, {2, 3, 1, true},
        {2, 4, 1, false}, {3, 1, 2, true},  {3, 1, 1, false}, {4, 3, 2, true},  {4, 3, 4, false},
        {4, 6, 0, true},  {5, 0, 7, true},  {5, 1, 1, false}, {6, 1, 1, true},  {6, 1, 5, false},
        {6, 2, 3, true},  {7, 1, 1, false}, {7, 1, 2, false}, {7, 1, 3, true},  {7, 0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(masks.取数据掩码位(c.mask, c.x, c.y), c.inverted) << c.mask << ":" << c.x << "," << c.y;
    EXPECT_QR_REPORT(masks.取数据掩码位(8, 0, 0), "掩码辅助类", "取数据掩码位", "掩图无效。");
    EXPECT_QR_REPORT(masks.取数据掩码位(-1, 0, 0), "掩码辅助类", "取数据掩码位", "掩图无效。");
}

TEST(QrPenalty, Rule1RunsPerLine) {
    const 掩码辅助类 masks;
    字节矩阵类 m = checkerboard(9, 9);
    EXPECT_EQ(masks.取惩罚分_规则1(m), 0);
    for (int x = 1; x <= 7; ++x) m.置值(x, 0, 1);  // 0 1111111 0
    EXPECT_EQ(masks.取惩罚分_规则1_按方向(m, true), 5);
    EXPECT_EQ(masks.取惩罚分_规则1_按方向(m, false), 0);
    // A run does not carry over a line end: 5 ones end row 0 (3 points),
    // 4 ones start row 1 (none).
    const 字节矩阵类 wrap = fromRows({"0101011111", "1111010101"});
    EXPECT_EQ(masks.取惩罚分_规则1_按方向(wrap, true), 3);
    EXPECT_EQ(内部::快速掩码惩罚(wrap), 编码类().计算掩码惩罚(wrap));
}

TEST(QrPenalty, Rule2BlocksOverlap) {
    const 掩码辅助类 masks;
    EXPECT_EQ(masks.取惩罚分_规则2(fromRows({"000", "000", "000"})), 12);
    EXPECT_EQ(masks.取惩罚分_规则2(fromRows({"110", "110", "001"})), 3);
    EXPECT_EQ(masks.取惩罚分_规则2(checkerboard(5, 5)), 0);
}

TEST(QrPenalty, Rule3FinderLikePatterns) {
    const 掩码辅助类 masks;
    struct Case {
        const char* row;
        int penalty;
    } cases[] = {
        {"00001011101", 40},
        {"10111010000", 40},
        {"000010111010000", 40},  // light on both sides counts once
        {"1011101", 0},           // no room for four light modules inside
        {"0001011101000", 0},     // three light modules on each side
        {"00001011101000010111010000", 80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(masks.取惩罚分_规则3(fromRows({c.row})), c.penalty) << c.row;
        // The same along a column.
        std::vector<std::string> column;
        for (const char* p = c.row; *p; ++p) column.push_back(std::string(1, *p));
        EXPECT_EQ(masks.取惩罚分_规则3(fromRows(column)), c.penalty) << c.row;
    }
}

TEST(QrPenalty, Rule4DarkShareInSinglePrecision) {
    struct Case {
        int side, dark, penalty;
    } cases[] = {
        {21, 200, 0},   {21, 190, 10}, {21, 176, 20}, {21, 221, 0},
        {21, 441, 100}, {21, 0, 100},  {25, 250, 10},  // 40 %: the float lies just above 0.4, deviation 9
        {25, 375, 20},                                 // 60 %
    };
    const 掩码辅助类 masks;
    for (const Case& c : cases) {
        EXPECT_EQ(掩码辅助类::规则4分(c.dark, c.side * c.side), c.penalty) << c.side << "/" << c.dark;
        字节矩阵类 m;
        m.初始化矩阵(c.side, c.side);
        for (int i = 0; i < c.dark; ++i) m.置值(i % c.side, i / c.side, 1);
        EXPECT_EQ(masks.取惩罚分_规则4(m), c.penalty);
    }
}

TEST(QrPenalty, RunBasedScoringEqualsCellByCell) {
    std::mt19937 rng(11);
    const 编码类 enc;
    // Random matrices of many shapes, with long runs and finder-like
    // patterns mixed in so that every rule scores.
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + static_cast<int>(rng() % 190);
        const int h = round % 3 == 0 ? w : 1 + static_cast<int>(rng() % 190);
        字节矩阵类 m;
        m.初始化矩阵(w, h);
        const unsigned bias = rng() % 4;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) m.置值(x, y, (rng() % 8) < 3 + bias ? 1 : 0);
        for (int k = 0; k < 5 && w >= 11; ++k) {
            const int x0 = static_cast<int>(rng() % static_cast<unsigned>(w - 10));
            const int y0 = static_cast<int>(rng() % static_cast<unsigned>(h));
            const char* p = "00001011101";
            for (int i = 0; i < 11; ++i) m.置值(x0 + i, y0, p[i] - '0');
        }
        ASSERT_EQ(内部::快速掩码惩罚(m), enc.计算掩码惩罚(m)) << w << "x" << h;
    }
    // Real symbols of every width class.
    for (int v : {1, 11, 12, 27, 28, 40})
        for (int mask = 0; mask < 8; mask += 3) {
            const 字节矩阵类 m = build(v, mask, randomBits(100, rng));
            ASSERT_EQ(内部::快速掩码惩罚(m), enc.计算掩码惩罚(m)) << v;
        }
}

TEST(QrMaskChoice, RunBasedChoiceBuildsTheSameSymbol) {
    // For every version: the straightforward eight builds and scores, then
    // the final build, against the encoder's one-pass choice.
    std::mt19937 rng(3);
    const 编码类 enc;
    for (int v = 1; v <= 40; ++v) {
        const 容错级别类 lv = level(1 + v % 4);
        const int bits = 8 * 二维码类::取版本_通过版本号(v).取总码字数();
        const 位向量类 data = randomBits(v % 5 == 0 ? bits / 2 : bits, rng);
        const int n = 17 + 4 * v;
        字节矩阵类 slow;
        slow.初始化矩阵(n, n);
        const int mask = enc.选择掩码(data, lv, v, slow);
        EXPECT_EQ(slow.取数组(), build(v, 7, data, lv.取序号()).取数组()) << "left with the mask-7 build";
        矩阵应用类().构建矩阵(data, lv, v, mask, slow);
        字节矩阵类 fast;
        fast.初始化矩阵(n, n);
        EXPECT_EQ(内部::选择掩码并构建(data, lv, v, fast), mask) << "version " << v;
        EXPECT_EQ(fast.取数组(), slow.取数组()) << "version " << v;
    }
}

TEST(QrMaskChoice, TiesGoToTheLowerMask) {
    // Texts whose symbols reach the lowest penalty with two masks.
    struct Case {
        const char* text;
        int lower, higher;
    } cases[] = {{"R71", 0, 1}, {"R539", 2, 4}, {"R625", 4, 7}};
    const 编码类 enc;
    const 容错级别类 H = level(4);
    for (const Case& c : cases) {
        // The final bits, through the pipeline's own steps.
        二维码类 q;
        enc.编码(c.text, H, q);
        const 模式类 mode = enc.选择模式(c.text);
        位向量类 data, bits, final;
        enc.追加数据字节(c.text, mode, data);
        enc.追加模式信息(mode, bits);
        enc.追加长度信息(static_cast<int>(std::string(c.text).size()), q.取版本号(), mode, bits);
        位向量子类 join;
        join.置操作向量(bits);
        join.追加位向量(data);
        bits = join.取操作向量();
        enc.结束数据位(q.取数据字节数(), bits);
        enc.交错容错字节(bits, q.取总字节数(), q.取数据字节数(), q.取块数(), final);

        int penalty[8];
        for (int m = 0; m < 8; ++m) penalty[m] = enc.计算掩码惩罚(build(q.取版本号(), m, final, 4));
        EXPECT_EQ(penalty[c.lower], penalty[c.higher]) << c.text;
        EXPECT_EQ(*std::min_element(penalty, penalty + 8), penalty[c.lower]) << c.text;
        字节矩阵类 m;
        m.初始化矩阵(q.取矩阵宽度(), q.取矩阵宽度());
        EXPECT_EQ(enc.选择掩码(final, H, q.取版本号(), m), c.lower) << c.text;
        EXPECT_EQ(q.取掩码图形(), c.lower) << c.text;
        EXPECT_EQ(q.矩阵().取数组(), build(q.取版本号(), c.lower, final, 4).取数组()) << c.text;
    }
}

TEST(QrMatrix, Reports) {
    const 矩阵应用类 app;
    字节矩阵类 zeros;
    zeros.初始化矩阵(21, 21);  // nothing is empty: every insertion check fires
    EXPECT_QR_REPORT(app.插入位置探测图(0, 0, zeros), "矩阵应用类", "插入位置探测图",
                     "方位检测标识异常，当前位置有空值。当前行索引：1；列索引：1");
    EXPECT_QR_REPORT(app.插入位置探测图(14, 2, zeros), "矩阵应用类", "插入位置探测图",
                     "方位检测标识异常，当前位置有空值。当前行索引：15；列索引：3");
    EXPECT_QR_REPORT(app.插入方位调整标识(4, 4, zeros), "矩阵应用类", "插入方位调整标识", "值为空");
    EXPECT_QR_REPORT(app.插入水平分割图(0, 7, zeros), "矩阵应用类", "插入水平分割图",
                     "矩阵当前操作位数据不为空。i：1；x：0；y：7");
    EXPECT_QR_REPORT(app.插入垂直分割图(7, 0, zeros), "矩阵应用类", "插入垂直分割图",
                     "矩阵当前操作位数据不为空。i：1；x：7；y：0");
    EXPECT_QR_REPORT(app.左下角插入黑点(zeros), "矩阵应用类", "左下角插入黑点", "空值");
    字节矩阵类 odd;
    odd.初始化矩阵(21, 21);
    odd.置值(10, 6, 7);
    EXPECT_QR_REPORT(app.插入定位基线(odd), "矩阵应用类", "插入定位基线", "无效值");
    位向量类 bits;
    EXPECT_QR_REPORT(app.标记类型信息位(level(1), 8, bits), "矩阵应用类", "标记类型信息位", "掩图无效");
    位向量类 used;
    used.追加位(1);
    EXPECT_QR_REPORT(app.标记版本信息位(7, used), "矩阵应用类", "标记版本信息位", "版本信息不为18位");
    EXPECT_EQ(dataCapacity(1), 208);
    // The encoder's one-pass choice reports the same way.
    位向量类 tooMany;
    for (int i = 0; i < 7; ++i) tooMany.追加多位(0, 30);
    字节矩阵类 m;
    m.初始化矩阵(21, 21);
    EXPECT_QR_REPORT(内部::选择掩码并构建(tooMany, level(1), 1, m), "矩阵应用类", "插入数据信息位",
                     "数据位未被全部填充，n：208；位向量大小：210");
}

TEST(QrMaskChoice, HardwareAndPortableBitCountsGiveTheSameSymbols) {
    // The scorer counts set bits with the processor's instruction where it
    // has one and portably elsewhere; forced each way, the symbols and the
    // penalties must be the same, and the penalties those of the
    // cell-by-cell rules.
    struct Restore {
        ~Restore() { 内部::选用位计数(内部::位计数方式::自动); }
    } restore;
    struct Outcome {
        std::vector<int> masks;
        std::vector<字节矩阵类::二维数组> symbols;
        std::vector<int> penalties;
    };
    const 编码类 enc;
    auto encodeAll = [&] {
        Outcome o;
        std::mt19937 rng(5);
        for (int v : {1, 3, 7, 13, 14, 27, 28, 36, 40}) {
            const int bits = 8 * 二维码类::取版本_通过版本号(v).取总码字数();
            字节矩阵类 m;
            o.masks.push_back(内部::选择掩码并构建(randomBits(bits, rng), level(1 + v % 4), v, m));
            o.symbols.push_back(m.取数组());
            o.penalties.push_back(内部::快速掩码惩罚(m));
            EXPECT_EQ(o.penalties.back(), enc.计算掩码惩罚(m)) << "version " << v;
        }
        return o;
    };
    ASSERT_TRUE(内部::选用位计数(内部::位计数方式::通用));
    ASSERT_EQ(内部::当前位计数(), 内部::位计数方式::通用);
    const Outcome portable = encodeAll();
    if (!内部::选用位计数(内部::位计数方式::硬件)) GTEST_SKIP() << "this processor has no bit-count instruction";
    ASSERT_EQ(内部::当前位计数(), 内部::位计数方式::硬件);
    const Outcome hardware = encodeAll();
    EXPECT_EQ(hardware.masks, portable.masks);
    EXPECT_EQ(hardware.penalties, portable.penalties);
    EXPECT_TRUE(hardware.symbols == portable.symbols);
}

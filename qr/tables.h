// Constant data of the QR module (ISO/IEC 18004, model 2).
#pragma once

#include <array>

namespace qr::表 {

// Error correction characteristics, one row per version (index 0 unused so
// that the version number indexes directly). Per level, in the order
// L, M, Q, H: EC codewords per block, then the block groups as
// (number of blocks, data codewords per block); a second group of 0 blocks
// is absent.
struct 级别块结构 {
    int 每块容错;
    int 组1块数, 组1数据;
    int 组2块数, 组2数据;
};
extern const std::array<std::array<级别块结构, 4>, 41> 纠错特性;

// Alignment-pattern centres per version (the same list serves as x and y
// coordinates), index 0 unused.
struct 方位调整坐标 {
    int 数;
    std::array<int, 7> 值;
};
// clang-format off
inline constexpr std::array<方位调整坐标, 41> 方位调整标识坐标 = {{
    {0, {}},  // (unused)
    {0, {}},  //  1
    {2, {6, 18}},  //  2
    {2, {6, 22}},  //  3
    {2, {6, 26}},  //  4
    {2, {6, 30}},  //  5
    {2, {6, 34}},  //  6
    {3, {6, 22, 38}},  //  7
    {3, {6, 24, 42}},  //  8
    {3, {6, 26, 46}},  //  9
    {3, {6, 28, 50}},  // 10
    {3, {6, 30, 54}},  // 11
    {3, {6, 32, 58}},  // 12
    {3, {6, 34, 62}},  // 13
    {4, {6, 26, 46, 66}},  // 14
    {4, {6, 26, 48, 70}},  // 15
    {4, {6, 26, 50, 74}},  // 16
    {4, {6, 30, 54, 78}},  // 17
    {4, {6, 30, 56, 82}},  // 18
    {4, {6, 30, 58, 86}},  // 19
    {4, {6, 34, 62, 90}},  // 20
    {5, {6, 28, 50, 72, 94}},  // 21
    {5, {6, 26, 50, 74, 98}},  // 22
    {5, {6, 30, 54, 78, 102}},  // 23
    {5, {6, 28, 54, 80, 106}},  // 24
    {5, {6, 32, 58, 84, 110}},  // 25
    {5, {6, 30, 58, 86, 114}},  // 26
    {5, {6, 34, 62, 90, 118}},  // 27
    {6, {6, 26, 50, 74, 98, 122}},  // 28
    {6, {6, 30, 54, 78, 102, 126}},  // 29
    {6, {6, 26, 52, 78, 104, 130}},  // 30
    {6, {6, 30, 56, 82, 108, 134}},  // 31
    {6, {6, 34, 60, 86, 112, 138}},  // 32
    {6, {6, 30, 58, 86, 114, 142}},  // 33
    {6, {6, 34, 62, 90, 118, 146}},  // 34
    {7, {6, 30, 54, 78, 102, 126, 150}},  // 35
    {7, {6, 24, 50, 76, 102, 128, 154}},  // 36
    {7, {6, 28, 54, 80, 106, 132, 158}},  // 37
    {7, {6, 32, 58, 84, 110, 136, 162}},  // 38
    {7, {6, 26, 54, 82, 110, 138, 166}},  // 39
    {7, {6, 30, 58, 86, 114, 142, 170}},  // 40
}};
// clang-format on

// Remainder of value * x^(deg g) divided by g over GF(2).
constexpr int BCH余式(int 值, int 生成多项式) {
    int 次数 = 0;
    while ((生成多项式 >> 次数) > 1) ++次数;
    int r = 值 << 次数;
    for (int b = 31; b >= 次数; --b)
        if ((r >> b) & 1) r ^= 生成多项式 << (b - 次数);
    return r;
}

// The 15 format bits (bit i is format module i) by the level's two format
// bits and the mask.
inline constexpr std::array<std::array<int, 8>, 4> 格式信息 = [] {
    std::array<std::array<int, 8>, 4> t{};
    for (int l = 0; l < 4; ++l)
        for (int m = 0; m < 8; ++m) {
            const int v = (l << 3) | m;
            t[static_cast<std::size_t>(l)][static_cast<std::size_t>(m)] = ((v << 10) | BCH余式(v, 0x537)) ^ 0x5412;
        }
    return t;
}();

// The 18 version bits by version (7..40; 0 below).
inline constexpr std::array<int, 41> 版本信息 = [] {
    std::array<int, 41> t{};
    for (int v = 7; v <= 40; ++v) t[static_cast<std::size_t>(v)] = (v << 12) | BCH余式(v, 0x1F25);
    return t;
}();

// Character code 0x00..0x5F -> alphanumeric value, -1 when the character
// has none.
extern const std::array<int, 96> 字母数字表;

}  // namespace qr::表

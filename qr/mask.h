// The eight data masks and the four penalty rules, cell by cell. This is
// the reference scorer; the encoder's mask choice runs the run-based
// scorer of fast_mask.h, which gives the same penalties.
#pragma once

#include <string_view>

#include "qr/byte_matrix.h"

namespace qr {

// True when data mask 0..7 inverts module (x, y); any other number counts
// as mask 7.
constexpr bool 掩码反转(int 掩码, int x, int y) {
    switch (掩码) {
        case 0:
            return (x + y) % 2 == 0;
        case 1:
            return y % 2 == 0;
        case 2:
            return x % 3 == 0;
        case 3:
            return (x + y) % 3 == 0;
        case 4:
            return (y / 2 + x / 3) % 2 == 0;
        case 5:
            return (x * y) % 2 + (x * y) % 3 == 0;
        case 6:
            return ((x * y) % 2 + (x * y) % 3) % 2 == 0;
        default:
            return ((x * y) % 3 + (x + y) % 2) % 2 == 0;
    }
}

class 掩码辅助类 {
public:
    static constexpr std::string_view 类名 = "掩码辅助类";

    // True when the module (x, y) is inverted by the mask; a mask outside
    // 0..7 reports "掩图无效。".
    bool 取数据掩码位(int 掩码, int x, int y) const;
    // Rules on a completely built matrix (cells 0 and 1).
    // Rule 1: every run of n >= 5 equal modules in a row or column costs n - 2.
    int 取惩罚分_规则1(const 字节矩阵类& 矩阵) const;
    // Rule 2: every 2 x 2 block of one colour costs 3 (overlaps count).
    int 取惩罚分_规则2(const 字节矩阵类& 矩阵) const;
    // Rule 3: 1011101 with four light modules before or after it, inside
    // the symbol, costs 40.
    int 取惩罚分_规则3(const 字节矩阵类& 矩阵) const;
    // Rule 4: 10 per full 5 % that the dark share deviates from 50 %.
    int 取惩罚分_规则4(const 字节矩阵类& 矩阵) const;
    int 取惩罚分_规则1_按方向(const 字节矩阵类& 矩阵, bool 水平) const;

    // Rule 4 from the counts alone (shared with the fast scorer).
    static int 规则4分(long long 深色数, long long 总数);
};

}  // namespace qr

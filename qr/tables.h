// Constant data of the QR module (ISO/IEC 18004, model 2).
#pragma once

#include <array>
#include <string_view>

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

// Alignment-pattern centres per version, CR LF between versions 1..40,
// padded with -1 to seven values.
extern const std::string_view 方位调整标识坐标文本;
extern const std::string_view 位置探测图文本;
extern const std::string_view 水平分割图文本;
extern const std::string_view 垂直分割图文本;
extern const std::string_view 方位调整标识图文本;
extern const std::string_view 类型信息位坐标文本;

// Character code 0x00..0x5F -> alphanumeric value, -1 when the character
// has none.
extern const std::array<int, 96> 字母数字表;

}  // namespace qr::表

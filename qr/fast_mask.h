// The encoder's symbol layout and mask choice, on packed rows.
//
// Building and scoring the symbol eight times dominates the cost of an
// encoding. Here the function patterns and the data bits are laid out once
// as rows of 64-module words; each mask then only recombines those rows and
// scores them with word operations: runs, 2 x 2 blocks and finder-like
// patterns are found by shifting whole rows (along a row) and by combining
// neighbouring rows (along a column), never cell by cell. The symbols and
// penalties equal those of 构建矩阵 and 掩码辅助类.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "qr/bit_vector.h"
#include "qr/byte_matrix.h"
#include "qr/encoding.h"

namespace qr::内部 {

// A symbol of up to 177 x 177 modules: module (x, y) is bit x & 63 of word
// 行[3 y + x / 64]; 1 dark. Bits beyond the side are 0.
struct 位行符号 {
    static constexpr int 行字数 = 3;
    int 边长 = 0;
    std::array<std::uint64_t, 177 * 行字数> 行{};

    int 取(int x, int y) const {
        return static_cast<int>((行[static_cast<std::size_t>(行字数 * y + (x >> 6))] >> (x & 63)) & 1);
    }
};

// Lays out the symbol of a version around 位数 data bits (most significant
// bit of each byte first; data cells beyond them stay light before the
// mask), chooses the mask with the lowest penalty (the lower number on
// ties) and leaves the symbol built with that mask in 符号. 格式位 are the
// level's two format bits. More bits than the data cells hold report as
// 矩阵应用类::插入数据信息位 does.
int 布局并选择掩码(const std::uint8_t* 数据, int 位数, int 格式位, int 版本号, 位行符号& 符号);

// 编码类::编码 that also leaves the packed symbol in 符号 (the facade draws
// the picture from it).
void 编码到位行(std::string_view 文本, const 容错级别类& 级别, 二维码类& 二维码, 位行符号& 符号);

// Copies the symbol into a byte matrix of its side (cells 0 and 1).
void 写入字节矩阵(const 位行符号& 符号, 字节矩阵类& 矩阵);

// 选择掩码 followed by 构建矩阵 with the chosen mask, in one pass; the
// matrix is set to the version's side.
int 选择掩码并构建(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵);

// Sum of the four penalty rules of a matrix of 0 and 1 cells (up to 192
// columns; any number of rows); equals 编码类::计算掩码惩罚.
int 快速掩码惩罚(const 字节矩阵类& 矩阵);

// How the scorer counts set bits: the processor's instruction where it has
// one (自动, the default), or forced. 硬件 where the processor lacks the
// instruction changes nothing and returns false.
enum class 位计数方式 { 自动, 硬件, 通用 };
bool 选用位计数(位计数方式 方式);
// The way in use (硬件 or 通用).
位计数方式 当前位计数();

}  // namespace qr::内部

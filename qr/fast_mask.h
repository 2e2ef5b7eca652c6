// The encoder's mask choice, run-based.
//
// Building and scoring the symbol eight times cell by cell dominates the
// cost of an encoding. Here the function patterns and the zig-zag order
// are laid out once; each mask then only recombines packed rows and columns
// (64 modules per word) and scores them with word operations: runs, 2 x 2
// blocks and finder-like patterns are found by shifting whole lines, not by
// visiting cells one call at a time. Results equal 选择掩码 followed by
// 构建矩阵 with the chosen mask.
#pragma once

#include "qr/bit_vector.h"
#include "qr/byte_matrix.h"
#include "qr/encoding.h"

namespace qr::内部 {

// Chooses the mask with the lowest penalty (lowest number on ties) and
// leaves the symbol built with that mask in the matrix, which must be
// initialised to the version's side. Reports as 构建矩阵 would.
int 选择掩码并构建(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵);

// Sum of the four penalty rules of a matrix of 0 and 1 cells (any size up
// to 192 x 192); equals 编码类::计算掩码惩罚.
int 快速掩码惩罚(const 字节矩阵类& 矩阵);

}  // namespace qr::内部

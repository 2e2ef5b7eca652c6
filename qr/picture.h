// From symbol to picture: scaling with a quiet zone and the 24-bit BMP file.
#pragma once

#include <cstdint>
#include <vector>

#include "qr/byte_matrix.h"
#include "qr/encoding.h"
#include "qr/fast_mask.h"

namespace qr {

// The placement of an N-module symbol in a picture asked as W x H pixels,
// with Q = N + 4 (a quiet zone of at least two modules): where W and H both
// reach Q the picture is W x H; a smaller picture would crop the symbol, so
// it grows to max(W, 2Q) x max(H, 2Q) - two pixels a module, the least at
// which large symbols still decode reliably. s pixels per module, the
// symbol centred (odd leftovers to the right and bottom).
struct 缩放 {
    std::int64_t 输出宽;
    std::int64_t 输出高;
    std::int64_t 模块像素;  // s >= 1
    std::int64_t 左;
    std::int64_t 上;
};
缩放 计算缩放(int 模块数, std::int64_t 宽度, std::int64_t 高度);

// The scaled output matrix: 1 where the picture is dark, 0 elsewhere.
字节矩阵类 渲染矩阵(const 二维码类& 二维码, int 宽度, int 高度);

// A W x H, 24-bit BMP file (bottom-up rows, blue-green-red, rows filled to
// a multiple of 4 bytes with zero bytes) of the top-left W x H cells of the
// output matrix (cells outside it light). Colours are COLORREF values 0x00BBGGRR.
std::vector<std::uint8_t> 生成图片(const 字节矩阵类& 输出矩阵, int 宽度, int 高度, std::uint32_t 背景颜色,
                                   std::uint32_t 前景颜色);

// Row size of a 24-bit BMP row of W pixels: ((24 W + 31) div 32) x 4.
inline std::int64_t BMP行字节数(std::int64_t 宽度) { return (24 * 宽度 + 31) / 32 * 4; }

namespace 内部 {
// The picture size 计算缩放 gives for the request.
void 输出尺寸(int 模块数, std::int64_t& 宽度, std::int64_t& 高度);
// 生成图片(渲染矩阵(...)) at the output size, without the output matrix: a
// pixel row is prepared once per module row and written for every pixel
// row it covers. The caller has checked that the picture fits a BMP file.
std::vector<std::uint8_t> 绘制二维码图片(const 位行符号& 符号, std::int64_t 宽度, std::int64_t 高度,
                                         std::uint32_t 背景颜色, std::uint32_t 前景颜色);
}  // namespace 内部

}  // namespace qr

// The QR module's entry points for the rest of the program: the module
// start-up, run once before the first window opens, and 创建二维码, which
// turns a text into the bytes of a BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "qr/encoding.h"

namespace qr {

// Builds the modes, levels, version table and the Galois field QR域 and
// resets the module's QR code object. Call once at program start, before
// any 创建二维码 (calling it again is harmless).
void 初始化二维码模块();

// 编码内容: UTF-8 text; empty or only spaces (U+0020, U+3000) reports
//   "没有编码内容".
// 容错等级: L, M, Q or H in any case; std::nullopt means L; anything else
//   reports "容错等级必须为L、M、Q、H四个之一。".
// 宽度, 高度: picture size in pixels; <= 0 means 100. A size too small for
//   the symbol and its quiet zone at one pixel a module is never cropped:
//   the picture grows to two pixels a module (计算缩放 in picture.h). A
//   picture that a BMP file cannot hold (width above 2^31 - 1, file of
//   4 GiB or more) reports "图片尺寸过大".
// 背景颜色, 前景颜色: COLORREF 0x00BBGGRR of light and dark modules.
// Returns the whole BMP file. A text too long for version 40 at the level
// reports through 初始化二维码.
std::vector<std::uint8_t> 创建二维码(std::string_view 编码内容, std::optional<std::string_view> 容错等级,
                                     std::int64_t 宽度, std::int32_t 高度, std::uint32_t 背景颜色,
                                     std::uint32_t 前景颜色);

// A symbol module by module: 边长 modules a side, row by row, 1 where dark.
struct 二维码符号 {
    int 边长 = 0;
    std::vector<std::uint8_t> 模块;
    bool 深色(int x, int y) const {
        return 模块[static_cast<std::size_t>(y) * static_cast<std::size_t>(边长) + static_cast<std::size_t>(x)] != 0;
    }
};

// The symbol 创建二维码 draws for 编码内容 at 容错等级, without a picture,
// for callers that draw it themselves (at a printer's own dots). The text
// and the level are checked and reported as 创建二维码 does. The module's
// QR code object (取模块二维码) is left as it was.
二维码符号 生成二维码符号(std::string_view 编码内容, std::optional<std::string_view> 容错等级);

// The module's QR code object: the symbol of the last 创建二维码.
const 二维码类& 取模块二维码();

}  // namespace qr

#include "qr/picture.h"

#include <algorithm>
#include <cstring>

namespace qr {
namespace {

void 写16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void 写32(std::uint8_t* p, std::uint32_t v) {
    写16(p, v & 0xFFFF);
    写16(p + 2, v >> 16);
}

// File header and BITMAPINFOHEADER into 54 zero bytes.
void 写BMP头(std::uint8_t* p, std::int64_t 宽度, std::int64_t 高度, std::size_t 文件大小) {
    p[0] = 'B';
    p[1] = 'M';
    写32(p + 2, static_cast<std::uint32_t>(文件大小));
    写32(p + 10, 54);
    写32(p + 14, 40);
    写32(p + 18, static_cast<std::uint32_t>(宽度));
    写32(p + 22, static_cast<std::uint32_t>(高度));  // positive: bottom-up rows
    写16(p + 26, 1);
    写16(p + 28, 24);
}

// The file with its headers and zero bytes for the rows.
std::vector<std::uint8_t> 新建BMP(int 宽度, int 高度) {
    const std::size_t 行字节 = static_cast<std::size_t>(BMP行字节数(宽度));
    const std::size_t 文件大小 = 54 + 行字节 * static_cast<std::size_t>(高度);
    std::vector<std::uint8_t> 文件(文件大小, 0);
    写BMP头(文件.data(), 宽度, 高度, 文件大小);
    return 文件;
}

struct 像素 {
    std::uint8_t b, g, r;
};
像素 颜色(std::uint32_t colorref) {
    return {static_cast<std::uint8_t>(colorref >> 16), static_cast<std::uint8_t>(colorref >> 8),
            static_cast<std::uint8_t>(colorref)};
}

void 填充(std::uint8_t* 行, std::int64_t 起, std::int64_t 止, 像素 c) {
    for (std::int64_t x = 起; x < 止; ++x) {
        行[3 * x] = c.b;
        行[3 * x + 1] = c.g;
        行[3 * x + 2] = c.r;
    }
}

// Appends to a file whose room is reserved. Kept out of line: inlined,
// GCC 12 warns about the reallocation path it cannot rule out.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
void 追加(std::vector<std::uint8_t>& 文件, const std::uint8_t* 字节, std::size_t 数) {
    文件.insert(文件.end(), 字节, 字节 + 数);
}

// Pixel row y of the picture sits at file row H - 1 - y.
std::uint8_t* 像素行(std::vector<std::uint8_t>& 文件, int 高度, std::size_t 行字节, std::int64_t y) {
    return 文件.data() + 54 + static_cast<std::size_t>(高度 - 1 - y) * 行字节;
}

}  // namespace

缩放 计算缩放(int 模块数, std::int64_t 宽度, std::int64_t 高度) {
    const std::int64_t q = 模块数 + 4;
    缩放 z{};
    z.输出宽 = 宽度;
    z.输出高 = 高度;
    内部::输出尺寸(模块数, z.输出宽, z.输出高);
    const double 横 = static_cast<double>(z.输出宽) / static_cast<double>(q);
    const double 纵 = static_cast<double>(z.输出高) / static_cast<double>(q);
    z.模块像素 = static_cast<std::int64_t>(纵 - 横 > 0.0000001 ? 横 : 纵);
    z.左 = (z.输出宽 - 模块数 * z.模块像素) / 2;
    z.上 = (z.输出高 - 模块数 * z.模块像素) / 2;
    return z;
}

字节矩阵类 渲染矩阵(const 二维码类& 二维码, int 宽度, int 高度) {
    const 字节矩阵类& 符号 = 二维码.矩阵();
    const int n = 符号.取宽度();
    const 缩放 z = 计算缩放(n, 宽度, 高度);
    字节矩阵类 输出;
    输出.初始化矩阵(static_cast<int>(z.输出宽), static_cast<int>(z.输出高));
    const int s = static_cast<int>(z.模块像素);
    for (int y = 0; y < n; ++y) {
        const std::uint8_t* 符号行 = 符号.行(y);
        for (int j = 0; j < s; ++j) {
            std::uint8_t* 行 = 输出.行(static_cast<int>(z.上) + y * s + j);
            for (int x = 0; x < n; ++x)
                std::memset(行 + z.左 + x * s, 符号行[x] == 1 ? 1 : 0, static_cast<std::size_t>(s));
        }
    }
    return 输出;
}

std::vector<std::uint8_t> 生成图片(const 字节矩阵类& 输出矩阵, int 宽度, int 高度, std::uint32_t 背景颜色,
                                   std::uint32_t 前景颜色) {
    std::vector<std::uint8_t> 文件 = 新建BMP(宽度, 高度);
    const std::size_t 行字节 = static_cast<std::size_t>(BMP行字节数(宽度));
    const 像素 背景 = 颜色(背景颜色);
    const 像素 前景 = 颜色(前景颜色);
    // Cells outside a too small matrix count as light.
    const int 可读宽 = std::min(宽度, 输出矩阵.取宽度());
    for (int y = 0; y < 高度; ++y) {
        std::uint8_t* 行 = 像素行(文件, 高度, 行字节, y);
        填充(行, 0, 宽度, 背景);
        if (y >= 输出矩阵.取高度()) continue;
        const std::uint8_t* 格 = 输出矩阵.行(y);
        // Dark runs are filled in one go.
        int x = 0;
        while (x < 可读宽) {
            if (格[x] != 1) {
                ++x;
                continue;
            }
            int 止 = x + 1;
            while (止 < 可读宽 && 格[止] == 1) ++止;
            填充(行, x, 止, 前景);
            x = 止;
        }
    }
    return 文件;
}

namespace 内部 {

void 输出尺寸(int 模块数, std::int64_t& 宽度, std::int64_t& 高度) {
    const std::int64_t q = 模块数 + 4;
    if (宽度 >= q && 高度 >= q) return;
    宽度 = std::max(宽度, 2 * q);
    高度 = std::max(高度, 2 * q);
}

std::vector<std::uint8_t> 绘制二维码图片(const 位行符号& 符号, std::int64_t 宽度, std::int64_t 高度,
                                         std::uint32_t 背景颜色, std::uint32_t 前景颜色) {
    const int n = 符号.边长;
    const 缩放 z = 计算缩放(n, 宽度, 高度);
    const std::int64_t s = z.模块像素;
    const std::size_t 行字节 = static_cast<std::size_t>(BMP行字节数(z.输出宽));
    const 像素 背景 = 颜色(背景颜色);
    const 像素 前景 = 颜色(前景颜色);

    std::vector<std::uint8_t> 文件;
    文件.reserve(54 + 行字节 * static_cast<std::size_t>(z.输出高));
    std::uint8_t 头[54] = {};
    写BMP头(头, z.输出宽, z.输出高, 54 + 行字节 * static_cast<std::size_t>(z.输出高));
    追加(文件, 头, 54);

    // Modules are drawn a group at a time from a table of every group's
    // pixels (four modules a group for small modules), in 8-byte pieces.
    const int g = s <= 5 ? 4 : 1;
    const std::size_t 组字节 = static_cast<std::size_t>(3 * s * g);
    const std::size_t 片数 = (组字节 + 7) / 8;
    const std::size_t 项宽 = 8 * 片数;
    const std::size_t 行宽 = 行字节 + 项宽;
    std::vector<std::uint8_t> 缓冲(2 * 行宽 + (std::size_t{1} << g) * 项宽, 0);
    std::uint8_t* 空行 = 缓冲.data();
    std::uint8_t* 行 = 空行 + 行宽;
    std::uint8_t* 表 = 行 + 行宽;
    填充(空行, 0, z.输出宽, 背景);
    for (unsigned e = 0; e < (1u << g); ++e)
        for (int i = 0; i < g; ++i) 填充(表 + e * 项宽, s * i, s * (i + 1), ((e >> i) & 1) ? 前景 : 背景);
    std::memcpy(行, 空行, 行字节);

    const std::size_t 起 = static_cast<std::size_t>(3 * z.左);
    const std::size_t 止 = static_cast<std::size_t>(3 * (z.左 + n * s));
    const std::size_t 尾 = std::min(行字节, 止 + 项宽);
    const unsigned 组掩码 = (1u << g) - 1;

    // Bottom-up: the quiet rows below the symbol, the module rows from the
    // last, the quiet rows above.
    for (std::int64_t r = z.上 + n * s; r < z.输出高; ++r) 追加(文件, 空行, 行字节);
    for (int y = n - 1; y >= 0; --y) {
        const std::uint64_t* 位 = 符号.行.data() + 位行符号::行字数 * y;
        std::uint8_t* d = 行 + 起;
        for (int x = 0; x < n; x += g, d += 组字节) {
            const std::uint8_t* 源 = 表 + ((位[x >> 6] >> (x & 63)) & 组掩码) * 项宽;
            for (std::size_t k = 0; k < 片数; ++k) std::memcpy(d + 8 * k, 源 + 8 * k, 8);
        }
        // The last group's pieces may reach past the symbol.
        std::memcpy(行 + 止, 空行 + 止, 尾 - 止);
        for (std::int64_t j = 0; j < s; ++j) 追加(文件, 行, 行字节);
    }
    for (std::int64_t r = 0; r < z.上; ++r) 追加(文件, 空行, 行字节);
    return 文件;
}

}  // namespace 内部
}  // namespace qr

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

// File header and BITMAPINFOHEADER; returns the file with room for the rows.
std::vector<std::uint8_t> 新建BMP(int 宽度, int 高度) {
    const std::size_t 行字节 = static_cast<std::size_t>(BMP行字节数(宽度));
    const std::size_t 文件大小 = 54 + 行字节 * static_cast<std::size_t>(高度);
    std::vector<std::uint8_t> 文件(文件大小, 0);
    std::uint8_t* p = 文件.data();
    p[0] = 'B';
    p[1] = 'M';
    写32(p + 2, static_cast<std::uint32_t>(文件大小));
    写32(p + 10, 54);
    写32(p + 14, 40);
    写32(p + 18, static_cast<std::uint32_t>(宽度));
    写32(p + 22, static_cast<std::uint32_t>(高度));  // positive: bottom-up rows
    写16(p + 26, 1);
    写16(p + 28, 24);
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

// Pixel row y of the picture sits at file row H - 1 - y.
std::uint8_t* 像素行(std::vector<std::uint8_t>& 文件, int 高度, std::size_t 行字节, std::int64_t y) {
    return 文件.data() + 54 + static_cast<std::size_t>(高度 - 1 - y) * 行字节;
}

}  // namespace

缩放 计算缩放(int 模块数, std::int64_t 宽度, std::int64_t 高度) {
    const std::int64_t q = 模块数 + 4;
    缩放 z{};
    z.输出宽 = std::max(宽度, q);
    z.输出高 = std::max(高度, q);
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

std::vector<std::uint8_t> 绘制二维码图片(const 字节矩阵类& 符号, int 宽度, int 高度, std::uint32_t 背景颜色,
                                         std::uint32_t 前景颜色) {
    std::vector<std::uint8_t> 文件 = 新建BMP(宽度, 高度);
    const std::size_t 行字节 = static_cast<std::size_t>(BMP行字节数(宽度));
    const 像素 背景 = 颜色(背景颜色);
    const 像素 前景 = 颜色(前景颜色);
    const int n = 符号.取宽度();
    const 缩放 z = 计算缩放(n, 宽度, 高度);
    const std::int64_t s = z.模块像素;

    // A background row, copied to every pixel row first drawn.
    std::vector<std::uint8_t> 背景行(行字节, 0);
    填充(背景行.data(), 0, 宽度, 背景);

    for (std::int64_t y = 0; y < 高度;) {
        const std::int64_t 模块行 = y < z.上 ? -1 : (y - z.上) / s;
        std::int64_t 止 = 高度;  // first pixel row after this band
        std::uint8_t* 行 = 像素行(文件, 高度, 行字节, y);
        std::memcpy(行, 背景行.data(), 行字节);
        if (模块行 < 0) {
            止 = std::min<std::int64_t>(高度, z.上);
        } else if (模块行 < n) {
            止 = std::min<std::int64_t>(高度, z.上 + (模块行 + 1) * s);
            const std::uint8_t* 符号行 = 符号.行(static_cast<int>(模块行));
            for (int x = 0; x < n;) {
                if (符号行[x] != 1) {
                    ++x;
                    continue;
                }
                int 段止 = x + 1;
                while (段止 < n && 符号行[段止] == 1) ++段止;
                const std::int64_t 起 = std::min<std::int64_t>(宽度, z.左 + x * s);
                const std::int64_t 终 = std::min<std::int64_t>(宽度, z.左 + 段止 * s);
                填充(行, 起, 终, 前景);
                x = 段止;
            }
        }
        // The rest of the band repeats this row.
        for (std::int64_t yy = y + 1; yy < 止; ++yy) std::memcpy(像素行(文件, 高度, 行字节, yy), 行, 行字节);
        y = 止;
    }
    return 文件;
}

}  // namespace 内部
}  // namespace qr

#include "qr/facade.h"

#include <limits>
#include <string>

#include "qr/picture.h"
#include "qr/report.h"

namespace qr {
namespace {

struct 模块状态 {
    std::string 来源 = "二维码模块";
    二维码类 二维码;
    内部::位行符号 符号;  // the last symbol, packed
    std::uint32_t 背景颜色 = 0xFFFFFF;
    std::uint32_t 前景颜色 = 0;
};
模块状态 g_模块;

// True when the text holds anything besides U+0020 and U+3000 (E3 80 80).
bool 有内容(std::string_view 文本) {
    for (std::size_t i = 0; i < 文本.size();) {
        if (文本[i] == ' ') {
            ++i;
        } else if (文本.substr(i, 3) == "\xE3\x80\x80") {
            i += 3;
        } else {
            return true;
        }
    }
    return false;
}

// A BMP header holds the width in 32 signed bits and the file size in 32
// unsigned bits.
bool 可作BMP(std::int64_t 宽度, std::int64_t 高度) {
    const std::int64_t 最大文件 = std::numeric_limits<std::uint32_t>::max();
    return 宽度 <= std::numeric_limits<std::int32_t>::max() && BMP行字节数(宽度) <= (最大文件 - 54) / 高度;
}

// 1..4 for L, M, Q, H in any case; std::nullopt means L. Anything else
// reports.
int 级别序号(std::optional<std::string_view> 容错等级) {
    if (!容错等级) return 1;
    std::string 字母(*容错等级);
    for (char& c : 字母)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (字母 == "L") return 1;
    if (字母 == "M") return 2;
    if (字母 == "Q") return 3;
    if (字母 == "H") return 4;
    模块错误报告(g_模块.来源, "创建二维码", "容错等级必须为L、M、Q、H四个之一。");
}

}  // namespace

二维码符号 生成二维码符号(std::string_view 编码内容, std::optional<std::string_view> 容错等级) {
    if (!有内容(编码内容)) 模块错误报告(g_模块.来源, "编码", "没有编码内容");
    const int 序号 = 级别序号(容错等级);
    二维码类 二维码;
    内部::位行符号 符号;
    内部::编码到位行(编码内容, 二维码类::取容错级别_按索引(序号), 二维码, 符号);
    二维码符号 结果;
    结果.边长 = 符号.边长;
    结果.模块.resize(static_cast<std::size_t>(符号.边长) * static_cast<std::size_t>(符号.边长));
    for (int y = 0; y < 符号.边长; ++y)
        for (int x = 0; x < 符号.边长; ++x)
            结果.模块[static_cast<std::size_t>(y) * static_cast<std::size_t>(符号.边长) + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(符号.取(x, y));
    return 结果;
}

void 初始化二维码模块() {
    g_模块.来源 = "二维码模块";
    g_模块.二维码.模块启动();
}

const 二维码类& 取模块二维码() { return g_模块.二维码; }

std::vector<std::uint8_t> 创建二维码(std::string_view 编码内容, std::optional<std::string_view> 容错等级,
                                     std::int64_t 宽度, std::int32_t 高度, std::uint32_t 背景颜色,
                                     std::uint32_t 前景颜色) {
    g_模块.背景颜色 = 背景颜色;
    g_模块.前景颜色 = 前景颜色;
    if (!有内容(编码内容)) 模块错误报告(g_模块.来源, "编码", "没有编码内容");

    const int 序号 = 级别序号(容错等级);

    if (宽度 <= 0) 宽度 = 100;
    if (高度 <= 0) 高度 = 100;
    if (!可作BMP(宽度, 高度)) 模块错误报告(g_模块.来源, "创建二维码", "图片尺寸过大");

    内部::编码到位行(编码内容, 二维码类::取容错级别_按索引(序号), g_模块.二维码, g_模块.符号);
    // A picture too small for the symbol grows rather than crop it.
    std::int64_t 输出宽 = 宽度;
    std::int64_t 输出高 = 高度;
    内部::输出尺寸(g_模块.符号.边长, 输出宽, 输出高);
    if (!可作BMP(输出宽, 输出高)) 模块错误报告(g_模块.来源, "创建二维码", "图片尺寸过大");
    return 内部::绘制二维码图片(g_模块.符号, 宽度, 高度, g_模块.背景颜色, g_模块.前景颜色);
}

}  // namespace qr

#include "qr/matrix_builder.h"

#include <string>

#include "qr/mask.h"
#include "qr/report.h"
#include "qr/tables.h"

namespace qr {

std::vector<int> 取表行(const 整数表& 表, int 行) { return 表[static_cast<std::size_t>(行)]; }

int 无符号右移(int 值, int n) { return static_cast<int>(static_cast<unsigned>(值) >> n); }

namespace {

template <std::size_t H, std::size_t W>
整数表 整数表自(const int (&值)[H][W]) {
    整数表 表(H);
    for (std::size_t i = 0; i < H; ++i) 表[i].assign(值[i], 值[i] + W);
    return 表;
}

}  // namespace

const 图形表集& 矩阵应用类::共享图形表() {
    static const 图形表集 表集 = [] {
        constexpr int 探测图[7][7] = {{1, 1, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 0, 0, 1}, {1, 0, 1, 1, 1, 0, 1},
                                      {1, 0, 1, 1, 1, 0, 1}, {1, 0, 1, 1, 1, 0, 1}, {1, 0, 0, 0, 0, 0, 1},
                                      {1, 1, 1, 1, 1, 1, 1}};
        constexpr int 水平分割[1][8] = {{0, 0, 0, 0, 0, 0, 0, 0}};
        constexpr int 垂直分割[7][1] = {{0}, {0}, {0}, {0}, {0}, {0}, {0}};
        constexpr int 调整图[5][5] = {
            {1, 1, 1, 1, 1}, {1, 0, 0, 0, 1}, {1, 0, 1, 0, 1}, {1, 0, 0, 0, 1}, {1, 1, 1, 1, 1}};
        // (x, y) of format bit i next to the top-left finder pattern.
        constexpr int 类型坐标[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
                                         {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
        图形表集 s;
        s.位置探测图 = 整数表自(探测图);
        s.水平分割图 = 整数表自(水平分割);
        s.垂直分割图 = 整数表自(垂直分割);
        s.方位调整标识图 = 整数表自(调整图);
        // Seven columns a version, unused places -1.
        for (int v = 1; v <= 40; ++v) {
            const 表::方位调整坐标& c = 表::方位调整标识坐标[static_cast<std::size_t>(v)];
            std::vector<int> 行(7, -1);
            for (int i = 0; i < c.数; ++i) 行[static_cast<std::size_t>(i)] = c.值[static_cast<std::size_t>(i)];
            s.方位调整标识坐标表.push_back(std::move(行));
        }
        s.类型信息位坐标表 = 整数表自(类型坐标);
        return s;
    }();
    return 表集;
}

void 矩阵应用类::初始化图形表() { m_表 = &共享图形表(); }

void 矩阵应用类::构建矩阵(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, int 掩码,
                          字节矩阵类& 矩阵) const {
    清空矩阵(矩阵);
    插入基本图形(版本号, 矩阵);
    插入类型信息(级别, 掩码, 矩阵);
    插入版本信息(版本号, 矩阵);
    插入数据信息位(数据位, 掩码, 矩阵);
}

void 矩阵应用类::清空矩阵(字节矩阵类& 矩阵) const { 矩阵.清除(255); }

void 矩阵应用类::插入基本图形(int 版本号, 字节矩阵类& 矩阵) const {
    插入位置探测图和分割图(矩阵);
    左下角插入黑点(矩阵);
    // Alignment patterns go in before the timing patterns: the timing
    // patterns then leave the cells the alignment patterns took.
    插入全部方位调整标识(版本号, 矩阵);
    插入定位基线(矩阵);
}

void 矩阵应用类::插入位置探测图和分割图(字节矩阵类& 矩阵) const {
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    const int p = static_cast<int>(m_表->位置探测图.empty() ? 0 : m_表->位置探测图[0].size());
    const int s = static_cast<int>(m_表->水平分割图.empty() ? 0 : m_表->水平分割图[0].size());
    const int v = static_cast<int>(m_表->垂直分割图.size());
    插入位置探测图(0, 0, 矩阵);
    插入位置探测图(w - p, 0, 矩阵);
    插入位置探测图(0, w - p, 矩阵);
    插入水平分割图(0, s - 1, 矩阵);
    插入水平分割图(w - s, s - 1, 矩阵);
    插入水平分割图(0, w - s, 矩阵);
    插入垂直分割图(v, 0, 矩阵);
    插入垂直分割图(h - v - 1, 0, 矩阵);
    插入垂直分割图(v, h - v, 矩阵);
}

namespace {

bool 形状为(const 整数表& 表, std::size_t 行数, std::size_t 列数) {
    return 表.size() == 行数 && !表.empty() && 表[0].size() == 列数;
}

}  // namespace

void 矩阵应用类::插入位置探测图(int x起, int y起, 字节矩阵类& 矩阵) const {
    const 整数表& 图 = m_表->位置探测图;
    if (!形状为(图, 7, 7)) 模块错误报告(类名, "插入位置探测图", "方位检测标识异常，不是7*7矩阵。");
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 7; ++j) {
            if (!是否空值(矩阵.取值(x起 + j, y起 + i)))
                模块错误报告(类名, "插入位置探测图",
                             "方位检测标识异常，当前位置有空值。当前行索引：" + std::to_string(x起 + j + 1) +
                                 "；列索引：" + std::to_string(y起 + i + 1));
            矩阵.置值(x起 + j, y起 + i, 图[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
        }
    }
}

void 矩阵应用类::插入方位调整标识(int x起, int y起, 字节矩阵类& 矩阵) const {
    const 整数表& 图 = m_表->方位调整标识图;
    if (!形状为(图, 5, 5)) 模块错误报告(类名, "插入方位调整标识", "定位探测图矩阵维度不正确");
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            if (!是否空值(矩阵.取值(x起 + j, y起 + i))) 模块错误报告(类名, "插入方位调整标识", "值为空");
            矩阵.置值(x起 + j, y起 + i, 图[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
        }
    }
}

void 矩阵应用类::插入水平分割图(int x起, int y起, 字节矩阵类& 矩阵) const {
    const 整数表& 图 = m_表->水平分割图;
    if (!形状为(图, 1, 8)) 模块错误报告(类名, "插入水平分割图", "无效的水平分割图");
    for (int j = 0; j < 8; ++j) {
        if (!是否空值(矩阵.取值(x起 + j, y起)))
            模块错误报告(类名, "插入水平分割图",
                         "矩阵当前操作位数据不为空。i：" + std::to_string(j + 1) + "；x：" + std::to_string(x起) +
                             "；y：" + std::to_string(y起));
        矩阵.置值(x起 + j, y起, 图[0][static_cast<std::size_t>(j)]);
    }
}

void 矩阵应用类::插入垂直分割图(int x起, int y起, 字节矩阵类& 矩阵) const {
    const 整数表& 图 = m_表->垂直分割图;
    if (!形状为(图, 7, 1)) 模块错误报告(类名, "插入垂直分割图", "无效的垂直分割图");
    for (int i = 0; i < 7; ++i) {
        if (!是否空值(矩阵.取值(x起, y起 + i)))
            模块错误报告(类名, "插入垂直分割图",
                         "矩阵当前操作位数据不为空。i：" + std::to_string(i + 1) + "；x：" + std::to_string(x起) +
                             "；y：" + std::to_string(y起));
        矩阵.置值(x起, y起 + i, 图[static_cast<std::size_t>(i)][0]);
    }
}

void 矩阵应用类::左下角插入黑点(字节矩阵类& 矩阵) const {
    const int h = 矩阵.取高度();
    if (矩阵.取值(8, h - 8) == 0) 模块错误报告(类名, "左下角插入黑点", "空值");
    矩阵.置值(8, h - 8, 1);
}

void 矩阵应用类::插入全部方位调整标识(int 版本号, 字节矩阵类& 矩阵) const {
    if (版本号 < 2) return;
    const std::vector<int> 坐标 = 取表行(m_表->方位调整标识坐标表, 版本号 - 1);
    for (int y : 坐标) {
        for (int x : 坐标) {
            if (y == -1 || x == -1) continue;
            // The three centres on finder patterns are not empty: skipped.
            if (是否空值(矩阵.取值(x, y))) 插入方位调整标识(x - 2, y - 2, 矩阵);
        }
    }
}

void 矩阵应用类::插入定位基线(字节矩阵类& 矩阵) const {
    const int w = 矩阵.取宽度();
    for (int i = 8; i < w - 8; ++i) {
        const int 位 = (i + 1) % 2;
        if (!是否有效值(矩阵.取值(i, 6))) 模块错误报告(类名, "插入定位基线", "无效值");
        if (是否空值(矩阵.取值(i, 6))) 矩阵.置值(i, 6, 位);
    }
    for (int i = 8; i < w - 8; ++i) {
        const int 位 = (i + 1) % 2;
        if (!是否有效值(矩阵.取值(6, i))) 模块错误报告(类名, "插入定位基线", "无效值");
        if (是否空值(矩阵.取值(6, i))) 矩阵.置值(6, i, 位);
    }
}

int 矩阵应用类::取最高位位置(int 值) {
    int 计数 = 0;
    while (值 != 0) {
        值 = 无符号右移(值, 1);
        ++计数;
    }
    return 计数;
}

int 矩阵应用类::计算BCH码(int 值, int 生成多项式) {
    const int m = 取最高位位置(生成多项式);
    值 <<= m - 1;
    while (取最高位位置(值) >= m) 值 ^= 生成多项式 << (取最高位位置(值) - m);
    return 值;
}

void 矩阵应用类::标记类型信息位(const 容错级别类& 级别, int 掩码, 位向量类& 位) const {
    if (!二维码类::是否有效掩码(掩码)) 模块错误报告(类名, "标记类型信息位", "掩图无效");
    const int t = (级别.取格式位() << 3) | 掩码;
    位.追加多位(t, 5);
    位.追加多位(计算BCH码(t, 0x537), 10);
    位向量类 掩码位;
    掩码位.追加多位(0x5412, 15);
    位向量子类 异或器;
    异或器.置操作向量(位);
    位 = 异或器.异或(掩码位);
    if (位.取大小() != 15) 模块错误报告(类名, "标记类型信息位", "位向量长度不对。");
}

void 矩阵应用类::插入类型信息(const 容错级别类& 级别, int 掩码, 字节矩阵类& 矩阵) const {
    位向量类 位;
    标记类型信息位(级别, 掩码, 位);
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    const 整数表& 坐标 = m_表->类型信息位坐标表;
    for (int i = 0; i < 15; ++i) {
        const int b = 位.取位值(14 - i);  // least significant bit first
        矩阵.置值(坐标[static_cast<std::size_t>(i)][0], 坐标[static_cast<std::size_t>(i)][1], b);
        if (i < 8) {
            矩阵.置值(w - i - 1, 8, b);
        } else {
            矩阵.置值(8, h - 7 + (i - 8), b);
        }
    }
}

void 矩阵应用类::标记版本信息位(int 版本号, 位向量类& 位) const {
    位.追加多位(版本号, 6);
    位.追加多位(计算BCH码(版本号, 0x1F25), 12);
    if (位.取大小() != 18) 模块错误报告(类名, "标记版本信息位", "版本信息不为18位");
}

void 矩阵应用类::插入版本信息(int 版本号, 字节矩阵类& 矩阵) const {
    if (版本号 < 7) return;
    位向量类 位;
    标记版本信息位(版本号, 位);
    const int h = 矩阵.取高度();
    int k = 17;
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int b = 位.取位值(k--);
            矩阵.置值(i, h - 11 + j, b);
            矩阵.置值(h - 11 + j, i, b);
        }
    }
}

void 矩阵应用类::插入数据信息位(const 位向量类& 数据位, int 掩码, 字节矩阵类& 矩阵) const {
    const 掩码辅助类 辅助;
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    const int 位数 = 数据位.取大小();
    int k = 0;
    int d = -1;
    int x = w - 1;
    int y = h - 1;
    while (x > 0) {
        if (x == 6) x = 5;  // the vertical timing pattern's column
        while (y >= 0 && y < h) {
            for (int xx = x; xx >= x - 1; --xx) {
                if (!是否空值(矩阵.取值(xx, y))) continue;
                int b = 0;
                if (k < 位数) b = 数据位.取位值(k++);
                if (辅助.取数据掩码位(掩码, xx, y)) b ^= 1;
                矩阵.置值(xx, y, b);
            }
            y += d;
        }
        d = -d;
        y += d;
        x -= 2;
    }
    if (k != 位数)
        模块错误报告(类名, "插入数据信息位",
                     "数据位未被全部填充，n：" + std::to_string(k) + "；位向量大小：" + std::to_string(位数));
}

}  // namespace qr

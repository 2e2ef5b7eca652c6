#include "qr/mask.h"

#include "qr/report.h"

namespace qr {

bool 掩码辅助类::取数据掩码位(int 掩码, int x, int y) const {
    if (掩码 < 0 || 掩码 > 7) 模块错误报告(类名, "取数据掩码位", "掩图无效。");
    return 掩码反转(掩码, x, y);
}

int 掩码辅助类::取惩罚分_规则1(const 字节矩阵类& 矩阵) const {
    return 取惩罚分_规则1_按方向(矩阵, true) + 取惩罚分_规则1_按方向(矩阵, false);
}

int 掩码辅助类::取惩罚分_规则1_按方向(const 字节矩阵类& 矩阵, bool 水平) const {
    const int 线数 = 水平 ? 矩阵.取高度() : 矩阵.取宽度();
    const int 线长 = 水平 ? 矩阵.取宽度() : 矩阵.取高度();
    int 罚分 = 0;
    int 游程 = 0;
    int 前值 = -1;
    for (int i = 0; i < 线数; ++i) {
        for (int j = 0; j < 线长; ++j) {
            const int 值 = 水平 ? 矩阵.取值(j, i) : 矩阵.取值(i, j);
            if (值 == 前值) {
                ++游程;
                if (游程 == 5) {
                    罚分 += 3;
                } else if (游程 > 5) {
                    罚分 += 1;
                }
            } else {
                游程 = 1;
                前值 = 值;
            }
        }
        // The previous value carries into the next line; with the run back
        // at 0 the line's first cell still starts a run of 1.
        游程 = 0;
    }
    return 罚分;
}

int 掩码辅助类::取惩罚分_规则2(const 字节矩阵类& 矩阵) const {
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    int 罚分 = 0;
    for (int x = 0; x < w - 1; ++x) {
        for (int y = 0; y < h - 1; ++y) {
            const int v = 矩阵.取值(x, y);
            if (v == 矩阵.取值(x + 1, y) && v == 矩阵.取值(x, y + 1) && v == 矩阵.取值(x + 1, y + 1)) 罚分 += 3;
        }
    }
    return 罚分;
}

int 掩码辅助类::取惩罚分_规则3(const 字节矩阵类& 矩阵) const {
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    static constexpr int 图样[7] = {1, 0, 1, 1, 1, 0, 1};
    auto 横 = [&](int x, int y) { return static_cast<int>(矩阵.取值(x, y)); };
    auto 纵 = [&](int x, int y) { return static_cast<int>(矩阵.取值(y, x)); };
    // Along a line: position p of line q; n is the line length.
    auto 检查 = [&](auto 取, int p, int q, int n) {
        if (p + 6 >= n) return false;
        for (int k = 0; k < 7; ++k)
            if (取(p + k, q) != 图样[k]) return false;
        bool 后空 = p + 10 < n;
        for (int k = 7; 后空 && k <= 10; ++k) 后空 = 取(p + k, q) == 0;
        bool 前空 = p - 4 >= 0;
        for (int k = 1; 前空 && k <= 4; ++k) 前空 = 取(p - k, q) == 0;
        return 后空 || 前空;
    };
    int 罚分 = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (检查(横, x, y, w)) 罚分 += 40;
            if (检查(纵, y, x, h)) 罚分 += 40;
        }
    }
    return 罚分;
}

int 掩码辅助类::规则4分(long long 深色数, long long 总数) {
    // The dark share is taken in single precision and only then scaled in
    // double; exactly 40 % thereby lands just above 0.4 and scores 10.
    const float 比例 = static_cast<float>(static_cast<double>(深色数) / static_cast<double>(总数));
    const double t = static_cast<double>(比例) * 100.0 - 50.0;
    long long 偏差 = static_cast<long long>(t);
    if (偏差 < 0) 偏差 = -偏差;
    return static_cast<int>(偏差 / 5 * 10);
}

int 掩码辅助类::取惩罚分_规则4(const 字节矩阵类& 矩阵) const {
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    long long 深色 = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) 深色 += 矩阵.取值(x, y) == 1;
    return 规则4分(深色, static_cast<long long>(w) * h);
}

}  // namespace qr

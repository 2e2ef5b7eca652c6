#include "qr/fast_mask.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "qr/mask.h"
#include "qr/matrix_builder.h"
#include "qr/report.h"

namespace qr::内部 {
namespace {

// A line of up to 64 * W modules; bit x of the line is module x.
template <int W>
struct Line {
    std::uint64_t w[W];
};

template <int W>
inline Line<W> operator&(const Line<W>& a, const Line<W>& b) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] & b.w[i];
    return r;
}
template <int W>
inline Line<W> operator|(const Line<W>& a, const Line<W>& b) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] | b.w[i];
    return r;
}
template <int W>
inline Line<W> operator^(const Line<W>& a, const Line<W>& b) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] ^ b.w[i];
    return r;
}
template <int W>
inline Line<W> operator~(const Line<W>& a) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = ~a.w[i];
    return r;
}
// Bit x of the result is bit x + K of a (looks K modules ahead).
template <int K, int W>
inline Line<W> ahead(const Line<W>& a) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = (a.w[i] >> K) | (i + 1 < W ? a.w[i + 1] << (64 - K) : 0);
    return r;
}
// Bit x of the result is bit x - K of a (looks K modules back).
template <int K, int W>
inline Line<W> back(const Line<W>& a) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = (a.w[i] << K) | (i > 0 ? a.w[i - 1] >> (64 - K) : 0);
    return r;
}
template <int W>
inline int popcount(const Line<W>& a) {
    int n = 0;
    for (int i = 0; i < W; ++i) n += std::popcount(a.w[i]);
    return n;
}
template <int W>
inline bool any(const Line<W>& a) {
    std::uint64_t o = 0;
    for (int i = 0; i < W; ++i) o |= a.w[i];
    return o != 0;
}
// Bits 0 .. n - 1 (none for n <= 0).
template <int W>
inline Line<W> lowBits(int n) {
    Line<W> r;
    for (int i = 0; i < W; ++i) {
        const int k = n - 64 * i;
        r.w[i] = k <= 0 ? 0 : k >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << k) - 1;
    }
    return r;
}
template <int W>
inline void setBit(Line<W>& a, int x) {
    a.w[x >> 6] |= std::uint64_t{1} << (x & 63);
}
template <int W>
inline bool getBit(const Line<W>& a, int x) {
    return (a.w[x >> 6] >> (x & 63)) & 1;
}

// Masks of one direction of `length` modules.
template <int W>
struct LineMasks {
    Line<W> pairs;     // x <= length - 2: x and x + 1 inside
    Line<W> finder;    // x <= length - 7: 1011101 fits from x
    Line<W> after;     // x <= length - 11: four cells after it fit
    Line<W> before;    // x >= 4: four cells before it fit
    explicit LineMasks(int length)
        : pairs(lowBits<W>(length - 1)),
          finder(lowBits<W>(length - 6)),
          after(lowBits<W>(length - 10)),
          before(lowBits<W>(length) & ~lowBits<W>(4)) {}
};

struct Tally {
    int rule1 = 0;   // already in penalty points
    int blocks = 0;  // rule 2 blocks
    int finders = 0; // rule 3 patterns
    long long dark = 0;
};

// Rules 1 and 3 along one line.
template <int W>
inline void scoreLine(const Line<W>& r, const LineMasks<W>& m, Tally& t) {
    // A run of n >= 5 equal modules has n - 4 starts of five equal modules
    // in a row and costs n - 2: one point per such start plus two per run.
    const Line<W> eq = ~(r ^ ahead<1>(r)) & m.pairs;
    const Line<W> five = eq & ahead<1>(eq) & ahead<2>(eq) & ahead<3>(eq);
    if (any(five)) t.rule1 += popcount(five) + 2 * popcount(five & ~back<1>(five));
    const Line<W> nr = ~r;
    const Line<W> pattern = r & ahead<1>(nr) & ahead<2>(r) & ahead<3>(r) & ahead<4>(r) & ahead<5>(nr) &
                            ahead<6>(r) & m.finder;
    if (any(pattern)) {
        const Line<W> after = ahead<7>(nr) & ahead<8>(nr) & ahead<9>(nr) & ahead<10>(nr) & m.after;
        const Line<W> before = back<1>(nr) & back<2>(nr) & back<3>(nr) & back<4>(nr) & m.before;
        t.finders += popcount(pattern & (after | before));
    }
}

// rows: h lines of w modules; cols: w lines of h modules (the same cells).
template <int W>
int score(const Line<W>* rows, const Line<W>* cols, int w, int h) {
    Tally t;
    const LineMasks<W> rowMasks(w);
    const LineMasks<W> colMasks(h);
    for (int y = 0; y < h; ++y) {
        scoreLine(rows[y], rowMasks, t);
        t.dark += popcount(rows[y]);
        if (y + 1 < h) {
            const Line<W> same = ~(rows[y] ^ rows[y + 1]);
            t.blocks += popcount(same & ahead<1>(same) & ~(rows[y] ^ ahead<1>(rows[y])) & rowMasks.pairs);
        }
    }
    for (int x = 0; x < w; ++x) scoreLine(cols[x], colMasks, t);
    return t.rule1 + 3 * t.blocks + 40 * t.finders +
           掩码辅助类::规则4分(t.dark, static_cast<long long>(w) * h);
}

// Every mask repeats with period 12 along both axes (periods 2, 3, 4 and
// 6), so lines of mask pattern are kept per residue.
struct MaskPatterns {
    // [mask][y mod 12]: bit x set where row y is inverted.
    std::array<std::array<Line<3>, 12>, 8> rows{};
    // [mask][x mod 12]: bit y set where column x is inverted.
    std::array<std::array<Line<3>, 12>, 8> cols{};
};

const MaskPatterns& maskPatterns() {
    static const MaskPatterns p = [] {
        MaskPatterns m;
        const 掩码辅助类 辅助;
        for (int k = 0; k < 8; ++k)
            for (int r = 0; r < 12; ++r)
                for (int i = 0; i < 192; ++i) {
                    if (辅助.取数据掩码位(k, i, r)) setBit(m.rows[k][r], i);
                    if (辅助.取数据掩码位(k, r, i)) setBit(m.cols[k][r], i);
                }
        return m;
    }();
    return p;
}

template <int W>
inline Line<W> narrow(const Line<3>& a) {
    Line<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i];
    return r;
}

struct FormatCell {
    int x, y, bit;  // bit index 0..14 of the format vector, LSB first
};

template <int W>
int chooseAndBuild(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵) {
    const int n = 矩阵.取宽度();
    const 矩阵应用类 应用;
    // Everything but the data: the same steps 构建矩阵 takes before the
    // data placement (format bits of any mask mark their cells as taken).
    应用.清空矩阵(矩阵);
    应用.插入基本图形(版本号, 矩阵);
    应用.插入类型信息(级别, 0, 矩阵);
    应用.插入版本信息(版本号, 矩阵);

    std::vector<FormatCell> 格式格;
    格式格.reserve(30);
    {
        const 整数表& 坐标 = 矩阵应用类::共享图形表().类型信息位坐标表;
        for (int i = 0; i < 15; ++i) {
            格式格.push_back({坐标[static_cast<std::size_t>(i)][0], 坐标[static_cast<std::size_t>(i)][1], i});
            if (i < 8) {
                格式格.push_back({n - i - 1, 8, i});
            } else {
                格式格.push_back({8, n - 7 + (i - 8), i});
            }
        }
    }

    // fixed: dark function modules; data: unmasked data bits; area: data cells.
    std::vector<Line<W>> buf(static_cast<std::size_t>(n) * 8, Line<W>{});
    Line<W>* fixedRows = buf.data();
    Line<W>* fixedCols = fixedRows + n;
    Line<W>* dataRows = fixedCols + n;
    Line<W>* dataCols = dataRows + n;
    Line<W>* areaRows = dataCols + n;
    Line<W>* areaCols = areaRows + n;
    Line<W>* rows = areaCols + n;
    Line<W>* cols = rows + n;

    for (int y = 0; y < n; ++y) {
        const std::uint8_t* 行 = 矩阵.行(y);
        for (int x = 0; x < n; ++x)
            if (行[x] == 1) {
                setBit(fixedRows[y], x);
                setBit(fixedCols[x], y);
            }
    }
    for (const FormatCell& f : 格式格) {
        fixedRows[f.y].w[f.x >> 6] &= ~(std::uint64_t{1} << (f.x & 63));
        fixedCols[f.x].w[f.y >> 6] &= ~(std::uint64_t{1} << (f.y & 63));
    }

    // The zig-zag walk of 插入数据信息位 over the cells still empty.
    const int 位数 = 数据位.取大小();
    const std::uint8_t* 位 = 数据位.数据();
    int k = 0;
    int d = -1;
    int x = n - 1;
    int y = n - 1;
    while (x > 0) {
        if (x == 6) x = 5;
        while (y >= 0 && y < n) {
            const std::uint8_t* 行 = 矩阵.行(y);
            for (int xx = x; xx >= x - 1; --xx) {
                if (行[xx] != 255) continue;
                setBit(areaRows[y], xx);
                setBit(areaCols[xx], y);
                if (k < 位数) {
                    if ((位[k >> 3] >> (7 - (k & 7))) & 1) {
                        setBit(dataRows[y], xx);
                        setBit(dataCols[xx], y);
                    }
                    ++k;
                }
            }
            y += d;
        }
        d = -d;
        y += d;
        x -= 2;
    }
    if (k != 位数)
        模块错误报告(矩阵应用类::类名, "插入数据信息位",
                     "数据位未被全部填充，n：" + std::to_string(k) + "；位向量大小：" + std::to_string(位数));

    const MaskPatterns& 图样 = maskPatterns();
    auto compose = [&](int m) {
        for (int i = 0; i < n; ++i) {
            rows[i] = fixedRows[i] | (dataRows[i] ^ (narrow<W>(图样.rows[m][i % 12]) & areaRows[i]));
            cols[i] = fixedCols[i] | (dataCols[i] ^ (narrow<W>(图样.cols[m][i % 12]) & areaCols[i]));
        }
        位向量类 格式位;
        应用.标记类型信息位(级别, m, 格式位);
        for (const FormatCell& f : 格式格) {
            if (格式位.取位值(14 - f.bit)) {
                setBit(rows[f.y], f.x);
                setBit(cols[f.x], f.y);
            }
        }
    };

    int 最佳 = -1;
    int 最低 = 2147483647;
    for (int m = 0; m < 8; ++m) {
        compose(m);
        const int p = score<W>(rows, cols, n, n);
        if (p < 最低) {
            最低 = p;
            最佳 = m;
        }
    }

    compose(最佳);
    for (int yy = 0; yy < n; ++yy) {
        std::uint8_t* 行 = 矩阵.行(yy);
        for (int xx = 0; xx < n; ++xx) 行[xx] = static_cast<std::uint8_t>(getBit(rows[yy], xx));
    }
    return 最佳;
}

template <int W>
int scoreMatrix(const 字节矩阵类& 矩阵) {
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    std::vector<Line<W>> rows(static_cast<std::size_t>(h), Line<W>{});
    std::vector<Line<W>> cols(static_cast<std::size_t>(w), Line<W>{});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (矩阵.取值(x, y) == 1) {
                setBit(rows[static_cast<std::size_t>(y)], x);
                setBit(cols[static_cast<std::size_t>(x)], y);
            }
    return score<W>(rows.data(), cols.data(), w, h);
}

}  // namespace

int 选择掩码并构建(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵) {
    const int n = 矩阵.取宽度();
    if (n <= 64) return chooseAndBuild<1>(数据位, 级别, 版本号, 矩阵);
    if (n <= 128) return chooseAndBuild<2>(数据位, 级别, 版本号, 矩阵);
    return chooseAndBuild<3>(数据位, 级别, 版本号, 矩阵);
}

int 快速掩码惩罚(const 字节矩阵类& 矩阵) {
    const int n = std::max(矩阵.取宽度(), 矩阵.取高度());
    if (n <= 64) return scoreMatrix<1>(矩阵);
    if (n <= 128) return scoreMatrix<2>(矩阵);
    return scoreMatrix<3>(矩阵);
}

}  // namespace qr::内部

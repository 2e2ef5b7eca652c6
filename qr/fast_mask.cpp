#include "qr/fast_mask.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "qr/cpu_features.h"
#include "qr/mask.h"
#include "qr/matrix_builder.h"
#include "qr/report.h"
#include "qr/tables.h"

#if defined(__GNUC__) || defined(__clang__)
#define QR_INLINE [[gnu::always_inline]] inline
#else
#define QR_INLINE inline
#endif

// Builds for x86 with GCC or Clang carry a second copy of the scorer that
// uses the POPCNT instruction; it runs only where the processor has it.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define QR_HARDWARE_POPCOUNT 1
#define QR_POPCNT_FUNCTION __attribute__((target("popcnt")))
#endif

namespace qr::内部 {
namespace {

using u64 = std::uint64_t;
constexpr int 最大边长 = 177;
constexpr int 最大行数 = 192;  // the scorer's row limit

// A line of up to 64 * W modules; bit x of the line is module x.
template <int W>
struct L {
    u64 w[W];
};

template <int W>
QR_INLINE L<W> operator&(const L<W>& a, const L<W>& b) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] & b.w[i];
    return r;
}
template <int W>
QR_INLINE L<W> operator|(const L<W>& a, const L<W>& b) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] | b.w[i];
    return r;
}
template <int W>
QR_INLINE L<W> operator^(const L<W>& a, const L<W>& b) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] ^ b.w[i];
    return r;
}
template <int W>
QR_INLINE L<W> operator~(const L<W>& a) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = ~a.w[i];
    return r;
}
// a & ~b
template <int W>
QR_INLINE L<W> andNot(const L<W>& a, const L<W>& b) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = a.w[i] & ~b.w[i];
    return r;
}
// Bit x of the result is bit x + K of a (looks K modules ahead).
template <int K, int W>
QR_INLINE L<W> ahead(const L<W>& a) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = (a.w[i] >> K) | (i + 1 < W ? a.w[i + 1] << (64 - K) : 0);
    return r;
}
// Bit x of the result is bit x - K of a (looks K modules back).
template <int K, int W>
QR_INLINE L<W> back(const L<W>& a) {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = (a.w[i] << K) | (i > 0 ? a.w[i - 1] >> (64 - K) : 0);
    return r;
}
template <int W>
QR_INLINE bool any(const L<W>& a) {
    u64 o = 0;
    for (int i = 0; i < W; ++i) o |= a.w[i];
    return o != 0;
}
template <int W>
QR_INLINE L<W> zero() {
    L<W> r;
    for (int i = 0; i < W; ++i) r.w[i] = 0;
    return r;
}
// Bits 0 .. n - 1 (none for n <= 0).
template <int W>
QR_INLINE L<W> lowBits(int n) {
    L<W> r;
    for (int i = 0; i < W; ++i) {
        const int k = n - 64 * i;
        r.w[i] = k <= 0 ? 0 : k >= 64 ? ~u64{0} : (u64{1} << k) - 1;
    }
    return r;
}
// Bits x0 .. x1.
template <int W>
QR_INLINE L<W> span(int x0, int x1) {
    return andNot(lowBits<W>(x1 + 1), lowBits<W>(x0));
}
template <int W>
QR_INLINE void setBit(L<W>* rows, int x, int y) {
    rows[y].w[x >> 6] |= u64{1} << (x & 63);
}

// Set bits counted without the POPCNT instruction.
struct 通用计数 {
    QR_INLINE static int 数(u64 x) {
        x = x - ((x >> 1) & 0x5555555555555555ULL);
        x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
        return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
    }
};
// The compiler's count: one instruction inside a function compiled for
// POPCNT.
struct 硬件计数 {
    QR_INLINE static int 数(u64 x) { return std::popcount(x); }
};

template <class C, int W>
QR_INLINE int 计数(const L<W>& a) {
    int n = 0;
    for (int i = 0; i < W; ++i) n += C::数(a.w[i]);
    return n;
}

// The four rules over h rows of w modules, stopping as soon as the sum
// reaches 上限 (the result is then some value >= 上限). Along a row, lines
// are shifted against themselves; along the columns, neighbouring rows are
// combined, which covers every column of a row at once.
template <int W, class C>
QR_INLINE int 计分(const L<W>* r, int w, int h, int 上限) {
    const L<W> 列 = lowBits<W>(w);                // x < w
    const L<W> 成对 = lowBits<W>(w - 1);          // x and x + 1 inside
    const L<W> 图样 = lowBits<W>(w - 6);          // 1011101 fits from x
    const L<W> 之后 = lowBits<W>(w - 10);         // and four modules after it
    const L<W> 之前 = andNot(列, lowBits<W>(4));  // four modules before x
    // 同[y]: the column has equal modules in rows y and y + 1;
    // 空[y]: light in rows y .. y + 3.
    L<W> 同[最大行数];
    L<W> 空[最大行数];
    long long 深色 = 0;
    for (int y = 0; y < h; ++y) {
        深色 += 计数<C>(r[y]);
        if (y + 1 < h) 同[y] = andNot(列, r[y] ^ r[y + 1]);
        if (y + 3 < h) 空[y] = andNot(列, r[y] | r[y + 1] | r[y + 2] | r[y + 3]);
    }
    int p = 掩码辅助类::规则4分(深色, static_cast<long long>(w) * h);
    if (p >= 上限) return p;

    L<W> 前五 = zero<W>();
    for (int y = 0; y < h; ++y) {
        const L<W> x = r[y];
        const L<W> a1 = ahead<1>(x);
        // A run of n >= 5 equal modules has n - 4 starts of five equal
        // modules in a row and costs n - 2: one point per such start plus
        // two per run.
        const L<W> 等 = andNot(成对, x ^ a1);
        const L<W> 等2 = 等 & ahead<1>(等);
        const L<W> 五 = 等2 & ahead<2>(等2);
        if (any(五)) p += 计数<C>(五) + 2 * 计数<C>(andNot(五, back<1>(五)));
        // 1011101: dark at x, x + 2 .. x + 4 and x + 6, light at x + 1 and
        // x + 5.
        const L<W> 三 = x & a1 & ahead<2>(x);
        const L<W> 形 = andNot(andNot(x, a1) & ahead<2>(三) & ahead<6>(x), ahead<5>(x)) & 图样;
        if (any(形)) {
            const L<W> 空2 = ~(x | a1);
            const L<W> 空4 = 空2 & ahead<2>(空2);
            p += 40 * 计数<C>(形 & ((ahead<7>(空4) & 之后) | (back<4>(空4) & 之前)));
        }
        if (y + 1 < h) p += 3 * 计数<C>(同[y] & ahead<1>(同[y]) & 等);
        if (y + 4 < h) {
            const L<W> 纵五 = 同[y] & 同[y + 1] & 同[y + 2] & 同[y + 3];
            if (any(纵五)) p += 计数<C>(纵五) + 2 * 计数<C>(andNot(纵五, 前五));
            前五 = 纵五;
        }
        if (y + 6 < h) {
            const L<W> 纵形 = andNot(andNot(x & r[y + 2] & r[y + 3] & r[y + 4] & r[y + 6], r[y + 1]), r[y + 5]);
            if (any(纵形)) {
                L<W> 留空 = zero<W>();
                if (y + 10 < h) 留空 = 空[y + 7];
                if (y >= 4) 留空 = 留空 | 空[y - 4];
                p += 40 * 计数<C>(纵形 & 留空);
            }
        }
        if (p >= 上限) return p;
    }
    return p;
}

// Every mask repeats with period 12 down the rows (periods 2, 4 and 6):
// [mask][y mod 12] holds bit x set where row y is inverted.
using 图样行 = std::array<u64, 3>;
constexpr std::array<std::array<图样行, 12>, 8> k掩码图样 = [] {
    std::array<std::array<图样行, 12>, 8> t{};
    for (int m = 0; m < 8; ++m)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 192; ++x)
                if (掩码反转(m, x, y))
                    t[static_cast<std::size_t>(m)][static_cast<std::size_t>(y)][static_cast<std::size_t>(x >> 6)] |=
                        u64{1} << (x & 63);
    return t;
}();

// (x, y) of format bit i next to the top-left finder pattern.
constexpr int k格式坐标[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
                                  {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};

struct 格式格 {
    int x, y, 位;
};

// The parts of a symbol that every mask shares.
template <int W>
struct 布局 {
    int n;
    L<W> 固定[最大边长];  // dark function modules (format bits not included)
    L<W> 数据[最大边长];  // data bits before masking
    L<W> 区域[最大边长];  // data cells
    std::array<格式格, 30> 格式;
};

template <int W>
void 建立布局(const std::uint8_t* 数据, int 位数, int 版本号, 布局<W>& b) {
    const int n = 17 + 4 * 版本号;
    b.n = n;
    L<W> 功能[最大边长];
    for (int y = 0; y < n; ++y) 功能[y] = b.固定[y] = b.数据[y] = zero<W>();
    L<W>* 固定 = b.固定;

    // Finder patterns with their separators, and the format areas.
    for (int y = 0; y <= 8; ++y) 功能[y] = span<W>(0, 8) | span<W>(n - 8, n - 1);
    for (int y = n - 8; y < n; ++y) 功能[y] = span<W>(0, 8);
    const int 原点[3][2] = {{0, 0}, {n - 7, 0}, {0, n - 7}};
    for (const auto& o : 原点) {
        const int ox = o[0], oy = o[1];
        固定[oy] = 固定[oy] | span<W>(ox, ox + 6);
        固定[oy + 6] = 固定[oy + 6] | span<W>(ox, ox + 6);
        for (int k = 1; k <= 5; ++k) 固定[oy + k] = 固定[oy + k] | span<W>(ox, ox) | span<W>(ox + 6, ox + 6);
        for (int k = 2; k <= 4; ++k) 固定[oy + k] = 固定[oy + k] | span<W>(ox + 2, ox + 4);
    }
    setBit(固定, 8, n - 8);  // the dark module

    // Timing patterns.
    功能[6] = 功能[6] | lowBits<W>(n);
    for (int y = 0; y < n; ++y) setBit(功能, 6, y);
    for (int i = 8; i <= n - 9; i += 2) {
        setBit(固定, i, 6);
        setBit(固定, 6, i);
    }

    // Alignment patterns, except the three that would sit on finders.
    const 表::方位调整坐标& 中心 = 表::方位调整标识坐标[static_cast<std::size_t>(版本号)];
    for (int i = 0; i < 中心.数; ++i)
        for (int j = 0; j < 中心.数; ++j) {
            const int cx = 中心.值[static_cast<std::size_t>(j)];
            const int cy = 中心.值[static_cast<std::size_t>(i)];
            if ((cx <= 8 && cy <= 8) || (cx <= 8 && cy >= n - 9) || (cx >= n - 9 && cy <= 8)) continue;
            const L<W> 宽 = span<W>(cx - 2, cx + 2);
            const L<W> 边 = span<W>(cx - 2, cx - 2) | span<W>(cx + 2, cx + 2);
            for (int dy = -2; dy <= 2; ++dy) {
                功能[cy + dy] = 功能[cy + dy] | 宽;
                L<W> 值 = (dy == -2 || dy == 2) ? 宽 : 边;
                if (dy == 0) 值 = 值 | span<W>(cx, cx);
                固定[cy + dy] = andNot(固定[cy + dy], 宽) | 值;
            }
        }

    // Version information.
    if (版本号 >= 7) {
        const int v = 表::版本信息[static_cast<std::size_t>(版本号)];
        for (int j = 0; j < 3; ++j) 功能[n - 11 + j] = 功能[n - 11 + j] | span<W>(0, 5);
        for (int i = 0; i < 6; ++i) 功能[i] = 功能[i] | span<W>(n - 11, n - 9);
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 3; ++j)
                if ((v >> (3 * i + j)) & 1) {
                    setBit(固定, i, n - 11 + j);
                    setBit(固定, n - 11 + j, i);
                }
    }

    const L<W> 全行 = lowBits<W>(n);
    for (int y = 0; y < n; ++y) b.区域[y] = andNot(全行, 功能[y]);

    for (int i = 0; i < 15; ++i) {
        b.格式[static_cast<std::size_t>(2 * i)] = {k格式坐标[i][0], k格式坐标[i][1], i};
        b.格式[static_cast<std::size_t>(2 * i + 1)] = i < 8 ? 格式格{n - i - 1, 8, i} : 格式格{8, n - 15 + i, i};
    }

    // The data bits in the zig-zag order: column pairs from the right,
    // upwards first, the right cell of a pair before the left one, skipping
    // the vertical timing pattern's column. Cells beyond the bits stay 0.
    int 格数 = 0;
    for (int y = 0; y < n; ++y)
        for (int i = 0; i < W; ++i) 格数 += 通用计数::数(b.区域[y].w[i]);
    const int 读数 = std::min(位数, 格数);
    // The bits read as 64-bit words, most significant first, zero after
    // the last.
    u64 流[(最大边长 * 最大边长 + 63) / 64 + 1] = {};
    for (int j = 0; j < 读数 / 8; ++j) 流[j >> 3] |= u64{数据[j]} << (56 - 8 * (j & 7));
    if (读数 % 8 != 0) {
        const int j = 读数 / 8;
        流[j >> 3] |= u64{static_cast<std::uint8_t>(数据[j] & (0xFF00 >> (读数 % 8)))} << (56 - 8 * (j & 7));
    }
    int k = 0;
    bool 向上 = true;
    for (int x = n - 1; x > 0; x -= 2) {
        if (x == 6) x = 5;
        const int 右字 = x >> 6, 右位 = x & 63, 左字 = (x - 1) >> 6, 左位 = (x - 1) & 63;
        const int 步 = 向上 ? -1 : 1;
        for (int i = 0, y = 向上 ? n - 1 : 0; i < n; ++i, y += 步) {
            const u64* 区 = b.区域[y].w;
            u64* 数 = b.数据[y].w;
            if ((区[右字] >> 右位) & 1) {
                数[右字] |= ((流[k >> 6] >> (63 - (k & 63))) & 1) << 右位;
                ++k;
            }
            if ((区[左字] >> 左位) & 1) {
                数[左字] |= ((流[k >> 6] >> (63 - (k & 63))) & 1) << 左位;
                ++k;
            }
        }
        向上 = !向上;
    }
    if (位数 > 格数)
        模块错误报告(矩阵应用类::类名, "插入数据信息位",
                     "数据位未被全部填充，n：" + std::to_string(格数) + "；位向量大小：" + std::to_string(位数));
}

// The symbol with mask m into rows.
template <int W>
QR_INLINE void 组合(const 布局<W>& b, int m, int 格式值, L<W>* 行) {
    const auto& 图 = k掩码图样[static_cast<std::size_t>(m)];
    int k = 0;
    for (int y = 0; y < b.n; ++y) {
        L<W> p;
        for (int i = 0; i < W; ++i) p.w[i] = 图[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)];
        行[y] = b.固定[y] | (b.数据[y] ^ (p & b.区域[y]));
        if (++k == 12) k = 0;
    }
    for (const 格式格& g : b.格式)
        if ((格式值 >> g.位) & 1) setBit(行, g.x, g.y);
}

template <int W, class C>
QR_INLINE int 选择(const 布局<W>& b, int 格式位, L<W>* 行) {
    const auto& 格式值 = 表::格式信息[static_cast<std::size_t>(格式位)];
    int 最佳 = 0;
    int 最低 = INT_MAX;
    for (int m = 0; m < 8; ++m) {
        组合(b, m, 格式值[static_cast<std::size_t>(m)], 行);
        const int p = 计分<W, C>(行, b.n, b.n, 最低);
        if (p < 最低) {
            最低 = p;
            最佳 = m;
        }
    }
    组合(b, 最佳, 格式值[static_cast<std::size_t>(最佳)], 行);
    return 最佳;
}

// One plain function per line width and way of counting; the hardware ones
// are compiled for POPCNT.
int 通用选择(const 布局<1>& b, int f, L<1>* r) { return 选择<1, 通用计数>(b, f, r); }
int 通用选择(const 布局<2>& b, int f, L<2>* r) { return 选择<2, 通用计数>(b, f, r); }
int 通用选择(const 布局<3>& b, int f, L<3>* r) { return 选择<3, 通用计数>(b, f, r); }
int 通用计分(const L<1>* r, int w, int h) { return 计分<1, 通用计数>(r, w, h, INT_MAX); }
int 通用计分(const L<2>* r, int w, int h) { return 计分<2, 通用计数>(r, w, h, INT_MAX); }
int 通用计分(const L<3>* r, int w, int h) { return 计分<3, 通用计数>(r, w, h, INT_MAX); }
#ifdef QR_HARDWARE_POPCOUNT
QR_POPCNT_FUNCTION int 硬件选择(const 布局<1>& b, int f, L<1>* r) { return 选择<1, 硬件计数>(b, f, r); }
QR_POPCNT_FUNCTION int 硬件选择(const 布局<2>& b, int f, L<2>* r) { return 选择<2, 硬件计数>(b, f, r); }
QR_POPCNT_FUNCTION int 硬件选择(const 布局<3>& b, int f, L<3>* r) { return 选择<3, 硬件计数>(b, f, r); }
QR_POPCNT_FUNCTION int 硬件计分(const L<1>* r, int w, int h) { return 计分<1, 硬件计数>(r, w, h, INT_MAX); }
QR_POPCNT_FUNCTION int 硬件计分(const L<2>* r, int w, int h) { return 计分<2, 硬件计数>(r, w, h, INT_MAX); }
QR_POPCNT_FUNCTION int 硬件计分(const L<3>* r, int w, int h) { return 计分<3, 硬件计数>(r, w, h, INT_MAX); }
#endif

// 0 not yet decided, 1 hardware, 2 portable.
std::atomic<int> g_计数方式{0};

bool 用硬件计数() {
    int v = g_计数方式.load(std::memory_order_relaxed);
    if (v == 0) {
#ifdef QR_HARDWARE_POPCOUNT
        v = 处理器有位计数指令() ? 1 : 2;
#else
        v = 2;
#endif
        g_计数方式.store(v, std::memory_order_relaxed);
    }
    return v == 1;
}

template <int W>
int 选择(const 布局<W>& b, int 格式位, L<W>* 行) {
#ifdef QR_HARDWARE_POPCOUNT
    if (用硬件计数()) return 硬件选择(b, 格式位, 行);
#endif
    return 通用选择(b, 格式位, 行);
}

template <int W>
int 计分(const L<W>* r, int w, int h) {
#ifdef QR_HARDWARE_POPCOUNT
    if (用硬件计数()) return 硬件计分(r, w, h);
#endif
    return 通用计分(r, w, h);
}

template <int W>
int 执行(const std::uint8_t* 数据, int 位数, int 格式位, int 版本号, 位行符号& 符号) {
    布局<W> b;
    建立布局(数据, 位数, 版本号, b);
    L<W> 行[最大边长];
    const int 掩码 = 选择<W>(b, 格式位, 行);
    符号.边长 = b.n;
    for (int y = 0; y < b.n; ++y)
        for (int i = 0; i < 位行符号::行字数; ++i)
            符号.行[static_cast<std::size_t>(位行符号::行字数 * y + i)] = i < W ? 行[y].w[i] : 0;
    return 掩码;
}

template <int W>
int 矩阵计分(const 字节矩阵类& 矩阵) {
    const int w = 矩阵.取宽度();
    const int h = 矩阵.取高度();
    std::vector<L<W>> 行(static_cast<std::size_t>(h), zero<W>());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* 格 = 矩阵.行(y);
        for (int x = 0; x < w; ++x)
            if (格[x] == 1) setBit(行.data(), x, y);
    }
    return 计分<W>(行.data(), w, h);
}

// Byte i of entry b is bit i of b: eight modules to eight cells at once.
constexpr std::array<u64, 256> k展开 = [] {
    std::array<u64, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i)
            if ((b >> i) & 1) t[static_cast<std::size_t>(b)] |= u64{1} << (8 * i);
    return t;
}();

}  // namespace

int 布局并选择掩码(const std::uint8_t* 数据, int 位数, int 格式位, int 版本号, 位行符号& 符号) {
    const int n = 17 + 4 * 版本号;
    if (n <= 64) return 执行<1>(数据, 位数, 格式位, 版本号, 符号);
    if (n <= 128) return 执行<2>(数据, 位数, 格式位, 版本号, 符号);
    return 执行<3>(数据, 位数, 格式位, 版本号, 符号);
}

void 写入字节矩阵(const 位行符号& 符号, 字节矩阵类& 矩阵) {
    const int n = 符号.边长;
    if (矩阵.取宽度() != n || 矩阵.取高度() != n) 矩阵.初始化矩阵(n, n);
    for (int y = 0; y < n; ++y) {
        std::uint8_t* 格 = 矩阵.行(y);
        const u64* 行 = 符号.行.data() + 位行符号::行字数 * y;
        int x = 0;
        if constexpr (std::endian::native == std::endian::little) {
            for (; x + 8 <= n; x += 8) {
                const u64 v = k展开[(行[x >> 6] >> (x & 63)) & 0xFF];
                std::memcpy(格 + x, &v, 8);
            }
        }
        for (; x < n; ++x) 格[x] = static_cast<std::uint8_t>((行[x >> 6] >> (x & 63)) & 1);
    }
}

int 选择掩码并构建(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵) {
    位行符号 符号;
    const int 掩码 = 布局并选择掩码(数据位.数据(), 数据位.取大小(), 级别.取格式位(), 版本号, 符号);
    写入字节矩阵(符号, 矩阵);
    return 掩码;
}

int 快速掩码惩罚(const 字节矩阵类& 矩阵) {
    const int w = 矩阵.取宽度();
    if (w > 最大行数 || 矩阵.取高度() > 最大行数) return 编码类().计算掩码惩罚(矩阵);
    if (w <= 64) return 矩阵计分<1>(矩阵);
    if (w <= 128) return 矩阵计分<2>(矩阵);
    return 矩阵计分<3>(矩阵);
}

bool 选用位计数(位计数方式 方式) {
    switch (方式) {
        case 位计数方式::自动:
            g_计数方式.store(0, std::memory_order_relaxed);
            return true;
        case 位计数方式::通用:
            g_计数方式.store(2, std::memory_order_relaxed);
            return true;
        case 位计数方式::硬件:
#ifdef QR_HARDWARE_POPCOUNT
            if (!处理器有位计数指令()) return false;
            g_计数方式.store(1, std::memory_order_relaxed);
            return true;
#else
            return false;
#endif
    }
    return false;
}

位计数方式 当前位计数() { return 用硬件计数() ? 位计数方式::硬件 : 位计数方式::通用; }

}  // namespace qr::内部

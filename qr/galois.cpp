#include "qr/galois.h"

#include <algorithm>

#include "qr/report.h"

namespace qr {

GF256 QR域;

void GF256::初始化域(int 本原多项式) {
    m_标识 = "GF256:" + std::to_string(本原多项式);
    m_指数.fill(0);
    m_对数.fill(0);
    int x = 1;
    for (int i = 0; i < 256; ++i) {
        m_指数[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x);
        x <<= 1;
        if (x >= 256) x ^= 本原多项式;
    }
    for (int i = 0; i < 255; ++i) m_对数[m_指数[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(i);
}

int GF256::取对数(int a) const {
    if (a == 0) 模块错误报告();
    return m_对数[static_cast<std::size_t>(a)];
}

int GF256::取逆元(int a) const {
    if (a == 0) 模块错误报告();
    return m_指数[static_cast<std::size_t>(255 - m_对数[static_cast<std::size_t>(a)])];
}

int GF256::乘法(int a, int b) const {
    if (a == 0 || b == 0) return 0;
    if (a == 1) return b;
    if (b == 1) return a;
    return m_指数[static_cast<std::size_t>((m_对数[static_cast<std::size_t>(a)] + m_对数[static_cast<std::size_t>(b)]) %
                                           255)];
}

void GF多项式::初始化多项式(const GF256& 域, std::vector<int> 系数) {
    if (系数.empty()) 模块错误报告();
    m_域 = 域;
    if (系数.size() > 1 && 系数[0] == 0) {
        auto 首个非零 = std::find_if(系数.begin() + 1, 系数.end(), [](int c) { return c != 0; });
        if (首个非零 == 系数.end()) {
            m_系数 = 域.取零系数();
        } else {
            m_系数.assign(首个非零, 系数.end());
        }
    } else {
        m_系数 = std::move(系数);
    }
}

namespace {

GF多项式 多项式(const GF256& 域, std::vector<int> 系数) {
    GF多项式 p;
    p.初始化多项式(域, std::move(系数));
    return p;
}

}  // namespace

GF多项式 GFP::加或减(const GF多项式& 另) const {
    if (m_操作数.取域().取标识() != 另.取域().取标识()) 模块错误报告(类名, "加或减", "GF256信息不相同");
    if (m_操作数.是否为零()) return 另;
    if (另.是否为零()) return m_操作数;
    const std::vector<int>* 短 = &m_操作数.系数();
    const std::vector<int>* 长 = &另.系数();
    if (短->size() > 长->size()) std::swap(短, 长);
    std::vector<int> 和(*长);
    const std::size_t d = 长->size() - 短->size();
    for (std::size_t i = d; i < 长->size(); ++i) 和[i] = (*短)[i - d] ^ (*长)[i];
    return 多项式(m_操作数.取域(), std::move(和));
}

GF多项式 GFP::相乘(const GF多项式& 另) const {
    // The report names the addition's method, as the module always has.
    if (m_操作数.取域().取标识() != 另.取域().取标识()) 模块错误报告(类名, "加或减", "GF256信息不相同");
    const GF256& 域 = m_操作数.取域();
    if (m_操作数.是否为零() || 另.是否为零()) return 多项式(域, 域.取零系数());
    const std::vector<int>& a = m_操作数.系数();
    const std::vector<int>& b = 另.系数();
    std::vector<int> 积(a.size() + b.size() - 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) 积[i + j] ^= 域.乘法(a[i], b[j]);
    return 多项式(域, std::move(积));
}

GF多项式 GFP::叠加单项式(int 次数, int 系数) const {
    if (次数 < 0) 模块错误报告(类名, "叠加单项式", "维度小于0");
    const GF256& 域 = m_操作数.取域();
    if (系数 == 0) return 多项式(域, 域.取零系数());
    const std::vector<int>& a = m_操作数.系数();
    std::vector<int> 积(a.size() + static_cast<std::size_t>(次数), 0);
    for (std::size_t i = 0; i < a.size(); ++i) 积[i] = 域.乘法(a[i], 系数);
    return 多项式(域, std::move(积));
}

GF多项式 GFP::构造单项式(int 次数, int 系数) const {
    if (次数 < 0) 模块错误报告(类名, "构造单项式", "度小于0");
    const GF256& 域 = m_操作数.取域();
    if (系数 == 0) return 多项式(域, 域.取零系数());
    std::vector<int> c(static_cast<std::size_t>(次数) + 1, 0);
    c[0] = 系数;
    return 多项式(域, std::move(c));
}

void GFPP::分离(const GF多项式& 除数, std::vector<GF多项式>& 结果) const {
    const GF多项式 被除数 = m_运算器.取操作数();
    if (被除数.取域().取标识() != 除数.取域().取标识()) 模块错误报告(类名, "分离", "GF256不同");
    if (除数.是否为零()) 模块错误报告(类名, "分离", "除数为0");
    const GF256& 域 = 被除数.取域();
    GF多项式 商 = 多项式(域, 域.取零系数());
    GF多项式 余 = 被除数;
    const int 逆 = 域.取逆元(除数.取系数(除数.取次数()));
    GFP 除数运算;
    除数运算.置操作数(除数);
    GFP 运算;
    while (余.取次数() >= 除数.取次数() && !余.是否为零()) {
        const int e = 余.取次数() - 除数.取次数();
        const int s = 域.乘法(余.取系数(余.取次数()), 逆);
        const GF多项式 项 = 除数运算.叠加单项式(e, s);
        运算.置操作数(商);
        const GF多项式 单项 = 运算.构造单项式(e, s);
        商 = 运算.加或减(单项);
        运算.置操作数(余);
        余 = 运算.加或减(项);
    }
    结果.push_back(商);
    结果.push_back(余);
}

void RS编码器类::RS编码器(const GF256& 域) {
    if (域.取标识() != QR域.取标识()) 模块错误报告(类名, "RS编码器", "GF标识不相同");
    m_域 = 域;
    m_生成多项式缓存.assign(1, 多项式(域, {1}));
}

GF多项式 RS编码器类::取生成多项式(int 次数) {
    const int 已有 = static_cast<int>(m_生成多项式缓存.size());
    if (次数 >= 已有) {
        GF多项式 g = m_生成多项式缓存.back();
        GFP 运算;
        for (int d = 已有; d <= 次数; ++d) {
            运算.置操作数(g);
            g = 运算.相乘(多项式(m_域, {1, m_域.取指数(d - 1)}));
            m_生成多项式缓存.push_back(g);
        }
    }
    return m_生成多项式缓存[static_cast<std::size_t>(次数)];
}

namespace 内部 {
namespace {

// The QR field's exp table (doubled, so that log sums need no reduction)
// and log table, fixed at compile time.
struct 域表 {
    std::array<std::uint8_t, 512> 指数{};
    std::array<std::uint8_t, 256> 对数{};
};
constexpr 域表 k域 = [] {
    域表 t;
    int x = 1;
    for (int i = 0; i < 255; ++i) {
        t.指数[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x);
        t.指数[static_cast<std::size_t>(i + 255)] = static_cast<std::uint8_t>(x);
        t.对数[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(i);
        x <<= 1;
        if (x >= 256) x ^= 0x11D;
    }
    return t;
}();

constexpr int 域乘(int a, int b) {
    if (a == 0 || b == 0) return 0;
    return k域
        .指数[static_cast<std::size_t>(k域.对数[static_cast<std::size_t>(a)] + k域.对数[static_cast<std::size_t>(b)])];
}

// Generators (x - a^0)...(x - a^(n-1)) of degree 1..30 (the version table
// never asks for more): the n coefficients below the leading 1, highest
// degree first.
constexpr int 最大次数 = 30;
using 生成式 = std::array<std::uint8_t, 最大次数>;
constexpr std::array<生成式, 最大次数 + 1> k生成式 = [] {
    std::array<生成式, 最大次数 + 1> 全{};
    std::array<int, 最大次数 + 1> g{};  // g[0] is the leading coefficient
    g[0] = 1;
    for (int n = 1; n <= 最大次数; ++n) {
        const int a = k域.指数[static_cast<std::size_t>(n - 1)];
        for (int j = n; j >= 1; --j) g[static_cast<std::size_t>(j)] ^= 域乘(g[static_cast<std::size_t>(j - 1)], a);
        for (int j = 0; j < n; ++j)
            全[static_cast<std::size_t>(n)][static_cast<std::size_t>(j)] =
                static_cast<std::uint8_t>(g[static_cast<std::size_t>(j + 1)]);
    }
    return 全;
}();

// For the block sizes of the version table: factor * generator for every
// factor, the n product bytes packed into four 64-bit words (byte j at bits
// 8 (j mod 8) of word j / 8). One step of the division then shifts the
// remainder by a byte and XORs one table row, a word at a time.
constexpr std::array<int, 13> k表次数 = {7, 10, 13, 15, 16, 17, 18, 20, 22, 24, 26, 28, 30};
constexpr std::array<int, 最大次数 + 1> k表位置 = [] {
    std::array<int, 最大次数 + 1> p{};
    for (int& v : p) v = -1;
    for (std::size_t i = 0; i < k表次数.size(); ++i) p[static_cast<std::size_t>(k表次数[i])] = static_cast<int>(i);
    return p;
}();
using 乘积行 = std::array<std::uint64_t, 4>;
constexpr std::array<std::array<乘积行, 256>, k表次数.size()> k乘积表 = [] {
    std::array<std::array<乘积行, 256>, k表次数.size()> t{};
    for (std::size_t s = 0; s < k表次数.size(); ++s) {
        const int n = k表次数[s];
        for (int f = 0; f < 256; ++f)
            for (int j = 0; j < n; ++j)
                t[s][static_cast<std::size_t>(f)][static_cast<std::size_t>(j / 8)] |=
                    static_cast<std::uint64_t>(
                        域乘(f, k生成式[static_cast<std::size_t>(n)][static_cast<std::size_t>(j)]))
                    << (8 * (j % 8));
    }
    return t;
}();

template <int K>
void 按字余式(const std::uint8_t* 数据, int 数据数, int n, const std::array<乘积行, 256>& 表, std::uint8_t* 余) {
    std::uint64_t r[K] = {};
    for (int i = 0; i < 数据数; ++i) {
        const std::size_t f = (数据[i] ^ r[0]) & 0xFF;
        for (int k = 0; k + 1 < K; ++k) r[k] = (r[k] >> 8) | (r[k + 1] << 56);
        r[K - 1] >>= 8;
        for (int k = 0; k < K; ++k) r[k] ^= 表[f][static_cast<std::size_t>(k)];
    }
    for (int j = 0; j < n; ++j) 余[j] = static_cast<std::uint8_t>(r[j / 8] >> (8 * (j % 8)));
}

}  // namespace

void 计算纠错码(const std::uint8_t* 数据, int 数据数, int n, std::uint8_t* 输出) {
    const int 位置 = n >= 1 && n <= 最大次数 ? k表位置[static_cast<std::size_t>(n)] : -1;
    if (位置 >= 0) {
        const auto& 表 = k乘积表[static_cast<std::size_t>(位置)];
        switch ((n + 7) / 8) {
            case 1:
                按字余式<1>(数据, 数据数, n, 表, 输出);
                return;
            case 2:
                按字余式<2>(数据, 数据数, n, 表, 输出);
                return;
            case 3:
                按字余式<3>(数据, 数据数, n, 表, 输出);
                return;
            default:
                按字余式<4>(数据, 数据数, n, 表, 输出);
                return;
        }
    }
    if (n >= 1 && n <= 最大次数) {
        const 生成式& g = k生成式[static_cast<std::size_t>(n)];
        std::fill(输出, 输出 + n, 0);
        for (int i = 0; i < 数据数; ++i) {
            const int 因子 = 数据[i] ^ 输出[0];
            std::copy(输出 + 1, 输出 + n, 输出);
            输出[n - 1] = 0;
            for (int j = 0; j < n; ++j)
                输出[j] ^= static_cast<std::uint8_t>(域乘(因子, g[static_cast<std::size_t>(j)]));
        }
        return;
    }
    std::vector<int> 块(数据, 数据 + 数据数);
    块.resize(static_cast<std::size_t>(数据数 + n), 0);
    RS编码器类 编码器;
    编码器.RS编码器(QR域);
    编码器.编码(块, n);
    for (int j = 0; j < n; ++j) 输出[j] = static_cast<std::uint8_t>(块[static_cast<std::size_t>(数据数 + j)]);
}

}  // namespace 内部

void RS编码器类::编码(std::vector<int>& 待编码, int 容错字节数) {
    if (容错字节数 <= 0) 模块错误报告(类名, "编码", "没有容错字节");
    const int 数据字节数 = static_cast<int>(待编码.size()) - 容错字节数;
    if (数据字节数 < 1) 模块错误报告(类名, "编码", "未提供数据字节");
    const GF多项式 g = 取生成多项式(容错字节数);
    GFP 运算;
    运算.置操作数(多项式(m_域, std::vector<int>(待编码.begin(), 待编码.begin() + 数据字节数)));
    const GF多项式 信息 = 运算.叠加单项式(容错字节数, 1);
    GFP 持有;
    持有.置操作数(信息);
    GFPP 除法;
    除法.置运算器(持有);
    std::vector<GF多项式> 商余;
    除法.分离(g, 商余);
    const std::vector<int>& k = 商余[1].系数();
    const int z = 容错字节数 - static_cast<int>(k.size());
    for (int i = 0; i < z; ++i) 待编码[static_cast<std::size_t>(数据字节数 + i)] = 0;
    std::copy(k.begin(), k.end(), 待编码.begin() + 数据字节数 + z);
}

}  // namespace qr

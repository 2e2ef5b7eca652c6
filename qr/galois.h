// GF(256) arithmetic, polynomials over it and the Reed-Solomon encoder that
// computes a block's error-correction codewords.
//
// All classes are values: a polynomial carries a copy of its field, and two
// fields are the same field exactly when their identity texts are equal.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr {

class GF256 {
public:
    static constexpr std::string_view 类名 = "GF256";

    // "GF256:" + primitive in decimal; empty before 初始化域.
    const std::string& 取标识() const { return m_标识; }
    std::vector<int> 取零系数() const { return {0}; }
    // Builds the exp and log tables from a primitive polynomial (0x11D for
    // QR codes, with alpha = 2).
    void 初始化域(int 本原多项式);

    // Elements are 0..255 in every operation.
    static int 加法(int a, int b) { return a ^ b; }
    int 取指数(int a) const { return m_指数[static_cast<std::size_t>(a)]; }
    // a in 1..255; 0 ends in the report without details.
    int 取对数(int a) const;
    int 取逆元(int a) const;
    int 乘法(int a, int b) const;

private:
    std::string m_标识;
    std::array<std::uint8_t, 256> m_指数{};
    std::array<std::uint8_t, 256> m_对数{};
};

// The module-wide QR field, set up with 0x11D by the module start-up.
extern GF256 QR域;

// Coefficients highest degree first; the zero polynomial is exactly {0}.
class GF多项式 {
public:
    const GF256& 取域() const { return m_域; }
    std::vector<int> 取系数组() const { return m_系数; }
    const std::vector<int>& 系数() const { return m_系数; }
    int 取次数() const { return static_cast<int>(m_系数.size()) - 1; }
    bool 是否为零() const { return m_系数.empty() || m_系数[0] == 0; }
    // Coefficient of x^degree.
    int 取系数(int 次数) const { return m_系数[m_系数.size() - 1 - static_cast<std::size_t>(次数)]; }
    // Drops leading zeros; an empty array ends in the report without details.
    void 初始化多项式(const GF256& 域, std::vector<int> 系数);

private:
    std::vector<int> m_系数;
    GF256 m_域;
};

// Polynomial arithmetic with the operand as left-hand side; results are
// new polynomials, the operand is not changed.
class GFP : public GF多项式 {
public:
    static constexpr std::string_view 类名 = "GFP";

    void 置操作数(const GF多项式& 多项式) { m_操作数 = 多项式; }
    GF多项式 取操作数() const { return m_操作数; }
    GF多项式 加或减(const GF多项式& 另) const;
    GF多项式 相乘(const GF多项式& 另) const;
    // operand * coefficient * x^degree
    GF多项式 叠加单项式(int 次数, int 系数) const;
    // coefficient * x^degree in the operand's field
    GF多项式 构造单项式(int 次数, int 系数) const;

private:
    GF多项式 m_操作数;
};

// Polynomial division; the dividend is the operand of the held GFP.
class GFPP : public GFP {
public:
    static constexpr std::string_view 类名 = "GFPP";

    void 置运算器(const GFP& 运算器) { m_运算器 = 运算器; }
    GFP 取运算器() const { return m_运算器; }
    // Appends quotient and then remainder to the result.
    void 分离(const GF多项式& 除数, std::vector<GF多项式>& 结果) const;

private:
    GFP m_运算器;
};

class RS编码器类 {
public:
    static constexpr std::string_view 类名 = "RS编码器类";

    // Set-up; only the QR field is accepted ("GF标识不相同").
    void RS编码器(const GF256& 域);
    // (x - a^0)(x - a^1)...(x - a^(n-1)), built up through the cache.
    GF多项式 取生成多项式(int 次数);
    // toEncode holds the data codewords followed by ecBytes places; those
    // places receive the error-correction codewords, most significant first.
    void 编码(std::vector<int>& 待编码, int 容错字节数);

private:
    GF256 m_域;
    std::vector<GF多项式> m_生成多项式缓存;
};

namespace 内部 {
// Error-correction codewords of one block with the QR field: the remainder
// of data * x^n divided by the generator of degree n, most significant
// first. Same result as RS编码器类::编码; the generators the version table
// uses are fixed at compile time. n >= 1.
void 计算纠错码(const std::uint8_t* 数据, int 数据数, int n, std::uint8_t* 输出);
}  // namespace 内部

}  // namespace qr

// GF(256), polynomials over it and the Reed-Solomon encoder.
#include <gtest/gtest.h>

#include <random>

#include "qr/encoding.h"
#include "qr/galois.h"
#include "tests/qr/support.h"

using namespace qr;

namespace {

GF多项式 poly(std::vector<int> c, const GF256& f = QR域) {
    GF多项式 p;
    p.初始化多项式(f, std::move(c));
    return p;
}

std::vector<int> rsEncode(std::vector<int> data, int ec) {
    data.resize(data.size() + static_cast<std::size_t>(ec), 0);
    RS编码器类 rs;
    rs.RS编码器(QR域);
    rs.编码(data, ec);
    return data;
}

}  // namespace

TEST(QrGaloisField, TablesAndProducts) {
    EXPECT_EQ(QR域.取标识(), "GF256:285");
    const int exp0to8[] = {1, 2, 4, 8, 16, 32, 64, 128, 29};
    for (int i = 0; i <= 8; ++i) EXPECT_EQ(QR域.取指数(i), exp0to8[i]);
    EXPECT_EQ(QR域.取指数(255), 1);
    EXPECT_EQ(QR域.取对数(1), 0);
    EXPECT_EQ(QR域.取对数(2), 1);
    EXPECT_EQ(QR域.乘法(0, 7), 0);
    EXPECT_EQ(QR域.乘法(7, 0), 0);
    EXPECT_EQ(QR域.乘法(1, 7), 7);
    EXPECT_EQ(QR域.乘法(7, 1), 7);
    // Every non-zero element times its inverse is 1, and the log table
    // inverts the exp table.
    for (int a = 1; a < 256; ++a) {
        EXPECT_EQ(QR域.乘法(a, QR域.取逆元(a)), 1) << a;
        EXPECT_EQ(QR域.取指数(QR域.取对数(a)), a);
    }
    EXPECT_QR_REPORT(QR域.取对数(0), "无", "无", "无");
    EXPECT_QR_REPORT(QR域.取逆元(0), "无", "无", "无");
}

TEST(QrGaloisField, PolynomialSetUpDropsLeadingZeros) {
    EXPECT_EQ(poly({0, 0, 5}).系数(), std::vector<int>{5});
    EXPECT_EQ(poly({0, 0, 0}).系数(), std::vector<int>{0});
    EXPECT_EQ(poly({0}).系数(), std::vector<int>{0});
    EXPECT_TRUE(poly({0}).是否为零());
    const GF多项式 p = poly({3, 0, 7});
    EXPECT_EQ(p.取次数(), 2);
    EXPECT_EQ(p.取系数(0), 7);
    EXPECT_EQ(p.取系数(2), 3);
    EXPECT_QR_REPORT(poly({}), "无", "无", "无");
}

TEST(QrGaloisField, PolynomialArithmetic) {
    const GF多项式 p = poly({3, 0, 7});
    GFP op;
    op.置操作数(p);
    EXPECT_EQ(op.加或减(poly({0})).系数(), p.系数());
    EXPECT_EQ(op.加或减(p).系数(), std::vector<int>{0});
    EXPECT_EQ(op.加或减(poly({1, 1})).系数(), (std::vector<int>{3, 1, 6}));
    // (x + 1)(x + 2) = x^2 + 3x + 2
    GFP lin;
    lin.置操作数(poly({1, 1}));
    EXPECT_EQ(lin.相乘(poly({1, 2})).系数(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(lin.相乘(poly({0})).系数(), std::vector<int>{0});
    EXPECT_EQ(lin.叠加单项式(2, 2).系数(), (std::vector<int>{2, 2, 0, 0}));
    EXPECT_EQ(lin.叠加单项式(2, 0).系数(), std::vector<int>{0});
    EXPECT_EQ(lin.构造单项式(3, 9).系数(), (std::vector<int>{9, 0, 0, 0}));

    // (x^2 + 3x + 2 + 5) / (x + 1): quotient x + 2, remainder 5.
    GFP holder;
    holder.置操作数(poly({1, 3, 7}));
    GFPP div;
    div.置运算器(holder);
    std::vector<GF多项式> qr;
    div.分离(poly({1, 1}), qr);
    ASSERT_EQ(qr.size(), 2u);
    EXPECT_EQ(qr[0].系数(), (std::vector<int>{1, 2}));
    EXPECT_EQ(qr[1].系数(), std::vector<int>{5});
}

TEST(QrGaloisField, Reports) {
    GF256 other;
    other.初始化域(0x12D);
    GFP op;
    op.置操作数(poly({1, 2}));
    EXPECT_QR_REPORT(op.加或减(poly({1}, other)), "GFP", "加或减", "GF256信息不相同");
    EXPECT_QR_REPORT(op.相乘(poly({1}, other)), "GFP", "加或减", "GF256信息不相同");
    EXPECT_QR_REPORT(op.叠加单项式(-1, 1), "GFP", "叠加单项式", "维度小于0");
    EXPECT_QR_REPORT(op.构造单项式(-1, 1), "GFP", "构造单项式", "度小于0");
    GFPP div;
    div.置运算器(op);
    std::vector<GF多项式> out;
    EXPECT_QR_REPORT(div.分离(poly({1}, other), out), "GFPP", "分离", "GF256不同");
    EXPECT_QR_REPORT(div.分离(poly({0}), out), "GFPP", "分离", "除数为0");
    RS编码器类 rs;
    EXPECT_QR_REPORT(rs.RS编码器(other), "RS编码器类", "RS编码器", "GF标识不相同");
    rs.RS编码器(QR域);
    std::vector<int> block{1, 2, 3};
    EXPECT_QR_REPORT(rs.编码(block, 0), "RS编码器类", "编码", "没有容错字节");
    EXPECT_QR_REPORT(rs.编码(block, 3), "RS编码器类", "编码", "未提供数据字节");
}

TEST(QrReedSolomon, GeneratorPolynomials) {
    RS编码器类 rs;
    rs.RS编码器(QR域);
    EXPECT_EQ(rs.取生成多项式(2).系数(), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(rs.取生成多项式(7).系数(), (std::vector<int>{1, 127, 122, 154, 164, 11, 68, 117}));
    EXPECT_EQ(rs.取生成多项式(0).系数(), std::vector<int>{1});
}

TEST(QrReedSolomon, WorkedExampleOfTheStandard) {
    // 01234567 at 1-M: 16 data codewords, 10 EC codewords.
    const std::vector<int> data{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    const std::vector<int> ec{0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
    const std::vector<int> block = rsEncode(data, 10);
    EXPECT_EQ(std::vector<int>(block.begin(), block.begin() + 16), data);
    EXPECT_EQ(std::vector<int>(block.begin() + 16, block.end()), ec);

    字节数组类 bytes(16);
    for (int i = 0; i < 16; ++i) bytes.置元素(i + 1, data[static_cast<std::size_t>(i)]);
    const 字节数组类 fast = 编码类().生成容错字节(bytes, 10);
    ASSERT_EQ(fast.取大小(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(fast.取元素(i + 1), ec[static_cast<std::size_t>(i)]);
}

TEST(QrReedSolomon, ZeroDataGivesZeroCodewordsWithLeadingZerosKept) {
    EXPECT_EQ(rsEncode({0, 0, 0, 0}, 5), std::vector<int>(9, 0));
    // A remainder with leading zero coefficients still fills all places.
    const std::vector<int> r = rsEncode({0, 0, 1}, 2);
    EXPECT_EQ(r.size(), 5u);
}

TEST(QrReedSolomon, CachedEncodingEqualsPolynomialDivision) {
    // The encoder's block path (cached generators, shift register) against
    // the polynomial long division, for every EC length of the version table.
    std::mt19937 rng(7);
    for (int ec = 1; ec <= 34; ++ec) {
        for (int len : {1, 2, 9, 47, 123}) {
            std::vector<int> data(static_cast<std::size_t>(len));
            for (int& d : data) d = static_cast<int>(rng() % 256);
            if (ec == 3) data[0] = 0;  // leading zero data codeword
            字节数组类 bytes(len);
            for (int i = 0; i < len; ++i) bytes.置元素(i + 1, data[static_cast<std::size_t>(i)]);
            const 字节数组类 fast = 编码类().生成容错字节(bytes, ec);
            const std::vector<int> slow = rsEncode(data, ec);
            ASSERT_EQ(fast.取大小(), ec);
            for (int i = 0; i < ec; ++i)
                ASSERT_EQ(fast.取元素(i + 1), slow[static_cast<std::size_t>(len + i)]) << "ec " << ec << " len " << len;
        }
    }
}

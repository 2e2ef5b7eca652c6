// Bit vector, bit vector subclass, byte matrix and byte array.
#include <gtest/gtest.h>

#include "qr/bit_vector.h"
#include "qr/byte_matrix.h"
#include "tests/qr/support.h"

using namespace qr;

TEST(QrBitVector, AppendsBitsMostSignificantFirst) {
    位向量类 v;
    v.追加位(1);
    v.追加位(0);
    v.追加位(1);
    EXPECT_EQ(v.取大小(), 3);
    EXPECT_EQ(v.取数组()[0], 0xA0);
    EXPECT_EQ(v.取字节数(), 1);
    EXPECT_EQ(v.到字符串(), "1,0,1");
    EXPECT_EQ(v.取位值(0), 1);
    EXPECT_EQ(v.取位值(1), 0);
}

TEST(QrBitVector, AppendManyBitsTakesWholeBytesOnlyAtByteBoundary) {
    位向量类 v;
    v.追加多位(0x1F, 5);
    v.追加多位(0xEC, 8);  // not at a boundary: bit by bit
    EXPECT_EQ(v.取大小(), 13);
    EXPECT_EQ(v.取数组()[0], 0xFF);
    EXPECT_EQ(v.取数组()[1], 0x60);

    位向量类 w;
    w.追加多位(0xAB, 8);
    w.追加多位(0xEC, 8);
    EXPECT_EQ(w.取大小(), 16);
    EXPECT_EQ(w.取数组()[1], 0xEC);
}

TEST(QrBitVector, AppendManyBitsHandlesFullAndInvalidCounts) {
    位向量类 v;
    v.追加多位(-1, 32);
    EXPECT_EQ(v.取大小(), 32);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v.取数组()[static_cast<std::size_t>(i)], 0xFF);
    v.追加多位(5, 33);
    v.追加多位(5, -1);
    EXPECT_EQ(v.取大小(), 32);
    v.追加多位(0x12345, 0);
    EXPECT_EQ(v.取大小(), 32);
}

TEST(QrBitVector, BufferDoublesAndKeepsEarlierBytes) {
    位向量类 v;
    EXPECT_EQ(v.取数组().size(), 32u);
    for (int i = 0; i < 32; ++i) v.追加字节(i);
    EXPECT_EQ(v.取数组().size(), 32u);
    v.追加字节(0x55);  // 33rd byte
    ASSERT_EQ(v.取数组().size(), 64u);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(v.取数组()[static_cast<std::size_t>(i)], i);
    for (int i = 33; i < 65; ++i) v.追加字节(i);  // 65th byte
    EXPECT_EQ(v.取数组().size(), 128u);
    EXPECT_EQ(v.取数组()[32], 0x55);
    EXPECT_EQ(v.取数组()[64], 64);
    v.清空();
    EXPECT_EQ(v.取大小(), 0);
    EXPECT_EQ(v.取数组(), std::vector<std::uint8_t>(32, 0));
}

TEST(QrBitVector, ShortBufferFromSetArrayStaysReadable) {
    位向量类 v;
    v.追加多位(0xFFFF, 16);
    v.置数组({0x80});  // shorter than the 16 valid bits
    EXPECT_EQ(v.取位值(0), 1);
    EXPECT_EQ(v.取位值(15), 0);
    v.置数组({});
    v.清空();
    v.置数组({});
    v.追加字节(0x42);  // grows from an empty buffer
    EXPECT_EQ(v.取数组()[0], 0x42);
}

TEST(QrBitVector, Reports) {
    位向量类 v;
    v.追加位(1);
    EXPECT_QR_REPORT(v.取位值(1), "位向量类", "取位值", "索引超限");
    EXPECT_QR_REPORT(v.取位值(-1), "位向量类", "取位值", "索引超限");
    EXPECT_QR_REPORT(v.追加位(2), "位向量类", "追加位", "位数据只能是0或1");
    位向量子类 sub;
    位向量类 a, b;
    a.追加多位(1, 3);
    b.追加多位(1, 4);
    sub.置操作向量(a);
    EXPECT_QR_REPORT(sub.异或(b), "位向量子类", "异或", "两个位向量长度不同，不能做异或运算。");
    // The inherited operations keep reporting as the base class.
    EXPECT_QR_REPORT(sub.取位值(0), "位向量类", "取位值", "索引超限");
}

TEST(QrBitVectorSubclass, AppendsVectorsAndXorsOnlyTheValidBytes) {
    位向量子类 sub;
    位向量类 head;
    head.追加多位(0b101, 3);
    位向量类 tail;
    tail.追加多位(0b0111, 4);
    sub.置操作向量(head);
    sub.追加位向量(tail);
    EXPECT_EQ(sub.取操作向量().到字符串(), "1,0,1,0,1,1,1");
    EXPECT_EQ(sub.取大小(), 0);  // the inherited bits are untouched

    // Two 15-bit vectors: bytes 0 and 1 change, byte 2 keeps the operand's.
    位向量类 x, y;
    x.追加多位(0x7FFF, 15);
    y.追加多位(0x5412, 15);
    std::vector<std::uint8_t> raw = x.取数组();
    raw[2] = 0x99;
    x.置数组(raw);
    位向量子类 xor_;
    xor_.置操作向量(x);
    const 位向量类 r = xor_.异或(y);
    EXPECT_EQ(r.取数组()[0], 0xFF ^ 0xA8);
    EXPECT_EQ(r.取数组()[1], 0xFE ^ 0x24);
    EXPECT_EQ(r.取数组()[2], 0x99);
    EXPECT_EQ(xor_.取操作向量().取数组(), r.取数组());
}

TEST(QrByteMatrix, InitialiseClearSetAndGet) {
    字节矩阵类 m;
    EXPECT_EQ(m.取宽度(), 0);
    EXPECT_EQ(m.取值(0, 0), 0);
    m.初始化矩阵(21, 21);
    EXPECT_EQ(m.取宽度(), 21);
    EXPECT_EQ(m.取高度(), 21);
    for (const auto& row : m.取数组())
        for (auto c : row) EXPECT_EQ(c, 0);
    m.清除(255);
    for (const auto& row : m.取数组())
        for (auto c : row) EXPECT_EQ(c, 255);
    m.清除();
    EXPECT_EQ(m.取值(20, 20), 0);
    m.置值(3, 5, 1);
    EXPECT_EQ(m.取值(3, 5), 1);
    EXPECT_EQ(m.取值(5, 3), 0);
    EXPECT_EQ(m.取数组()[5][3], 1);
    m.置值(0, 0, 0x1FF);  // low 8 bits
    EXPECT_EQ(m.取值(0, 0), 0xFF);
}

TEST(QrByteMatrix, SetFromArrayFillsTopLeftAndRejectsNonMatrices) {
    字节矩阵类 m;
    m.初始化矩阵(3, 2);
    m.置字节矩阵({{1, 2}, {3, 4}});
    EXPECT_EQ(m.到字符串(), "1,2,0\r\n3,4,0\r");
    m.置字节矩阵({{9, 9, 9, 9}, {9, 9, 9, 9}, {9, 9, 9, 9}});  // larger: clipped
    EXPECT_EQ(m.取值(2, 1), 9);
    EXPECT_QR_REPORT(m.置字节矩阵({}), "字节矩阵类", "置字节矩阵", "不是矩阵");
    EXPECT_QR_REPORT(m.置字节矩阵({{}}), "字节矩阵类", "置字节矩阵", "不是矩阵");
    EXPECT_QR_REPORT(m.置字节矩阵({{1, 2}, {3}}), "字节矩阵类", "置字节矩阵", "不是矩阵");
}

TEST(QrByteArray, OneBasedAccessAndRanges) {
    字节数组类 a(3);
    EXPECT_EQ(a.取大小(), 3);
    EXPECT_EQ(a.取元素(1), 0);
    a.置元素(3, 0x1AB);
    EXPECT_EQ(a.取元素(3), 0xAB);
    const std::vector<std::uint8_t> src{10, 20, 30, 40};
    a.置范围(src, 1, 2);
    EXPECT_EQ(a.取大小(), 2);
    EXPECT_EQ(a.取元素(1), 20);
    EXPECT_EQ(a.取元素(2), 30);
    EXPECT_TRUE(字节数组类().是否为空());
}

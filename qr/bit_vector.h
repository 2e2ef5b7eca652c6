// Bit containers of the QR encoder: the growable bit vector and the
// subclass that appends and XORs whole vectors. Bits are stored most
// significant first inside each byte: bit i lives in byte i >> 3 at bit
// position 7 - (i & 7).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr {

class 位向量类 {
public:
    static constexpr std::string_view 类名 = "位向量类";

    位向量类();  // size 0, 32 zero bytes of buffer

    // A copy of the whole buffer, capacity beyond the valid bits included.
    std::vector<std::uint8_t> 取数组() const;
    // Replaces the buffer; the size stays. A buffer shorter than the valid
    // bits is padded with zero bytes so that every valid bit stays readable.
    void 置数组(std::vector<std::uint8_t> 数组);

    int 取大小() const { return m_大小; }
    int 取字节数() const { return (m_大小 + 7) >> 3; }
    // 0 <= index < size, else reports "索引超限".
    int 取位值(int 索引) const;

    // bit is 0 or 1, else reports "位数据只能是0或1".
    void 追加位(int 位);
    // Appends the low 8 bits of value at the byte boundary (size rounded to
    // the byte, see 追加位), overwriting that whole byte.
    void 追加字节(int 值);
    // Appends the low count bits of value, most significant first;
    // count outside 0..32 appends nothing.
    void 追加多位(int 值, int 位数);
    void 清空();
    // "0,1,1,..." - the valid bits in order.
    std::string 到字符串() const;

    // Read access to the buffer for the encoder's hot paths.
    const std::uint8_t* 数据() const { return m_缓冲区.data(); }

private:
    std::vector<std::uint8_t> m_缓冲区;
    int m_大小 = 0;
};

// A bit vector that also owns an operand vector; the added operations work
// on the operand only.
class 位向量子类 : public 位向量类 {
public:
    static constexpr std::string_view 类名 = "位向量子类";

    void 置操作向量(const 位向量类& 向量) { m_操作向量 = 向量; }
    位向量类 取操作向量() const { return m_操作向量; }
    const 位向量类& 操作向量() const { return m_操作向量; }
    // Appends the argument's valid bits to the operand vector.
    void 追加位向量(const 位向量类& 向量);
    // Operand XOR argument (same size required, else "两个位向量长度不同，
    // 不能做异或运算。"); the operand keeps the result, a copy is returned.
    位向量类 异或(const 位向量类& 向量);

private:
    位向量类 m_操作向量;
};

}  // namespace qr

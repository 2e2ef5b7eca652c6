#include "qr/bit_vector.h"

#include <algorithm>

#include "qr/report.h"

namespace qr {

位向量类::位向量类() : m_缓冲区(32, 0) {}

std::vector<std::uint8_t> 位向量类::取数组() const { return m_缓冲区; }

void 位向量类::置数组(std::vector<std::uint8_t> 数组) {
    m_缓冲区 = std::move(数组);
    const auto 需要 = static_cast<std::size_t>(取字节数());
    if (m_缓冲区.size() < 需要) m_缓冲区.resize(需要, 0);
}

int 位向量类::取位值(int 索引) const {
    if (索引 < 0 || 索引 >= m_大小) 模块错误报告(类名, "取位值", "索引超限");
    return (m_缓冲区[static_cast<std::size_t>(索引 >> 3)] >> (7 - (索引 & 7))) & 1;
}

void 位向量类::追加位(int 位) {
    if (位 != 0 && 位 != 1) 模块错误报告(类名, "追加位", "位数据只能是0或1");
    if ((m_大小 & 7) == 0) {
        // Only makes room: the byte is claimed and handed back.
        追加字节(0);
        m_大小 -= 8;
    }
    m_缓冲区[static_cast<std::size_t>(m_大小 >> 3)] |= static_cast<std::uint8_t>(位 << (7 - (m_大小 & 7)));
    ++m_大小;
}

void 位向量类::追加字节(int 值) {
    const auto 字节位置 = static_cast<std::size_t>(m_大小 >> 3);
    if (字节位置 >= m_缓冲区.size()) {
        // Doubling; the max() only matters for a buffer emptied by 置数组.
        m_缓冲区.resize(std::max(m_缓冲区.size() * 2, 字节位置 + 1), 0);
    }
    m_缓冲区[字节位置] = static_cast<std::uint8_t>(值 & 0xFF);
    m_大小 += 8;
}

void 位向量类::追加多位(int 值, int 位数) {
    if (位数 < 0 || 位数 > 32) return;
    // 64-bit arithmetic shifts give the low bits of any 32-bit value.
    const std::int64_t v = 值;
    int 剩余 = 位数;
    while (剩余 > 0) {
        if ((m_大小 & 7) == 0 && 剩余 >= 8) {
            追加字节(static_cast<int>((v >> (剩余 - 8)) & 0xFF));
            剩余 -= 8;
        } else {
            追加位(static_cast<int>((v >> (剩余 - 1)) & 1));
            剩余 -= 1;
        }
    }
}

void 位向量类::清空() {
    m_大小 = 0;
    m_缓冲区.assign(32, 0);
}

std::string 位向量类::到字符串() const {
    std::string 文本;
    文本.reserve(static_cast<std::size_t>(m_大小) * 2);
    for (int i = 0; i < m_大小; ++i) {
        if (i > 0) 文本 += ',';
        文本 += static_cast<char>('0' + ((m_缓冲区[static_cast<std::size_t>(i >> 3)] >> (7 - (i & 7))) & 1));
    }
    return 文本;
}

void 位向量子类::追加位向量(const 位向量类& 向量) {
    const int n = 向量.取大小();
    const std::uint8_t* 源 = 向量.数据();
    for (int i = 0; i < n; ++i) m_操作向量.追加位((源[i >> 3] >> (7 - (i & 7))) & 1);
}

位向量类 位向量子类::异或(const 位向量类& 向量) {
    if (m_操作向量.取大小() != 向量.取大小()) 模块错误报告(类名, "异或", "两个位向量长度不同，不能做异或运算。");
    const int n = (m_操作向量.取大小() + 7) >> 3;
    std::vector<std::uint8_t> 结果 = m_操作向量.取数组();
    const std::uint8_t* 另 = 向量.数据();
    for (int k = 0; k < n; ++k) 结果[static_cast<std::size_t>(k)] ^= 另[k];
    m_操作向量.置数组(std::move(结果));
    return m_操作向量;
}

}  // namespace qr

// The byte matrix that holds a symbol while it is built (and the scaled
// output grid), and the 1-based byte array that holds one block's
// codewords.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qr {

// Cell (x, y) is column x (0 at the left) of row y (0 at the top).
// Cell values used by the module: 0 light, 1 dark, 255 not yet set.
class 字节矩阵类 {
public:
    static constexpr std::string_view 类名 = "字节矩阵类";
    using 二维数组 = std::vector<std::vector<std::uint8_t>>;

    字节矩阵类();  // a 1 x 1 cell array holding 0; width and height 0

    int 取高度() const { return m_高; }
    int 取宽度() const { return m_宽; }
    // A copy of the cells, laid out [row][column].
    二维数组 取数组() const;
    // Copies source[i][j] into cell (j, i); the matrix keeps its size and
    // elements beyond it are not copied. A source without rows, with an
    // empty row or with rows of different lengths reports "不是矩阵".
    void 置字节矩阵(const 二维数组& 源);
    // width, height > 0: a zero-filled matrix of that size.
    void 初始化矩阵(int 宽度, int 高度);
    // Preconditions: 0 <= x < width, 0 <= y < height.
    std::uint8_t 取值(int x, int y) const { return m_单元[索引(x, y)]; }
    void 置值(int x, int y, int 值) { m_单元[索引(x, y)] = static_cast<std::uint8_t>(值); }
    void 清除(int 值 = 0);
    // Each row's cells as decimals joined by ",", each row followed by
    // "\r\n"; the last character of the whole text is dropped.
    std::string 到字符串() const;

    // Row y as contiguous bytes (fast paths).
    const std::uint8_t* 行(int y) const { return m_单元.data() + static_cast<std::size_t>(y) * m_列数; }
    std::uint8_t* 行(int y) { return m_单元.data() + static_cast<std::size_t>(y) * m_列数; }

private:
    std::size_t 索引(int x, int y) const { return static_cast<std::size_t>(y) * m_列数 + static_cast<std::size_t>(x); }

    std::vector<std::uint8_t> m_单元;
    std::size_t m_列数 = 1;  // stored columns (1 for a new matrix)
    std::size_t m_行数 = 1;
    int m_宽 = 0;
    int m_高 = 0;
};

// Bytes with 1-based element access.
class 字节数组类 {
public:
    字节数组类() = default;
    explicit 字节数组类(int 数量) : m_字节(static_cast<std::size_t>(数量 > 0 ? 数量 : 0), 0) {}

    // The bytes become source[offset .. offset + count - 1] (0-based offset).
    void 置范围(const std::uint8_t* 源, int 偏移, int 数量) { m_字节.assign(源 + 偏移, 源 + 偏移 + 数量); }
    void 置范围(const std::vector<std::uint8_t>& 源, int 偏移, int 数量) { 置范围(源.data(), 偏移, 数量); }
    // 1 <= i <= size.
    int 取元素(int i) const { return m_字节[static_cast<std::size_t>(i - 1)]; }
    void 置元素(int i, int 值) { m_字节[static_cast<std::size_t>(i - 1)] = static_cast<std::uint8_t>(值); }
    int 取大小() const { return static_cast<int>(m_字节.size()); }
    bool 是否为空() const { return m_字节.empty(); }
    const std::uint8_t* 数据() const { return m_字节.data(); }

private:
    std::vector<std::uint8_t> m_字节;
};

}  // namespace qr

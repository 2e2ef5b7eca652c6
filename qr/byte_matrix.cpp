#include "qr/byte_matrix.h"

#include <algorithm>
#include <cstring>

#include "qr/report.h"

namespace qr {

字节矩阵类::字节矩阵类() : m_单元(1, 0) {}

字节矩阵类::二维数组 字节矩阵类::取数组() const {
    二维数组 结果(m_行数);
    for (std::size_t y = 0; y < m_行数; ++y) {
        const std::uint8_t* 起 = m_单元.data() + y * m_列数;
        结果[y].assign(起, 起 + m_列数);
    }
    return 结果;
}

void 字节矩阵类::置字节矩阵(const 二维数组& 源) {
    if (源.empty() || 源.front().empty()) 模块错误报告(类名, "置字节矩阵", "不是矩阵");
    const std::size_t 源列数 = 源.front().size();
    for (const auto& 行 : 源)
        if (行.size() != 源列数) 模块错误报告(类名, "置字节矩阵", "不是矩阵");
    const std::size_t 行数 = std::min(源.size(), m_行数);
    const std::size_t 列数 = std::min(源列数, m_列数);
    for (std::size_t i = 0; i < 行数; ++i) std::memcpy(m_单元.data() + i * m_列数, 源[i].data(), 列数);
}

void 字节矩阵类::初始化矩阵(int 宽度, int 高度) {
    m_宽 = std::max(宽度, 0);
    m_高 = std::max(高度, 0);
    m_列数 = static_cast<std::size_t>(m_宽);
    m_行数 = static_cast<std::size_t>(m_高);
    m_单元.assign(m_列数 * m_行数, 0);
}

void 字节矩阵类::清除(int 值) { std::fill(m_单元.begin(), m_单元.end(), static_cast<std::uint8_t>(值)); }

std::string 字节矩阵类::到字符串() const {
    std::string 文本;
    for (std::size_t y = 0; y < m_行数; ++y) {
        for (std::size_t x = 0; x < m_列数; ++x) {
            if (x > 0) 文本 += ',';
            文本 += std::to_string(m_单元[y * m_列数 + x]);
        }
        文本 += "\r\n";
    }
    if (!文本.empty()) 文本.pop_back();
    return 文本;
}

}  // namespace qr

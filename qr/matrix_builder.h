// Matrix construction: finder patterns with separators, the dark module,
// alignment and timing patterns, format and version information and the
// zig-zag data placement with a data mask applied.
#pragma once

#include <string_view>
#include <vector>

#include "qr/bit_vector.h"
#include "qr/byte_matrix.h"
#include "qr/encoding.h"

namespace qr {

using 整数表 = std::vector<std::vector<int>>;

std::vector<int> 取表行(const 整数表& 表, int 行);
// Logical right shift of a 32-bit value (zeros enter from the left).
int 无符号右移(int 值, int n);

// The six pattern tables as integer tables (built once).
struct 图形表集 {
    整数表 位置探测图;          // 7 x 7
    整数表 水平分割图;          // 1 x 8
    整数表 垂直分割图;          // 7 x 1
    整数表 方位调整标识图;      // 5 x 5
    整数表 方位调整标识坐标表;  // 40 x 7, row v - 1 for version v
    整数表 类型信息位坐标表;    // 15 x 2
};

// Builds symbols in a byte matrix of side 17 + 4 x version; cells 0 light,
// 1 dark, 255 empty while building.
class 矩阵应用类 {
public:
    static constexpr std::string_view 类名 = "矩阵应用类";

    矩阵应用类() { 初始化图形表(); }

    void 构建矩阵(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, int 掩码, 字节矩阵类& 矩阵) const;
    void 清空矩阵(字节矩阵类& 矩阵) const;
    void 插入基本图形(int 版本号, 字节矩阵类& 矩阵) const;
    void 插入位置探测图和分割图(字节矩阵类& 矩阵) const;
    static bool 是否空值(int 值) { return 值 == 255; }
    static bool 是否有效值(int 值) { return 值 == 0 || 值 == 1 || 值 == 255; }
    void 初始化图形表();
    void 插入位置探测图(int x起, int y起, 字节矩阵类& 矩阵) const;
    void 左下角插入黑点(字节矩阵类& 矩阵) const;
    void 插入全部方位调整标识(int 版本号, 字节矩阵类& 矩阵) const;
    void 插入方位调整标识(int x起, int y起, 字节矩阵类& 矩阵) const;
    void 插入定位基线(字节矩阵类& 矩阵) const;
    // Number of significant bits (0 for 0).
    static int 取最高位位置(int 值);
    // Remainder of value * x^(deg g) divided by g over GF(2).
    static int 计算BCH码(int 值, int 生成多项式);
    // Appends the 15 format bits (level bits, mask, BCH(15,5), XOR 0x5412).
    void 标记类型信息位(const 容错级别类& 级别, int 掩码, 位向量类& 位) const;
    void 插入类型信息(const 容错级别类& 级别, int 掩码, 字节矩阵类& 矩阵) const;
    // Appends the 18 version bits (version, BCH(18,6)).
    void 标记版本信息位(int 版本号, 位向量类& 位) const;
    void 插入版本信息(int 版本号, 字节矩阵类& 矩阵) const;
    void 插入数据信息位(const 位向量类& 数据位, int 掩码, 字节矩阵类& 矩阵) const;
    void 插入水平分割图(int x起, int y起, 字节矩阵类& 矩阵) const;
    void 插入垂直分割图(int x起, int y起, 字节矩阵类& 矩阵) const;

    // The module-wide tables.
    static const 图形表集& 共享图形表();

private:
    const 图形表集* m_表 = nullptr;
};

}  // namespace qr

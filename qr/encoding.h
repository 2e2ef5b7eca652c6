// Data encoding: modes, error-correction levels, the version table, the QR
// code object and the encoder that turns a text into a finished symbol.
//
// The encoder knows three modes (numeric, alphanumeric, byte) and always
// writes one segment; byte mode carries the UTF-8 bytes of the text with no
// ECI header. The caller names the level; the version is the smallest that
// fits.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "qr/bit_vector.h"
#include "qr/byte_matrix.h"

namespace qr {

class 版本类;

// A data mode. Modes are the same mode when their names are equal.
class 模式类 {
public:
    // lengths: "a,b,c" - character-count bits for versions 1-9, 10-26, 27-40.
    void 设置(std::string_view 长度文本, int 模式位, std::string 名称);
    int 取字符数位数(const 版本类& 版本) const;
    int 取模式位() const { return m_模式位; }
    const std::string& 取名称() const { return m_名称; }
    bool 同模式(const 模式类& 另) const { return m_名称 == 另.m_名称; }

private:
    std::array<int, 3> m_长度{};
    int m_模式位 = 0;
    std::string m_名称;
};

// An error-correction level: index 1..4 (L, M, Q, H) and the two level bits
// of the format information (L 1, M 0, Q 3, H 2).
class 容错级别类 {
public:
    void 初始化级别(int 序号, int 格式位, std::string 字母);
    int 取序号() const { return m_序号; }
    int 取格式位() const { return m_格式位; }
    const std::string& 取名称() const { return m_字母; }

private:
    int m_序号 = 0;
    int m_格式位 = 0;
    std::string m_字母;
};

// One group of equally sized blocks.
class 容错块类 {
public:
    容错块类() = default;
    容错块类(int 块数, int 数据码字数) : m_块数(块数), m_数据码字数(数据码字数) {}
    int 取块数() const { return m_块数; }
    int 取数据码字数() const { return m_数据码字数; }

private:
    int m_块数 = 0;
    int m_数据码字数 = 0;
};

// The block structure of one level in one version.
class 容错块组类 {
public:
    容错块组类() = default;
    容错块组类(int 每块容错码字数, 容错块类 组1, 容错块类 组2);
    int 取每块容错码字数() const { return m_每块容错; }
    int 取组数() const { return m_组数; }
    const 容错块类& 取块组(int i) const { return m_组[static_cast<std::size_t>(i)]; }
    int 取块数() const;
    int 取总容错码字数() const { return m_每块容错 * 取块数(); }

private:
    int m_每块容错 = 0;
    std::array<容错块类, 2> m_组{};
    int m_组数 = 0;
};

class 版本类 {
public:
    版本类() = default;
    版本类(int 版本号, const std::array<容错块组类, 4>& 块组);
    int 取版本号() const { return m_版本号; }
    int 取总码字数() const { return m_总码字数; }
    int 取维长度() const { return 17 + 4 * m_版本号; }
    // Selected by the level's index.
    const 容错块组类& 取容错块组(const 容错级别类& 级别) const {
        return m_块组[static_cast<std::size_t>(级别.取序号() - 1)];
    }

private:
    int m_版本号 = 0;
    std::array<容错块组类, 4> m_块组{};
    int m_总码字数 = 0;
};

// The QR code object: the result of one encoding. Its integer fields are -1
// while not set.
class 二维码类 {
public:
    static constexpr std::string_view 类名 = "二维码类";

    // Module start-up: reset, then build the modes, the version table and
    // the levels, and set up QR域 with 0x11D. Safe to call again.
    void 模块启动();
    void 重置();

    // Module-wide modes and levels (valid after the start-up).
    static const 模式类& 数字模式();
    static const 模式类& 字母数字模式();
    static const 模式类& 字节模式();
    // 1 <= number <= 40, else "版本号不在0到40之间。当前版本号：" + number.
    static 版本类 取版本_通过版本号(int 版本号);
    // dimension = 4k + 1, else "维长度不为4的位数加1。当前维数：" + dimension.
    static 版本类 取版本_通过维长度(int 维长度);
    // 1..4 -> L, M, Q, H, else "索引异常。当前索引：" + index.
    static 容错级别类 取容错级别_按索引(int 序号);

    模式类 取模式() const { return m_模式; }
    void 置模式(const 模式类& 模式) { m_模式 = 模式; }
    容错级别类 取容错级别() const { return m_级别; }
    void 置容错级别(const 容错级别类& 级别) { m_级别 = 级别; }
    int 取版本号() const { return m_版本号; }
    void 置版本号(int v) { m_版本号 = v; }
    int 取矩阵宽度() const { return m_矩阵宽度; }
    void 置矩阵宽度(int v) { m_矩阵宽度 = v; }
    int 取掩码图形() const { return m_掩码图形; }
    void 置掩码图形(int v) { m_掩码图形 = v; }
    字节矩阵类 取矩阵() const { return m_矩阵; }
    const 字节矩阵类& 矩阵() const { return m_矩阵; }
    字节矩阵类& 可写矩阵() { return m_矩阵; }
    void 置矩阵(字节矩阵类 矩阵) { m_矩阵 = std::move(矩阵); }
    int 取总字节数() const { return m_总字节数; }
    void 置总字节数(int v) { m_总字节数 = v; }
    int 取数据字节数() const { return m_数据字节数; }
    void 置数据字节数(int v) { m_数据字节数 = v; }
    int 取容错字节数() const { return m_容错字节数; }
    void 置容错字节数(int v) { m_容错字节数 = v; }
    int 取块数() const { return m_块数; }
    void 置块数(int v) { m_块数 = v; }

    // All seven integer fields set.
    bool 是否有效() const;
    // Cell (x, y) of the symbol; a value other than 0 or 1 reports
    // "值异常，当前值为：" + value.
    int 矩阵取值(int x, int y) const;
    static bool 是否有效掩码(int 掩码) { return 掩码 >= 0 && 掩码 < 8; }

private:
    模式类 m_模式;
    容错级别类 m_级别;
    int m_版本号 = -1;
    int m_矩阵宽度 = -1;
    int m_掩码图形 = -1;
    int m_总字节数 = -1;
    int m_数据字节数 = -1;
    int m_容错字节数 = -1;
    int m_块数 = -1;
    字节矩阵类 m_矩阵;
};

class 编码类 {
public:
    static constexpr std::string_view 类名 = "编码类";

    // The whole pipeline: text (UTF-8) at a level into the QR code object.
    void 编码(std::string_view 文本, const 容错级别类& 级别, 二维码类& 二维码) const;
    // Smallest version whose data codewords hold input bytes + 3; none
    // reports an empty message.
    void 初始化二维码(int 输入字节数, const 容错级别类& 级别, const 模式类& 模式, 二维码类& 二维码) const;
    void 追加数据字节(std::string_view 文本, const 模式类& 模式, 位向量类& 位) const;
    void 追加数字字节(std::string_view 文本, 位向量类& 位) const;
    // Every byte must have an alphanumeric value, else "无效值".
    void 追加字母数字字节(std::string_view 文本, 位向量类& 位) const;
    // The UTF-8 bytes of the text, 8 bits each.
    void 追加八位字节(std::string_view 文本, 位向量类& 位) const;
    模式类 选择模式(std::string_view 文本) const;
    // Table value for 0 <= code < 96, else -1.
    int 取字母数字码(int 字符码) const;
    void 追加模式信息(const 模式类& 模式, 位向量类& 位) const;
    // count must fit the mode's count bits, else "要添加信息过多".
    void 追加长度信息(int 数量, int 版本号, const 模式类& 模式, 位向量类& 位) const;
    // Terminator, zero bits to the byte boundary, pad codewords EC 11 EC ...
    void 结束数据位(int 数据码字数, 位向量类& 位) const;
    // Splits into blocks, adds the EC codewords and interleaves.
    void 交错容错字节(const 位向量类& 位, int 总码字数, int 数据码字数, int 块数, 位向量类& 结果) const;
    void 根据块ID取数据字节数和容错字节数(int 总码字数, int 数据码字数, int 块数, int 块号, int& 数据字节数,
                                          int& 容错字节数) const;
    字节数组类 生成容错字节(const 字节数组类& 块数据, int 容错字节数) const;
    // Sum of the four penalty rules.
    int 计算掩码惩罚(const 字节矩阵类& 矩阵) const;
    // Builds the symbol with each mask 0..7 and returns the one with the
    // lowest penalty (the lower number on ties). The matrix is left holding
    // the mask-7 build.
    int 选择掩码(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵) const;
};

// A block's data and error-correction codewords.
struct 块对类 {
    字节数组类 数据字节;
    字节数组类 容错字节;
};

}  // namespace qr

#include "qr/encoding.h"

#include <algorithm>
#include <vector>

#include "qr/fast_mask.h"
#include "qr/galois.h"
#include "qr/mask.h"
#include "qr/matrix_builder.h"
#include "qr/report.h"
#include "qr/tables.h"

namespace qr {
namespace {

struct 编码数据 {
    bool 已建立 = false;
    模式类 数字, 字母数字, 字节;
    std::array<容错级别类, 4> 级别;  // index order L, M, Q, H
    std::array<版本类, 40> 版本表;
};
编码数据 g_数据;

void 建立模式() {
    g_数据.数字.设置("10,12,14", 1, "数字");
    g_数据.字母数字.设置("9,11,13", 2, "字母数字");
    g_数据.字节.设置("8,16,16", 4, "字节");
}

void 建立版本表() {
    for (int v = 1; v <= 40; ++v) {
        std::array<容错块组类, 4> 块组;
        for (std::size_t l = 0; l < 4; ++l) {
            const 表::级别块结构& s = 表::纠错特性[static_cast<std::size_t>(v)][l];
            块组[l] = 容错块组类(s.每块容错, 容错块类(s.组1块数, s.组1数据), 容错块类(s.组2块数, s.组2数据));
        }
        g_数据.版本表[static_cast<std::size_t>(v - 1)] = 版本类(v, 块组);
    }
}

void 建立级别() {
    g_数据.级别[0].初始化级别(1, 1, "L");
    g_数据.级别[1].初始化级别(2, 0, "M");
    g_数据.级别[2].初始化级别(3, 3, "Q");
    g_数据.级别[3].初始化级别(4, 2, "H");
}

// A message followed by a number in decimal.
std::string 带数字(std::string_view 信息, int 数) {
    std::string 文本(信息);
    文本 += std::to_string(数);
    return 文本;
}

}  // namespace

// ---- modes, levels, versions -------------------------------------------

void 模式类::设置(std::string_view 长度文本, int 模式位, std::string 名称) {
    m_长度 = {};
    std::size_t i = 0;
    int 值 = 0;
    bool 有值 = false;
    for (char c : 长度文本) {
        if (c == ',') {
            if (i < m_长度.size()) m_长度[i++] = 值;
            值 = 0;
            有值 = false;
        } else if (c >= '0' && c <= '9') {
            值 = 值 * 10 + (c - '0');
            有值 = true;
        }
    }
    if (有值 && i < m_长度.size()) m_长度[i] = 值;
    m_模式位 = 模式位;
    m_名称 = std::move(名称);
}

int 模式类::取字符数位数(const 版本类& 版本) const {
    const int v = 版本.取版本号();
    return v <= 9 ? m_长度[0] : v <= 26 ? m_长度[1] : m_长度[2];
}

void 容错级别类::初始化级别(int 序号, int 格式位, std::string 字母) {
    m_序号 = 序号;
    m_格式位 = 格式位;
    m_字母 = std::move(字母);
}

容错块组类::容错块组类(int 每块容错码字数, 容错块类 组1, 容错块类 组2)
    : m_每块容错(每块容错码字数), m_组{组1, 组2}, m_组数(组2.取块数() > 0 ? 2 : 1) {}

int 容错块组类::取块数() const {
    int n = 0;
    for (int i = 0; i < m_组数; ++i) n += m_组[static_cast<std::size_t>(i)].取块数();
    return n;
}

版本类::版本类(int 版本号, const std::array<容错块组类, 4>& 块组) : m_版本号(版本号), m_块组(块组) {
    // The total follows from the L structure; every level adds up to it.
    const 容错块组类& L = 块组[0];
    for (int i = 0; i < L.取组数(); ++i)
        m_总码字数 += L.取块组(i).取块数() * (L.取块组(i).取数据码字数() + L.取每块容错码字数());
}

// ---- the QR code object -------------------------------------------------

void 二维码类::模块启动() {
    重置();
    建立模式();
    建立版本表();
    建立级别();
    QR域 = GF256();
    QR域.初始化域(0x11D);
    g_数据.已建立 = true;
}

void 二维码类::重置() { m_版本号 = m_矩阵宽度 = m_掩码图形 = m_总字节数 = m_数据字节数 = m_容错字节数 = m_块数 = -1; }

const 模式类& 二维码类::数字模式() { return g_数据.数字; }
const 模式类& 二维码类::字母数字模式() { return g_数据.字母数字; }
const 模式类& 二维码类::字节模式() { return g_数据.字节; }

版本类 二维码类::取版本_通过版本号(int 版本号) {
    if (版本号 < 1 || 版本号 > 40)
        模块错误报告(类名, "取版本_通过版本号", 带数字("版本号不在0到40之间。当前版本号：", 版本号));
    return g_数据.版本表[static_cast<std::size_t>(版本号 - 1)];
}

版本类 二维码类::取版本_通过维长度(int 维长度) {
    if (维长度 % 4 != 1) 模块错误报告(类名, "取版本_通过维长度", 带数字("维长度不为4的位数加1。当前维数：", 维长度));
    return 取版本_通过版本号((维长度 - 17) >> 2);
}

容错级别类 二维码类::取容错级别_按索引(int 序号) {
    if (序号 < 1 || 序号 > 4) 模块错误报告(类名, "取容错级别_按索引", 带数字("索引异常。当前索引：", 序号));
    return g_数据.级别[static_cast<std::size_t>(序号 - 1)];
}

bool 二维码类::是否有效() const {
    return m_版本号 != -1 && m_矩阵宽度 != -1 && m_掩码图形 != -1 && m_总字节数 != -1 && m_数据字节数 != -1 &&
           m_容错字节数 != -1 && m_块数 != -1;
}

int 二维码类::矩阵取值(int x, int y) const {
    const int 值 = m_矩阵.取值(x, y);
    if (值 != 0 && 值 != 1) 模块错误报告(类名, "矩阵取值", 带数字("值异常，当前值为：", 值));
    return 值;
}

// ---- the encoder ----------------------------------------------------------

void 编码类::编码(std::string_view 文本, const 容错级别类& 级别, 二维码类& 二维码) const {
    内部::位行符号 符号;
    内部::编码到位行(文本, 级别, 二维码, 符号);
}

void 编码类::初始化二维码(int 输入字节数, const 容错级别类& 级别, const 模式类& 模式, 二维码类& 二维码) const {
    二维码.置容错级别(级别);
    二维码.置模式(模式);
    if (g_数据.已建立) {
        for (const 版本类& 版本 : g_数据.版本表) {
            const 容错块组类& 块组 = 版本.取容错块组(级别);
            const int 总 = 版本.取总码字数();
            const int 容错 = 块组.取总容错码字数();
            const int 数据 = 总 - 容错;
            if (数据 >= 输入字节数 + 3) {
                二维码.置版本号(版本.取版本号());
                二维码.置总字节数(总);
                二维码.置数据字节数(数据);
                二维码.置块数(块组.取块数());
                二维码.置容错字节数(容错);
                二维码.置矩阵宽度(版本.取维长度());
                return;
            }
        }
    }
    模块错误报告(类名, "初始化二维码", "");
}

void 编码类::追加数据字节(std::string_view 文本, const 模式类& 模式, 位向量类& 位) const {
    if (模式.同模式(二维码类::数字模式())) {
        追加数字字节(文本, 位);
    } else if (模式.同模式(二维码类::字母数字模式())) {
        追加字母数字字节(文本, 位);
    } else {
        追加八位字节(文本, 位);
    }
}

void 编码类::追加数字字节(std::string_view 文本, 位向量类& 位) const {
    const std::size_t n = 文本.size();
    std::size_t i = 0;
    auto 数字 = [&](std::size_t k) { return static_cast<unsigned char>(文本[k]) - 0x30; };
    while (i < n) {
        const std::size_t 剩余 = n - i;
        if (剩余 >= 3) {
            位.追加多位(数字(i) * 100 + 数字(i + 1) * 10 + 数字(i + 2), 10);
            i += 3;
        } else if (剩余 == 2) {
            位.追加多位(数字(i) * 10 + 数字(i + 1), 7);
            i += 2;
        } else {
            位.追加多位(数字(i), 4);
            i += 1;
        }
    }
}

void 编码类::追加字母数字字节(std::string_view 文本, 位向量类& 位) const {
    const std::size_t n = 文本.size();
    for (std::size_t i = 0; i < n; i += 2) {
        const int v1 = 取字母数字码(static_cast<unsigned char>(文本[i]));
        if (v1 == -1) 模块错误报告(类名, "追加字母数字字节", "无效值");
        if (i + 1 < n) {
            const int v2 = 取字母数字码(static_cast<unsigned char>(文本[i + 1]));
            if (v2 == -1) 模块错误报告(类名, "追加字母数字字节", "无效值");
            位.追加多位(v1 * 45 + v2, 11);
        } else {
            位.追加多位(v1, 6);
        }
    }
}

void 编码类::追加八位字节(std::string_view 文本, 位向量类& 位) const {
    // The text is UTF-8 already; every byte goes in as it is, so no
    // character is ever dropped.
    for (char c : 文本) 位.追加多位(static_cast<unsigned char>(c), 8);
}

模式类 编码类::选择模式(std::string_view 文本) const {
    bool 有数字 = false;
    bool 有字母数字 = false;
    for (char c : 文本) {
        const int b = static_cast<unsigned char>(c);
        if (b >= '0' && b <= '9') {
            有数字 = true;
        } else if (取字母数字码(b) == -1) {
            return 二维码类::字节模式();
        } else {
            有字母数字 = true;
        }
    }
    if (有字母数字) return 二维码类::字母数字模式();
    if (有数字) return 二维码类::数字模式();
    return 二维码类::字节模式();
}

int 编码类::取字母数字码(int 字符码) const {
    return 字符码 >= 0 && 字符码 < 96 ? 表::字母数字表[static_cast<std::size_t>(字符码)] : -1;
}

void 编码类::追加模式信息(const 模式类& 模式, 位向量类& 位) const { 位.追加多位(模式.取模式位(), 4); }

void 编码类::追加长度信息(int 数量, int 版本号, const 模式类& 模式, 位向量类& 位) const {
    const int n = 模式.取字符数位数(二维码类::取版本_通过版本号(版本号));
    if (数量 > (1 << n) - 1) 模块错误报告(类名, "追加长度信息", "要添加信息过多");
    位.追加多位(数量, n);
}

void 编码类::结束数据位(int 数据码字数, 位向量类& 位) const {
    const int 容量 = 数据码字数 * 8;
    if (位.取大小() > 容量) 模块错误报告(类名, "结束数据位", "数据无法填充");
    if (位.取大小() < 容量) 位.追加多位(0, 4);
    // The terminator may overrun a stream shorter than the capacity by
    // fewer than four bits; the final length check catches that.
    while ((位.取大小() & 7) != 0) 位.追加位(0);
    if ((位.取大小() & 7) != 0) 模块错误报告(类名, "结束数据位", "位数不是8的倍数");
    const int 填充数 = 数据码字数 - 位.取字节数();
    for (int k = 1; k <= 填充数; ++k) 位.追加多位((k & 1) ? 0xEC : 0x11, 8);
    if (位.取大小() != 容量) 模块错误报告(类名, "结束数据位", "位长度不等于容量");
}

void 编码类::根据块ID取数据字节数和容错字节数(int 总码字数, int 数据码字数, int 块数, int 块号, int& 数据字节数,
                                              int& 容错字节数) const {
    if (块号 >= 块数) 模块错误报告(类名, "根据块ID取数据字节数和容错字节数", "无效值");
    const int 组2块数 = 总码字数 % 块数;
    const int 组1块数 = 块数 - 组2块数;
    const int 组1总 = 总码字数 / 块数;
    const int 组1数据 = 数据码字数 / 块数;
    const int 组1容错 = 组1总 - 组1数据;
    if (块号 < 组1块数) {
        数据字节数 = 组1数据;
    } else {
        数据字节数 = 组1数据 + 1;
    }
    容错字节数 = 组1容错;
}

void 编码类::交错容错字节(const 位向量类& 位, int 总码字数, int 数据码字数, int 块数, 位向量类& 结果) const {
    if (位.取字节数() != 数据码字数) 模块错误报告(类名, "交错容错字节", "位数和数据字节数不匹配");
    std::vector<块对类> 块组(static_cast<std::size_t>(std::max(块数, 0)));
    int 偏移 = 0;
    int 最大数据 = 0;
    int 最大容错 = 0;
    for (int i = 0; i < 块数; ++i) {
        int 数据数 = 0;
        int 容错数 = 0;
        根据块ID取数据字节数和容错字节数(总码字数, 数据码字数, 块数, i, 数据数, 容错数);
        块对类& 块 = 块组[static_cast<std::size_t>(i)];
        块.数据字节.置范围(位.数据(), 偏移, 数据数);
        块.容错字节 = 生成容错字节(块.数据字节, 容错数);
        最大数据 = std::max(最大数据, 数据数);
        最大容错 = std::max(最大容错, 容错数);
        偏移 += 数据数;
    }
    if (偏移 != 数据码字数) 模块错误报告(类名, "交错容错字节", "数据字节数写偏移量不匹配");
    for (int k = 1; k <= 最大数据; ++k)
        for (const 块对类& 块 : 块组)
            if (k <= 块.数据字节.取大小()) 结果.追加多位(块.数据字节.取元素(k), 8);
    for (int k = 1; k <= 最大容错; ++k)
        for (const 块对类& 块 : 块组)
            if (k <= 块.容错字节.取大小()) 结果.追加多位(块.容错字节.取元素(k), 8);
    if (结果.取字节数() != 总码字数) 模块错误报告(类名, "交错容错字节", "交错出错");
}

字节数组类 编码类::生成容错字节(const 字节数组类& 块数据, int 容错字节数) const {
    字节数组类 结果(容错字节数);
    if (容错字节数 <= 0 || 块数据.是否为空()) {
        // The Reed-Solomon encoder's own checks give the report.
        std::vector<int> 块(static_cast<std::size_t>(块数据.取大小() + std::max(容错字节数, 0)), 0);
        for (int i = 1; i <= 块数据.取大小(); ++i) 块[static_cast<std::size_t>(i - 1)] = 块数据.取元素(i);
        RS编码器类 编码器;
        编码器.RS编码器(QR域);
        编码器.编码(块, 容错字节数);
    }
    std::vector<std::uint8_t> 输出(static_cast<std::size_t>(容错字节数));
    内部::计算纠错码(块数据.数据(), 块数据.取大小(), 容错字节数, 输出.data());
    结果.置范围(输出, 0, 容错字节数);
    return 结果;
}

int 编码类::计算掩码惩罚(const 字节矩阵类& 矩阵) const {
    掩码辅助类 辅助;
    return 辅助.取惩罚分_规则1(矩阵) + 辅助.取惩罚分_规则2(矩阵) + 辅助.取惩罚分_规则3(矩阵) +
           辅助.取惩罚分_规则4(矩阵);
}

int 编码类::选择掩码(const 位向量类& 数据位, const 容错级别类& 级别, int 版本号, 字节矩阵类& 矩阵) const {
    int 最佳 = -1;
    int 最低 = 2147483647;
    矩阵应用类 应用;
    for (int m = 0; m < 8; ++m) {
        应用.构建矩阵(数据位, 级别, 版本号, m, 矩阵);
        const int p = 计算掩码惩罚(矩阵);
        if (p < 最低) {
            最低 = p;
            最佳 = m;
        }
    }
    return 最佳;
}

// ---- the encoding in one pass ----------------------------------------------

namespace 内部 {
namespace {

constexpr int 最大码字数 = 3706;

// Bits into bytes, most significant bit first.
class 位写入器 {
public:
    explicit 位写入器(std::uint8_t* 出) : m_出(出) {}
    // The low count bits of value, count <= 24.
    void 写(std::uint32_t 值, int 位数) {
        m_累积 = (m_累积 << 位数) | (值 & ((std::uint32_t{1} << 位数) - 1));
        m_待写 += 位数;
        while (m_待写 >= 8) {
            m_待写 -= 8;
            m_出[m_字节++] = static_cast<std::uint8_t>(m_累积 >> m_待写);
        }
    }
    // Zero bits up to the byte boundary.
    void 补齐() {
        if (m_待写 > 0) m_出[m_字节++] = static_cast<std::uint8_t>(m_累积 << (8 - m_待写));
        m_待写 = 0;
    }
    void 追加字节(std::uint8_t b) { m_出[m_字节++] = b; }  // at the byte boundary only
    int 位数() const { return 8 * m_字节 + m_待写; }
    int 字节数() const { return m_字节; }

private:
    std::uint8_t* m_出;
    std::uint64_t m_累积 = 0;
    int m_待写 = 0;
    int m_字节 = 0;
};

}  // namespace

void 编码到位行(std::string_view 文本, const 容错级别类& 级别, 二维码类& 二维码, 位行符号& 符号) {
    const 编码类 编码器;
    const 模式类 模式 = 编码器.选择模式(文本);
    const int 模式位 = 模式.取模式位();
    const int n = static_cast<int>(文本.size());
    int 数据位数 = 8 * n;
    if (模式位 == 1) {
        数据位数 = 10 * (n / 3) + (n % 3 == 1 ? 4 : n % 3 == 2 ? 7 : 0);
    } else if (模式位 == 2) {
        数据位数 = 11 * (n / 2) + 6 * (n % 2);
    }
    const int 输入字节数 = (数据位数 + 7) / 8;
    编码器.初始化二维码(输入字节数, 级别, 模式, 二维码);

    const int 版本号 = 二维码.取版本号();
    const int 数量 = 模式位 == 4 ? 输入字节数 : n;
    const int 计数位 = 模式.取字符数位数(g_数据.版本表[static_cast<std::size_t>(版本号 - 1)]);
    if (数量 > (1 << 计数位) - 1) 模块错误报告(编码类::类名, "追加长度信息", "要添加信息过多");

    // Header, data, terminator and pad codewords (room for a terminator
    // that runs over).
    std::uint8_t 码字[最大码字数 + 16];
    位写入器 w(码字);
    w.写(static_cast<std::uint32_t>(模式位), 4);
    w.写(static_cast<std::uint32_t>(数量), 计数位);
    auto 字 = [&](int i) { return static_cast<std::uint8_t>(文本[static_cast<std::size_t>(i)]); };
    if (模式位 == 1) {
        int i = 0;
        for (; i + 3 <= n; i += 3)
            w.写(static_cast<std::uint32_t>((字(i) - 0x30) * 100 + (字(i + 1) - 0x30) * 10 + 字(i + 2) - 0x30), 10);
        if (n - i == 2) w.写(static_cast<std::uint32_t>((字(i) - 0x30) * 10 + 字(i + 1) - 0x30), 7);
        if (n - i == 1) w.写(static_cast<std::uint32_t>(字(i) - 0x30), 4);
    } else if (模式位 == 2) {
        int i = 0;
        for (; i + 2 <= n; i += 2)
            w.写(static_cast<std::uint32_t>(表::字母数字表[字(i)] * 45 + 表::字母数字表[字(i + 1)]), 11);
        if (i < n) w.写(static_cast<std::uint32_t>(表::字母数字表[字(i)]), 6);
    } else {
        for (int i = 0; i < n; ++i) w.写(字(i), 8);
    }

    const int 数据码字数 = 二维码.取数据字节数();
    const int 容量 = 8 * 数据码字数;
    if (w.位数() > 容量) 模块错误报告(编码类::类名, "结束数据位", "数据无法填充");
    if (w.位数() < 容量) w.写(0, 4);
    w.补齐();
    const int 填充数 = 数据码字数 - w.字节数();
    for (int k = 1; k <= 填充数; ++k) w.追加字节((k & 1) ? 0xEC : 0x11);
    if (w.位数() != 容量) 模块错误报告(编码类::类名, "结束数据位", "位长度不等于容量");

    // Blocks: the first group's blocks hold one data codeword fewer than
    // the second's; every block has the same number of EC codewords.
    const int 总 = 二维码.取总字节数();
    const int 块数 = 二维码.取块数();
    const int 组1块数 = 块数 - 总 % 块数;
    const int 组1数据 = 数据码字数 / 块数;
    const int 容错 = 总 / 块数 - 组1数据;
    if (块数 * 组1数据 + (块数 - 组1块数) != 数据码字数)
        模块错误报告(编码类::类名, "交错容错字节", "数据字节数写偏移量不匹配");
    std::uint8_t 纠错[最大码字数];
    for (int i = 0, 偏移 = 0; i < 块数; ++i) {
        const int 数 = 组1数据 + (i >= 组1块数 ? 1 : 0);
        计算纠错码(码字 + 偏移, 数, 容错, 纠错 + i * 容错);
        偏移 += 数;
    }
    std::uint8_t 交错[最大码字数];
    int 位置 = 0;
    for (int k = 0; k < 组1数据; ++k)
        for (int i = 0; i < 块数; ++i) 交错[位置++] = 码字[i * 组1数据 + std::max(0, i - 组1块数) + k];
    for (int i = 组1块数; i < 块数; ++i) 交错[位置++] = 码字[i * 组1数据 + (i - 组1块数) + 组1数据];
    for (int k = 0; k < 容错; ++k)
        for (int i = 0; i < 块数; ++i) 交错[位置++] = 纠错[i * 容错 + k];
    if (位置 != 总) 模块错误报告(编码类::类名, "交错容错字节", "交错出错");

    const int 掩码 = 布局并选择掩码(交错, 8 * 总, 级别.取格式位(), 版本号, 符号);
    写入字节矩阵(符号, 二维码.可写矩阵());
    二维码.置掩码图形(掩码);
    if (!二维码.是否有效()) 模块错误报告(编码类::类名, "编码", "无效的二维码");
}

}  // namespace 内部

}  // namespace qr

#include "qr/report.h"

#include <cstdio>
#include <cstdlib>

namespace qr {
namespace {

void 默认处理(const std::string& 来源, const std::string& 方法, const std::string& 信息) {
    const std::string 文本 = 模块错误报告文本(来源, 方法, 信息);
    std::fprintf(stderr, "%s\n", 文本.c_str());
    std::fflush(stderr);
    std::abort();
}

模块错误报告处理 当前处理 = &默认处理;

}  // namespace

模块错误报告处理 设置模块错误报告处理(模块错误报告处理 处理) noexcept {
    模块错误报告处理 旧 = 当前处理;
    当前处理 = 处理 ? 处理 : &默认处理;
    return 旧;
}

std::string 模块错误报告文本(std::string_view 来源, std::string_view 方法, std::string_view 信息) {
    std::string 文本 = "异常来源：[";
    文本 += 来源;
    文本 += "]\r\n方法名称：";
    文本 += 方法;
    文本 += "()\r\n异常信息：";
    文本 += 信息;
    return 文本;
}

void 模块错误报告(std::string_view 来源, std::string_view 方法, std::string_view 信息) {
    当前处理(std::string(来源), std::string(方法), std::string(信息));
    // A handler that comes back must not let the module carry on.
    std::abort();
}

void 模块错误报告() { 模块错误报告("无", "无", "无"); }

}  // namespace qr

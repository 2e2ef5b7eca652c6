// The QR module's fatal error report.
//
// Every failure the module detects ends in 模块错误报告. The program installs
// a handler at start-up (it shows the text in a message box and ends the
// process); tests install one that throws. The report never returns: if an
// installed handler returns anyway, the process is aborted, because the
// caller's state is no longer trustworthy.
#pragma once

#include <string>
#include <string_view>

namespace qr {

// A handler receives source (class-name text of the reporting object),
// method (without parentheses) and message. A report without details
// arrives as "无", "无", "无".
using 模块错误报告处理 = void (*)(const std::string& 来源, const std::string& 方法, const std::string& 信息);

// Installs a handler; nullptr restores the default (text to standard error,
// then abort). Returns the previous handler.
模块错误报告处理 设置模块错误报告处理(模块错误报告处理 处理) noexcept;

// "异常来源：[" + source + "]\r\n方法名称：" + method + "()\r\n异常信息：" + message
std::string 模块错误报告文本(std::string_view 来源, std::string_view 方法, std::string_view 信息);

[[noreturn]] void 模块错误报告(std::string_view 来源, std::string_view 方法, std::string_view 信息);
// The report without details: "无" as source, method and message.
[[noreturn]] void 模块错误报告();

}  // namespace qr

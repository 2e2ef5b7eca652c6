#include "shell/QrFatalReport.h"

#include "ui/MessageBox.h"

#include "qr/report.h"

#include <cstdlib>

namespace qrfatal {
namespace {

void report(const std::string& source, const std::string& method, const std::string& message)
{
    const std::string text = qr::模块错误报告文本(source, method, message);
    msgbox::show(QString::fromStdString(text), msgbox::Icon::Error, QStringLiteral("程序运行异常提示"));
    std::exit(0);
}

} // namespace

void install()
{
    qr::设置模块错误报告处理(&report);
}

} // namespace qrfatal

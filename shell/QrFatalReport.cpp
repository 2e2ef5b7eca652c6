#include "shell/QrFatalReport.h"

#include "ui/MessageBox.h"

#include "qr/report.h"

namespace qrfatal {
namespace {

void report(const std::string& source, const std::string& method, const std::string& message)
{
    const std::string text = qr::模块错误报告文本(source, method, message);
    msgbox::show(QString::fromStdString(text), msgbox::Icon::Error, QStringLiteral("程序运行异常提示"));
    throw ProgramEnds{};
}

} // namespace

void install()
{
    qr::设置模块错误报告处理(&report);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const ProgramEnds&) {
        // The box has been shown; the loop ends and main returns 0.
        QCoreApplication::exit(0);
        return true;
    }
}

} // namespace qrfatal

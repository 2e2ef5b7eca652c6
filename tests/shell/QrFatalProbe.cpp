// Runs the program's answer to a QR module failure in a process of its
// own: the message box is recorded to standard output instead of shown.
#include "shell/QrFatalReport.h"
#include "ui/MessageBox.h"

#include "qr/facade.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    msgbox::setInterceptor([](const msgbox::Message& m) {
        std::printf("%s\n%s\n%d\n", m.caption.toUtf8().constData(), m.text.toUtf8().constData(),
                    static_cast<int>(m.icon));
        std::fflush(stdout);
        return true;
    });
    qrfatal::install();
    qr::初始化二维码模块();
    (void)qr::创建二维码("", "H", 100, 100, 0xFFFFFF, 0);
    std::printf("returned\n");
    return 3;
}

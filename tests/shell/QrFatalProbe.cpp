// Runs the program's answer to a QR module failure in a process of its
// own: the message box is recorded to standard output instead of shown.
// With the argument "event" the failure happens inside the event loop (a
// timer event, as a click on a window would); without it, before the loop,
// where the program starts the module. An object made before the failure
// says when it is destroyed.
#include "shell/QrFatalReport.h"
#include "ui/MessageBox.h"

#include "qr/facade.h"

#include <QTimer>

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

struct Witness {
    ~Witness()
    {
        std::printf("destroyed\n");
        std::fflush(stdout);
    }
};

void failInTheModule()
{
    (void)qr::创建二维码("", "H", 100, 100, 0xFFFFFF, 0);
    std::printf("returned\n");
}

int run(int& argc, char* argv[])
{
    qrfatal::Application app(argc, argv);
    msgbox::setInterceptor([](const msgbox::Message& m) {
        std::printf("%s\n%s\n%d\n", m.caption.toUtf8().constData(), m.text.toUtf8().constData(),
                    static_cast<int>(m.icon));
        std::fflush(stdout);
        return true;
    });
    const Witness witness;
    qrfatal::install();
    qr::初始化二维码模块();
    if (argc > 1 && qstrcmp(argv[1], "event") == 0) {
        QTimer::singleShot(0, &app, &failInTheModule);
        const int code = app.exec();
        std::printf("loop ended\n");
        return code;
    }
    failInTheModule();
    return 3;
}

} // namespace

int main(int argc, char* argv[])
{
#ifdef _WIN32
    // The bytes as written: no "\r" before each "\n".
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    try {
        return run(argc, argv);
    } catch (const qrfatal::ProgramEnds&) {
        return 0;
    }
}

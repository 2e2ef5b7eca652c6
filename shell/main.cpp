// Quillmark: the materials-issue station of the warehouse counter.
#include "app/AppPaths.h"
#include "app/InstanceLock.h"
#include "shell/QrFatalReport.h"
#include "shell/StartWindow.h"
#include "shell/Translations.h"
#include "ui/MessageBox.h"

#include "qr/facade.h"

#include <QApplication>
#include <QTimer>

namespace {

int run(int& argc, char* argv[])
{
    qrfatal::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    // Qt's own buttons and calendar in Chinese, like the rest of the program.
    translations::installChinese(app);

    // One copy per data directory: a second one would write set.ini and the
    // log at the same time as the first and lose writes of both. It says so
    // and ends before it touches anything.
    InstanceLock instance(apppaths::dataDirectory());
    if (instance.acquire() == InstanceLock::Result::HeldByAnother) {
        msgbox::show(QStringLiteral("Quillmark 已经在运行，请使用已打开的窗口"));
        return 0;
    }

    // 1. The QR module's shared objects exist before any window; its
    //    failures end the program through one error box, and main returns.
    qrfatal::install();
    qr::初始化二维码模块();

    // 2. The look is compiled in (a style sheet); the start window applies
    //    it when it is created.

    // 3. The start window; its created handler runs once it is on screen,
    //    so that the connection window can appear on top of it.
    StartWindow window;
    window.show();
    QTimer::singleShot(0, &window, &StartWindow::onCreated);

    // 4. Until the start window closes; its destruction closes the ERP
    //    connection.
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    try {
        return run(argc, argv);
    } catch (const qrfatal::ProgramEnds&) {
        // A QR failure before the event loop ran: the box has been shown,
        // and everything run() made has been destroyed on the way here.
        return 0;
    }
}

// Connects with the settings in the data directory given as argument, as
// the start window does once the program's event loop runs. Prints each
// message and the connection window when it appears, then presses that
// window's cancel button. The event loop should then return exit code 0
// to main; connecting is a failure (exit code 3).
#include "app/AppPaths.h"
#include "erp/ErpSession.h"
#include "erp_ui/SessionConnect.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    apppaths::setDataDirectory(QString::fromLocal8Bit(argv[1]));
    msgbox::setInterceptor([](const msgbox::Message& m) {
        std::printf("message: %s\n", m.text.toUtf8().constData());
        std::fflush(stdout);
        return true;
    });
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, &app, [] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        std::printf("window: %s\n", w->objectName().toUtf8().constData());
        std::fflush(stdout);
        if (auto* cancel = w->findChild<QPushButton*>(QStringLiteral("按钮_取消")))
            cancel->click();
    });
    timer.start();
    ErpSession session;
    QTimer::singleShot(0, &app, [&session] {
        if (erpui::connectSession(session, nullptr)) {
            std::printf("connected\n");
            QCoreApplication::exit(3);
        }
    });
    return app.exec();
}

// Quillmark: the materials-issue station of the warehouse counter.
#include "StartWindow.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));

    // The QR module's shared objects are made before any window exists.
    // (Its start-up is called here once the module is part of the build.)

    StartWindow window;
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    // The created handler runs once the window is on screen, so that the
    // connection window can appear on top of it.
    QTimer::singleShot(0, &window, &StartWindow::onCreated);
    return app.exec();
}

// One program at a counter, for the test of two programs on one account
// set: station_probe <data directory>. It starts as the program does
// (set.ini in the data directory), clicks 在线模式 and reports on standard
// output:
//   "opened <since>"  the scanning window is open under the station hold
//                     taken at <since>; it closes once the file "close"
//                     appears in the data directory;
//   "message <text>"  a message box the click showed instead;
//   "closed"          the click has returned.
#include "app/AppPaths.h"
#include "shell/StartWindow.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

void report(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    const QString dataDirectory = app.arguments().at(1);
    apppaths::setDataDirectory(dataDirectory);
    msgbox::setInterceptor([](const msgbox::Message& m) {
        report(QStringLiteral("message ") + m.text);
        return true;
    });

    StartWindow window;
    window.onCreated();
    QTimer watch;
    QTimer::singleShot(0, &window, [&] {
        QWidget* station = QApplication::activeModalWidget();
        if (!station || station->objectName() != QStringLiteral("窗口_在线扫码出库"))
            return;
        report(QStringLiteral("opened ") + window.stationHold().holder().since);
        QObject::connect(&watch, &QTimer::timeout, station, [station, dataDirectory] {
            if (QFile::exists(QDir(dataDirectory).filePath(QStringLiteral("close"))))
                station->close();
        });
        watch.start(20);
    });
    window.findChild<QPushButton*>(QStringLiteral("按钮_在线模式"))->click();
    report(QStringLiteral("closed"));
    return 0;
}

// Every window but the scanning station on a small factory screen: opened
// on an offscreen screen of the given size, each window and every one of
// its controls lies within the screen's reach, and a screenshot is kept.
// Run once per screen size (QUILLMARK_TEST_SCREEN=1366x768, 1280x720).
#include "erp/RecordSet.h"
#include "erp_ui/ConnectionWindow.h"
#include "labels/DeviceLabelWindow.h"
#include "labels/PersonLabelWindow.h"
#include "scanner_setup/ScannerSetupWindow.h"
#include "shell/StartWindow.h"
#include "tests/support/ShellTestEnvironment.h"

#include "qr/facade.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

QSize screenSize()
{
    const QString wanted = qEnvironmentVariable("QUILLMARK_TEST_SCREEN", QStringLiteral("1366x768"));
    const QStringList parts = wanted.split(u'x');
    return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize(1366, 768);
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qr::初始化二维码模块(); }

    void everyControlIsWithinTheScreen_data()
    {
        QTest::addColumn<int>("window");
        QTest::addRow("start") << 0;
        QTest::addRow("person labels") << 1;
        QTest::addRow("device labels") << 2;
        QTest::addRow("scanner set-up") << 3;
        QTest::addRow("connection") << 4;
    }
    void everyControlIsWithinTheScreen()
    {
        QFETCH(int, window);
        ShellTestEnvironment env;
        RecordSet records(QStringLiteral("记录集2"));
        std::unique_ptr<QWidget> w;
        switch (window) {
        case 0: w = std::make_unique<StartWindow>(); break;
        case 1: w = std::make_unique<PersonLabelWindow>(records); break;
        case 2: w = std::make_unique<DeviceLabelWindow>(records); break;
        case 3: w = std::make_unique<ScannerSetupWindow>(); break;
        default: w = std::make_unique<ConnectionWindow>(); break;
        }
        QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->size(), screenSize());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect reach = screen->availableGeometry();
        QVERIFY2(reach.contains(w->frameGeometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                .arg(w->objectName())
                                .arg(w->frameGeometry().x())
                                .arg(w->frameGeometry().y())
                                .arg(w->frameGeometry().width())
                                .arg(w->frameGeometry().height())));
        // Every control the user can see lies wholly on the screen, and
        // wholly inside its parent (nothing is cut off by the window).
        int controls = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(w.get()) || c->objectName().isEmpty() || c->objectName().startsWith(u'q'))
                continue;
            ++controls;
            const QRect global(c->mapToGlobal(QPoint(0, 0)), c->size());
            QVERIFY2(reach.contains(global), qPrintable(c->objectName()));
            QVERIFY2(c->parentWidget()->rect().adjusted(-1, -1, 1, 1).contains(c->geometry()), qPrintable(c->objectName()));
        }
        QVERIFY(controls > 5);
        // The screenshot, for a person to look at.
        const QString folder = QDir::current().filePath(QStringLiteral("screenshots"));
        QDir().mkpath(folder);
        const QImage shot = w->grab().toImage();
        QVERIFY(shot.save(QStringLiteral("%1/%2-%3x%4.png")
                              .arg(folder, w->objectName())
                              .arg(screenSize().width())
                              .arg(screenSize().height())));
    }
};

int main(int argc, char* argv[])
{
    // An offscreen screen of the size asked for.
    QTemporaryDir dir;
    const QSize size = screenSize();
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(QStringLiteral(R"({"screens": [{"name": "factory", "x": 0, "y": 0, "width": %1, "height": %2,
        "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(size.width())
                   .arg(size.height())
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    WindowFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowFitTest.moc"

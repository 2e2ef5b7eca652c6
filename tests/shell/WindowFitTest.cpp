// Every window on a small factory screen: opened on an offscreen screen of
// the given size, each window and every one of its controls lies within the
// screen's reach (the scanning station's by scrolling its canvas), and a
// screenshot is kept. Run once per screen size (QUILLMARK_TEST_SCREEN=
// 1366x768, 1280x720).
#include "erp/RecordSet.h"
#include "erp_ui/ConnectionWindow.h"
#include "labels/DeviceLabelWindow.h"
#include "labels/PersonLabelWindow.h"
#include "scanner_setup/ScannerSetupWindow.h"
#include "shell/StartWindow.h"
#include "station/ScanWindow.h"
#include "tests/support/ShellTestEnvironment.h"
#include "tests/support/StationFixture.h"

#include "qr/facade.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

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
        case 0:
            w = std::make_unique<StartWindow>();
            break;
        case 1:
            w = std::make_unique<PersonLabelWindow>(records);
            break;
        case 2:
            w = std::make_unique<DeviceLabelWindow>(records);
            break;
        case 3:
            w = std::make_unique<ScannerSetupWindow>();
            break;
        default:
            w = std::make_unique<ConnectionWindow>();
            break;
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
            QVERIFY2(c->parentWidget()->rect().adjusted(-1, -1, 1, 1).contains(c->geometry()),
                     qPrintable(c->objectName()));
        }
        QVERIFY(controls > 5);
        saveShot(*w, QString());
    }

    // The scanning station keeps its controls at their design places on a
    // canvas of 1912 x 992 that scrolls inside the window: the window fits
    // the screen, and every control, 信息, the progress bar and every grid
    // column among them, can be scrolled into view whole (or, larger than
    // the view, edge by edge).
    void stationIsReachableByScrolling()
    {
        StationFixture f;
        QVERIFY(f.ok);
        ScanWindow w(*f.erp, &f.player);
        QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->size(), screenSize());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect reach = screen->availableGeometry();
        QVERIFY2(reach.contains(w.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2").arg(w.frameGeometry().width()).arg(w.frameGeometry().height())));
        auto* area = w.findChild<QScrollArea*>(QStringLiteral("滚动区"));
        QVERIFY(area);
        QWidget* canvas = area->widget();
        QWidget* view = area->viewport();
        const QRect shown(view->mapToGlobal(QPoint(0, 0)), view->size());
        QVERIFY(reach.contains(shown));
        // The scroll bars reach every part of the canvas.
        QCOMPARE(area->horizontalScrollBar()->maximum(), std::max(0, canvas->width() - view->width()));
        QCOMPARE(area->verticalScrollBar()->maximum(), std::max(0, canvas->height() - view->height()));
        QVERIFY(canvas->width() > view->width()); // on these screens it does scroll

        int controls = 0;
        for (QWidget* c : canvas->findChildren<QWidget*>()) {
            const QString name = c->objectName();
            if (!c->isVisibleTo(&w) || name.isEmpty() || name.at(0).unicode() < 128)
                continue;
            ++controls;
            // Inside its parent, so that nothing is cut off by it.
            QVERIFY2(c->parentWidget()->rect().adjusted(-1, -1, 1, 1).contains(c->geometry()), qPrintable(name));
            // Scrolled to each corner of the control, that corner is on the screen.
            const QRect inCanvas(c->mapTo(canvas, QPoint(0, 0)), c->size());
            for (const QPoint corner : {inCanvas.topLeft(), inCanvas.bottomRight()}) {
                area->ensureVisible(corner.x(), corner.y(), 1, 1);
                const QPoint global = canvas->mapToGlobal(corner);
                QVERIFY2(shown.contains(global), qPrintable(name));
            }
            // A control smaller than the view can be seen whole.
            if (c->width() <= view->width() && c->height() <= view->height()) {
                area->ensureWidgetVisible(c, 0, 0);
                QVERIFY2(shown.contains(QRect(c->mapToGlobal(QPoint(0, 0)), c->size())), qPrintable(name));
            }
        }
        QVERIFY(controls > 40);
        // Every column of both grids fits its grid.
        for (const char* grid : {"高级表格_材料出库单明细", "高级表格_库存查询"}) {
            auto* table = w.findChild<QTableView*>(QString::fromUtf8(grid));
            QVERIFY(table);
            QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width(), grid);
        }
        area->ensureVisible(0, 0, 0, 0);
        saveShot(w, QString());
        // Scrolled to the far corner: 信息, the progress bar and the grid's
        // last columns.
        area->ensureVisible(canvas->width() - 1, canvas->height() - 1, 0, 0);
        saveShot(w, QStringLiteral("-scrolled"));
    }

private:
    // The screenshot, for a person to look at.
    static void saveShot(QWidget& w, const QString& suffix)
    {
        const QString folder = QDir::current().filePath(QStringLiteral("screenshots"));
        QDir().mkpath(folder);
        const QImage shot = w.grab().toImage();
        QVERIFY(shot.save(QStringLiteral("%1/%2-%3x%4%5.png")
                              .arg(folder, w.objectName())
                              .arg(screenSize().width())
                              .arg(screenSize().height())
                              .arg(suffix)));
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
    qputenv("QT_QPA_PLATFORM", (u"offscreen:configfile="_s + config).toUtf8());
    QApplication app(argc, argv);
    WindowFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowFitTest.moc"

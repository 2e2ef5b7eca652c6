// The scanning window driven as the warehouse drives it: scans typed into
// 编辑框_条码 as a scanner types them, grid edits by double-click and the
// popup menu, searches from the keyword field, all against the demo ERP.
#include "tests/support/StationFixture.h"

#include "station/CachedCellDelegate.h"

#include "app/Clock.h"
#include "bookings/StagingTable.h"
#include "erp/MasterData.h"
#include "station/ScanWindow.h"
#include "tests/support/OdbcSetup.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <tuple>

using namespace Qt::StringLiterals;

using Path = StationFixture::Path;

namespace {

const QString kTime = QStringLiteral("2026-03-04 08:05:09");

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class ScanWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTestOdbcDrivers();
        appclock::setFixedNow(QDateTime::fromString(kTime, QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    }
    void init() { start(Path::Embedded); }
    void cleanup()
    {
        w.reset();
        f.reset();
    }

    void controlsAreWhereTheWindowTableSays_data();
    void controlsAreWhereTheWindowTableSays();
    void fontsFollowTheControlTables();
    void openingShowsHeaderAndStagedLinesNewestOnTop();
    void setUpStopsWhenTheStagingTableCannotBeMade();
    void clockShowsTheTimeEverySecond();
    void focusSwitchesTheTabs();
    void deviceStaysForProductionOnly_data();
    void deviceStaysForProductionOnly();
    void refusedScans_data();
    void refusedScans();
    void lineThatCannotBeStagedSaysSo();
    void stockIsShownAndOverdrawIsMarked();
    void quantityEdits_data();
    void quantityEdits();
    void editingAnOlderLineChecksItsOwnItem();
    void quantityThatCannotBeStagedSaysSo();
    void escapeAndControlCharactersInTheScanField();
    void scanDuringTheOverStockQuestionWaitsForIt_data();
    void scanDuringTheOverStockQuestionWaitsForIt();
    void gridRepaintCopiesWhatItDrewBefore();
    void deletionsRenumberAndRewrite_data();
    void deletionsRenumberAndRewrite();
    void restartShowsTheSameLines();
    void unsavedLineSurvivesAFailedDeleteAndIsSavedLater();
    void searchListsMatchingItems();
    void shortKeywordsDoNothing();
    void secondSearchReplacesTheFirst();
    void scanDuringALongSearchWaitsForIt();
    void badInputBreaksNothing_data();
    void badInputBreaksNothing();
    void scanSequenceOverOdbc();
    void nothingIsCutOff();
    void voucherButtonsWriteAndUpdateCounters();
    void headerThatDoesNotCheckOutIsRedAndRefused_data();
    void headerThatDoesNotCheckOutIsRedAndRefused();
    void voucherFailureNamesItsCauseAndKeepsTheHistory_data();
    void voucherFailureNamesItsCauseAndKeepsTheHistory();
    void deviceEndsWithItsWorker();
    void headerNotCheckedAtOpeningIsCheckedAtTheClick();
    void commandBarcodesTypedByTheScanner();
    void scannerKeysReachTheScanFieldFromAnyControl_data();
    void scannerKeysReachTheScanFieldFromAnyControl();
    void deleteAllLinesAsksWithNoAsTheDefault_data();
    void deleteAllLinesAsksWithNoAsTheDefault();
    void scanDuringAMessageBoxWaitsForIt();
    void closingSaysWhatStaysStaged();

private:
    void start(Path path)
    {
        w.reset();
        f.reset(); // before the next one takes over the data directory and message boxes
        f = std::make_unique<StationFixture>(path);
        QVERIFY(f->ok);
        open();
    }
    void open()
    {
        w = std::make_unique<ScanWindow>(*f->erp, &f->player);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    template <class T = QWidget> T* child(const QString& name) const
    {
        auto* c = w->findChild<T*>(name);
        if (!c)
            qWarning("no control %s", qPrintable(name));
        return c;
    }
    QLineEdit* field(const char* name) const { return child<QLineEdit>(s(name)); }
    QString text(const char* name) const { return field(name)->text(); }
    StationGrid& grid() { return w->station().detailGrid(); }
    QTableView* detailView() const { return child<QTableView>(s("高级表格_材料出库单明细")); }

    // Types text as a scanner does: printable ASCII key by key, anything
    // else as committed input.
    static void type(QWidget* target, const QString& text)
    {
        // Long texts go in as one committed input: key by key they would
        // only slow the test down.
        const bool byKey = text.size() < 200;
        QString run;
        const auto flush = [&] {
            if (run.isEmpty())
                return;
            QInputMethodEvent commit;
            commit.setCommitString(run);
            QApplication::sendEvent(target, &commit);
            run.clear();
        };
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u == u'\r' || u == u'\n' || u == u'\t') {
                flush();
                const Qt::Key key = u == u'\t' ? Qt::Key_Tab : u == u'\r' ? Qt::Key_Return : Qt::Key_unknown;
                QTest::sendKeyEvent(QTest::Click, target, key, QString(c), Qt::NoModifier);
            } else if (byKey && u >= 32 && u < 127) {
                flush();
                QTest::keyClick(target, char(u));
            } else {
                run += c;
            }
        }
        flush();
    }
    void scan(const QString& code)
    {
        auto* e = field("编辑框_条码");
        type(e, code);
        QTest::keyClick(e, Qt::Key_Return);
    }
    // The stock search fills its grid from a timer: waits until it is done.
    void searched() { QTRY_VERIFY_WITH_TIMEOUT(!w->station().isBusy(), 60000); }
    void scanAll(const QStringList& codes)
    {
        for (const QString& c : codes)
            scan(c);
    }
    QStringList gridRows()
    {
        QStringList out;
        for (int r = 1; r < grid().systemRowCount(); ++r)
            out << grid().rowTexts(r).join(u'|');
        return out;
    }
    QStringList column(StationGrid& g, int c)
    {
        QStringList out;
        for (int r = 1; r < g.systemRowCount(); ++r)
            out << g.text(r, c);
        return out;
    }
    QStringList promptLines() const
    {
        return w->station().promptText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QString person(const QString& job, const char* field) const
    {
        return f->scalar(s("select ") + s(field) + s(" from hr_hi_person where JobNumber='") + job + u'\'');
    }
    // Edits the quantity of a grid row as the clerk does: double-click,
    // type, Enter; waits until the edit is handled.
    void editQuantity(int row, const QString& quantity)
    {
        QTableView* view = detailView();
        const QModelIndex index = grid().indexOf(row, 5);
        view->scrollTo(index);
        view->setCurrentIndex(index);
        const QPoint at = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY2(editor && editor->parentWidget() == view->viewport(), "no editor opened");
        editor->selectAll();
        type(editor, quantity);
        QTest::keyClick(editor, Qt::Key_Return);
        // Handled once the editor has closed.
        QTRY_VERIFY(!view->isPersistentEditorOpen(index) && QApplication::focusWidget() != editor);
        QTest::qWait(20);
        // A question is shown once the handler has returned; wait for its answer.
        QTRY_VERIFY(!w->station().isAsking());
    }
    void triggerMenu(const char* caption)
    {
        auto* menu = child<QMenu>(s("出库明细右键"));
        QVERIFY(menu);
        for (QAction* a : menu->actions()) {
            if (a->text() == s(caption)) {
                a->trigger();
                return;
            }
        }
        QFAIL(caption);
    }
    void addItems(int count, const QString& name)
    {
        QStringList statements;
        for (int i = 1; i <= count; ++i) {
            const QString code = QStringLiteral("BULK-%1").arg(i, 5, 10, QLatin1Char('0'));
            statements << QStringLiteral("insert into inventory (cInvCode,cInvName,cInvStd,cComUnitCode,cPosition,"
                                         "cInvDefine3,dSDate) values ('%1','%2','STD-%3','01','B01-1','五金区01架1层',"
                                         "'2021-01-01')")
                              .arg(code, name)
                              .arg(i)
                       << QStringLiteral("insert into CurrentStock (cWhCode,cInvCode,cBatch,iQuantity) values "
                                         "('02','%1','B1',%2)")
                              .arg(code)
                              .arg(i % 50);
        }
        statements << QStringLiteral("create index if not exists ix_stock_item on CurrentStock (cInvCode)");
        QVERIFY(f->exec(statements));
    }

    std::unique_ptr<StationFixture> f;
    std::unique_ptr<ScanWindow> w;
};

void ScanWindowTest::controlsAreWhereTheWindowTableSays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    const auto row = [](const char* name, const char* parent, QRect r, const char* caption = "") {
        QTest::newRow(name) << s(name) << s(parent) << r << s(caption);
    };
    row("分组框_表头", "画布", {0, 0, 304, 992});
    row("标签_仓库", "分组框_表头", {8, 19, 88, 30}, "出库仓库");
    row("编辑框_出库仓库", "分组框_表头", {104, 19, 192, 30});
    row("标签_经手人", "分组框_表头", {8, 72, 88, 30}, "经手人");
    row("编辑框_经手人", "分组框_表头", {104, 72, 192, 30});
    row("标签_出库类别", "分组框_表头", {8, 126, 88, 30}, "出库类别");
    row("编辑框_出库类别", "分组框_表头", {104, 126, 192, 30});
    row("透明标签_时间", "分组框_表头", {8, 176, 288, 48});
    row("按钮_生成材料出库单", "分组框_表头", {16, 272, 272, 56}, "生成材料出库单");
    row("按钮_更新最大单据号", "分组框_表头", {16, 352, 272, 56}, "更新最大单据号");
    row("分组框_表体", "画布", {312, 0, 1600, 992});
    row("分组框5", "分组框_表体", {8, 8, 472, 56}, "出库扫码");
    row("标签_条码", "分组框5", {8, 16, 88, 30}, "条 码");
    row("编辑框_条码", "分组框5", {120, 16, 344, 30});
    row("分组框6", "分组框_表体", {488, 8, 1096, 56}, "查询库存");
    row("标签_关键字", "分组框6", {8, 16, 88, 30}, "关键字");
    row("编辑框_查询库存关键字", "分组框6", {120, 16, 344, 30});
    row("按钮_查询", "分组框6", {472, 16, 80, 32}, "查 询");
    row("进度条_查询进度", "分组框6", {576, 19, 504, 24});
    row("分组框2", "分组框_表体", {6, 69, 472, 452}, "存货");
    row("分组框3", "分组框_表体", {488, 69, 344, 203}, "领料员");
    row("分组框4", "分组框_表体", {488, 289, 344, 229}, "设备");
    row("分组框1", "分组框_表体", {848, 69, 744, 452}, "信息");
    row("编辑框_提示", "分组框1", {6, 29, 730, 414});
    row("选择夹1", "分组框_表体", {6, 521, 1584, 465});
    row("高级表格_材料出库单明细", "选择夹1", {5, 25, 1570, 430});
    row("高级表格_库存查询", "选择夹1", {5, 25, 1570, 430});
    row("标签_存货编码", "分组框2", {8, 39, 112, 30}, "存 货 编 码");
    row("编辑框_存货编码", "分组框2", {140, 39, 317, 30});
    row("标签_现存量", "分组框2", {8, 294, 112, 30}, "现 存 量");
    row("编辑框_货位名称", "分组框2", {140, 399, 317, 30});
    row("标签_领料线别", "分组框3", {8, 144, 112, 30}, "领 料 线 别");
    row("编辑框_领料人", "分组框3", {135, 34, 201, 30});
    row("标签_设备", "分组框4", {8, 40, 112, 30}, "设 备 码");
    row("编辑框_线别", "分组框4", {135, 144, 201, 30});
}

void ScanWindowTest::controlsAreWhereTheWindowTableSays()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    ScanWindow fresh(*f->erp, &f->player);
    QCOMPARE(fresh.windowTitle(), s("在线扫码出库"));
    QCOMPARE(fresh.geometry(), QRect(2, 2, 1920, 1025));
    auto* c = fresh.findChild<QWidget*>(name);
    QVERIFY2(c, qPrintable(name));
    QCOMPARE(c->parentWidget()->objectName(), parent);
    QCOMPARE(c->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(c); label && !caption.isEmpty())
        QCOMPARE(label->text(), caption);
    if (auto* button = qobject_cast<QPushButton*>(c))
        QCOMPARE(button->text(), caption);
    if (auto* group = qobject_cast<QGroupBox*>(c))
        QCOMPARE(group->title(), caption);
}

void ScanWindowTest::fontsFollowTheControlTables()
{
    const auto pixels = [this](const char* name) {
        QWidget* c = child(s(name));
        c->ensurePolished();
        return c->font().pixelSize();
    };
    QCOMPARE(pixels("标签_仓库"), 16);
    QCOMPARE(pixels("编辑框_经手人"), 16);
    QCOMPARE(pixels("按钮_生成材料出库单"), 16);
    QCOMPARE(pixels("编辑框_条码"), 21);
    QCOMPARE(pixels("编辑框_查询库存关键字"), 21);
    QCOMPARE(pixels("标签_存货名称"), 21);
    QCOMPARE(pixels("透明标签_时间"), 24);
    QCOMPARE(pixels("分组框2"), 19);
    QCOMPARE(pixels("分组框5"), 14);
    QVERIFY(child(s("分组框6"))->font().bold());
    QCOMPARE(pixels("编辑框_存货名称"), 20);
    QCOMPARE(pixels("编辑框_领料人"), 21);
    QCOMPARE(pixels("编辑框_提示"), 21);
    // 微软雅黑 at 19 pixels: a text line 25 pixels high in rows of 26.
    QCOMPARE(pixels("高级表格_材料出库单明细"), 19);
    QCOMPARE(detailView()->verticalHeader()->defaultSectionSize(), 26);
    QCOMPARE(child(s("编辑框_条码"))->font().family(), s("微软雅黑"));
    // The grid has its columns with the captions and widths of its table.
    QCOMPARE(grid().columnCount(), 11);
    QCOMPARE(grid().text(0, 10), s("时间"));
    for (int c = 0; c < 11; ++c)
        QCOMPARE(detailView()->columnWidth(c), ScanStation::kDetailWidths[c]);
    QCOMPARE(w->station().stockGrid().text(0, 7), s("货位名称"));
    QCOMPARE(child<QTableView>(s("高级表格_库存查询"))->columnWidth(7), 250);
}

void ScanWindowTest::openingShowsHeaderAndStagedLinesNewestOnTop()
{
    QCOMPARE(text("编辑框_出库仓库"), s("02|五金仓"));
    QCOMPARE(text("编辑框_经手人"), s("0001|王洋国"));
    QCOMPARE(text("编辑框_出库类别"), s("202|生产领料"));
    QCOMPARE(grid().systemRowCount(), 1); // the table was created, nothing staged
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    w.reset();
    QVERIFY(f->exec(
        {s("insert into ckmx (hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) values "
           "('1','QM-001','扫码演示物料','DEMO-1','个',2.5,'B01-1','王洋国','生产课','SB001','2026-03-01 07:00:01')"),
         s("insert into ckmx (hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) values "
           "('2','M6-25','内六角螺钉','M6*25 12.9级','个',3,'B01-2','王洋国','生产课','','2026-03-01 07:00:02')")}));
    open();
    QCOMPARE(gridRows(),
             QStringList({s("2|M6-25|内六角螺钉|M6*25 12.9级|个|3|B01-2|王洋国|生产课||2026-03-01 07:00:02"),
                          s("1|QM-001|扫码演示物料|DEMO-1|个|2.5|B01-1|王洋国|生产课|SB001|2026-03-01 07:00:01")}));
    // The table is not created a second time.
    QCOMPARE(f->erp->数据库连接.trace().count(staging::createStatement()), 1);
}

void ScanWindowTest::setUpStopsWhenTheStagingTableCannotBeMade()
{
    w.reset();
    // Something else already carries the name ckmx.
    QVERIFY(f->exec({s("drop table ckmx"), s("create view ckmx as select 1 as hh")}));
    open();
    QCOMPARE(grid().columnCount(), 11);
    QCOMPARE(w->station().stockGrid().columnCount(), 0);
    QVERIFY(QApplication::focusWidget() != field("编辑框_条码"));
    QVERIFY(f->logEntries().isEmpty());
    QVERIFY(f->messages.isEmpty());
}

void ScanWindowTest::clockShowsTheTimeEverySecond()
{
    auto* clock = child<QLabel>(s("透明标签_时间"));
    QCOMPARE(clock->text(), s("2020-01-01 12:21:12"));
    QTRY_COMPARE_WITH_TIMEOUT(clock->text(), kTime, 2500);
}

void ScanWindowTest::focusSwitchesTheTabs()
{
    auto* tabs = child<QTabWidget>(s("选择夹1"));
    auto* keyword = field("编辑框_查询库存关键字");
    keyword->setText(s("old"));
    QTest::mouseClick(keyword, Qt::LeftButton);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(keyword->text(), QString());
    QVERIFY(child(s("高级表格_库存查询"))->isVisible());
    auto* scanField = field("编辑框_条码");
    scanField->setText(s("half a code"));
    QTest::mouseClick(scanField, Qt::LeftButton);
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(scanField->text(), QString());
    QVERIFY(detailView()->isVisible());
}

void ScanWindowTest::deviceStaysForProductionOnly_data()
{
    QTest::addColumn<QString>("badge");
    QTest::addColumn<QStringList>("devices"); // column 9, top line first
    QTest::newRow("生产课") << s("R10001") << QStringList{s("SB001"), s("SB001"), s("SB001")};
    QTest::newRow("设备课") << s("R10015") << QStringList{QString(), QString(), s("SB001")};
}

void ScanWindowTest::deviceStaysForProductionOnly()
{
    QFETCH(QString, badge);
    QFETCH(QStringList, devices);
    const QString job = badge.mid(1);
    const QString name = person(job, "cPsn_Name");
    const QString department = f->scalar(s("select cDepName from department d join hr_hi_person p on "
                                           "p.cDept_num=d.cDepCode where JobNumber='")
                                         + job + u'\'');
    scanAll({badge, s("SSB001"), s("QM-001"), s("M6-25"), s("QD-PC8-01")});

    QCOMPARE(text("编辑框_领料人"), name);
    QCOMPARE(text("编辑框_领料部门"), department);
    QCOMPARE(text("编辑框_领料线别"), person(job, "cPsn_NameEN"));
    QCOMPARE(column(grid(), 9), devices);
    QCOMPARE(column(grid(), 0), QStringList({u"3"_s, u"2"_s, u"1"_s}));
    QCOMPARE(column(grid(), 1), QStringList({u"QD-PC8-01"_s, u"M6-25"_s, u"QM-001"_s}));
    QCOMPARE(column(grid(), 5), QStringList({u"1"_s, u"1"_s, u"1"_s}));
    QCOMPARE(grid().rowTexts(1).mid(6),
             QStringList({f->scalar(s("select cPosition from inventory where cInvCode='QD-PC8-01'")), name, department,
                          devices[0], kTime}));
    QCOMPARE(text("编辑框_设备"), devices[0]);
    QCOMPARE(text("编辑框_设备名称").isEmpty(), devices[0].isEmpty());
    QCOMPARE(text("编辑框_存货编码"), s("QD-PC8-01"));
    QCOMPARE(text("编辑框_数量"), s("1"));
    QCOMPARE(text("编辑框_条码"), QString());
    QCOMPARE(promptLines(),
             QStringList({s("存货编码【QD-PC8-01】 添加成功！！"), s("存货编码【M6-25】 添加成功！！"),
                          s("存货编码【QM-001】 添加成功！！"),
                          s("设备条码读取完成！设备名称：")
                              + f->scalar(s("select cCardName from U8CUSTDEF_0001_E001 where cNo='SB001'")),
                          s("人员条码读取完成！领料人：") + name}));
    QCOMPARE(f->player.played,
             QStringList({prompts::kPersonAccepted, prompts::kScanSucceeded, prompts::kScanSucceeded,
                          prompts::kScanSucceeded, prompts::kScanSucceeded}));
    QCOMPARE(f->stagedRows(), gridRows());
    QVERIFY(f->logEntries().isEmpty());
    // Every material scan sends one query for the item, its bin's warehouse
    // and its stock, and the staging insert; nothing else: two round trips.
    const QStringList trace = f->erp->数据库连接.trace();
    const int first = trace.indexOf(masterdata::scanQuery(s("02"), s("QM-001")));
    QCOMPARE(trace.mid(first, 3),
             QStringList(
                 {masterdata::scanQuery(s("02"), s("QM-001")),
                  staging::insertStatement(staging::Line{u"1"_s, u"QM-001"_s, s("扫码演示物料"), u"DEMO-1"_s, s("个"),
                                                         u"1"_s, u"B01-1"_s, name, department, u"SB001"_s, kTime}),
                  masterdata::scanQuery(s("02"), s("M6-25"))}));
    const int trips = f->erp->数据库连接.roundTrips();
    scan(s("QM-001"));
    QCOMPARE(f->erp->数据库连接.roundTrips() - trips, 2);
    QCOMPARE(grid().dataRowCount(), 4);
}

void ScanWindowTest::refusedScans_data()
{
    QTest::addColumn<bool>("withBadge");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message"); // "" for none
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("logged"); // the log entry, "" for none
    QTest::addColumn<QString>("left"); // the scan field afterwards
    const auto row = [](const char* name, bool badge, const QString& code, const QString& message, const QString& sound,
                        const QString& logged) {
        QTest::newRow(name) << badge << code << message << sound << logged << QString();
    };
    const QString noPosition = s("未查找到存货编码【%1】 的货位编码 请查询存货档案是否有设备默认货位！！");
    const QString notFound = s("未查找到存货编码【%1】 的存货档案，请确认条码是否正确！！");
    // Every refusal is in the log, the clerk's and the auditor's history.
    for (const auto& [name, badge, code, message, sound] :
         {std::tuple{"unknown badge", false, s("R99999"), s("未查找到工号【99999】 的记录，请与系统管理员联系！"),
                     prompts::kEmployeeNotFound},
          std::tuple{"R alone", false, s("R"), s("未查找到工号【】 的记录，请与系统管理员联系！"),
                     prompts::kEmployeeNotFound},
          std::tuple{"unknown device", true, s("SXX-404"),
                     s("未查找到设备编码【XX-404】 的设备 请确认设备信息表中是否有增加！！"), prompts::kScanFailed},
          // Each material that gives no line names its own cause; only an
          // item without default bin keeps the system's text.
          std::tuple{"lower-case r", true, s("r10001"), notFound.arg(s("r10001")), prompts::kScanFailed},
          std::tuple{"not found", true, s("NO-SUCH-1"), notFound.arg(s("NO-SUCH-1")), prompts::kScanFailed},
          std::tuple{"no position", true, s("XF-SAND"), noPosition.arg(s("XF-SAND")), prompts::kScanFailed},
          std::tuple{"end-dated", true, s("OLD-6201"),
                     s("存货编码【OLD-6201】 已停用（停用日期 2020-06-30），不能出库！！"), prompts::kScanFailed},
          std::tuple{"end-dated, lower case", true, s("old-6201"),
                     s("存货编码【old-6201】 已停用（停用日期 2020-06-30），不能出库！！"), prompts::kScanFailed},
          std::tuple{"no unit", true, s("QM-006"),
                     s("存货编码【QM-006】 的存货档案没有计量单位，请在存货档案中补充计量单位！！"),
                     prompts::kScanFailed},
          // A scanner set-up code is answered and leaves the field empty,
          // so the next scan is not appended to it.
          std::tuple{"set-up code", true, s("%%SetUp01"),
                     s("条码【%%SetUp01】 是扫码枪设置码，不是出库条码，未处理！！"), prompts::kScanFailed},
          std::tuple{"unknown command", true, s("#QM-PRINT"),
                     s("条码【#QM-PRINT】 不是本程序的命令码（#QM-WRITE 生成材料出库单，#QM-UNDO 删除最后扫码的一行，"
                       "#QM-CANCEL 取消），未处理！！"),
                     prompts::kScanFailed}})
        row(name, badge, code, message, sound, message);
    row("material first", false, s("QM-001"), s("请先刷人员条码！！"), prompts::kScanEmployeeCard,
        s("请先刷人员条码！！条码【QM-001】 未处理"));
    // Enter alone, or blanks, is no scan: no message, no sound, no log.
    row("blank, no badge", false, s("   "), QString(), QString(), QString());
    row("blank", true, s("  "), QString(), QString(), QString());
    row("Enter alone", true, QString(), QString(), QString(), QString());
    // The item's default bin C02-2 is in 辅料仓, the header issues from 五金仓.
    const QString otherBin =
        s("存货编码【DX-RVV-01】 的默认货位【C02-2】 属于仓库【03|辅料仓】，不属于出库仓库【02|五金仓】，未添加！！");
    row("bin of another warehouse", true, s("DX-RVV-01"), otherBin, prompts::kScanFailed, otherBin);
}

void ScanWindowTest::refusedScans()
{
    QFETCH(bool, withBadge);
    QFETCH(QString, code);
    QFETCH(QString, message);
    QFETCH(QString, sound);
    QFETCH(QString, logged);
    QFETCH(QString, left);
    if (withBadge)
        scan(s("R10001"));
    const QString collector = text("编辑框_领料人");
    const QStringList before = promptLines();
    f->player.played.clear();
    scan(code);
    QCOMPARE(promptLines().mid(0, before.size() + (message.isEmpty() ? 0 : 1)),
             message.isEmpty() ? before : QStringList{message} + before);
    QCOMPARE(f->player.played, sound.isEmpty() ? QStringList() : QStringList{sound});
    QCOMPARE(f->logEntries(), logged.isEmpty() ? QStringList() : QStringList{logged});
    QCOMPARE(text("编辑框_条码"), left);
    QCOMPARE(text("编辑框_领料人"), collector);
    QCOMPARE(grid().systemRowCount(), 1);
    QVERIFY(f->stagedRows().isEmpty());
}

void ScanWindowTest::lineThatCannotBeStagedSaysSo()
{
    // The ERP's names are longer than the staging table's 50 characters.
    const QString longName = QString(60, QChar(u'长'));
    QVERIFY(f->exec({s("insert into inventory (cInvCode,cInvName,cInvStd,cComUnitCode,cPosition,cInvDefine3,dSDate) "
                       "values ('LONG-1','")
                     + longName + s("','X','01','B01-1','五金区01架1层','2021-01-01')")}));
    scanAll({s("R10001"), s("LONG-1")});
    QCOMPARE(grid().systemRowCount(), 2);
    QCOMPARE(grid().text(1, 2), longName);
    QVERIFY(f->stagedRows().isEmpty());
    QCOMPARE(promptLines().first(),
             s("存货编码【LONG-1】 已加入出库明细，但未能保存到缓存表（数据库执行出错，原因已写入日志），"
               "下次写入缓存表成功时补存，在此之前程序重启后不会恢复！！"));
    QCOMPARE(f->player.played.last(), prompts::kScanFailed);
    QCOMPARE(f->logEntries().size(), 1);
    QVERIFY(f->logEntries().first().startsWith(s("插入出库明细数据失败  insert into ckmx")));
}

void ScanWindowTest::stockIsShownAndOverdrawIsMarked()
{
    scanAll({s("R10001"), s("QM-001")});
    QCOMPARE(text("编辑框_现存量"), s("12.5"));
    QVERIFY(!w->station().fields().现存量不足);
    // An item without stock in the warehouse is still added, stock "0";
    // the message and the sound say so, and the stock field shows that the
    // grid asks for more than there is.
    f->player.played.clear();
    scan(s("QM-002"));
    QCOMPARE(grid().systemRowCount(), 3);
    QCOMPARE(promptLines().first(), s("存货编码【QM-002】 已添加，但出库仓库【02|五金仓】 中没有现存量！！"));
    QCOMPARE(f->player.played, QStringList{prompts::kScanFailed});
    QCOMPARE(f->stagedRows(), gridRows());
    QCOMPARE(text("编辑框_现存量"), s("0"));
    QVERIFY(w->station().fields().现存量不足);
    QVERIFY(field("编辑框_现存量")->property("overdrawn").toBool());
    QCOMPARE(field("编辑框_现存量")->toolTip(), s("出库明细中本存货合计 1，超过现存量 0"));
    scan(s("QM-001"));
    QVERIFY(!field("编辑框_现存量")->property("overdrawn").toBool());
    QCOMPARE(field("编辑框_现存量")->toolTip(), QString());
}

void ScanWindowTest::quantityEdits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("shown"); // in the grid afterwards
    QTest::addColumn<QString>("staged"); // sl afterwards
    QTest::addColumn<QString>("prompt"); // newest prompt line, "" when unchanged
    QTest::addColumn<QString>("logged"); // the log's entries, joined with " / "
    const QString refused =
        s("数量【%1】 无效：须为大于0的数，最多两位小数，小数点前最多16位；行号【1】 的数量恢复为【1】！！");
    const QString changed = s("行号【1】 存货编码【QM-001】 的数量由【1】 改为【%1】");
    const QString changeLogged = s("修改出库数量：行号【1】 存货编码【QM-001】 数量【1】 改为【%1】");
    // An accepted change says so in the prompt field and in the log.
    QTest::newRow("within stock") << s("5") << true << false << s("5") << s("5") << changed.arg(s("5"))
                                  << changeLogged.arg(s("5"));
    QTest::newRow("equal to stock") << s("12.5") << true << false << s("12.5") << s("12.5") << changed.arg(s("12.5"))
                                    << changeLogged.arg(s("12.5"));
    QTest::newRow("over stock, yes") << s("20") << true << true << s("20") << s("20") << changed.arg(s("20"))
                                     << s("出库数量超现存量仍保存：行号【1】 存货编码【QM-001】 数量【20】 / ")
            + changeLogged.arg(s("20"));
    QTest::newRow("over stock, no") << s("20") << false << true << s("1") << s("1")
                                    << s("行号【1】 的数量超现存量，未保存，恢复为【1】")
                                    << s("出库数量超现存量未保存：行号【1】 存货编码【QM-001】 数量【20】 恢复为【1】");
    // The same quantity again changes nothing and says nothing.
    QTest::newRow("unchanged") << s("1.00") << true << false << s("1") << s("1") << QString() << QString();
    for (const char* bad : {"abc", "0", "-2", "1.125", "1e3"})
        QTest::addRow("refused %s", bad) << s(bad) << true << false << s("1") << s("1") << refused.arg(s(bad))
                                         << s("存货编码【QM-001】 ") + refused.arg(s(bad));
    QTest::newRow("shown as kept") << s("+1.50") << true << false << s("1.5") << s("1.5") << changed.arg(s("1.5"))
                                   << changeLogged.arg(s("1.5"));
}

void ScanWindowTest::quantityEdits()
{
    QFETCH(QString, typed);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(QString, shown);
    QFETCH(QString, staged);
    QFETCH(QString, prompt);
    QFETCH(QString, logged);
    scanAll({s("R10001"), s("QM-001")});
    const QString before = w->station().promptText();
    f->answer = answer;
    f->player.played.clear();
    editQuantity(1, typed);
    QCOMPARE(f->messages.size(), asked ? 1 : 0);
    if (asked) {
        const msgbox::Message& m = f->messages.first();
        QCOMPARE(m.text, s("当前数量【20】 大于系统现存量 【12.5】 是否还要保存？"));
        QCOMPARE(m.caption, s("出库数量超现存量"));
        QVERIFY(m.yesNo);
        QCOMPARE(m.icon, msgbox::Icon::Question);
    }
    QCOMPARE(grid().text(1, 5), shown);
    QCOMPARE(f->scalar(s("select sl from ckmx where hh='1'")), staged);
    QCOMPARE(f->stagedRows(), gridRows());
    if (prompt.isEmpty())
        QCOMPARE(w->station().promptText(), before);
    else
        QCOMPARE(promptLines().first(), prompt);
    // A refused quantity sounds as a failed scan.
    QCOMPARE(f->player.played, prompt.startsWith(s("数量【")) ? QStringList{prompts::kScanFailed} : QStringList());
    QCOMPARE(f->logEntries().join(s(" / ")), logged);
    // The count and total follow the grid.
    QCOMPARE(child<QLabel>(s("标签_合计"))->text(), s("出库明细 1 行\n合计数量 ") + shown);
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
}

void ScanWindowTest::editingAnOlderLineChecksItsOwnItem()
{
    // M6-25 (stock 67) is the older line, row 2; QM-001 (stock 12.5) is on
    // top. 13 is within M6-25's stock, though over QM-001's.
    scanAll({s("R10001"), s("M6-25"), s("QM-001")});
    QCOMPARE(f->scalar(s("select sum(iQuantity) from CurrentStock where cWhCode='02' and cInvCode='M6-25'")), s("67"));
    f->answer = false;
    editQuantity(2, s("13"));
    QVERIFY(f->messages.isEmpty());
    QCOMPARE(f->scalar(s("select sl from ckmx where hh='1'")), s("13"));
    editQuantity(2, s("70"));
    QCOMPARE(f->messages.size(), 1);
    QCOMPARE(f->messages.first().text, s("当前数量【70】 大于系统现存量 【67】 是否还要保存？"));
    QCOMPARE(grid().text(2, 5), s("13"));
    QCOMPARE(grid().text(1, 5), s("1"));
    QCOMPARE(f->stagedRows(), gridRows());
}

void ScanWindowTest::quantityThatCannotBeStagedSaysSo()
{
    scanAll({s("R10001"), s("QM-001")});
    // The staged lines can no longer be changed.
    QVERIFY(f->exec({s("drop table ckmx"), s("create view ckmx as select '1' as hh, 1 as sl")}));
    f->player.played.clear();
    editQuantity(1, s("5"));
    // The grid goes back to what the table still holds, and says why.
    QCOMPARE(grid().text(1, 5), s("1"));
    QVERIFY2(promptLines().first().startsWith(s("数量【5】 未能保存到缓存表（"))
                 && promptLines().first().endsWith(s("），行号【1】 的数量恢复为【1】！！")),
             qPrintable(promptLines().first()));
    QCOMPARE(f->player.played, QStringList{prompts::kScanFailed});
    QCOMPARE(f->logEntries().size(), 1);
    QVERIFY(f->logEntries().first().startsWith(s("修改缓存记录失败 ,update ckmx set sl='5' where hh='1'\r\n")));
}

void ScanWindowTest::gridRepaintCopiesWhatItDrewBefore()
{
    scanAll({s("R10001"), s("QM-001"), s("M6-25"), s("QD-PC8-01")});
    grid().setText(2, 2, s("一个很长很长的存货名称，比列宽长得多，显示时要截断"));
    QTableView* view = detailView();
    view->selectionModel()->select(QItemSelection(grid().indexOf(3, 0), grid().indexOf(3, 10)),
                                   QItemSelectionModel::ClearAndSelect);
    auto* cached = dynamic_cast<CachedCellDelegate*>(view->itemDelegate());
    QVERIFY(cached);
    QVERIFY(!view->showGrid());
    const auto picture = [view] { return view->viewport()->grab().toImage(); };
    // What the plain view with its own grid lines paints.
    const auto plainPicture = [&] {
        QStyledItemDelegate plain;
        view->setItemDelegate(&plain);
        view->setShowGrid(true);
        const QImage image = picture();
        view->setItemDelegate(cached);
        view->setShowGrid(false);
        return image;
    };

    const QImage first = picture();
    QCOMPARE(first, plainPicture());
    // A repaint of the same rows only copies.
    const int drawn = cached->drawnCells();
    QCOMPARE(picture(), first);
    QCOMPARE(cached->drawnCells(), drawn);
    // A new line on top draws its own cells; the rows below are copies, and
    // an edited cell shows its new text.
    scan(s("QM-001"));
    grid().setText(3, 5, s("7"));
    const QImage after = picture();
    QVERIFY(cached->drawnCells() > drawn);
    QVERIFY(cached->drawnCells() <= drawn + grid().columnCount() + 1);
    QCOMPARE(after, plainPicture());
    QVERIFY(after != first);
}

void ScanWindowTest::deletionsRenumberAndRewrite_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("first"); // selection / cursor
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("codes"); // left, top first
    QTest::newRow("current") << s("删除当前行") << 2 << 2 << QStringList({u"QD-PC8-01"_s, u"QM-001"_s, u"QM-001"_s});
    // The newest line: no number changes.
    QTest::newRow("current, top") << s("删除当前行") << 1 << 1 << QStringList({u"M6-25"_s, u"QM-001"_s, u"QM-001"_s});
    QTest::newRow("selected") << s("删除选中行") << 2 << 3 << QStringList({u"QD-PC8-01"_s, u"QM-001"_s});
    QTest::newRow("all") << s("删除所有行") << 1 << 1 << QStringList();
    QTest::newRow("no current line") << s("删除当前行") << -1 << -1
                                     << QStringList({u"QD-PC8-01"_s, u"M6-25"_s, u"QM-001"_s, u"QM-001"_s});
}

void ScanWindowTest::deletionsRenumberAndRewrite()
{
    QFETCH(QString, command);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, codes);
    scanAll({s("R10001"), s("QM-001"), s("QM-001"), s("M6-25"), s("QD-PC8-01")});
    QTableView* view = detailView();
    if (first > 0) {
        view->setCurrentIndex(grid().indexOf(first, 1));
        view->selectionModel()->select(QItemSelection(grid().indexOf(first, 0), grid().indexOf(last, 10)),
                                       QItemSelectionModel::ClearAndSelect);
    } else {
        view->setCurrentIndex({});
        view->selectionModel()->clearSelection();
    }
    // The right button opens the menu.
    QMetaObject::invokeMethod(view, "customContextMenuRequested", Q_ARG(QPoint, QPoint(10, 10)));
    auto* menu = child<QMenu>(s("出库明细右键"));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    view->setFocus();
    const QStringList before = gridRows();
    triggerMenu(command.toUtf8().constData());
    // 删除所有行 asks first, naming the line count (answered Yes here).
    QTRY_VERIFY(!w->station().isAsking());
    QCOMPARE(column(grid(), 1), codes);
    QStringList numbers;
    for (int i = 1; i <= codes.size(); ++i)
        numbers << QString::number(i);
    QCOMPARE(column(grid(), 0), numbers);
    QCOMPARE(f->rows(s("select hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj from ckmx order by cast(hh as integer)")),
             gridRows());
    if (command == s("删除所有行")) {
        QCOMPARE(f->messages.size(), 1);
        QCOMPARE(f->messages[0].text, s("确定删除出库明细的全部 4 行吗？删除后不能恢复。"));
        QCOMPARE(f->messages[0].caption, s("删除所有行"));
        QVERIFY(f->messages[0].yesNo);
    } else {
        QVERIFY(f->messages.isEmpty());
    }
    // The log names every deleted line.
    const int deleted = before.size() - codes.size();
    if (deleted == 0) {
        QVERIFY(f->logEntries().isEmpty());
    } else {
        QCOMPARE(f->logEntries().size(), 1);
        const QString entry = f->logEntries().first();
        QVERIFY2(
            entry.startsWith(s("删除出库明细（") + command + s("）") + QString::number(deleted) + s(" 行：行号【")),
            qPrintable(entry));
        QCOMPARE(entry.count(s("存货编码【")), deleted);
    }
    QCOMPARE(child<QLabel>(s("标签_合计"))->text(), s("出库明细 %1 行\n合计数量 %1").arg(codes.size()));
    // The keyboard is back in the scan field: the scanner's next code
    // becomes a line, not keys in the grid.
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    QTest::keyClicks(QApplication::focusWidget(), u"M6-25"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(grid().text(1, 1), s("M6-25"));
}

void ScanWindowTest::escapeAndControlCharactersInTheScanField()
{
    scan(s("R10001"));
    // Escape in the scan field does not close the station.
    QTest::keyClick(field("编辑框_条码"), Qt::Key_Escape);
    QVERIFY(w->isVisible());
    // A control character inside a code goes into the log visibly.
    scan(s("XF") + QChar(0x1d) + s("SAND"));
    QCOMPARE(f->logEntries(), QStringList{s("未查找到存货编码【XF\\x1dSAND】 的存货档案，请确认条码是否正确！！")});
    QCOMPARE(text("编辑框_条码"), QString());
}

void ScanWindowTest::scanDuringTheOverStockQuestionWaitsForIt_data()
{
    QTest::addColumn<bool>("yes"); // the clerk's click
    QTest::addColumn<QString>("kept"); // QM-001's quantity afterwards
    QTest::newRow("yes") << true << s("20");
    QTest::newRow("no") << false << s("1");
}

void ScanWindowTest::scanDuringTheOverStockQuestionWaitsForIt()
{
    QFETCH(bool, yes);
    QFETCH(QString, kept);
    scanAll({s("R10001"), s("QM-001")});
    // A real box this time: the scanner types into it.
    msgbox::setInterceptor({});
    bool noIsDefault = false;
    bool openAfterEnter = false;
    int waiting = -1;
    connect(w.get(), &ScanWindow::questionShown, this, [&](QMessageBox* box) {
        QTimer::singleShot(0, box, [&, box] {
            noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
            QTest::keyClicks(box, u"M6-25"_s);
            QTest::keyClick(box, Qt::Key_Return);
            openAfterEnter = box->isVisible();
            waiting = w->station().pendingScans();
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
    });
    editQuantity(1, s("20"));
    QTRY_VERIFY(!w->station().isAsking());
    msgbox::setInterceptor([this](const msgbox::Message& m) {
        f->messages.append(m);
        return f->answer;
    });
    QVERIFY(noIsDefault);
    QVERIFY(openAfterEnter); // the scanner's Enter did not answer
    QCOMPARE(waiting, 1);
    // The scan was kept and handled after the answer.
    QCOMPARE(column(grid(), 1), QStringList({s("M6-25"), s("QM-001")}));
    QCOMPARE(grid().text(2, 5), kept);
    QCOMPARE(f->stagedRows(), gridRows());
    // Back in the window once the box has gone, the keyboard is in the scan field.
    QTRY_COMPARE(QApplication::focusWidget(), field("编辑框_条码"));
}

void ScanWindowTest::restartShowsTheSameLines()
{
    scanAll({s("R10001"), s("SSB001"), s("QM-001"), s("M6-25"), s("QM-001"), s("QD-PC8-01")});
    f->answer = true;
    editQuantity(3, s("2.5"));
    editQuantity(1, s("40"));
    detailView()->setCurrentIndex(grid().indexOf(2, 1));
    triggerMenu("删除当前行");
    const QStringList shown = gridRows();
    QCOMPARE(shown.size(), 3);
    w.reset();
    open();
    QCOMPARE(gridRows(), shown);
    // The collector is gone with the window: the next material asks again.
    QCOMPARE(text("编辑框_领料人"), QString());
    scan(s("QM-001"));
    QCOMPARE(promptLines().first(), s("请先刷人员条码！！"));
}

// A line whose insert failed (another program holds the account set's
// write lock) stays in the grid; a deletion that fails then shows the
// table's lines and that line, says so, and the next write that succeeds
// stages it in its place.
void ScanWindowTest::unsavedLineSurvivesAFailedDeleteAndIsSavedLater()
{
    ErpConnection::setEmbeddedBusyTimeout(300);
    start(Path::Embedded);
    ErpConnection::setEmbeddedBusyTimeout(ErpConnection::kEmbeddedBusyTimeoutMilliseconds);
    scanAll({s("R10001"), s("QM-001"), s("M6-25")});

    ErpConnection other(s("other program"));
    QVERIFY(other.open(ErpConnection::kEmbeddedPrefix + f->erpFolder(), QString(), QString(), s("UFDATA_001_2021")));
    auto hold = std::make_unique<QSqlQuery>(other.database());
    QVERIFY(hold->exec(s("BEGIN IMMEDIATE TRANSACTION")));
    scan(s("QD-PC8-01"));
    QCOMPARE(column(grid(), 1), QStringList({u"QD-PC8-01"_s, u"M6-25"_s, u"QM-001"_s}));
    QCOMPARE(promptLines().first(),
             s("存货编码【QD-PC8-01】 已加入出库明细，但未能保存到缓存表（另一台电脑正在写入，请稍后重试），"
               "下次写入缓存表成功时补存，在此之前程序重启后不会恢复！！"));
    const QStringList shown = gridRows();

    // 删除当前行 on the bottom line fails as well.
    detailView()->setCurrentIndex(grid().indexOf(3, 1));
    triggerMenu("删除当前行");
    QCOMPARE(gridRows(), shown);
    QCOMPARE(promptLines().first(),
             s("删除未能保存到缓存表（无法开始事务：另一台电脑正在写入，请稍后重试），出库明细已恢复为缓存表中的 2 行，"
               "另有未能保存到缓存表的 1 行仍保留在出库明细中，下次写入缓存表成功时补存！！"));
    QCOMPARE(f->player.played.last(), prompts::kScanFailed);
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    QVERIFY(hold->exec(s("ROLLBACK")));
    hold.reset();
    other.close();

    // The next scan is staged, and the line with it, in the grid's order.
    scan(s("M6-25"));
    QCOMPARE(promptLines().mid(0, 2),
             QStringList({s("之前未能保存的 1 行出库明细已保存到缓存表！！"), s("存货编码【M6-25】 添加成功！！")}));
    QCOMPARE(f->stagedRows(), gridRows());
    const QStringList all = gridRows();
    w.reset();
    open();
    QCOMPARE(gridRows(), all);
}

void ScanWindowTest::searchListsMatchingItems()
{
    auto* keyword = field("编辑框_查询库存关键字");
    QTest::mouseClick(keyword, Qt::LeftButton);
    type(keyword, s("螺栓 M8"));
    QTest::keyClick(keyword, Qt::Key_Return);
    searched();
    // The list stays in view while the keyboard is back in the scan field.
    QCOMPARE(child<QTabWidget>(s("选择夹1"))->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    StationGrid& stock = w->station().stockGrid();
    const QStringList expected =
        f->rows(s("select cInvCode from inventory where cInvCode||cInvName||ifnull(cInvStd,'') "
                  "like '%螺栓%M8%'"));
    QVERIFY(expected.size() > 3);
    QCOMPARE(column(stock, 1), expected);
    QStringList numbers;
    for (int i = 1; i <= expected.size(); ++i)
        numbers << QString::number(i);
    QCOMPARE(column(stock, 0), numbers);
    for (int r = 1; r < stock.systemRowCount(); ++r) {
        QVERIFY(stock.text(r, 2).contains(s("螺栓")));
        QCOMPARE(stock.text(r, 5), masterdata::stockOnHand(f->erp->记录集3, s("02"), stock.text(r, 1)));
    }
    auto* progress = child<QProgressBar>(s("进度条_查询进度"));
    QCOMPARE(progress->maximum(), expected.size());
    QCOMPARE(progress->value(), expected.size());
    // End-dated items are listed too; the button searches as Enter does.
    keyword->setText(s("旧型号"));
    QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
    searched();
    QCOMPARE(column(stock, 1), QStringList{s("OLD-6201")});
    QCOMPARE(stock.rowTexts(1).mid(2),
             QStringList({s("旧型号轴承"), s("6201"), s("个"), s("0"), s("B04-3"),
                          f->scalar(s("select cInvDefine3 from inventory where cInvCode='OLD-6201'"))}));
    // A quote in the keyword is part of the word searched for.
    keyword->setText(s("3' 液压"));
    QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
    searched();
    QCOMPARE(column(stock, 1), QStringList{s("RG-3FT")});
    QVERIFY(f->logEntries().isEmpty());
}

void ScanWindowTest::shortKeywordsDoNothing()
{
    auto* keyword = field("编辑框_查询库存关键字");
    QTest::mouseClick(keyword, Qt::LeftButton);
    type(keyword, s("螺栓 M8"));
    QTest::keyClick(keyword, Qt::Key_Return);
    searched();
    const int listed = w->station().stockGrid().systemRowCount();
    QVERIFY(listed > 1);
    f->erp->数据库连接.clearTrace();
    const QString tooShort = s("查询关键字【%1】 太短：请至少输入3个字母或数字，或2个汉字");
    for (const QString& k : {s("ab"), s("螺"), s(" a"), QString()}) {
        keyword->setText(k);
        QTest::keyClick(keyword, Qt::Key_Return);
        searched();
        QCOMPARE(promptLines().first(), tooShort.arg(k));
        keyword->setText(k);
        QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
        searched();
        QCOMPARE(promptLines().first(), tooShort.arg(k));
    }
    QVERIFY(f->erp->数据库连接.trace().isEmpty());
    QCOMPARE(w->station().stockGrid().systemRowCount(), listed);
    // After Enter on a short keyword the clerk goes on typing it.
    QTest::mouseClick(keyword, Qt::LeftButton);
    type(keyword, s("轴"));
    QTest::keyClick(keyword, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), keyword);
    type(keyword, s("承"));
    QTest::keyClick(keyword, Qt::Key_Return);
    searched();
    QVERIFY(w->station().stockGrid().text(1, 2).contains(s("轴承")));
    // Three ASCII characters or two Chinese ones are enough.
    QVERIFY(ScanStation::keywordLongEnough(s("abc")));
    QVERIFY(ScanStation::keywordLongEnough(s("螺栓")));
}

void ScanWindowTest::secondSearchReplacesTheFirst()
{
    auto* keyword = field("编辑框_查询库存关键字");
    keyword->setText(s("螺栓"));
    QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
    searched();
    StationGrid& stock = w->station().stockGrid();
    QVERIFY(stock.systemRowCount() > 10);
    keyword->setText(s("轴承"));
    QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
    searched();
    QVERIFY(stock.systemRowCount() > 2);
    QCOMPARE(stock.text(1, 0), s("1"));
    for (int r = 1; r < stock.systemRowCount(); ++r)
        QVERIFY2(stock.text(r, 2).contains(s("轴承")), qPrintable(stock.text(r, 2)));
    // A keyword without match leaves the grid empty and says so.
    keyword->setText(s("没有这种东西"));
    QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
    searched();
    QCOMPARE(stock.systemRowCount(), 1);
    QCOMPARE(promptLines(), QStringList{s("没有查到与关键字【没有这种东西】 相关的存货")});
}

void ScanWindowTest::scanDuringALongSearchWaitsForIt()
{
    constexpr int kItems = 3000;
    addItems(kItems, s("批量物料"));
    scan(s("R10001"));
    f->player.played.clear();
    auto* keyword = field("编辑框_查询库存关键字");
    keyword->setText(s("批量物料"));
    QTest::mouseClick(child(s("按钮_查询")), Qt::LeftButton);
    // While the search is filling its grid, the scanner sends a material
    // and the clerk tries the voucher button and a second search. The
    // keyboard is back in the scan field.
    QVERIFY(w->station().isBusy());
    QVERIFY(!child(s("按钮_生成材料出库单"))->isEnabled() && !child(s("按钮_查询"))->isEnabled());
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    scan(s("QM-001"));
    QCOMPARE(w->station().pendingScans(), 1);
    QCOMPARE(promptLines().first(), s("1 个条码等待处理"));
    QVERIFY(!w->station().search(s("螺栓")));
    w->生成材料出库单();
    searched();
    QVERIFY(child(s("按钮_查询"))->isEnabled());
    StationGrid& stock = w->station().stockGrid();
    QCOMPARE(stock.systemRowCount(), kItems + 1);
    for (int r = 1; r < stock.systemRowCount(); ++r) {
        QCOMPARE(stock.text(r, 0), QString::number(r));
        QCOMPARE(stock.text(r, 1), QStringLiteral("BULK-%1").arg(r, 5, 10, QLatin1Char('0')));
        QCOMPARE(stock.text(r, 5), QString::number(r % 50));
    }
    // The scan was handled after the search, not lost.
    QCOMPARE(w->station().pendingScans(), 0);
    QCOMPARE(column(grid(), 1), QStringList{s("QM-001")});
    QCOMPARE(f->stagedRows(), gridRows());
    QCOMPARE(f->player.played, QStringList{prompts::kScanSucceeded});
    QCOMPARE(promptLines().mid(0, 4),
             QStringList({s("存货编码【QM-001】 添加成功！！"), s("正在查询库存，请在查询结束后再生成材料出库单！！"),
                          s("正在查询库存，请在查询结束后再查询！！"), s("1 个条码等待处理")}));
}

void ScanWindowTest::badInputBreaksNothing_data()
{
    QTest::addColumn<QString>("typed"); // without the final Enter
    QTest::addColumn<QStringList>("added"); // codes of new lines, top first
    QTest::newRow("10,000 characters") << QString(10000, u'A') << QStringList();
    QTest::newRow("quote") << s("QM-001'") << QStringList();
    QTest::newRow("statement end") << s("QM-001';delete from ckmx;--") << QStringList();
    QTest::newRow("comment") << s("QM--001") << QStringList();
    QTest::newRow("percent inside") << s("Q%") << QStringList();
    QTest::newRow("brackets") << s("[QM-001]") << QStringList();
    QTest::newRow("emoji") << s("QM-001😀") << QStringList();
    QTest::newRow("CR inside") << s("M6-25\rQM-001") << QStringList({s("QM-001"), s("M6-25")});
    QTest::newRow("Tab ends the scan") << s("QM-001\t") << QStringList{s("QM-001")};
    QTest::newRow("CR LF ends the scan") << s("QM-001\r\n") << QStringList{s("QM-001")};
}

void ScanWindowTest::badInputBreaksNothing()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, added);
    scanAll({s("R10001"), s("M6-25")});
    auto* e = field("编辑框_条码");
    type(e, typed);
    if (!typed.endsWith(u'\t') && !typed.endsWith(u'\n'))
        QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(column(grid(), 1), added + QStringList{s("M6-25")});
    QCOMPARE(f->stagedRows(), gridRows());
    QCOMPARE(QApplication::focusWidget(), e);
    QCOMPARE(e->text(), QString());
    // Refused codes are refused as unknown items, never as broken statements.
    for (const QString& entry : f->logEntries())
        QVERIFY2(entry.startsWith(s("未查找到存货编码【")), qPrintable(entry.left(200)));
    QCOMPARE(f->logEntries().size(), added.isEmpty() ? 1 : 0);
    QCOMPARE(f->scalar(s("select count(*) from inventory")).toInt() > 300, true);
}

void ScanWindowTest::scanSequenceOverOdbc()
{
    start(Path::Odbc);
    QVERIFY(f->erp->数据库连接.isSqlite());
    QVERIFY(!f->erp->数据库连接.isEmbedded());
    scanAll({s("R10001"), s("SSB001"), s("QM-001"), s("M6-25")});
    QCOMPARE(text("编辑框_现存量"), s("67"));
    scanAll({s("QM-002"), s("XF-SAND")});
    QCOMPARE(column(grid(), 1), QStringList({u"QM-002"_s, u"M6-25"_s, u"QM-001"_s}));
    QCOMPARE(column(grid(), 9), QStringList({u"SB001"_s, u"SB001"_s, u"SB001"_s}));
    QCOMPARE(text("编辑框_现存量"), s("0"));
    QVERIFY(promptLines().contains(s("存货编码【QM-002】 已添加，但出库仓库【02|五金仓】 中没有现存量！！")));
    QCOMPARE(f->stagedRows(), gridRows());
    QCOMPARE(f->player.played.last(), prompts::kScanFailed);
    f->answer = true;
    editQuantity(3, s("20"));
    QCOMPARE(f->scalar(s("select sl from ckmx where hh='1'")), s("20"));
    w.reset();
    open();
    QCOMPARE(f->stagedRows(), gridRows());
}

void ScanWindowTest::nothingIsCutOff()
{
    // Every control lies inside its parent at the design size.
    for (QWidget* c : w->findChildren<QWidget*>()) {
        // The window's own controls, named in Chinese; Qt's inner parts aside.
        const QString name = c->objectName();
        if (name.isEmpty() || name.at(0).unicode() < 128 || name == s("画布") || !c->parentWidget())
            continue;
        QVERIFY2(QRect(QPoint(), c->parentWidget()->geometry().size()).contains(c->geometry()),
                 qPrintable(c->objectName()));
    }
    // On a screen smaller than the design the canvas scrolls.
    w->resize(1024, 700);
    QApplication::processEvents();
    auto* area = child<QScrollArea>(s("滚动区"));
    QVERIFY(area->horizontalScrollBar()->maximum() > 0);
    QVERIFY(area->verticalScrollBar()->maximum() > 0);
    QCOMPARE(child(s("画布"))->size(), QSize(1912, 992));

    // With QUILLMARK_SHOT_DIR set (run under Xvfb on a large screen), the
    // window after a badge, a device and three materials, and the stock tab.
    const QString shots = qEnvironmentVariable("QUILLMARK_SHOT_DIR");
    if (shots.isEmpty())
        return;
    w->resize(1920, 1025);
    scanAll({s("R10001"), s("SSB001"), s("QM-001"), s("M6-25"), s("QD-PC8-01")});
    QTest::qWait(1200);
    w->grab().save(shots + s("/station-scans.png"));
    auto* keyword = field("编辑框_查询库存关键字");
    QTest::mouseClick(keyword, Qt::LeftButton);
    type(keyword, s("轴承"));
    QTest::keyClick(keyword, Qt::Key_Return);
    searched();
    QTest::qWait(200);
    w->grab().save(shots + s("/station-stock.png"));
    w->resize(1024, 700);
    QTest::qWait(200);
    w->grab().save(shots + s("/station-small.png"));
}

void ScanWindowTest::voucherButtonsWriteAndUpdateCounters()
{
    scanAll({s("R10001"), s("QM-001"), s("M6-25")});
    editQuantity(1, s("3"));
    const QStringList lines = gridRows();
    const QStringList history = promptLines();
    f->player.played.clear();
    const int logged = f->logEntries().size();
    auto* generate = child<QPushButton>(s("按钮_生成材料出库单"));

    // The first press shows what would be written, in the window.
    QTest::mouseClick(generate, Qt::LeftButton);
    const QStringList preview{
        s("即将生成材料出库单：出库明细 2 行，领料人 1 位（王洋国），合计数量 4"),
        s("再按一次“生成材料出库单”、按F12或扫描 #QM-WRITE 即写入；扫描 #QM-CANCEL 或修改出库明细则取消")};
    QCOMPARE(promptLines(), preview + history);
    QCOMPARE(generate->text(), s("确认生成材料出库单"));
    QCOMPARE(f->scalar(s("select count(*) from rdrecord11 where cCode='CLCK260304080509'")), s("0"));
    QCOMPARE(f->stagedRows().size(), 2);
    QVERIFY(f->messages.isEmpty());
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));

    // The second writes; the voucher number goes on top of the history.
    f->player.played.clear();
    QTest::mouseClick(generate, Qt::LeftButton);
    const QString done = s("材料出库生成完成，材料出库单号：CLCK260304080509 请仓管到U8材料出库单进行审核！！");
    QCOMPARE(promptLines(), QStringList{done} + preview + history);
    QCOMPARE(child<QPlainTextEdit>(s("编辑框_提示"))->toPlainText().split(u'\n').first(), done);
    QCOMPARE(f->player.played, QStringList{prompts::kVoucherGenerated});
    QCOMPARE(grid().systemRowCount(), 1);
    QVERIFY(f->stagedRows().isEmpty());
    QCOMPARE(text("编辑框_条码"), QString());
    QCOMPARE(generate->text(), s("生成材料出库单"));
    QCOMPARE(child<QLabel>(s("标签_合计"))->text(), s("出库明细 0 行\n合计数量 0"));
    QVERIFY(f->messages.isEmpty());
    QCOMPARE(f->logEntries().mid(logged),
             QStringList{s("生成材料出库单【CLCK260304080509】：出库明细 2 行，合计数量 4，领料人 王洋国")});
    // The lines went into the ERP in grid order, newest first, each with
    // its quantity in the line and in its bin-position row.
    const QString id = f->scalar(s("select ID from rdrecord11 where cCode='CLCK260304080509'"));
    QVERIFY(!id.isEmpty());
    QCOMPARE(f->rows(s("select s.cInvCode, s.iQuantity, s.irowno, p.iQuantity from rdrecords11 s join InvPosition p "
                       "on p.RdsID=s.AutoID where s.ID=")
                     + id + s(" order by s.AutoID")),
             QStringList({s("M6-25|3|2|3"), s("QM-001|1|1|1")}));
    QCOMPARE(lines.size(), 2);

    // A click queued while the voucher was written finds the button
    // disabled; once enabled again, an empty grid is only reported, at
    // the first press.
    QVERIFY(!generate->isEnabled());
    QTRY_VERIFY(generate->isEnabled());
    QTest::mouseClick(generate, Qt::LeftButton);
    QCOMPARE(promptLines().first(), s("没有明细材料需要生成材料出库单！"));
    QCOMPARE(promptLines().at(1), done);
    QCOMPARE(f->scalar(s("select count(*) from rdrecord11 where cCode='CLCK260304080509'")), s("1"));

    // The next scan's message goes in front of what the field shows now.
    scan(s("QM-001"));
    QCOMPARE(promptLines().mid(0, 3),
             QStringList({s("存货编码【QM-001】 添加成功！！"), s("没有明细材料需要生成材料出库单！"), done}));
    QCOMPARE(child<QPlainTextEdit>(s("编辑框_提示"))->toPlainText(),
             w->station().promptText().replace(s("\r\n"), s("\n")));

    QTest::mouseClick(child<QPushButton>(s("按钮_更新最大单据号")), Qt::LeftButton);
    QCOMPARE(f->messages.size(), 1);
    QCOMPARE(f->messages[0].text, s("更新成功！"));
    QCOMPARE(f->messages[0].icon, msgbox::Icon::Information);
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
}

// A saved header the ERP does not know (or knows under another name) is
// red with the reason as tooltip, and the voucher is refused before any
// statement is sent; the staged lines stay.
void ScanWindowTest::headerThatDoesNotCheckOutIsRedAndRefused_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("why");
    QTest::addRow("unknown warehouse") << s("仓库") << s("99|无此仓") << s("编辑框_出库仓库")
                                       << s("出库仓库【99|无此仓】在ERP中不存在");
    QTest::addRow("warehouse without name")
        << s("仓库") << s("02|") << s("编辑框_出库仓库") << s("出库仓库【02|】没有名称");
    QTest::addRow("renamed warehouse") << s("仓库") << s("02|五金库") << s("编辑框_出库仓库")
                                       << s("出库仓库【02|五金库】的名称与ERP不符，ERP中为【02|五金仓】");
    QTest::addRow("unknown person") << s("经手人") << s("9999|无此人") << s("编辑框_经手人")
                                    << s("经手人【9999|无此人】在ERP中不存在");
    QTest::addRow("person without name") << s("经手人") << s("0001|") << s("编辑框_经手人")
                                         << s("经手人【0001|】没有名称");
    QTest::addRow("unknown category") << s("出库类别") << s("999|无") << s("编辑框_出库类别")
                                      << s("出库类别【999|无】在ERP中不存在");
    QTest::addRow("category without name")
        << s("出库类别") << s("202|") << s("编辑框_出库类别") << s("出库类别【202|】没有名称");
}

void ScanWindowTest::headerThatDoesNotCheckOutIsRedAndRefused()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, box);
    QFETCH(QString, why);
    for (const char* name : {"编辑框_出库仓库", "编辑框_经手人", "编辑框_出库类别"}) {
        QVERIFY(!field(name)->property("faulty").toBool());
        QCOMPARE(field(name)->toolTip(), QString());
    }
    w.reset();
    settings::writeKey(s("材料出库单表头"), key, value);
    open();
    for (const char* name : {"编辑框_出库仓库", "编辑框_经手人", "编辑框_出库类别"}) {
        const bool faulty = box == s(name);
        QCOMPARE(field(name)->property("faulty").toBool(), faulty);
        QCOMPARE(field(name)->toolTip(), faulty ? why : QString());
    }
    QCOMPARE(child<QLineEdit>(box)->text(), value);

    if (key == s("仓库") && !value.startsWith(s("02|"))) {
        // No item's bin is in a warehouse the ERP does not have: the line
        // comes from an earlier shift.
        w.reset();
        QVERIFY(f->exec(
            {s("insert into ckmx (hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) values "
               "('1','QM-001','扫码演示物料','DEMO-1','个',1,'B01-1','王洋国','生产课','','2026-03-01 07:00:01')")}));
        open();
    } else {
        scanAll({s("R10001"), s("QM-001")});
    }
    const QStringList staged = f->stagedRows();
    QCOMPARE(staged.size(), 1);
    const QStringList before = promptLines();
    f->player.played.clear();
    f->erp->数据库连接.clearTrace();
    QTest::mouseClick(child<QPushButton>(s("按钮_生成材料出库单")), Qt::LeftButton);
    QVERIFY(f->erp->数据库连接.trace().isEmpty());
    const QString refusal = s("材料出库单表头有误：") + why + s("，材料出库单未生成！");
    QCOMPARE(promptLines(), QStringList{refusal} + before);
    QCOMPARE(f->player.played, QStringList{prompts::kScanFailed});
    QCOMPARE(f->logEntries().last(), refusal);
    QCOMPARE(f->stagedRows(), staged);
    QCOMPARE(grid().systemRowCount(), 2);

    // With QUILLMARK_SHOT_DIR set (run under Xvfb), the refused voucher.
    const QString shots = qEnvironmentVariable("QUILLMARK_SHOT_DIR");
    if (!shots.isEmpty() && key == s("经手人") && value.contains(s("无此人"))) {
        QTest::qWait(500);
        w->grab().save(shots + s("/station-header-refused.png"));
    }
}

// A voucher that fails keeps the system's message on the first line, says
// why on the second, and keeps the prompt history below them.
void ScanWindowTest::voucherFailureNamesItsCauseAndKeepsTheHistory_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("cause");
    QTest::addRow("another station writes") << s("lock") << s("另一台电脑正在写入，请稍后重试");
    QTest::addRow("disk full") << s("full") << s("数据库磁盘已满");
    QTest::addRow("connection closed") << s("closed") << s("与ERP的连接已断开");
    QTest::addRow("anything else") << s("other") << s("数据库执行出错，原因已写入日志");
}

void ScanWindowTest::voucherFailureNamesItsCauseAndKeepsTheHistory()
{
    QFETCH(QString, how);
    QFETCH(QString, cause);
    // A warning in the history that must survive the failure.
    scanAll({s("R10001"), s("QM-003"), s("QM-001"), s("M6-25")});
    const QStringList history = promptLines();
    QVERIFY(history.contains(s("未查找到存货编码【QM-003】 的货位编码 请查询存货档案是否有设备默认货位！！")));
    const QStringList staged = f->stagedRows();

    ErpConnection& connection = f->erp->数据库连接;
    ErpConnection other(s("other station"));
    QSqlQuery* hold = nullptr;
    std::unique_ptr<QSqlQuery> holder;
    QString failing;
    if (how == s("lock")) {
        // A second real connection holds the account set's write lock.
        QVERIFY(
            other.open(ErpConnection::kEmbeddedPrefix + f->erpFolder(), QString(), QString(), s("UFDATA_001_2021")));
        holder = std::make_unique<QSqlQuery>(other.database());
        hold = holder.get();
        QVERIFY(hold->exec(s("BEGIN IMMEDIATE TRANSACTION")));
    } else {
        if (how == s("full"))
            connection.setSeamError(s("database or disk is full"));
        else if (how == s("other"))
            connection.setSeamError(s("NOT NULL constraint failed: rdrecords11.cPosition"));
        connection.setStatementSeam([&](int, const QString& sql) {
            if (!sql.startsWith(s("INSERT INTO rdrecords11")))
                return true;
            failing = sql;
            if (how == s("closed"))
                connection.close();
            return false;
        });
    }
    QTest::mouseClick(child<QPushButton>(s("按钮_生成材料出库单")), Qt::LeftButton);
    const QStringList preview = promptLines().mid(0, 2);
    QTest::mouseClick(child<QPushButton>(s("按钮_生成材料出库单")), Qt::LeftButton);
    connection.setStatementSeam({});
    connection.setSeamError({});
    if (hold)
        QVERIFY(hold->exec(s("ROLLBACK")));

    QCOMPARE(promptLines(), QStringList({s("材料出库生单失败，请联系系统开发人员！"), cause}) + preview + history);
    QCOMPARE(child<QPlainTextEdit>(s("编辑框_提示"))->toPlainText().split(u'\n').mid(0, 2),
             QStringList({s("材料出库生单失败，请联系系统开发人员！"), cause}));
    QCOMPARE(f->stagedRows(), staged);
    QCOMPARE(grid().systemRowCount(), 3);
    // The log keeps the failing statement and the driver's own text.
    const QString entry = f->logEntries().value(f->logEntries().size() - 1);
    if (failing.isEmpty()) {
        QVERIFY2(entry.startsWith(s("开始材料出库单事务失败  BEGIN TRANSACTION")), qPrintable(entry));
        QVERIFY2(entry.contains(s("locked")), qPrintable(entry));
    } else {
        QVERIFY2(entry.startsWith(s("插入扫描数据失败  ") + failing + s("\r\n")), qPrintable(entry));
        if (how != s("closed"))
            QVERIFY2(entry.endsWith(how == s("full") ? s("database or disk is full")
                                                     : s("NOT NULL constraint failed: rdrecords11.cPosition")),
                     qPrintable(entry));
    }
}

// The ERP did not answer the header check at opening: the header is not
// called wrong, and the click checks it before writing.
void ScanWindowTest::headerNotCheckedAtOpeningIsCheckedAtTheClick()
{
    w.reset();
    ErpConnection& connection = f->erp->数据库连接;
    connection.setStatementSeam([](int, const QString& sql) { return !sql.startsWith(s("select cwhcode")); });
    open();
    QVERIFY(!field("编辑框_出库仓库")->property("faulty").toBool());
    QCOMPARE(f->logEntries().value(0),
             s("核对材料出库单表头失败  select cwhcode,cwhname  from Warehouse  order by cwhcode"));
    scanAll({s("R10001"), s("QM-001")});
    QTest::mouseClick(child<QPushButton>(s("按钮_生成材料出库单")), Qt::LeftButton);
    QCOMPARE(promptLines().value(0), s("无法从ERP核对材料出库单表头，材料出库单未生成！"));
    QCOMPARE(f->stagedRows().size(), 1);

    connection.setStatementSeam({});
    QTRY_VERIFY(child<QPushButton>(s("按钮_生成材料出库单"))->isEnabled());
    QTest::mouseClick(child<QPushButton>(s("按钮_生成材料出库单")), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(s("按钮_生成材料出库单")), Qt::LeftButton);
    QVERIFY(promptLines().value(0).startsWith(s("材料出库生成完成")));
    QVERIFY(f->stagedRows().isEmpty());
}

// A device belongs to the worker it was scanned for: another person's badge
// ends it, while a 生产课 worker keeps his for all his lines (also when he
// shows his badge again). A device scanned before the first badge goes with
// that badge.
void ScanWindowTest::deviceEndsWithItsWorker()
{
    scanAll({s("R10001"), s("SSB001"), s("QM-001"), s("R10001"), s("M6-25")});
    QCOMPARE(column(grid(), 9), QStringList({s("SB001"), s("SB001")}));
    QCOMPARE(text("编辑框_设备"), s("SB001"));
    scan(s("R10041"));
    QCOMPARE(text("编辑框_领料人"), s("Sean O'Neil"));
    for (const char* name : {"编辑框_设备", "编辑框_设备名称", "编辑框_线别"})
        QCOMPARE(text(name), QString());
    scan(s("QM-001"));
    QCOMPARE(column(grid(), 9), QStringList({QString(), s("SB001"), s("SB001")}));

    w.reset();
    open();
    scanAll({s("SSB002"), s("R10015"), s("QM-001")});
    QCOMPARE(grid().text(1, 9), s("SB002"));
}

// The scanner's command codes, typed as it types them, and the keys that
// press the voucher button.
void ScanWindowTest::commandBarcodesTypedByTheScanner()
{
    const int vouchers = f->scalar(s("select count(*) from rdrecord11")).toInt();
    auto* generate = child<QPushButton>(s("按钮_生成材料出库单"));
    scanAll({s("R10001"), s("QM-001"), s("M6-25"), s("#QM-UNDO")});
    QCOMPARE(column(grid(), 1), QStringList{s("QM-001")});
    // #QM-WRITE shows, F12 writes.
    scan(s("#QM-WRITE"));
    QVERIFY(promptLines().first().startsWith(s("即将生成材料出库单：出库明细 1 行")));
    QCOMPARE(generate->text(), s("确认生成材料出库单"));
    QCOMPARE(f->scalar(s("select count(*) from rdrecord11")).toInt(), vouchers);
    QTest::keyClick(field("编辑框_条码"), Qt::Key_F12);
    QVERIFY(promptLines().first().startsWith(s("材料出库生成完成")));
    QCOMPARE(f->scalar(s("select count(*) from rdrecord11")).toInt(), vouchers + 1);
    QTRY_VERIFY(generate->isEnabled());

    // Enter on the focused button shows; #QM-CANCEL cancels; F12 shows
    // again and #QM-WRITE writes.
    scan(s("QM-001"));
    generate->setFocus();
    QTest::keyClick(generate, Qt::Key_Return);
    QCOMPARE(generate->text(), s("确认生成材料出库单"));
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    scan(s("#QM-CANCEL"));
    QCOMPARE(promptLines().first(), s("已取消生成材料出库单，未写入任何数据。"));
    QCOMPARE(generate->text(), s("生成材料出库单"));
    QTest::keyClick(field("编辑框_条码"), Qt::Key_F12);
    scan(s("#QM-WRITE"));
    QCOMPARE(f->scalar(s("select count(*) from rdrecord11")).toInt(), vouchers + 2);
    QVERIFY(grid().dataRowCount() == 0);
    QVERIFY(f->messages.isEmpty());
}

// A scanner types wherever the focus is: its code reaches the scan field
// and becomes a line, and the control it was typed on does nothing.
void ScanWindowTest::scannerKeysReachTheScanFieldFromAnyControl_data()
{
    QTest::addColumn<QString>("control");
    for (const char* name : {"按钮_生成材料出库单", "按钮_更新最大单据号", "按钮_查询", "tab bar",
                             "高级表格_材料出库单明细", "编辑框_提示", "编辑框_出库仓库", "编辑框_存货名称"})
        QTest::newRow(name) << s(name);
}

void ScanWindowTest::scannerKeysReachTheScanFieldFromAnyControl()
{
    QFETCH(QString, control);
    scanAll({s("R10001"), s("QM-001")});
    auto* tabs = child<QTabWidget>(s("选择夹1"));
    QWidget* target = control == s("tab bar") ? tabs->tabBar() : child(control);
    QVERIFY(target);
    if (target == tabs->tabBar())
        tabs->setCurrentIndex(1);
    if (target == detailView())
        QTest::mouseClick(detailView()->viewport(), Qt::LeftButton, {},
                          detailView()->visualRect(grid().indexOf(1, 2)).center());
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    f->erp->数据库连接.clearTrace();
    // Each key goes where the focus is, as the scanner's keys do.
    for (const char c : std::string("M6-25"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(column(grid(), 1), QStringList({s("M6-25"), s("QM-001")}));
    QCOMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    QCOMPARE(text("编辑框_条码"), QString());
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(promptLines().first(), s("存货编码【M6-25】 添加成功！！"));
    // Nothing else ran: no box, no voucher, no counters, no search.
    QVERIFY(f->messages.isEmpty());
    QCOMPARE(child<QPushButton>(s("按钮_生成材料出库单"))->text(), s("生成材料出库单"));
    QCOMPARE(f->erp->数据库连接.trace().size(), 2); // item with its stock, staging insert
    // A stray Escape does not close the station.
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(w->isVisible());
}

void ScanWindowTest::deleteAllLinesAsksWithNoAsTheDefault_data()
{
    QTest::addColumn<QString>("answer"); // what ends the question
    QTest::addColumn<QStringList>("left");
    QTest::newRow("#QM-CANCEL") << s("#QM-CANCEL") << QStringList({s("M6-25"), s("QM-001"), s("QM-001")});
    QTest::newRow("No") << s("No") << QStringList({s("M6-25"), s("QM-001"), s("QM-001")});
    QTest::newRow("Yes") << s("Yes") << QStringList{s("M6-25")};
}

void ScanWindowTest::deleteAllLinesAsksWithNoAsTheDefault()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, left);
    scanAll({s("R10001"), s("QM-001"), s("QM-001")});
    msgbox::setInterceptor({});
    QString asked;
    bool noIsDefault = false;
    bool openAfterEnter = false;
    int waiting = -1;
    connect(w.get(), &ScanWindow::questionShown, this, [&](QMessageBox* box) {
        QTimer::singleShot(0, box, [&, box] {
            asked = box->text();
            noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
            // The scanner reads a code while the box is open.
            QTest::keyClicks(box, u"M6-25"_s);
            QTest::keyClick(box, Qt::Key_Return);
            openAfterEnter = box->isVisible();
            waiting = w->station().pendingScans();
            if (answer.startsWith(u'#')) {
                QTest::keyClicks(box, answer);
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                box->button(answer == s("Yes") ? QMessageBox::Yes : QMessageBox::No)->click();
            }
        });
    });
    triggerMenu("删除所有行");
    QTRY_VERIFY(!w->station().isAsking());
    QTRY_COMPARE(QApplication::focusWidget(), field("编辑框_条码"));
    msgbox::setInterceptor([this](const msgbox::Message& m) {
        f->messages.append(m);
        return f->answer;
    });
    QCOMPARE(asked, s("确定删除出库明细的全部 2 行吗？删除后不能恢复。"));
    QVERIFY(noIsDefault);
    QVERIFY(openAfterEnter); // the scanner's Enter did not answer
    QCOMPARE(waiting, 1);
    // The scan was kept and handled after the answer.
    QCOMPARE(column(grid(), 1), left);
    QStringList staged = f->stagedRows();
    QStringList shown = gridRows();
    staged.sort();
    shown.sort();
    QCOMPARE(staged, shown);
}

// An OK box keeps the scanner's code and hands it over once it is closed;
// Enter alone closes it.
void ScanWindowTest::scanDuringAMessageBoxWaitsForIt()
{
    scan(s("R10001"));
    msgbox::setInterceptor({});
    QString said;
    bool openAfterScan = false;
    int waiting = -1;
    connect(w.get(), &ScanWindow::questionShown, this, [&](QMessageBox* box) {
        QTimer::singleShot(0, box, [&, box] {
            said = box->text();
            QTest::keyClicks(box, u"QM-001"_s);
            QTest::keyClick(box, Qt::Key_Return);
            openAfterScan = box->isVisible();
            waiting = w->station().pendingScans();
            QTest::keyClick(box, Qt::Key_Return);
        });
    });
    QTest::mouseClick(child<QPushButton>(s("按钮_更新最大单据号")), Qt::LeftButton);
    msgbox::setInterceptor([this](const msgbox::Message& m) {
        f->messages.append(m);
        return f->answer;
    });
    QCOMPARE(said, s("更新成功！"));
    QVERIFY(openAfterScan);
    QCOMPARE(waiting, 1);
    QCOMPARE(column(grid(), 1), QStringList{s("QM-001")});
    QTRY_COMPARE(QApplication::focusWidget(), field("编辑框_条码"));
}

void ScanWindowTest::closingSaysWhatStaysStaged()
{
    // Without lines closing says nothing.
    w->close();
    QVERIFY(f->messages.isEmpty());
    open();
    scanAll({s("R10001"), s("QM-001"), s("M6-25")});
    QCOMPARE(child<QLabel>(s("标签_合计"))->text(), s("出库明细 2 行\n合计数量 2"));
    w->close();
    QCOMPARE(f->messages.size(), 1);
    QCOMPARE(f->messages[0].text,
             s("出库明细还有 2 行（合计数量 2）未生成材料出库单，已保留在缓存表中，下次打开扫码出库时恢复。"));
    w.reset();
    open();
    QCOMPARE(promptLines(), QStringList{s("已恢复上次未生成材料出库单的出库明细 2 行，合计数量 2")});
    QCOMPARE(child<QLabel>(s("标签_合计"))->text(), s("出库明细 2 行\n合计数量 2"));
}

QTEST_MAIN(ScanWindowTest)
#include "ScanWindowTest.moc"

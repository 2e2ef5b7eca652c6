// The staging table ckmx and the detail grid agree at every moment that
// matters, or the clerk is told plainly: a rewrite after a deletion is all
// or nothing, a lookup that could not run is not "not found", a closed
// connection is opened again before a grid action writes, and a quantity
// comes back after a restart exactly as it was accepted. Driven on the
// station's logic against the demo ERP; the last test kills a station
// process in the middle of a rewrite.
#include "tests/support/StationFixture.h"

#include "app/Clock.h"
#include "erp/MasterData.h"
#include "erp/RecordSet.h"
#include "station/ScanStation.h"
#include "tests/support/OdbcSetup.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

using Path = StationFixture::Path;

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList rowsOf(const QVector<staging::Line>& lines)
{
    QStringList out;
    for (const staging::Line& l : lines)
        out << QStringList{l.number,  l.inventoryCode, l.inventoryName, l.model,  l.unit, l.quantity,
                           l.binCode, l.collector,     l.department,    l.device, l.time}
                   .join(u'|');
    return out;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class StagingSyncTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTestOdbcDrivers();
        appclock::setFixedNow(QDateTime(QDate(2026, 3, 4), QTime(8, 5, 9)));
        // A database locked by another connection fails within 0.3 s
        // instead of the program's 5 s.
        ErpConnection::setEmbeddedBusyTimeout(300);
    }
    void init() { start(Path::Embedded); }
    void cleanup()
    {
        station.reset();
        f.reset();
    }

    void failedRewriteLeavesTableAndGridAlike_data();
    void failedRewriteLeavesTableAndGridAlike();
    void deletionRenumbersInPlaceOrRewrites();
    void lockedDatabaseChangesNothingAndSaysSo();
    void unreadableStockIsNotStockZero();
    void openingAndSearchingTakeAFewRoundTrips();
    void unsavedLinesAreStagedByTheNextWrite();
    void gridActionsReopenAClosedConnection();
    void quantitiesComeBackExactly_data();
    void quantitiesComeBackExactly();
    void killedMidRewriteShowsBeforeOrAfter_data();
    void killedMidRewriteShowsBeforeOrAfter();

private:
    void start(Path path)
    {
        station.reset();
        f.reset();
        f = std::make_unique<StationFixture>(path);
        QVERIFY(f->ok);
        open();
    }
    void open()
    {
        station = std::make_unique<ScanStation>(*f->erp);
        station->setPlayer(&f->player);
        QVERIFY(station->setUp());
    }
    void scanAll(const QStringList& codes)
    {
        for (const QString& c : codes)
            station->handleScan(c);
    }
    QStringList gridRows() const { return rowsOf(station->gridLines()); }
    QStringList promptLines() const { return station->promptText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts); }
    // The lines a freshly started program shows, on a connection of its own.
    QStringList restartRows() const
    {
        ErpSession again;
        if (!again.connectOnce())
            return {QStringLiteral("<no connection>")};
        ScanStation reopened(again);
        if (!reopened.setUp())
            return {QStringLiteral("<set-up failed>")};
        return rowsOf(reopened.gridLines());
    }
    // The log without the openings that restartRows() adds.
    QStringList logEntries() const
    {
        QStringList out;
        for (const QString& entry : f->logEntries())
            if (!entry.startsWith(QStringLiteral("打开扫码出库")))
                out << entry;
        return out;
    }
    void verifyTableIsGrid()
    {
        QCOMPARE(sorted(f->stagedRows()), sorted(gridRows()));
        QCOMPARE(restartRows(), gridRows());
    }
    // Edits the quantity of a grid row as the window hands the edit over.
    void editQuantity(int row, const QString& typed)
    {
        const QString old = station->detailGrid().text(row, 5);
        station->detailGrid().setText(row, 5, typed);
        station->quantityEdited(row, old);
        // An over-stock question is answered as the clerk would in the window.
        if (station->isAsking())
            station->answerQuestion(f->answer);
    }

    std::unique_ptr<StationFixture> f;
    std::unique_ptr<ScanStation> station;
};

void StagingSyncTest::failedRewriteLeavesTableAndGridAlike_data()
{
    QTest::addColumn<QString>("failing"); // start of the failing statement; "link:" first: the link drops there
    QTest::addColumn<QString>("step"); // what the prompt names
    QTest::addColumn<QString>("logged"); // start of the log entry
    // Four lines, the second (line 3) deleted: its row goes, and lines 4
    // and 1 become 1 and 3 in one UPDATE.
    const QString renumber = s("update ckmx set hh=case hh when '4' then '1' when '1' then '3' else hh end where hh "
                               "in ('4','2','1')");
    QTest::newRow("begin") << s("BEGIN TRANSACTION") << s("无法开始事务")
                           << s("开始缓存事务失败  BEGIN TRANSACTION\r\n");
    QTest::newRow("removal") << s("delete from ckmx") << s("删除缓存记录失败")
                             << s("删除缓存记录失败  delete from ckmx where hh='3'\r\n");
    QTest::newRow("renumbering") << s("update ckmx set hh") << s("更新行号失败")
                                 << s("更新缓存行号失败  ") + renumber + s("\r\n");
    QTest::newRow("commit") << s("COMMIT TRANSACTION") << s("无法提交事务")
                            << s("提交缓存事务失败  COMMIT TRANSACTION\r\n");
    QTest::newRow("link lost") << s("link:update ckmx set hh") << s("更新行号失败")
                               << s("更新缓存行号失败  ") + renumber;
}

void StagingSyncTest::failedRewriteLeavesTableAndGridAlike()
{
    QFETCH(QString, failing);
    QFETCH(QString, step);
    QFETCH(QString, logged);
    scanAll({s("R10001"), s("QM-001"), s("M6-25"), s("QM-005"), s("QD-PC8-01")});
    editQuantity(4, s("2.5"));
    const QStringList before = gridRows();
    QCOMPARE(before.size(), 4);
    f->player.played.clear();

    const qsizetype logged0 = logEntries().size();
    const bool link = failing.startsWith(QLatin1String("link:"));
    const QString prefix = link ? failing.mid(5) : failing;
    f->erp->数据库连接.setStatementSeam([&](int, const QString& sql) {
        const bool here = sql.startsWith(prefix);
        if (here && link)
            f->erp->数据库连接.close(); // as a dropped network link
        return !here;
    });
    station->deleteCurrentLine(2);
    f->erp->数据库连接.setStatementSeam({});

    // Nothing of the rewrite stays: the grid shows again what the table
    // holds, old line numbers included.
    QCOMPARE(gridRows(), before);
    verifyTableIsGrid();
    QVERIFY(f->erp->isOpen());
    QVERIFY(!f->erp->数据库连接.inTransaction());
    const QString prompt = promptLines().first();
    QVERIFY2(prompt.startsWith(s("删除未能保存到缓存表（") + step), qPrintable(prompt));
    QVERIFY2(prompt.endsWith(s("），出库明细已恢复为缓存表中的 4 行！！")), qPrintable(prompt));
    QCOMPARE(f->player.played, QStringList{prompts::kScanFailed});
    // Only the failure is logged, no deletion.
    const QStringList log = logEntries().mid(logged0);
    QCOMPARE(log.size(), 1);
    QVERIFY2(log.first().startsWith(logged), qPrintable(log.first()));

    // The next deletion goes through and renumbers from the top.
    station->deleteCurrentLine(2);
    QCOMPARE(station->detailGrid().dataRowCount(), 3);
    QCOMPARE(station->detailGrid().text(1, 0), s("1"));
    verifyTableIsGrid();
}

// A deletion costs a few round trips whatever the grid's size; a table
// that lost a line behind the station's back is rewritten from the grid.
void StagingSyncTest::deletionRenumbersInPlaceOrRewrites()
{
    scanAll({s("R10001"), s("QM-001"), s("M6-25"), s("QM-005"), s("QD-PC8-01"), s("QM-001")});
    ErpConnection& c = f->erp->数据库连接;
    int before = c.roundTrips();
    station->deleteCurrentLine(3);
    QVERIFY2(c.roundTrips() - before <= 3, qPrintable(QString::number(c.roundTrips() - before)));
    QCOMPARE(station->detailGrid().dataRowCount(), 4);
    QCOMPARE(station->detailGrid().text(1, 0), s("1"));
    verifyTableIsGrid();
    before = c.roundTrips();
    station->deleteSelectedLines(2, 3);
    QVERIFY2(c.roundTrips() - before <= 3, qPrintable(QString::number(c.roundTrips() - before)));
    QCOMPARE(station->detailGrid().dataRowCount(), 2);
    verifyTableIsGrid();

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("cleaner"));
        db.setDatabaseName(f->accountSetFile());
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("delete from ckmx where hh='1'")));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("cleaner"));
    scanAll({s("M6-25"), s("QM-005")});
    station->deleteCurrentLine(1);
    QCOMPARE(station->detailGrid().dataRowCount(), 3);
    verifyTableIsGrid();
    // The log holds the deletions, no failure.
    const QStringList log = logEntries();
    QCOMPARE(log.size(), 3);
    for (const QString& entry : log)
        QVERIFY2(entry.startsWith(s("删除出库明细（")), qPrintable(entry));
}

void StagingSyncTest::lockedDatabaseChangesNothingAndSaysSo()
{
    scanAll({s("R10001"), s("SSB001"), s("QM-001"), s("M6-25"), s("QM-001")});
    const QStringList before = gridRows();
    const StationFields fieldsBefore = station->fields();
    f->player.played.clear();
    f->erp->数据库连接.clearTrace();

    // Another program holds the account set's write lock, so firmly that
    // it cannot even be read.
    QStringList prompts;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other program"));
        other.setDatabaseName(f->accountSetFile());
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY2(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")), qPrintable(lock.lastError().text()));

        station->deleteCurrentLine(2);
        QCOMPARE(gridRows(), before);
        prompts << promptLines().first();
        for (const QString& code : {s("R10015"), s("SSB002"), s("QM-003")}) {
            station->handleScan(code);
            QCOMPARE(station->fields().条码, QString());
            prompts << promptLines().first();
        }
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        lock.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));

    // Nothing changed: the grid, the collector, the device, the last item.
    QCOMPARE(gridRows(), before);
    const StationFields& now = station->fields();
    QCOMPARE(now.领料人, fieldsBefore.领料人);
    QCOMPARE(now.领料部门, fieldsBefore.领料部门);
    QCOMPARE(now.设备, fieldsBefore.设备);
    QCOMPARE(now.设备名称, fieldsBefore.设备名称);
    QCOMPARE(now.存货编码, fieldsBefore.存货编码);
    QCOMPARE(now.现存量, fieldsBefore.现存量);
    QVERIFY2(prompts[0].startsWith(s("删除未能保存到缓存表（无法开始事务：")), qPrintable(prompts[0]));
    QVERIFY2(prompts[0].endsWith(s("出库明细已恢复为删除前的 3 行！！")), qPrintable(prompts[0]));
    const QString unread = s("读取U8数据失败（另一台电脑正在写入，请稍后重试），条码【%1】 未处理，请重新扫码！！");
    QCOMPARE(prompts.mid(1), QStringList({unread.arg(s("R10015")), unread.arg(s("SSB002")), unread.arg(s("QM-003"))}));
    QCOMPARE(f->player.played, QStringList(4, prompts::kScanFailed));
    // The log names each failing statement with the engine's reason.
    const QStringList log = f->logEntries();
    QCOMPARE(log.size(), 4);
    QVERIFY2(log[0].startsWith(s("开始缓存事务失败  BEGIN TRANSACTION\r\n")), qPrintable(log[0]));
    QVERIFY(log[1].startsWith(s("查询人员失败 ") + masterdata::personQuery(s("10015")) + s("\r\n")));
    QVERIFY(log[2].startsWith(s("查询设备失败 ") + masterdata::deviceQuery(s("SB002")) + s("\r\n")));
    QVERIFY(log[3].startsWith(s("查询存货失败 ") + masterdata::scanQuery(s("02"), s("QM-003")) + s("\r\n")));
    for (const QString& entry : log)
        QVERIFY2(entry.contains(QLatin1String("locked")), qPrintable(entry));

    // No duplicate, no lost line; with the lock gone everything works.
    verifyTableIsGrid();
    station->deleteCurrentLine(2);
    QCOMPARE(station->detailGrid().dataRowCount(), 2);
    verifyTableIsGrid();
    station->handleScan(s("R10015"));
    QCOMPARE(station->fields().领料部门, s("设备课"));
}

void StagingSyncTest::unreadableStockIsNotStockZero()
{
    scanAll({s("R10001"), s("M6-25")});
    const QStringList before = gridRows();
    const QString item = station->fields().存货编码;
    f->player.played.clear();
    f->erp->数据库连接.setSeamError(s("database is locked"));
    f->erp->数据库连接.setStatementSeam(
        [](int, const QString& sql) { return !sql.contains(QLatin1String("select sum(iQuantity )")); });
    // A material scan whose stock cannot be read adds nothing.
    station->handleScan(s("QM-001"));
    QCOMPARE(gridRows(), before);
    QCOMPARE(station->fields().存货编码, item);
    QCOMPARE(station->fields().条码, QString());
    QCOMPARE(promptLines().first(),
             s("读取U8数据失败（另一台电脑正在写入，请稍后重试），条码【QM-001】 未处理，请重新扫码！！"));
    // A quantity edit does not ask about stock "0": the old quantity comes back.
    editQuantity(1, s("5"));
    f->erp->数据库连接.setStatementSeam({});
    f->erp->数据库连接.setSeamError({});
    QVERIFY(f->messages.isEmpty());
    QCOMPARE(gridRows(), before);
    QCOMPARE(promptLines().first(),
             s("读取U8现存量失败（另一台电脑正在写入，请稍后重试），行号【1】 的数量恢复为【1】，请重新修改！！"));
    QCOMPARE(f->player.played, QStringList(2, prompts::kScanFailed));
    const QStringList log = f->logEntries();
    QCOMPARE(log.size(), 2);
    QVERIFY(log[0].startsWith(s("查询存货失败 ") + masterdata::scanQuery(s("02"), s("QM-001")) + s("\r\n")));
    QVERIFY(log[1].startsWith(s("查询现存量失败 ") + masterdata::stockQuery(s("02"), s("M6-25")) + s("\r\n")));
    verifyTableIsGrid();
}

// A distant ERP costs a round trip per statement: opening the station and
// a stock search take a few, whatever the number of lines or items.
void StagingSyncTest::openingAndSearchingTakeAFewRoundTrips()
{
    scanAll({s("R10001"), s("QM-001"), s("M6-25"), s("QM-005")});
    ErpConnection& c = f->erp->数据库连接;
    station.reset();
    int before = c.roundTrips();
    open();
    QVERIFY2(c.roundTrips() - before <= 5, qPrintable(QString::number(c.roundTrips() - before)));
    QCOMPARE(station->detailGrid().dataRowCount(), 3);

    before = c.roundTrips();
    QVERIFY(station->search(s("轴承")));
    QTRY_VERIFY(!station->isBusy());
    QCOMPARE(c.roundTrips() - before, 2);
    QVERIFY(station->stockGrid().dataRowCount() > 2);
    // Each row shows the stock its item has in the header's warehouse.
    for (int row = 1; row <= station->stockGrid().dataRowCount(); ++row) {
        const QString code = station->stockGrid().text(row, stockcolumn::InventoryCode);
        RecordSet rs;
        rs.bind(&c);
        QCOMPARE(station->stockGrid().text(row, stockcolumn::StockOnHand),
                 masterdata::stockOnHand(rs, station->fields().出库仓库, code));
    }
}

// A line whose insert failed (the disk full) is staged by the next write
// that succeeds, whichever it is: a quantity change or a deletion.
void StagingSyncTest::unsavedLinesAreStagedByTheNextWrite()
{
    for (const bool byDeletion : {false, true}) {
        start(Path::Embedded);
        ErpConnection& c = f->erp->数据库连接;
        scanAll({s("R10001"), s("QM-001"), s("M6-25")});
        c.setSeamError(s("database or disk is full"));
        c.setStatementSeam([](int, const QString& sql) { return !sql.startsWith(QLatin1String("insert into ckmx")); });
        scanAll({s("QM-005"), s("QM-001")});
        c.setStatementSeam({});
        c.setSeamError({});
        QCOMPARE(promptLines().first(),
                 s("存货编码【QM-001】 已加入出库明细，但未能保存到缓存表（数据库磁盘已满），"
                   "下次写入缓存表成功时补存，在此之前程序重启后不会恢复！！"));
        QCOMPARE(f->stagedRows().size(), 2);
        if (byDeletion) {
            station->deleteCurrentLine(4);
            QCOMPARE(promptLines().first(), s("之前未能保存的出库明细已随删除保存到缓存表！！"));
        } else {
            editQuantity(2, s("2.5")); // the unsaved QM-005
            QCOMPARE(promptLines().first(), s("之前未能保存的 2 行出库明细已保存到缓存表！！"));
            QCOMPARE(station->detailGrid().text(2, 5), s("2.5"));
        }
        QCOMPARE(station->detailGrid().dataRowCount(), byDeletion ? 3 : 4);
        verifyTableIsGrid();
    }
}

void StagingSyncTest::gridActionsReopenAClosedConnection()
{
    scanAll({s("R10001"), s("QM-001"), s("M6-25"), s("QD-PC8-01")});
    // A voucher whose rollback failed leaves the connection closed.
    f->erp->数据库连接.close();
    station->deleteCurrentLine(1);
    QVERIFY(f->erp->isOpen());
    QCOMPARE(station->detailGrid().dataRowCount(), 2);
    verifyTableIsGrid();
    f->erp->数据库连接.close();
    editQuantity(2, s("3"));
    QVERIFY(f->erp->isOpen());
    QCOMPARE(station->detailGrid().text(2, 5), s("3"));
    verifyTableIsGrid();
    // The log holds the deletion and the change, no failure.
    QCOMPARE(logEntries().size(), 2);
    QVERIFY(logEntries().value(0).startsWith(s("删除出库明细（删除当前行）1 行：")));
    QVERIFY(logEntries().value(1).startsWith(s("修改出库数量：")));

    // When it cannot be opened again, the clerk is told and the grid keeps
    // what the table holds.
    const QString server = settings::readKey(QStringLiteral("连接配制"), QStringLiteral("服务器"));
    settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("服务器"), server + QStringLiteral("-gone"));
    f->erp->数据库连接.close();
    const QStringList before = gridRows();
    f->player.played.clear();
    editQuantity(1, s("4"));
    QCOMPARE(station->detailGrid().text(1, 5), s("1"));
    QCOMPARE(promptLines().first(), s("U8连接已断开且无法重新连接，数量未保存，行号【1】 的数量恢复为【1】！！"));
    station->deleteAllLines();
    QVERIFY(station->isAsking());
    station->answerQuestion(true);
    QCOMPARE(gridRows(), before);
    QCOMPARE(promptLines().first(), s("删除未能保存到缓存表（U8连接已关闭），出库明细已恢复为删除前的 2 行！！"));
    QCOMPARE(f->player.played, QStringList(2, prompts::kScanFailed));
    const QStringList failures = logEntries().mid(2);
    QCOMPARE(failures.size(), 2);
    QVERIFY(failures[0].startsWith(s("修改缓存记录失败 ,update ckmx set sl='4' where hh='1'")));
    QCOMPARE(failures[1], s("清空缓存数据失败  delete from ckmx"));

    settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("服务器"), server);
    QVERIFY(f->erp->connectOnce());
    verifyTableIsGrid();
}

void StagingSyncTest::quantitiesComeBackExactly_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept"); // "" when refused
    for (Path path : {Path::Embedded, Path::Odbc}) {
        const char* engine = path == Path::Embedded ? "embedded" : "odbc";
        const auto row = [&](const char* typed, const char* kept) {
            QTest::addRow("%s %s", engine, typed) << int(path) << s(typed) << s(kept);
        };
        row("1.25", "1.25");
        row("1.125", "");
        row("0.01", "0.01");
        row("0.005", "");
        row("123456789012.25", "123456789012.25");
        row("9999999999999999", "9999999999999999");
        // Both paths reach an SQLite engine: decimals are kept exactly only
        // up to 13 digits before the point, whole numbers up to 16.
        row("9999999999999.99", "9999999999999.99");
        row("12345678901234.5", "");
        row("1234567890123456.78", "");
        row("1e3", "");
        row("１２", "");
        row("007.50", "7.5");
    }
}

void StagingSyncTest::quantitiesComeBackExactly()
{
    QFETCH(int, path);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    if (Path(path) != Path::Embedded)
        start(Path(path));
    scanAll({s("R10001"), s("M6-25"), s("QM-001")});
    f->answer = true; // above stock: keep it
    editQuantity(2, typed);
    const QString shown = kept.isEmpty() ? s("1") : kept;
    QCOMPARE(station->detailGrid().text(2, 5), shown);
    QCOMPARE(promptLines().first().startsWith(s("数量【")), kept.isEmpty());
    if (kept.isEmpty() && typed.indexOf(u'.') > 13)
        QCOMPARE(
            promptLines().first(),
            s("数量【") + typed
                + s("】 无效：当前ERP数据库只能准确保存小数点前最多13位的带小数数量；行号【1】 的数量恢复为【1】！！"));
    // Staged exactly so, and shown so after a restart.
    QCOMPARE(f->scalar(s("select sl from ckmx where hh='1'")), shown);
    const QStringList restarted = restartRows();
    QCOMPARE(restarted, gridRows());
    QCOMPARE(restarted[1].section(u'|', 5, 5), shown);
}

void StagingSyncTest::killedMidRewriteShowsBeforeOrAfter_data()
{
    QTest::addColumn<QString>("stop");
    QTest::addColumn<bool>("mayBeAfter");
    QTest::newRow("at the removal") << s("delete from ckmx") << false;
    QTest::newRow("at the renumbering") << s("update ckmx") << false;
    QTest::newRow("before the commit") << s("COMMIT TRANSACTION") << false;
    QTest::newRow("unpaused") << s("none") << true;
}

void StagingSyncTest::killedMidRewriteShowsBeforeOrAfter()
{
    QFETCH(QString, stop);
    QFETCH(bool, mayBeAfter);
    constexpr int kLines = 2000;
    constexpr int kDeleted = 1000;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stager"));
        db.setDatabaseName(f->accountSetFile());
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(QStringLiteral(
                            "with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into ckmx (hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) "
                            "select i, printf('BULK-%05d', i), '批量物料', 'STD', '个', 1 + i % 7 * 0.25, 'B01-1', "
                            "'王洋国', '生产课', '', '2026-03-04 08:05:09' from n")
                            .arg(kLines)),
                 qPrintable(q.lastError().text()));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("stager"));
    const QStringList before = restartRows();
    QCOMPARE(before.size(), kLines);
    QStringList after = before;
    after.removeAt(kDeleted - 1);
    for (int i = 0; i < after.size(); ++i)
        after[i] = QString::number(i + 1) + after[i].mid(after[i].indexOf(u'|'));
    // The station under test lives in the child; this one lets go of the file.
    station.reset();
    f->erp->close();

    QProcess child;
    child.start(QStringLiteral(QUILLMARK_REWRITE_PROBE), {f->dir.path(), QString::number(kDeleted), stop});
    QVERIFY(child.waitForStarted());
    const QByteArray signal = stop == QLatin1String("none") ? "deleting" : "paused";
    QByteArray out;
    while (!out.contains(signal) && child.waitForReadyRead(60000))
        out += child.readAllStandardOutput();
    QVERIFY2(out.contains(signal), out.constData());
    if (mayBeAfter)
        QTest::qWait(50);
    child.kill();
    QVERIFY(child.waitForFinished());

    const QStringList reopened = restartRows();
    if (reopened != before) {
        QVERIFY2(mayBeAfter, "killed before the commit, the staged lines changed");
        QCOMPARE(reopened.size(), after.size());
        QCOMPARE(reopened, after);
    }
}

QTEST_MAIN(StagingSyncTest)
#include "StagingSyncTest.moc"

// The staging table ckmx on the embedded ERP: exact statements, log texts,
// renumbering, and values that must not break a statement.
#include "bookings/StagingTable.h"
#include "tests/support/DemoErpFixture.h"

#include "app/Clock.h"

using staging::Line;

namespace {

Line line(const QString& lineNumber, const QString& code, const QString& quantity = QStringLiteral("1"))
{
    return {lineNumber,
            code,
            QStringLiteral("扫码演示物料"),
            QStringLiteral("DEMO-1"),
            QStringLiteral("个"),
            quantity,
            QStringLiteral("B01-1"),
            QStringLiteral("王洋国"),
            QStringLiteral("生产课"),
            QStringLiteral("SB001"),
            QStringLiteral("2021-06-24 08:05:09")};
}

const QString kTable = QStringLiteral("select hh,chbm,sl from ckmx order by autoid");

} // namespace

class StagingTableTest : public DemoErpTest {
protected:
    void SetUp() override
    {
        DemoErpTest::SetUp();
        appclock::setFixedNow(QDateTime(QDate(2021, 6, 24), QTime(8, 5, 9)));
    }
    void TearDown() override
    {
        appclock::setFixedNow({});
        DemoErpTest::TearDown();
    }
    void createTable()
    {
        ASSERT_TRUE(staging::ensureTable(记录集1));
        connection.clearTrace();
    }
};

TEST_F(StagingTableTest, FirstStartCreatesTheTableAndLaterStartsFindIt)
{
    EXPECT_FALSE(staging::tableExists(记录集1, QStringLiteral("ckmx")));
    EXPECT_TRUE(staging::ensureTable(记录集1));
    EXPECT_TRUE(staging::tableExists(记录集1, QStringLiteral("ckmx")));
    EXPECT_FALSE(staging::hasLines(记录集1));
    EXPECT_TRUE(staging::ensureTable(记录集1)); // found: not created again

    const QString exists =
        QStringLiteral("select count(*) as hs from sysObjects where Id=OBJECT_ID(N'ckmx') and xtype='U'");
    const QStringList expected{
        exists,
        exists,
        QStringLiteral(
            "CREATE TABLE [dbo].[ckmx]([autoid] [bigint] IDENTITY(1000,1) NOT NULL,[hh] [nvarchar](50) NULL,"
            "[chbm] [nvarchar](50) NULL,[chmc] [nvarchar](50) NULL,[ggxh] [nvarchar](50) NULL,[dw] [nvarchar](50) "
            "NULL,[sl] [decimal](18, 2) NULL,[hwbm] [nvarchar](50) NULL,[llr] [nvarchar](50) NULL,[llbm] "
            "[nvarchar](50) NULL,[sb] [nvarchar](50) NULL,[sj] [datetime] NULL ) ON [PRIMARY]"),
        exists,
        QStringLiteral("select count(*)as 行数 from ckmx"),
        exists,
    };
    EXPECT_EQ(connection.trace(), expected);
    EXPECT_FALSE(记录集1.hasResult()); // closed after use
    EXPECT_TRUE(logEntries().isEmpty());
}

TEST_F(StagingTableTest, StagedLinesComeBackAndFollowQuantityChangesAndRemovals)
{
    createTable();
    ASSERT_TRUE(staging::stageLine(记录集1, line(QStringLiteral("1"), QStringLiteral("QM-001"))));
    ASSERT_TRUE(staging::stageLine(记录集1, line(QStringLiteral("2"), QStringLiteral("M6-25"), QStringLiteral("3"))));
    ASSERT_TRUE(staging::stageLine(记录集1, line(QStringLiteral("3"), QStringLiteral("JJ-75"))));
    EXPECT_TRUE(staging::hasLines(记录集1));

    EXPECT_TRUE(staging::changeQuantity(记录集1, QStringLiteral("2"), QStringLiteral("2.5")));
    EXPECT_TRUE(staging::removeLine(记录集1, QStringLiteral("3")));
    EXPECT_TRUE(staging::removeLine(记录集1, QStringLiteral("9"))); // not staged: no effect

    QVector<Line> loaded;
    ASSERT_TRUE(staging::loadLines(记录集1, loaded));
    Line second = line(QStringLiteral("2"), QStringLiteral("M6-25"), QStringLiteral("2.5"));
    EXPECT_EQ(loaded, (QVector<Line>{line(QStringLiteral("1"), QStringLiteral("QM-001")), second}));

    const QStringList trace = connection.trace();
    ASSERT_EQ(trace.size(), 8);
    EXPECT_EQ(
        trace[0],
        QStringLiteral("insert into ckmx (hh,chbm ,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) values ('1','QM-001',"
                       "'扫码演示物料','DEMO-1','个',1,'B01-1','王洋国','生产课','SB001','2021-06-24 08:05:09')"));
    EXPECT_EQ(trace[3], QStringLiteral("select count(*)as 行数 from ckmx"));
    EXPECT_EQ(trace[4], QStringLiteral("update ckmx set sl='2.5' where hh='2'"));
    EXPECT_EQ(trace[5], QStringLiteral("delete from ckmx where hh='3'"));
    EXPECT_EQ(trace[7],
              QStringLiteral("select hh 行号,chbm 存货编码,chmc 存货名称,ggxh 规格型号,dw 单位,sl 数量,hwbm "
                             "货位编码,llr 领料人,llbm 领料部门,sb 设备,sj 时间  from ckmx"));

    EXPECT_TRUE(staging::removeAll(记录集1));
    EXPECT_EQ(connection.trace().last(), QStringLiteral("delete from ckmx"));
    EXPECT_FALSE(staging::hasLines(记录集1));
    EXPECT_TRUE(staging::loadLines(记录集1, loaded)); // an empty table is no failure
    EXPECT_TRUE(loaded.isEmpty());
    EXPECT_TRUE(logEntries().isEmpty());
}

TEST_F(StagingTableTest, RewriteNumbersTheGridFromTheTopAndReplacesTheTable)
{
    createTable();
    // Stored numbers out of step with the grid, as after a partly written voucher.
    for (const char* lineNumber : {"4", "2", "2"})
        ASSERT_TRUE(staging::stageLine(记录集1, line(QString::fromLatin1(lineNumber), QStringLiteral("OLD"))));
    connection.clearTrace();

    QVector<Line> grid{line(QStringLiteral("5"), QStringLiteral("TOP")),
                       line(QStringLiteral("3"), QStringLiteral("MID")),
                       line(QStringLiteral("1"), QStringLiteral("BOTTOM"), QStringLiteral("2.5"))};
    EXPECT_TRUE(staging::rewrite(记录集1, grid));

    EXPECT_EQ(grid[0].number, QStringLiteral("1"));
    EXPECT_EQ(grid[1].number, QStringLiteral("2"));
    EXPECT_EQ(grid[2].number, QStringLiteral("3"));
    // Staged bottom line first, as scans stage them; in one transaction.
    EXPECT_EQ(rows(kTable),
              (QStringList{QStringLiteral("3|BOTTOM|2.5"), QStringLiteral("2|MID|1"), QStringLiteral("1|TOP|1")}));
    EXPECT_EQ(connection.trace(),
              (QStringList{QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("delete from ckmx"),
                           staging::insertStatement(grid[2]), staging::insertStatement(grid[1]),
                           staging::insertStatement(grid[0]), QStringLiteral("COMMIT TRANSACTION")}));
    EXPECT_FALSE(记录集1.hasResult());
    EXPECT_FALSE(connection.inTransaction());

    // Deleting the last line leaves the table empty.
    QVector<Line> none;
    EXPECT_TRUE(staging::rewrite(记录集1, none));
    EXPECT_TRUE(rows(kTable).isEmpty());
    EXPECT_TRUE(logEntries().isEmpty());
}

TEST_F(StagingTableTest, AQuantityThatIsNotANumberFailsWithoutBeingSentAndIsLogged)
{
    createTable();
    ASSERT_TRUE(staging::stageLine(记录集1, line(QStringLiteral("1"), QStringLiteral("QM-001"))));
    connection.clearTrace();

    const char* bad[] = {"abc", "", "1;delete from ckmx", "1--", "1)", "1,5", "１", "一", "1' or '1'='1",
                         // numbers the column cannot hold, or no quantity at all
                         "1e309", "-1e309", "99999999999999999999", "123456789012345678.456", "0", "-2",
                         // more decimals than the column keeps, an exponent
                         "1.125", "0.005", "1e3"};
    for (const char* text : bad) {
        const QString quantity = QString::fromUtf8(text);
        const Line l = line(QStringLiteral("2"), QStringLiteral("M6-25"), quantity);
        EXPECT_FALSE(staging::stageLine(记录集1, l)) << text;
        EXPECT_FALSE(staging::stageLine(记录集1, l, staging::InsertFor::Rewrite)) << text;
        EXPECT_FALSE(staging::changeQuantity(记录集1, QStringLiteral("1"), quantity)) << text;
        EXPECT_EQ(logEntries().mid(logEntries().size() - 3),
                  (QStringList{QStringLiteral("插入出库明细数据失败  ") + staging::insertStatement(l),
                               QStringLiteral("插入缓存数据失败  ") + staging::insertStatement(l),
                               QStringLiteral("修改缓存记录失败 ,")
                                   + staging::quantityStatement(QStringLiteral("1"), quantity)}))
            << text;
    }
    EXPECT_TRUE(connection.trace().isEmpty());
    EXPECT_EQ(rows(kTable), QStringList{QStringLiteral("1|QM-001|1")});
}

TEST_F(StagingTableTest, FailuresAreLoggedWithTheirExactTexts)
{
    // No table: every statement fails on the engine.
    const Line l = line(QStringLiteral("1"), QStringLiteral("QM-001"));
    EXPECT_FALSE(staging::hasLines(记录集1));
    EXPECT_FALSE(staging::stageLine(记录集1, l));
    EXPECT_FALSE(staging::changeQuantity(记录集1, QStringLiteral("1"), QStringLiteral("2")));
    EXPECT_FALSE(staging::removeLine(记录集1, QStringLiteral("1")));
    EXPECT_FALSE(staging::removeAll(记录集1));
    QVector<Line> loaded;
    EXPECT_FALSE(staging::loadLines(记录集1, loaded));
    QVector<Line> grid{l, l};
    const staging::Rewritten rewritten = staging::rewrite(记录集1, grid);
    const QString why = rewritten.why;
    EXPECT_FALSE(rewritten.done); // stops at the first failure
    EXPECT_TRUE(why.startsWith(QStringLiteral("清空缓存表失败：")));
    EXPECT_FALSE(connection.inTransaction());

    // The step in the clerk's words, the engine's text in the log.
    EXPECT_EQ(why, QStringLiteral("清空缓存表失败：数据库执行出错，原因已写入日志"));
    const QString reason = QStringLiteral("\r\nno such table: ckmx Unable to execute statement");
    const QString insert1 = QStringLiteral(
        "insert into ckmx (hh,chbm ,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) values ('1','QM-001','扫码演示物料',"
        "'DEMO-1','个',1,'B01-1','王洋国','生产课','SB001','2021-06-24 08:05:09')");
    EXPECT_EQ(logEntries(),
              (QStringList{
                  QStringLiteral("取行缓存行数失败  select count(*)as 行数 from ckmx"),
                  QStringLiteral("插入出库明细数据失败  ") + insert1 + reason,
                  QStringLiteral("修改缓存记录失败 ,update ckmx set sl='2' where hh='1'") + reason,
                  QStringLiteral("删除缓存记录失败  delete from ckmx where hh='1'"),
                  QStringLiteral("清空缓存数据失败  delete from ckmx"),
                  QStringLiteral("清空缓存数据失败  delete from ckmx") + reason,
              }));
    // The log entries carry the time of the failure.
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().startsWith(textcodec::toGbk(QStringLiteral("[2021-06-24 08:05:09]:取行缓存行数失败  "))));
}

TEST_F(StagingTableTest, HostileTextsAreStoredAsTheyAreAndAlterNothing)
{
    const QString itemRows = scalar(QStringLiteral("select count(*) from inventory"));
    createTable();
    ASSERT_TRUE(staging::stageLine(记录集1, line(QStringLiteral("1"), QStringLiteral("KEEP"))));

    Line hostile{QStringLiteral("2"),
                 QStringLiteral("A'B"),
                 QStringLiteral("x'); delete from ckmx; --"),
                 QStringLiteral("50%[备件]_"),
                 QStringLiteral("'"),
                 QStringLiteral("2"),
                 QStringLiteral("--"),
                 QStringLiteral("Sean O'Neil"),
                 QStringLiteral("生产课';drop table inventory;--"),
                 QStringLiteral("[SB001]"),
                 QStringLiteral("2021-06-24 08:05:09")};
    ASSERT_TRUE(staging::stageLine(记录集1, hostile));
    QVector<Line> loaded;
    ASSERT_TRUE(staging::loadLines(记录集1, loaded));
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded[1], hostile);

    // A line number with quotes matches no line and changes nothing.
    const QString injected = QStringLiteral("1' or '1'='1");
    EXPECT_TRUE(staging::changeQuantity(记录集1, injected, QStringLiteral("7")));
    EXPECT_TRUE(staging::removeLine(记录集1, injected));
    EXPECT_EQ(connection.trace().last(), QStringLiteral("delete from ckmx where hh='1'' or ''1''=''1'"));
    EXPECT_EQ(rows(kTable), (QStringList{QStringLiteral("1|KEEP|1"), QStringLiteral("2|A'B|2")}));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from inventory")), itemRows);
    EXPECT_TRUE(logEntries().isEmpty());
}

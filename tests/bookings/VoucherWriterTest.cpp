// The voucher writer and the identity counters on the demo ERP: the exact
// statements, what a voucher leaves in the ERP, and that a failure at any
// statement leaves nothing of it behind.
#include "bookings/VoucherWriter.h"
#include "app/Clock.h"
#include "app/OperationLog.h"
#include "app/Prompts.h"
#include "bookings/IdentityCounters.h"
#include "erp/ErpSession.h"
#include "erp/FailureCause.h"
#include "erp/MasterData.h"
#include "tests/support/DemoErpFixture.h"
#include "tests/support/OdbcSetup.h"
#include "tests/support/RecordingVoucherView.h"

#include <QDir>
#include <QProcess>

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const QString kWriting = s("材料出库单生成中。。。");
const QString kFailed = s("材料出库生单失败，请联系系统开发人员！");

// Grid lines, newest first as the grid shows them: line n is row 1.
QVector<staging::Line> gridLines(int count)
{
    const char* items[] = {"QM-001", "QM-002", "QM-003", "QM-004", "QM-005"};
    QVector<staging::Line> lines;
    for (int lineNumber = count; lineNumber >= 1; --lineNumber)
        lines << staging::Line{QString::number(lineNumber),
                               s(items[(lineNumber - 1) % 5]),
                               s("物料"),
                               s("型号"),
                               s("个"),
                               QString::number(lineNumber) + s(".5"),
                               s("B01-") + QString::number(lineNumber),
                               s("李秀建"),
                               s("生产课"),
                               lineNumber == 2 ? QString() : s("SB00") + QString::number(lineNumber),
                               s("2021-06-24 08:00:00")};
    return lines;
}

const VoucherHeader kHeader{s("02|五金仓"), s("0001|王洋国"), s("202|生产领料"), {}};

// The values of kHeader's voucher with the code `code`, as far as the
// maxima query uses them.
VoucherValues values(const QString& code)
{
    VoucherValues v;
    v.code = code;
    v.warehouse = s("02");
    v.handlerCode = s("0001");
    v.category = s("202");
    return v;
}

// The voucher as it was written before batches: an identifier query per
// identifier and seven statements a line, each sent on its own. Kept as the
// reference whose rows the batched writer must give exactly.
bool writePerLine(RecordSet& rs1, RecordSet& rs3, const VoucherHeader& header, const QVector<staging::Line>& lines,
                  const QDateTime& at, const QString& account)
{
    ErpConnection& c = *rs1.connection();
    VoucherValues v;
    v.warehouse = masterdata::codePart(header.出库仓库);
    v.category = masterdata::codePart(header.出库类别);
    v.handlerCode = masterdata::codePart(header.经手人);
    v.handlerName = masterdata::namePart(header.经手人);
    v.department = masterdata::departmentCode(rs3, v.handlerCode);
    if (!c.beginTransaction())
        return false;
    const auto next = [&](const char* sql) { return masterdata::nextIdentifier(rs1, s(sql), QString()); };
    const std::optional<QString> id = next("select max(ID)+1 as ID from rdrecord11");
    if (!id)
        return false;
    v.id = *id;
    v.code = VoucherWriter::voucherCode(at);
    v.date = 日期文本(at);
    v.makeTime = 日期时间文本(at);
    if (!rs3.open(voucher::headerStatement(v)))
        return false;
    for (const staging::Line& line : lines) {
        const std::optional<QString> autoId = next("select max(AutoID)+1 as ID from rdrecords11");
        if (!autoId || !rs3.open(voucher::lineStatement(v, *autoId, line)))
            return false;
        const std::optional<QString> positionId = next("select max(AutoID)+1 as ID from InvPosition");
        if (!positionId || !rs3.open(voucher::kIdentityOn)
            || !rs3.open(voucher::positionStatement(v, *positionId, *autoId, line)) || !rs3.open(voucher::kIdentityOff)
            || !staging::removeLine(rs1, line.number))
            return false;
    }
    return c.commitTransaction() && identitycounters::update(rs1, account);
}

// Every table a voucher touches, whole, as one connection to folder sees it.
QStringList wholeTables(const QString& folder)
{
    ErpConnection c(s("tables"));
    if (!c.open(ErpConnection::kEmbeddedPrefix + folder, s("sa"), QString(), s("UFDATA_001_2021")))
        return {s("<no connection>")};
    RecordSet rs;
    rs.bind(&c);
    QStringList state;
    for (const char* sql : {"select * from rdrecord11 order by ID", "select * from rdrecords11 order by AutoID",
                            "select * from InvPosition order by AutoID", "select * from ckmx order by autoid",
                            "select * from UFSystem.UA_Identity order by cAcc_Id, cVouchType"}) {
        state << s(sql);
        if (rs.open(s(sql)))
            state << recordSetRows(rs);
        else
            state << s("<failed>");
    }
    return state;
}

} // namespace

class VoucherWriterTest : public DemoErpTest {
protected:
    void SetUp() override
    {
        DemoErpTest::SetUp();
        ASSERT_TRUE(staging::ensureTable(记录集1));
        connection.clearTrace();
    }
    void TearDown() override
    {
        appclock::setFixedNow({});
        DemoErpTest::TearDown();
    }

    void stage(const QVector<staging::Line>& lines)
    {
        for (const staging::Line& line : lines)
            ASSERT_TRUE(staging::stageLine(记录集1, line));
        connection.clearTrace();
    }

    VoucherWriter writer(const QDateTime& at = QDateTime(QDate(2021, 6, 24), QTime(8, 5, 9)))
    {
        appclock::setFixedNow(at);
        return VoucherWriter(VoucherErp{connection, 记录集1, 记录集3, 账套号, [this] { reconnect(); }}, view);
    }

    void reconnect()
    {
        ++reconnects;
        ASSERT_TRUE(connection.open(server(), s("sa"), QString(), s("UFDATA_001_2021")));
        for (RecordSet* rs : {&记录集1, &记录集2, &记录集3})
            rs->bind(&connection);
    }

    // Everything a voucher touches, as text, to compare before and after:
    // as another program sees it, or (on) as the writer's own connection
    // sees it, where a transaction left open would show.
    QStringList erpState(RecordSet* on = nullptr) const
    {
        QStringList state;
        for (const char* sql : {"select * from rdrecord11 order by ID", "select * from rdrecords11 order by AutoID",
                                "select * from InvPosition order by AutoID", "select * from ckmx order by hh",
                                "select * from UFSystem.UA_Identity order by cAcc_Id, cVouchType"}) {
            if (!on)
                state << rows(s(sql));
            else if (on->open(s(sql)))
                state << allRows(*on);
            else
                state << s("<failed>");
        }
        return state;
    }

    QString 账套号 = s("001");
    RecordingVoucherView view;
    int reconnects = 0;
};

// The exact texts, in order, for a three-line voucher whose second line has
// no device, at two moments of the clock.
TEST_F(VoucherWriterTest, SendsTheExactStatements)
{
    const struct {
        QDateTime at;
        const char* code;
        const char* date;
        const char* makeTime;
    } cases[] = {
        {QDateTime(QDate(2021, 6, 24), QTime(8, 5, 9)), "CLCK210624080509", "2021-06-24", "2021-06-24 08:05:09"},
        {QDateTime(QDate(2021, 12, 31), QTime(23, 59, 59)), "CLCK211231235959", "2021-12-31", "2021-12-31 23:59:59"},
    };
    int voucher = 61;
    int line = 161;
    int position = 97;
    for (const auto& c : cases) {
        const QVector<staging::Line> lines = gridLines(3);
        stage(lines);
        view = {};
        VoucherWriter w = writer(c.at);
        ASSERT_TRUE(w.click(kHeader, lines));
        EXPECT_EQ(w.lastVoucherCode(), s(c.code));

        const QString id = QString::number(1000000000 + voucher);
        QStringList expected{s("select  cdept_num as 部门编码 from hr_hi_person  where cpsn_num='0001'"),
                             s("BEGIN TRANSACTION"),
                             voucher::maximaQuery(values(s(c.code))),
                             s("SET XACT_ABORT ON"),
                             s("INSERT INTO rdrecord11 (ID,bRdFlag,cVouchType,cBusType,cSource,cWhCode,dDate,cCode,"
                               "cRdCode,cDepCode,cPersonCode,bTransFlag,cMaker,bpufirst,biafirst,iMQuantity,VT_ID,"
                               "bIsSTQc,iproorderid,bOMFirst,bFromPreYear,bIsComplement,iDiscountTaxType,"
                               "ireturncount,iverifystate,iswfcontrolled,dnmaketime,bredvouch,bmotran,bHYVouch,"
                               "iPrintCount)  VALUES  (")
                                 + id + s(",0,11,'领料','库存','02','") + s(c.date) + s("','") + s(c.code)
                                 + s("','202','03','0001',0,'王洋国',0,0,0,65,0,0,0,0, 0,0,0,0,0,'") + s(c.makeTime)
                                 + s("',0,0,0,0)"),
                             s("set identity_insert InvPosition ON")};
        for (const staging::Line& l : lines) {
            const QString autoId = QString::number(1000000000 + line++);
            const QString insertPosition =
                s("INSERT INTO InvPosition (AutoID,RdsID,RdID,cWhCode,cPosCode,cInvCode,iQuantity,cHandler,dDate,"
                  "bRdFlag,iTrackId,iMassDate,cvouchtype,dVouchDate)  VALUES  (")
                + QString::number(position++) + u',' + autoId + u',' + id + s(",'02','") + l.binCode + s("','")
                + l.inventoryCode + s("',") + l.quantity + s(",'王洋国','") + s(c.date) + s("',0,0,0,11,'") + s(c.date)
                + s("')");
            expected << s("INSERT INTO rdrecords11 (AutoID,ID,cInvCode,iQuantity,iFlag,cPosition,cDefine22,"
                          "cDefine23,cDefine24,bLPUseFree,iOriTrackID,bCosting,bVMIUsed,iExpiratDateCalcu,isotype,"
                          "ipesotype,irowno,iposflag)  VALUES  (")
                    + autoId + u',' + id + s(",'") + l.inventoryCode + s("',") + l.quantity + s(",0,'") + l.binCode
                    + s("','李秀建','生产课','") + l.device + s("',0,0,1,0,0,0,0,'") + l.number + s("',1)")
                     << insertPosition << s("delete from ckmx where hh='") + l.number + s("'");
        }
        expected << s("set identity_insert InvPosition OFF") << s("COMMIT TRANSACTION")
                 << identitycounters::maximaQuery()
                 << s("update UFSystem.dbo.UA_Identity set iChildId=") + QString::number(line - 1) + s(",iFatherId =")
                + QString::number(voucher) + s("  where cAcc_Id='001' and cVouchType='rd'");
        EXPECT_EQ(connection.trace(), expected);
        // The device-less line sends an empty cDefine24.
        EXPECT_TRUE(connection.trace()[9].contains(s("'生产课','',0,0,1")));

        EXPECT_EQ(view.events,
                  (QStringList{
                      s("writing"), s("prompt:") + kWriting,
                      s("prompt:材料出库生成完成，材料出库单号：") + s(c.code) + s(" 请仓管到U8材料出库单进行审核！！"),
                      s("play:") + prompts::kVoucherGenerated, s("clear lines"), s("reset scan field"), s("done")}));
        ++voucher;
    }
    EXPECT_TRUE(logEntries().isEmpty());
}

TEST_F(VoucherWriterTest, MaximaQueryAndCounterUpdateTexts)
{
    EXPECT_EQ(identitycounters::maximaQuery(),
              s("SELECT ISNULL(MAX(autoid),1000000000) as 转换前子表最大ID,ISNULL( MAX(id),1000000000) as "
                "转换前主表最大ID FROM (SELECT MAX(autoid) as autoid,MAX(id) as id FROM rdrecords01 r1 UNION ALL "
                "SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   rdrecords08 r2 UNION ALL SELECT MAX(autoid) as "
                "autoid,MAX(id) as id  FROM   rdrecords09 r3  UNION ALL  SELECT MAX(autoid) as autoid,MAX(id) as id  "
                "FROM   rdrecords10 r4  UNION ALL  SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   rdrecords11 r5 "
                " UNION ALL  SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   rdrecords32 r6  UNION ALL  SELECT "
                "MAX(autoid) as autoid,MAX(id) as id  FROM   rdrecords34 r7) t "));
    EXPECT_EQ(
        identitycounters::updateStatement(s("7"), s("3"), s("001")),
        s("update UFSystem.dbo.UA_Identity set iChildId=7,iFatherId =3  where cAcc_Id='001' and cVouchType='rd'"));
    const struct {
        qint64 identifier;
        const char* counter;
    } counters[] = {
        {1000000042, "42"}, {1000000000, "0"}, {1999999999, "999999999"}, {9, "0"}, {2147483647, "147483647"}};
    for (const auto& c : counters)
        EXPECT_EQ(identitycounters::counterText(c.identifier), s(c.counter)) << c.identifier;
}

// What one and three lines leave in the ERP.
TEST_F(VoucherWriterTest, WritesHeaderLinesAndPositionsAndEmptiesStaging)
{
    int firstLine = 1000000161;
    int firstPosition = 97;
    int voucher = 1000000061;
    for (int count : {1, 3}) {
        const QVector<staging::Line> lines = gridLines(count);
        stage(lines);
        ASSERT_TRUE(writer().click(kHeader, lines));
        const QString id = QString::number(voucher);
        EXPECT_EQ(rows(s("select count(*) from rdrecord11 where ID=") + id), QStringList{s("1")});
        QStringList expectedLines;
        QStringList expectedPositions;
        for (int k = 0; k < count; ++k) {
            const staging::Line& l = lines[k];
            const QString autoId = QString::number(firstLine + k);
            expectedLines << autoId + u'|' + l.inventoryCode + u'|' + l.quantity + u'|' + l.number;
            expectedPositions << QString::number(firstPosition + k) + u'|' + autoId + u'|' + id + u'|' + l.binCode
                    + u'|' + l.quantity;
        }
        EXPECT_EQ(
            rows(s("select AutoID,cInvCode,iQuantity,irowno from rdrecords11 where ID=") + id + s(" order by AutoID")),
            expectedLines);
        EXPECT_EQ(rows(s("select AutoID,RdsID,RdID,cPosCode,iQuantity from InvPosition where RdID=") + id
                       + s(" order by AutoID")),
                  expectedPositions);
        EXPECT_EQ(scalar(s("select count(*) from ckmx")), s("0"));
        EXPECT_EQ(
            rows(s("select iChildId,iFatherId from UFSystem.UA_Identity where cAcc_Id='001' and cVouchType='rd'")),
            QStringList{QString::number(firstLine + count - 1 - 1000000000) + u'|'
                        + QString::number(voucher - 1000000000)});
        firstLine += count;
        firstPosition += count;
        ++voucher;
    }
}

TEST_F(VoucherWriterTest, CountersFollowTheMaximaOfEveryStockTable)
{
    // Account set UFDATA_123_2020 addresses the counter row "123".
    const QString account = ErpSession::accountNumber(s("UFDATA_123_2020"));
    ASSERT_EQ(account, s("123"));
    ASSERT_TRUE(exec(s("insert into UFSystem.dbo.UA_Identity values ('123','rd',5,5)")));
    const QString counters =
        s("select iChildId,iFatherId from UFSystem.UA_Identity where cAcc_Id='123' and cVouchType='rd'");

    ASSERT_TRUE(exec(s("insert into rdrecords34 (AutoID,ID,cInvCode) values (1000000777,1000000444,'QM-001')")));
    EXPECT_TRUE(identitycounters::update(记录集1, account));
    EXPECT_EQ(rows(counters), QStringList{s("777|444")});

    for (const char* table :
         {"rdrecords01", "rdrecords08", "rdrecords09", "rdrecords10", "rdrecords11", "rdrecords32", "rdrecords34"})
        ASSERT_TRUE(exec(s("delete from ") + s(table)));
    EXPECT_TRUE(identitycounters::update(记录集1, account));
    EXPECT_EQ(rows(counters), QStringList{s("0|0")});

    EXPECT_FALSE(记录集1.hasResult());
}

// An account whose counter row is missing: the update changes nothing, and
// both the button and the voucher say so; no row is made in the ERP's stead.
TEST_F(VoucherWriterTest, CounterUpdateThatChangesNoRowFails)
{
    ASSERT_TRUE(exec(s("delete from UFSystem.dbo.UA_Identity where cAcc_Id='001'")));
    const QString update = s("update UFSystem.dbo.UA_Identity set iChildId=160,iFatherId =60  where cAcc_Id='001' "
                             "and cVouchType='rd'");
    const identitycounters::RequestOutcome outcome = identitycounters::updateOnRequest(记录集1, s("001"));
    EXPECT_FALSE(outcome.updated);
    EXPECT_EQ(outcome.message, s("最大单据号更新失败，请联系开发人员"));
    EXPECT_EQ(logEntries(), QStringList{s("更新材料出库单最大ID失败：UA_Identity中没有账套001的计数行  ") + update});

    const QVector<staging::Line> lines = gridLines(1);
    stage(lines);
    EXPECT_TRUE(writer().click(kHeader, lines));
    EXPECT_EQ(view.events.mid(view.events.size() - 2),
              (QStringList{s("message:最大单据号更新失败，请联系开发人员"), s("done")}));
    EXPECT_EQ(scalar(s("select count(*) from UFSystem.UA_Identity where cAcc_Id='001'")), s("0"));
}

// The cause line of a failed voucher in the clerk's words, for texts the
// engines give (the embedded engine's are also met for real in the station
// tests).
TEST_F(VoucherWriterTest, CausesInTheClerksWords)
{
    const struct {
        const char* driverText;
        const char* code;
        bool open;
        const char* cause;
    } cases[] = {
        {"database is locked Unable to fetch row", "5", true, "另一台电脑正在写入，请稍后重试"},
        {"[Microsoft][ODBC SQL Server Driver][SQL Server]Lock request time out period exceeded.", "", true,
         "另一台电脑正在写入，请稍后重试"},
        {"[FreeTDS][SQL Server]Quillmark voucher lock not granted", "", true, "另一台电脑正在写入，请稍后重试"},
        {"Transaction (Process ID 57) was deadlocked on lock resources with another process", "", true,
         "另一台电脑正在写入，请稍后重试"},
        {"database or disk is full Unable to fetch row", "13", true, "数据库磁盘已满"},
        {"Could not allocate space for object 'dbo.rdrecords11' in database 'UFDATA_001_2021' because the 'PRIMARY' "
         "filegroup is full.",
         "", true, "数据库磁盘已满"},
        {"The transaction log for database 'UFDATA_001_2021' is full due to 'LOG_BACKUP'.", "", true, "数据库磁盘已满"},
        {"[Microsoft][ODBC SQL Server Driver]Communication link failure", "", true, "与ERP的连接已断开"},
        {"[FreeTDS][SQL Server]Write to the server failed", "", true, "与ERP的连接已断开"},
        {"", "", false, "与ERP的连接已断开"},
        {"attempt to write a readonly database Unable to fetch row", "8", true, "数据库只读，无法写入"},
        // By number and SQLSTATE, in whatever language the server speaks.
        {"[SQL Server]已超过了锁请求超时时段。", "1222", true, "另一台电脑正在写入，请稍后重试"},
        {"[SQL Server]事务(进程 ID 57)与另一个进程被死锁", "1205", true, "另一台电脑正在写入，请稍后重试"},
        {"[SQL Server]Nicht genügend Speicherplatz", "1105", true, "数据库磁盘已满"},
        {"[SQL Server]Le journal des transactions est plein", "9002", true, "数据库磁盘已满"},
        {"[unixODBC]Verbindung unterbrochen", "08S01", true, "与ERP的连接已断开"},
        {"[unixODBC]Verbindung fehlgeschlagen", "08001;0", true, "与ERP的连接已断开"},
        // A number that means something else on another engine is no cause.
        {"[SQLite]no such table: ckmx", "1", true, "数据库执行出错，原因已写入日志"},
        {"  NOT NULL constraint failed: rdrecords11.cInvCode ", "19", true, "数据库执行出错，原因已写入日志"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failurecause::describe(s(c.driverText), c.open, s(c.code)), s(c.cause)) << c.driverText;
}

TEST_F(VoucherWriterTest, CounterButtonTellsHowItWent)
{
    const identitycounters::RequestOutcome first = identitycounters::updateOnRequest(记录集1, s("001"));
    connection.setStatementSeam([](int, const QString& sql) { return !sql.startsWith(s("update")); });
    const identitycounters::RequestOutcome second = identitycounters::updateOnRequest(记录集1, s("001"));
    EXPECT_TRUE(first.updated);
    EXPECT_EQ(first.message, s("更新成功！"));
    EXPECT_FALSE(second.updated);
    EXPECT_EQ(second.message, s("最大单据号更新失败，请联系开发人员"));
    EXPECT_EQ(logEntries(),
              QStringList{s("更新材料出库单最大ID失败  update UFSystem.dbo.UA_Identity set "
                            "iChildId=160,iFatherId =60  where cAcc_Id='001' and cVouchType='rd'")});

    connection.setStatementSeam([](int, const QString& sql) { return !sql.startsWith(s("SELECT ISNULL")); });
    EXPECT_FALSE(identitycounters::update(记录集1, s("001")));
    EXPECT_EQ(logEntries().last(), s("最大单据号查询失败：  ") + identitycounters::maximaQuery());
}

// A failure at any statement of the writer, from BEGIN to COMMIT, leaves the
// ERP, the staging table and the counters exactly as they were.
TEST_F(VoucherWriterTest, AFailureAtAnyStatementLeavesNothingBehind)
{
    const QVector<staging::Line> lines = gridLines(5);
    stage(lines);
    const QStringList before = erpState();
    // The department query comes before the transaction: its failure only
    // leaves the department empty, as the handler may have none.
    const int kDepartmentQuery = 1;
    // BEGIN, maxima, XACT_ABORT, header, identity on, 3 per line, identity off, COMMIT
    const int kCommit = kDepartmentQuery + 5 + 5 * 3 + 2;
    for (int n = kDepartmentQuery + 1; n <= kCommit; ++n) {
        view = {};
        QString failing;
        connection.setStatementSeam([&](int k, const QString& sql) {
            if (k == n)
                failing = sql;
            return k != n;
        });
        const int logBefore = int(logEntries().size());
        EXPECT_FALSE(writer().click(kHeader, lines)) << n;
        connection.setStatementSeam({});
        EXPECT_EQ(erpState(&记录集2), before) << n << ": " << failing.toStdString();
        EXPECT_FALSE(view.events.contains(s("clear lines"))) << n;
        EXPECT_FALSE(connection.inTransaction());

        // The prompt, sound and log of the failing step.
        QString prompt = kFailed;
        bool sound = false;
        QString log;
        const QStringList entries = logEntries().mid(logBefore);
        if (failing == s("BEGIN TRANSACTION") || failing == s("COMMIT TRANSACTION")) {
            sound = true;
            log = (failing.startsWith(u'B') ? s("开始材料出库单事务失败  ") : s("提交材料出库单失败  ")) + failing;
        } else if (failing == voucher::maximaQuery(values(s("CLCK210624080509")))) {
            prompt = s("取主表ID失败！请联系开发人员！");
            sound = true;
            log = s("取材料出库单主表ID失败  ") + failing;
        } else if (failing == s("SET XACT_ABORT ON")) {
            sound = true;
            log = s("写入材料出库单失败  ") + failing;
        } else if (failing.startsWith(s("INSERT INTO rdrecord11"))) {
            sound = true;
            log = s("插入表头数据失败  ") + failing;
        } else if (failing.startsWith(s("INSERT INTO rdrecords11"))) {
            log = s("插入扫描数据失败  ") + failing;
        } else if (failing.startsWith(s("set identity_insert"))) {
            log = failing + s(" 失败  INSERT INTO InvPosition");
        } else if (failing.startsWith(s("INSERT INTO InvPosition"))) {
            log = s("插入货位存量表数据失败  ") + failing;
        } else if (failing.startsWith(s("delete from ckmx"))) {
            log = s("删除缓存记录失败  ") + failing;
        } else {
            ADD_FAILURE() << "unexpected statement " << n << ": " << failing.toStdString();
        }
        // The step's message, and below it the cause in the clerk's words;
        // the driver's text (the seam's) goes to the log.
        EXPECT_EQ(view.prompts().value(1), prompt + s("\r\n") + failurecause::kOther) << n;
        EXPECT_EQ(view.prompts().size(), 2) << n;
        EXPECT_EQ(view.events.contains(s("play:") + prompts::kScanFailed), sound) << n;
        EXPECT_EQ(view.events.contains(s("reset scan field")), !prompt.startsWith(s("取主表ID"))) << n;
        ASSERT_FALSE(entries.isEmpty()) << n;
        EXPECT_TRUE(entries.first().startsWith(log)) << n << ": " << entries.first().toStdString();
        EXPECT_TRUE(entries.first().contains(s("statement failed at the test seam: ") + failing))
            << n << ": " << entries.first().toStdString();
    }
    // The statement after COMMIT is the counters' query: the voucher stands,
    // the counters wait, and the user is told.
    connection.setStatementSeam([&](int k, const QString&) { return k != kCommit + 1; });
    view = {};
    EXPECT_TRUE(writer().click(kHeader, lines));
    EXPECT_EQ(rows(s("select count(*) from rdrecords11 where ID=1000000061")), QStringList{s("5")});
    EXPECT_EQ(view.events.last(2).first(), s("message:最大单据号更新失败，请联系开发人员"));
    EXPECT_EQ(rows(s("select iChildId,iFatherId from UFSystem.UA_Identity where cAcc_Id='001' and cVouchType='rd'")),
              QStringList{s("160|60")});
}

// The batched writer leaves every table exactly as the per-line statements
// do: a voucher over two batches, with a device-less line, quotes and
// Chinese, written into two copies of one ERP, one each way.
TEST_F(VoucherWriterTest, BatchesWriteTheRowsThePerLineStatementsWrite)
{
    QVector<staging::Line> lines = gridLines(voucher::kLinesPerBatch + 50);
    lines[7].inventoryCode = s("QM'-007");
    lines[8].collector = s("O'Brien 张三");
    stage(lines);
    QTemporaryDir reference;
    for (const QString& file : QDir(dir.path()).entryList({s("*.db")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(dir.filePath(file), reference.filePath(file)));

    const QDateTime at(QDate(2021, 6, 24), QTime(8, 5, 9));
    ASSERT_TRUE(writer(at).click(kHeader, lines)) << logEntries().join(u'\n').toStdString();
    {
        ErpConnection c(s("reference"));
        ASSERT_TRUE(
            c.open(ErpConnection::kEmbeddedPrefix + reference.path(), s("sa"), QString(), s("UFDATA_001_2021")));
        RecordSet rs1;
        RecordSet rs3;
        rs1.bind(&c);
        rs3.bind(&c);
        ASSERT_TRUE(writePerLine(rs1, rs3, kHeader, lines, at, 账套号));
    }
    const QStringList batched = wholeTables(dir.path());
    EXPECT_EQ(batched, wholeTables(reference.path()));
    EXPECT_EQ(batched.filter(s("|QM'-007|")).size(), 2); // line and position row
}

// Round trips a voucher costs, as SQL Server would take its batches: a few,
// whatever the number of lines.
TEST_F(VoucherWriterTest, AVoucherTakesAFewRoundTrips)
{
    for (const auto& [count, most] : {std::pair{200, 8}, std::pair{2000, 16}}) {
        const QVector<staging::Line> lines = gridLines(count);
        QStringList inserts;
        for (const staging::Line& line : lines)
            inserts << staging::insertStatement(line);
        ASSERT_TRUE(connection.beginTransaction());
        ASSERT_TRUE(connection.executeBatch(inserts));
        ASSERT_TRUE(connection.commitTransaction());
        const int before = connection.roundTrips();
        ASSERT_TRUE(writer().click(kHeader, lines));
        EXPECT_LE(connection.roundTrips() - before, most) << count;
        EXPECT_EQ(scalar(s("select count(*) from ckmx")), s("0"));
        EXPECT_EQ(scalar(s("select count(*) from rdrecords11 where ID=(select max(ID) from rdrecord11)")),
                  QString::number(count));
    }
}

// The engine refuses a statement in the middle of the second batch (a code
// longer than its column): nothing of the voucher stays, and the log names
// the statement.
TEST_F(VoucherWriterTest, AFailureInTheMiddleOfABatchLeavesNothingBehind)
{
    QVector<staging::Line> lines = gridLines(voucher::kLinesPerBatch + 50);
    stage(lines);
    lines[voucher::kLinesPerBatch + 20].inventoryCode = QString(61, u'X');
    const QStringList before = erpState();
    EXPECT_FALSE(writer().click(kHeader, lines));
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(erpState(), before);
    ASSERT_FALSE(logEntries().isEmpty());
    EXPECT_TRUE(logEntries().last().startsWith(s("插入扫描数据失败  INSERT INTO rdrecords11")));
    EXPECT_TRUE(logEntries().last().contains(QString(61, u'X')));
    EXPECT_TRUE(view.prompts().last().startsWith(kFailed));
}

// Two vouchers written in the same second get distinct codes; the first
// keeps the usual form.
TEST_F(VoucherWriterTest, TwoVouchersInOneSecondGetDistinctCodes)
{
    QStringList codes;
    for (int k = 0; k < 3; ++k) {
        const QVector<staging::Line> lines = gridLines(1);
        stage(lines);
        VoucherWriter w = writer();
        ASSERT_TRUE(w.click(kHeader, lines));
        codes << w.lastVoucherCode();
    }
    EXPECT_EQ(codes, (QStringList{s("CLCK210624080509"), s("CLCK210624080509-2"), s("CLCK210624080509-3")}));
    EXPECT_EQ(scalar(s("select count(distinct cCode) from rdrecord11 where cCode like 'CLCK210624080509%'")), s("3"));
}

// Codes deleted from the ERP after the window opened are refused inside
// the voucher's transaction, read with the maxima (no round trip of their
// own), with the refusal the window gives at opening.
TEST_F(VoucherWriterTest, AHeaderDeletedMidShiftIsRefusedAtWriting)
{
    const QVector<staging::Line> lines = gridLines(2);
    stage(lines);
    const struct {
        const char* removal;
        const char* refusal;
    } cases[] = {
        {"delete from Warehouse where cWhCode='02'",
         "材料出库单表头有误：出库仓库【02|五金仓】在ERP中不存在，材料出库单未生成！"},
        {"update person set cDepCode='09' where cPersonCode='0001'",
         "材料出库单表头有误：经手人【0001|王洋国】在ERP中不存在，材料出库单未生成！"},
        {"update Rd_Style set cRdName='其他领料' where cRdCode='202'",
         "材料出库单表头有误：出库类别【202|生产领料】的名称与ERP不符，ERP中为【202|其他领料】，材料出库单未生成！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.removal);
        const QStringList before = erpState();
        // The change, and back after the click.
        ASSERT_TRUE(exec(s(c.removal)));
        view = {};
        connection.clearTrace();
        const int trips = connection.roundTrips();
        EXPECT_FALSE(writer().click(kHeader, lines));
        EXPECT_EQ(view.prompts().last(), s(c.refusal));
        EXPECT_EQ(logEntries().last(), s(c.refusal));
        EXPECT_TRUE(view.events.contains(s("play:") + prompts::kScanFailed));
        EXPECT_FALSE(connection.inTransaction());
        // Department, begin, the maxima with the header, rollback: nothing more.
        EXPECT_EQ(connection.roundTrips() - trips, 4);
        EXPECT_EQ(connection.trace().size(), 4);
        EXPECT_EQ(erpState(), before);
        ASSERT_TRUE(exec(s("insert or ignore into Warehouse (cWhCode,cWhName) values ('02','五金仓')")));
        ASSERT_TRUE(exec(s("update person set cDepCode='03' where cPersonCode='0001'")));
        ASSERT_TRUE(exec(s("update Rd_Style set cRdName='生产领料' where cRdCode='202'")));
    }
    EXPECT_TRUE(writer().click(kHeader, lines));
}

// The link drops in the middle of the voucher: the engine discards the open
// transaction, and the next click connects again and writes the voucher.
TEST_F(VoucherWriterTest, ADroppedConnectionLosesNothing)
{
    const QVector<staging::Line> lines = gridLines(3);
    stage(lines);
    const QStringList before = erpState();
    connection.setStatementSeam([this](int, const QString& sql) {
        if (!sql.startsWith(s("INSERT INTO InvPosition")) || !sql.contains(s("'B01-2'")))
            return true;
        connection.close();
        return false;
    });
    EXPECT_FALSE(writer().click(kHeader, lines));
    connection.setStatementSeam({});
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(erpState(), before);
    EXPECT_EQ(view.prompts().last(), kFailed + s("\r\n与ERP的连接已断开"));

    // A rollback that fails as well: the connection is closed, so that the
    // engine discards what the transaction holds.
    connection.setStatementSeam(
        [](int, const QString& sql) { return !sql.startsWith(s("ROLLBACK")) && !sql.contains(s("'B01-2'")); });
    EXPECT_FALSE(writer().click(kHeader, lines));
    connection.setStatementSeam({});
    EXPECT_EQ(reconnects, 1);
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(erpState(), before);
    EXPECT_EQ(logEntries().last(), s("材料出库单回滚失败，已断开数据库连接  ROLLBACK TRANSACTION"));

    EXPECT_TRUE(writer().click(kHeader, lines));
    EXPECT_EQ(reconnects, 2);
    EXPECT_EQ(rows(s("select count(*) from rdrecords11 where ID=1000000061")), QStringList{s("3")});
}

// The same voucher over ODBC (the SQLite ODBC driver registered as "SQL
// Server"): the transaction runs through the ODBC driver's own commit and
// rollback.
TEST_F(VoucherWriterTest, WritesOverOdbc)
{
    useTestOdbcDrivers();
    connection.close();
    ASSERT_TRUE(
        connection.open(s("localhost"), s("sa"), s("pw"), pathForOdbcDriver(dir.filePath(s("UFDATA_001_2021.db")))))
        << connection.lastError().toStdString();
    ASSERT_FALSE(connection.isEmbedded());
    for (RecordSet* rs : {&记录集1, &记录集2, &记录集3})
        rs->bind(&connection);
    const QVector<staging::Line> lines = gridLines(3);
    stage(lines);
    const QStringList before = erpState();
    const QStringList beforeOverOdbc = erpState(&记录集2);

    connection.setStatementSeam([](int, const QString& sql) { return !sql.contains(s("'B01-1'")); });
    EXPECT_FALSE(writer().click(kHeader, lines));
    connection.setStatementSeam({});
    EXPECT_TRUE(connection.trace().contains(s("ROLLBACK TRANSACTION")));
    EXPECT_EQ(erpState(&记录集2), beforeOverOdbc);
    EXPECT_EQ(erpState(), before);

    connection.clearTrace();
    ASSERT_TRUE(writer().click(kHeader, lines)) << logEntries().join(u'\n').toStdString();
    EXPECT_TRUE(connection.trace().contains(s("COMMIT TRANSACTION")));
    EXPECT_EQ(rows(s("select AutoID,irowno,iQuantity from rdrecords11 where ID=1000000061 order by AutoID")),
              (QStringList{s("1000000161|3|3.5"), s("1000000162|2|2.5"), s("1000000163|1|1.5")}));
    EXPECT_EQ(rows(s("select RdsID,iQuantity from InvPosition where RdID=1000000061 order by AutoID")),
              (QStringList{s("1000000161|3.5"), s("1000000162|2.5"), s("1000000163|1.5")}));
    EXPECT_EQ(scalar(s("select count(*) from ckmx")), s("0"));
    // The driver tells how many counter rows the update changed.
    EXPECT_FALSE(view.events.contains(s("message:最大单据号更新失败，请联系开发人员")));
    EXPECT_EQ(rows(s("select iChildId,iFatherId from UFSystem.UA_Identity where cAcc_Id='001' and cVouchType='rd'")),
              QStringList{s("163|61")});
}

// Names and codes with quotes, statement separators, comments, Chinese and
// emoji reach the ERP as they are; what cannot be written is refused
// before anything is sent.
TEST_F(VoucherWriterTest, OddValuesAreWrittenAsTheyAreAndBadOnesRefused)
{
    const QString odd = s("O'Brien; --x 张三😀");
    const VoucherHeader header{s("02'; --|仓'库"), s("0001'x|") + odd, s("2;-😀|类别😀"), {}};
    // The ERP offers these codes, so the header checks out.
    ASSERT_TRUE(exec(s("insert into Warehouse (cWhCode,cWhName) values ('02''; --','仓''库')")));
    ASSERT_TRUE(exec(s("insert into person (cPersonCode,cPersonName,cDepCode) values ('0001''x','")
                     + s("O''Brien; --x 张三😀") + s("','03')")));
    ASSERT_TRUE(
        exec(s("insert into Rd_Style (cRdCode,cRdName,bRdFlag,bRdEnd,iRdGrade) values ('2;-😀','类别😀',0,1,1)")));
    QVector<staging::Line> lines = gridLines(1);
    lines[0].inventoryCode = s("QM'-001;--");
    lines[0].collector = odd;
    lines[0].device = s("S'B;--😀");
    stage(lines);
    ASSERT_TRUE(writer().click(header, lines)) << logEntries().join(u'\n').toStdString();
    EXPECT_EQ(rows(s("select cWhCode,cRdCode,cPersonCode,cMaker from rdrecord11 where ID=1000000061")),
              QStringList{s("02'; --|2;-😀|0001'x|") + odd});
    EXPECT_EQ(rows(s("select cInvCode,cDefine22,cDefine24 from rdrecords11 where ID=1000000061")),
              QStringList{s("QM'-001;--|") + odd + s("|S'B;--😀")});
    EXPECT_EQ(rows(s("select cHandler from InvPosition where RdID=1000000061")), QStringList{odd});

    const QStringList before = erpState();
    const struct {
        const char* what;
        VoucherHeader header;
        const char* quantity;
        const char* prompt;
    } refused[] = {
        {"letters", kHeader, "abc", "第1行的数量「abc」不是有效的数量，材料出库单未生成！"},
        {"injection", kHeader, "1);delete from ckmx;--",
         "第1行的数量「1);delete from ckmx;--」不是有效的数量，材料出库单未生成！"},
        {"empty quantity", kHeader, "", "第1行的数量「」不是有效的数量，材料出库单未生成！"},
        {"zero", kHeader, "0", "第1行的数量「0」不是有效的数量，材料出库单未生成！"},
        {"negative", kHeader, "-2", "第1行的数量「-2」不是有效的数量，材料出库单未生成！"},
        {"beyond the columns", kHeader, "1e309", "第1行的数量「1e309」不是有效的数量，材料出库单未生成！"},
        {"no warehouse",
         {s(""), kHeader.经手人, kHeader.出库类别, {}},
         "1",
         "材料出库单表头不完整（出库仓库、经手人、出库类别），材料出库单未生成！"},
        {"no handler code",
         {kHeader.出库仓库, s("|王洋国"), kHeader.出库类别, {}},
         "1",
         "材料出库单表头不完整（出库仓库、经手人、出库类别），材料出库单未生成！"},
        {"no category",
         {kHeader.出库仓库, kHeader.经手人, s(""), {}},
         "1",
         "材料出库单表头不完整（出库仓库、经手人、出库类别），材料出库单未生成！"},
    };
    for (const auto& r : refused) {
        QVector<staging::Line> bad = gridLines(1);
        bad[0].quantity = s(r.quantity);
        view = {};
        connection.clearTrace();
        EXPECT_FALSE(writer().click(r.header, bad)) << r.what;
        EXPECT_TRUE(connection.trace().isEmpty()) << r.what;
        EXPECT_EQ(view.prompts(), QStringList{s(r.prompt)}) << r.what;
        EXPECT_TRUE(view.events.contains(s("play:") + prompts::kScanFailed)) << r.what;
        EXPECT_EQ(logEntries().last(), s(r.prompt)) << r.what;
    }
    EXPECT_EQ(erpState(), before);
}

TEST_F(VoucherWriterTest, AnEmptyGridWritesNothing)
{
    EXPECT_FALSE(writer().click(kHeader, {}));
    EXPECT_TRUE(connection.trace().isEmpty());
    EXPECT_EQ(view.events,
              (QStringList{s("writing"), s("prompt:没有明细材料需要生成材料出库单！"),
                           s("play:") + prompts::kScanFailed, s("done")}));
}

// Clicks that reach the writer while it writes (a repaint or a box lets
// them through) start nothing: one voucher per click.
TEST_F(VoucherWriterTest, ClicksWhileWritingStartNothing)
{
    const QVector<staging::Line> lines = gridLines(2);
    stage(lines);
    VoucherWriter w = writer();
    int nested = 0;
    view.onPrompt = [&](const QString&) {
        ++nested;
        EXPECT_TRUE(w.isWriting());
        EXPECT_FALSE(w.click(kHeader, lines));
    };
    EXPECT_TRUE(w.click(kHeader, lines));
    view.onPrompt = {};
    EXPECT_EQ(nested, 2);
    EXPECT_FALSE(w.isWriting());
    EXPECT_EQ(scalar(s("select count(*) from rdrecord11 where ID>=1000000061")), s("1"));
    EXPECT_EQ(scalar(s("select count(*) from rdrecords11 where ID>=1000000061")), s("2"));
    EXPECT_EQ(view.events.count(s("writing")), 1);
}

// Two programs writing into one account set at once: every voucher gets
// its own identifiers and every line is there once.
TEST_F(VoucherWriterTest, TwoStationsWritingAtOnceGetDistinctIdentifiers)
{
    connection.close();
    const int kVouchers = 20;
    QProcess first;
    QProcess second;
    first.start(s(QUILLMARK_VOUCHER_PROBE), {server(), s("A"), QString::number(kVouchers)});
    second.start(s(QUILLMARK_VOUCHER_PROBE), {server(), s("B"), QString::number(kVouchers)});
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_EQ(scalar(s("select count(*) from rdrecord11 where ID>=1000000061")), QString::number(2 * kVouchers));
    EXPECT_EQ(scalar(s("select count(distinct ID) from rdrecord11 where ID>=1000000061")),
              QString::number(2 * kVouchers));
    // Two lines per voucher, each device text (station, voucher, line) once,
    // each under the voucher the station wrote it in.
    EXPECT_EQ(scalar(s("select count(*) || '|' || count(distinct cDefine24) || '|' || count(distinct AutoID) from "
                       "rdrecords11 where ID>=1000000061")),
              s("80|80|80"));
    EXPECT_EQ(scalar(s("select count(*) from (select ID from rdrecords11 where ID>=1000000061 group by ID having "
                       "count(distinct substr(cDefine24,1,4))<>1 or count(*)<>2)")),
              s("0"));
    EXPECT_EQ(scalar(s("select count(*) from InvPosition p join rdrecords11 l on p.RdsID=l.AutoID and p.RdID=l.ID "
                       "where l.ID>=1000000061")),
              s("80"));
}

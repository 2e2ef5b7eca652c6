// Every statement the program sends, exactly as it is sent (compared through
// the statement trace), run on the embedded ERP made by the demo generator:
// the header lists, the account-set listing, staging, master data, the
// voucher writer, the identity counters and the two label lists. (The
// counters' maxima query is pinned byte for byte in VoucherWriterTest.)
#include "bookings/IdentityCounters.h"
#include "bookings/StagingTable.h"
#include "erp/MasterData.h"
#include "tests/support/DemoErpFixture.h"
#include "tests/support/OdbcSetup.h"

#include <vector>

namespace {

struct ReadCase {
    const char* what;
    QString sent; // built as the program builds it
    QString expected; // the exact text
    int count;
    QStringList firstRows;
};

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class StatementsTest : public DemoErpTest {
protected:
    std::vector<ReadCase> readCases() const;
    // Runs every read case on rs, whose connection traces.
    void checkReads(ErpConnection& traced, RecordSet& rs)
    {
        for (const ReadCase& c : readCases()) {
            traced.clearTrace();
            ASSERT_TRUE(rs.open(c.sent)) << c.what << ": " << rs.lastError().toStdString();
            EXPECT_EQ(traced.trace(), QStringList{c.expected}) << c.what;
            const QStringList got = allRows(rs);
            EXPECT_EQ(got.size(), c.count) << c.what;
            EXPECT_EQ(got.mid(0, int(c.firstRows.size())), c.firstRows) << c.what;
        }
    }
};

std::vector<ReadCase> StatementsTest::readCases() const
{
    const QString handlers = s("select cPersonCode,cPersonName from person where cdepcode='03' and  cPersonCode <> "
                               "'demo' order by cPersonCode");
    const QString warehouses = s("select cwhcode,cwhname  from Warehouse  order by cwhcode");
    const QString categories =
        s("select cRdCode,cRdName  from Rd_Style where bRdEnd =1 and brdflag=0 order by cRdCode");
    const QString voucherId = s("select max(ID)+1 as ID from rdrecord11");
    const QString lineId = s("select max(AutoID)+1 as ID from rdrecords11");
    const QString positionId = s("select max(AutoID)+1 as ID from InvPosition");
    const QString maxima = identitycounters::maximaQuery();
    const QString people = s("select  ry.JobNumber as 工号,cPsn_Name as 姓名,bm.cDepName as 部门名称 from hr_hi_person "
                             "ry inner join department bm on ry.cDept_num=bm.cDepCode  and ry.JobNumber is not null "
                             "order by ry.JobNumber");
    const QString devices = s("select  cNo as 当前设备号,cx as 当前线别,cCardName as 当前设备名称 from "
                              "U8CUSTDEF_0001_E001 where cNo is not null");

    return {
        {"handlers", handlers, handlers, 14, {s("0001|王洋国"), s("0002|李秀建")}},
        {"warehouses",
         warehouses,
         warehouses,
         5,
         {s("01|原材料仓"), s("02|五金仓"), s("03|辅料仓"), s("04|成品仓"), s("05|备品备件仓")}},
        {"categories",
         categories,
         categories,
         4,
         {s("201|销售出库"), s("202|生产领料"), s("203|维修领料"), s("204|其他出库")}},
        {"staging exists",
         staging::existsQuery(s("ckmx")),
         s("select count(*) as hs from sysObjects where Id=OBJECT_ID(N'ckmx') and xtype='U'"),
         1,
         {s("0")}},
        {"person",
         masterdata::personQuery(s("10001")),
         s("select top 1 ry.cPsn_Name as 领料人,bm.cDepName as 部门名称,bm.cDepCode as 部门编码,ry.cPsn_NameEN as "
           "领料线别  from hr_hi_person ry inner join department bm on ry.cDept_num=bm.cDepCode  and ry.JobNumber "
           "='10001'"),
         1,
         {s("王洋国|生产课|03|装配二线")}},
        {"device",
         masterdata::deviceQuery(s("SB001")),
         s("select top 1 cNo as 当前设备号,cx as 当前线别,cCardName as 当前设备名称 from U8CUSTDEF_0001_E001 where "
           "cNo='SB001'"),
         1,
         {s("SB001|装配二线|冲压机1号")}},
        {"inventory",
         masterdata::inventoryQuery(s("QM-001")),
         s("select top 1 inv.cInvCode as 存货编码, inv.cInvName as 存货名称,inv.cInvStd as 规格型号, dw.cComUnitName "
           "as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as 货位名称 from inventory inv  inner join "
           "ComputationUnit dw on dw.cComunitCode=inv.cComUnitCode and inv.cInvCode ='QM-001' and inv.dEDate is "
           "null left join Position hw on  inv.cPosition=hw.cPosCode"),
         1,
         {s("QM-001|扫码演示物料|DEMO-1|个|B01-1|五金区01架1层")}},
        {"stock",
         masterdata::stockQuery(s("02"), s("QM-001")),
         s("select sum(iQuantity ) as 现存量 from CurrentStock where cwhcode='02' and cInvCode='QM-001' group by "
           "cInvCode"),
         1,
         {s("12.5")}},
        {"scan",
         masterdata::scanQuery(s("02"), s("QM-001")),
         s("select top 1 inv.cInvCode as 存货编码, inv.cInvName as 存货名称,inv.cInvStd as 规格型号, dw.cComUnitName "
           "as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as 货位名称,hw.cWhCode as 货位仓库,ck.cWhName as "
           "货位仓库名称,(select sum(iQuantity ) from CurrentStock where cwhcode='02' and cInvCode=inv.cInvCode) as "
           "现存量 from inventory inv  inner join ComputationUnit dw on dw.cComunitCode=inv.cComUnitCode and "
           "inv.cInvCode ='QM-001' and inv.dEDate is null left join Position hw on  inv.cPosition=hw.cPosCode left "
           "join Warehouse ck on ck.cWhCode=hw.cWhCode"),
         1,
         {s("QM-001|扫码演示物料|DEMO-1|个|B01-1|五金区01架1层|02|五金仓|12.5")}},
        {"department",
         masterdata::departmentQuery(s("0001")),
         s("select  cdept_num as 部门编码 from hr_hi_person  where cpsn_num='0001'"),
         1,
         {s("03")}},
        {"search",
         masterdata::searchQuery(s("DEMO")),
         s("select * from ( select inv.cInvCode as 存货编码,inv.cInvName as 存货名称,inv.cInvStd as "
           "规格型号,dw.cComUnitName as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as 货位名称 from inventory "
           "inv  inner join ComputationUnit dw on dw.cComunitCode=inv.cComUnitCode  left join Position hw on  "
           "inv.cPosition=hw.cPosCode ) fteee where isnull(存货编码,'') + isnull(存货名称,'') + isnull(规格型号 ,'') "
           "like '%DEMO%'"),
         1,
         {s("QM-001|扫码演示物料|DEMO-1|个|B01-1|五金区01架1层")}},
        {"voucher id", voucherId, voucherId, 1, {s("1000000061")}},
        {"line id", lineId, lineId, 1, {s("1000000161")}},
        {"position id", positionId, positionId, 1, {s("97")}},
        {"counter maxima", maxima, maxima, 1, {s("1000000160|1000000060")}},
        {"personnel labels", people, people, 39, {s("10001|王洋国|生产课"), s("10002|李秀建|生产课")}},
        {"device labels", devices, devices, 22, {s("SB001|装配二线|冲压机1号"), s("SB002|注塑一线|数控车1号")}},
    };
}

TEST_F(StatementsTest, QueriesReturnTheDemoRows)
{
    checkReads(connection, 记录集1);
    // The handler list leaves out "demo"; the personnel list has him last.
    EXPECT_FALSE(rows(s("select cPersonCode,cPersonName from person where cdepcode='03' and  cPersonCode <> "
                        "'demo' order by cPersonCode"))
                     .join(u',')
                     .contains(s("demo")));
    EXPECT_EQ(rows(s("select  ry.JobNumber as 工号,cPsn_Name as 姓名,bm.cDepName as 部门名称 from hr_hi_person "
                     "ry inner join department bm on ry.cDept_num=bm.cDepCode  and ry.JobNumber is not null "
                     "order by ry.JobNumber"))
                  .last(),
              s("demo|演示用户|生产课"));
}

// The same statements through ODBC, with the SQLite ODBC driver registered
// as "SQL Server" and the program's own connection string.
TEST_F(StatementsTest, QueriesReturnTheSameRowsOverOdbc)
{
    // The test-local odbcinst.ini the build wrote; read when the driver loads.
    useTestOdbcDrivers();
    ErpConnection odbc(QStringLiteral("odbc"));
    ASSERT_TRUE(odbc.open(QStringLiteral("localhost"), QStringLiteral("sa"), QStringLiteral("pw"),
                          pathForOdbcDriver(dir.filePath(QStringLiteral("UFDATA_001_2021.db")))))
        << odbc.lastError().toStdString();
    ASSERT_TRUE(odbc.isSqlite());
    ASSERT_FALSE(odbc.isEmbedded());
    odbc.setTracing(true);
    RecordSet rs;
    rs.bind(&odbc);
    checkReads(odbc, rs);
}

TEST_F(StatementsTest, AccountSetListingReadsTheMasterDatabase)
{
    ErpConnection master(QStringLiteral("listing"));
    ASSERT_TRUE(master.openServer(server(), QStringLiteral("sa"), QString())) << master.lastError().toStdString();
    master.setTracing(true);
    RecordSet rs;
    rs.bind(&master);
    const QString listing = s("SELECT Name FROM Master..SysDatabases ORDER BY Name");
    ASSERT_TRUE(rs.open(listing)) << rs.lastError().toStdString();
    EXPECT_EQ(master.trace(), QStringList{listing});
    QStringList names;
    for (bool more = rs.moveFirst(); more && !rs.atEnd(); more = rs.moveNext()) {
        QString name;
        ASSERT_TRUE(rs.readText(s("Name"), name));
        names << name;
    }
    EXPECT_EQ(names,
              (QStringList{s("BAK_UFDATA_001_2020"), s("master"), s("model"), s("msdb"), s("ReportServer"), s("tempdb"),
                           s("UFDATA_001_2021"), s("ufdata_002_2020"), s("UFMeta_001"), s("UFModel"), s("UFSystem")}));
}

TEST_F(StatementsTest, AVoucherLineGoesIntoTheErpAndTheCountersFollow)
{
    ASSERT_TRUE(staging::ensureTable(记录集1));
    const staging::Line staged{
        s("1"),      s("QM-001"), s("扫码演示物料"),       s("DEMO-1"), s("个"), s("2.5"), s("B01-1"), s("李秀建"),
        s("生产课"), s("SB001"),  s("2021-06-24 08:05:09")};
    ASSERT_TRUE(staging::stageLine(记录集1, staged));
    connection.clearTrace();

    const QString failure = s("取材料出库单主表ID失败  ");
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, s("select max(ID)+1 as ID from rdrecord11"), failure),
              s("1000000061"));
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, s("select max(AutoID)+1 as ID from rdrecords11"), failure),
              s("1000000161"));
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, s("select max(AutoID)+1 as ID from InvPosition"),
                                         s("取货位存量表autoID失败  ")),
              s("97"));

    const QString writes[] = {
        s("INSERT INTO rdrecord11 (ID,bRdFlag,cVouchType,cBusType,cSource,cWhCode,dDate,cCode,cRdCode,cDepCode,"
          "cPersonCode,bTransFlag,cMaker,bpufirst,biafirst,iMQuantity,VT_ID,bIsSTQc,iproorderid,bOMFirst,bFromPreYear,"
          "bIsComplement,iDiscountTaxType,ireturncount,iverifystate,iswfcontrolled,dnmaketime,bredvouch,bmotran,"
          "bHYVouch,iPrintCount)  VALUES  (1000000061,0,11,'领料','库存','02','2021-06-24','CLCK210624080509','202',"
          "'03','0001',0,'王洋国',0,0,0,65,0,0,0,0, 0,0,0,0,0,'2021-06-24 08:05:09',0,0,0,0)"),
        s("INSERT INTO rdrecords11 (AutoID,ID,cInvCode,iQuantity,iFlag,cPosition,cDefine22,cDefine23,cDefine24,"
          "bLPUseFree,iOriTrackID,bCosting,bVMIUsed,iExpiratDateCalcu,isotype,ipesotype,irowno,iposflag)  VALUES  "
          "(1000000161,1000000061,'QM-001',2.5,0,'B01-1','李秀建','生产课','SB001',0,0,1,0,0,0,0,'1',1)"),
        s("set identity_insert InvPosition ON"),
        s("INSERT INTO InvPosition (AutoID,RdsID,RdID,cWhCode,cPosCode,cInvCode,iQuantity,cHandler,dDate,bRdFlag,"
          "iTrackId,iMassDate,cvouchtype,dVouchDate)  VALUES  (97,1000000161,1000000061,'02','B01-1','QM-001',2.5,"
          "'王洋国','2021-06-24',0,0,0,11,'2021-06-24')"),
        s("set identity_insert InvPosition OFF"),
    };
    for (const QString& w : writes)
        EXPECT_TRUE(记录集3.open(w)) << w.toStdString() << ": " << 记录集3.lastError().toStdString();
    EXPECT_TRUE(staging::removeLine(记录集1, s("1")));

    const QString maxima = identitycounters::maximaQuery();
    ASSERT_TRUE(记录集1.open(maxima));
    qint64 child = 0;
    qint64 father = 0;
    EXPECT_TRUE(记录集1.readInteger(s("转换前子表最大ID"), child));
    EXPECT_TRUE(记录集1.readInteger(s("转换前主表最大ID"), father));
    EXPECT_EQ(child, 1000000161);
    EXPECT_EQ(father, 1000000061);
    const QString update =
        s("update UFSystem.dbo.UA_Identity set iChildId=161,iFatherId =61  where cAcc_Id='001' and cVouchType='rd'");
    EXPECT_TRUE(记录集1.open(update)) << 记录集1.lastError().toStdString();

    QStringList expectedTrace{s("select max(ID)+1 as ID from rdrecord11"),
                              s("select max(AutoID)+1 as ID from rdrecords11"),
                              s("select max(AutoID)+1 as ID from InvPosition")};
    for (const QString& w : writes)
        expectedTrace << w;
    expectedTrace << s("delete from ckmx where hh='1'") << maxima << update;
    EXPECT_EQ(connection.trace(), expectedTrace);

    EXPECT_EQ(rows(s("select cCode,cWhCode,cRdCode,cDepCode,cPersonCode,cMaker,dDate,dnmaketime from rdrecord11 "
                     "where ID=1000000061")),
              QStringList{s("CLCK210624080509|02|202|03|0001|王洋国|2021-06-24|2021-06-24 08:05:09")});
    EXPECT_EQ(rows(s("select ID,cInvCode,iQuantity,cPosition,cDefine22,cDefine23,cDefine24,irowno from rdrecords11 "
                     "where AutoID=1000000161")),
              QStringList{s("1000000061|QM-001|2.5|B01-1|李秀建|生产课|SB001|1")});
    EXPECT_EQ(rows(s("select RdsID,RdID,cWhCode,cPosCode,cInvCode,iQuantity,cHandler,cvouchtype from InvPosition "
                     "where AutoID=97")),
              QStringList{s("1000000161|1000000061|02|B01-1|QM-001|2.5|王洋国|11")});
    EXPECT_EQ(scalar(s("select count(*) from ckmx")), s("0"));
    EXPECT_EQ(rows(s("select cAcc_Id,iFatherId,iChildId from UFSystem.UA_Identity where cVouchType='rd' order by "
                     "cAcc_Id")),
              (QStringList{s("001|61|161"), s("002|500|1800")}));
}

TEST_F(StatementsTest, TypedColumnsRefuseWhatSqlServerRefuses)
{
    // A quantity that is not a number, as a voucher line would carry it when
    // it reached the database.
    EXPECT_FALSE(记录集3.open(
        s("INSERT INTO rdrecords11 (AutoID,ID,cInvCode,iQuantity,iFlag,cPosition,cDefine22,cDefine23,cDefine24,"
          "bLPUseFree,iOriTrackID,bCosting,bVMIUsed,iExpiratDateCalcu,isotype,ipesotype,irowno,iposflag)  VALUES  "
          "(1000000161,1000000061,'QM-001','abc',0,'B01-1','李秀建','生产课','',0,0,1,0,0,0,0,'1',1)")));
    EXPECT_FALSE(记录集3.open(s("update CurrentStock set iQuantity='1,5' where cInvCode='QM-001'")));
    EXPECT_FALSE(记录集3.open(s("update rdrecord11 set dDate='2021-13-45' where ID=1000000049")));
    EXPECT_FALSE(记录集3.open(s("update UFSystem.dbo.UA_Identity set iChildId='x' where cAcc_Id='001'")));
    // Numbers in quotes are converted, as SQL Server converts them.
    EXPECT_TRUE(
        记录集3.open(s("update CurrentStock set iQuantity='7.25' where cInvCode='QM-001' and cBatch='210502'")));
    EXPECT_EQ(scalar(s("select sum(iQuantity) from CurrentStock where cInvCode='QM-001' and cWhCode='02'")),
              s("17.25"));
}

TEST_F(StatementsTest, EmptyStockTablesGiveTheFirstIdentifiersAndZeroCounters)
{
    for (const char* table : {"rdrecords01", "rdrecords08", "rdrecords09", "rdrecords10", "rdrecords11", "rdrecords32",
                              "rdrecords34", "rdrecord11"})
        ASSERT_TRUE(exec(s("delete from ") + s(table)));
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, s("select max(ID)+1 as ID from rdrecord11"), QString()),
              s("1000000001"));
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, s("select max(AutoID)+1 as ID from rdrecords11"), QString()),
              s("1000000001"));
    ASSERT_TRUE(记录集1.open(identitycounters::maximaQuery()));
    qint64 child = 0;
    qint64 father = 0;
    EXPECT_TRUE(记录集1.readInteger(s("转换前子表最大ID"), child));
    EXPECT_TRUE(记录集1.readInteger(s("转换前主表最大ID"), father));
    EXPECT_EQ(child, 1000000000);
    EXPECT_EQ(father, 1000000000);
}

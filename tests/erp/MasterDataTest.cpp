// Master-data queries on the demo ERP: what a scan, a stock check or a
// search finds, and values that must neither break nor alter a query.
#include "erp/MasterData.h"
#include "tests/support/DemoErpFixture.h"

using masterdata::Inventory;

TEST(MasterDataHeaderValue, CodeAndNameParts)
{
    struct Case {
        const char* value;
        const char* code;
        const char* name;
    };
    const Case cases[] = {
        {"02|五金仓", "02", "五金仓"},           {"02", "02", ""}, // warehouse without "|": the whole text is the code
        {"0001|王洋国|extra", "0001", "王洋国"}, {"|王洋国", "", "王洋国"}, {"0001|", "0001", ""}, {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(masterdata::codePart(QString::fromUtf8(c.value)), QString::fromUtf8(c.code)) << c.value;
        EXPECT_EQ(masterdata::namePart(QString::fromUtf8(c.value)), QString::fromUtf8(c.name)) << c.value;
    }
}

class MasterDataTest : public DemoErpTest { };

TEST_F(MasterDataTest, ScannedPersonDeviceAndItemAreFound)
{
    masterdata::Person person;
    ASSERT_TRUE(masterdata::findPerson(记录集2, QStringLiteral("10001"), person));
    EXPECT_TRUE(person.found());
    EXPECT_EQ(person.领料人, QStringLiteral("王洋国"));
    EXPECT_EQ(person.部门名称, QStringLiteral("生产课"));
    EXPECT_EQ(person.部门编码, QStringLiteral("03"));
    EXPECT_EQ(person.领料线别, QStringLiteral("装配二线"));
    ASSERT_TRUE(masterdata::findPerson(记录集2, QStringLiteral("99999"), person));
    EXPECT_FALSE(person.found());

    masterdata::Device device;
    ASSERT_TRUE(masterdata::findDevice(记录集2, QStringLiteral("sb001"), device));
    EXPECT_TRUE(device.found);
    EXPECT_EQ(device.当前设备号, QStringLiteral("SB001")); // the stored code, not the scanned text
    EXPECT_EQ(device.当前设备名称, QStringLiteral("冲压机1号"));
    EXPECT_EQ(device.当前线别, QStringLiteral("装配二线"));
    ASSERT_TRUE(masterdata::findDevice(记录集2, QStringLiteral("SB999"), device));
    EXPECT_FALSE(device.found);

    Inventory item;
    ASSERT_TRUE(masterdata::findInventory(记录集2, QStringLiteral("QM-001"), item));
    EXPECT_EQ(item,
              (Inventory{QStringLiteral("QM-001"), QStringLiteral("扫码演示物料"), QStringLiteral("DEMO-1"),
                         QStringLiteral("个"), QStringLiteral("B01-1"), QStringLiteral("五金区01架1层")}));
    // An item with an end date is not found; one without a default position
    // has no position code either.
    ASSERT_TRUE(masterdata::findInventory(记录集2, QStringLiteral("OLD-6201"), item));
    EXPECT_EQ(item, Inventory{});
    ASSERT_TRUE(masterdata::findInventory(记录集2, QStringLiteral("XF-SAND"), item));
    EXPECT_EQ(item.存货名称, QStringLiteral("消防沙"));
    EXPECT_TRUE(item.货位编码.isEmpty());

    EXPECT_EQ(connection.trace()[0],
              QStringLiteral("select top 1 ry.cPsn_Name as 领料人,bm.cDepName as 部门名称,bm.cDepCode as 部门编码,"
                             "ry.cPsn_NameEN as 领料线别  from hr_hi_person ry inner join department bm on "
                             "ry.cDept_num=bm.cDepCode  and ry.JobNumber ='10001'"));
    EXPECT_EQ(connection.trace()[2],
              QStringLiteral("select top 1 cNo as 当前设备号,cx as 当前线别,cCardName as "
                             "当前设备名称 from U8CUSTDEF_0001_E001 where cNo='sb001'"));
    EXPECT_EQ(connection.trace()[4],
              QStringLiteral("select top 1 inv.cInvCode as 存货编码, inv.cInvName as 存货名称,inv.cInvStd as "
                             "规格型号, dw.cComUnitName as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as "
                             "货位名称 from inventory inv  inner join ComputationUnit dw on "
                             "dw.cComunitCode=inv.cComUnitCode and inv.cInvCode ='QM-001' and inv.dEDate is null "
                             "left join Position hw on  inv.cPosition=hw.cPosCode"));
    EXPECT_FALSE(记录集2.hasResult());
}

// A material scan's one query gives what the inventory and stock queries
// give, and the warehouse of the item's default bin.
TEST_F(MasterDataTest, ScanItemComesWithItsBinsWarehouseAndStock)
{
    const struct {
        const char* code;
        const char* warehouse;
        const char* bin;
        const char* binWarehouse;
        const char* binWarehouseName;
        const char* stock;
    } cases[] = {
        {"QM-001", "02|五金仓", "B01-1", "02", "五金仓", "12.5"},
        {"QM-001", "05|备品备件仓", "B01-1", "02", "五金仓", "0"}, // a 0 row
        {"DX-RVV-01", "02|五金仓", "C02-2", "03", "辅料仓", "0"}, // no row
        {"DX-RVV-01", "03", "C02-2", "03", "辅料仓", "240.5"},
        {"XF-SAND", "02|五金仓", "", "", "", "0"}, // no default bin
        {"OLD-6201", "02|五金仓", "", "", "", "0"}, // end-dated: not found
    };
    for (const auto& c : cases) {
        const QString code = QString::fromUtf8(c.code);
        masterdata::ScanItem found;
        ASSERT_TRUE(masterdata::findScanItem(记录集2, QString::fromUtf8(c.warehouse), code, found)) << c.code;
        EXPECT_EQ(found.item.货位编码, QString::fromUtf8(c.bin)) << c.code;
        EXPECT_EQ(found.货位仓库, QString::fromUtf8(c.binWarehouse)) << c.code;
        EXPECT_EQ(found.货位仓库名称, QString::fromUtf8(c.binWarehouseName)) << c.code;
        EXPECT_EQ(found.现存量, QString::fromUtf8(c.stock)) << c.code << " " << c.warehouse;
        Inventory item;
        ASSERT_TRUE(masterdata::findInventory(记录集2, code, item));
        EXPECT_EQ(found.item, item) << c.code;
    }
    EXPECT_FALSE(记录集2.hasResult());
    RecordSet unbound; // a query that cannot run
    masterdata::ScanItem found;
    EXPECT_FALSE(masterdata::findScanItem(unbound, QStringLiteral("02"), QStringLiteral("QM-001"), found));
}

TEST_F(MasterDataTest, StockOnHandIsTheSumOverBatchesAsText)
{
    const QString item = QStringLiteral("QM-001");
    EXPECT_EQ(masterdata::stockOnHand(记录集3, QStringLiteral("02|五金仓"), item), QStringLiteral("12.5"));
    EXPECT_EQ(connection.trace().last(),
              QStringLiteral("select sum(iQuantity ) as 现存量 from CurrentStock where "
                             "cwhcode='02' and cInvCode='QM-001' group by cInvCode"));
    EXPECT_EQ(masterdata::stockOnHand(记录集3, QStringLiteral("02"), item), QStringLiteral("12.5"));
    EXPECT_EQ(masterdata::stockOnHand(记录集3, QStringLiteral("05|备品备件仓"), item), QStringLiteral("0")); // a 0 row
    EXPECT_EQ(masterdata::stockOnHand(记录集3, QStringLiteral("04|成品仓"), item), QStringLiteral("0")); // no row

    // At most 13 significant digits, no trailing zeros.
    ASSERT_TRUE(exec(QStringLiteral("insert into CurrentStock (cWhCode,cInvCode,iQuantity) values "
                                    "('04','QM-001',0.1),('04','QM-001',0.2),('04','M6-25',123456789012.345678)")));
    EXPECT_EQ(masterdata::stockOnHand(记录集3, QStringLiteral("04|成品仓"), item), QStringLiteral("0.3"));
    EXPECT_EQ(masterdata::stockOnHand(记录集3, QStringLiteral("04|成品仓"), QStringLiteral("M6-25")),
              QStringLiteral("123456789012.3"));

    RecordSet unbound; // a query that cannot run
    EXPECT_EQ(masterdata::stockOnHand(unbound, QStringLiteral("02|五金仓"), item), QString());
    EXPECT_FALSE(记录集3.hasResult());
}

TEST_F(MasterDataTest, DepartmentCodeOfAHandler)
{
    EXPECT_EQ(masterdata::departmentCode(记录集3, QStringLiteral("0001")), QStringLiteral("03"));
    EXPECT_EQ(connection.trace().last(),
              QStringLiteral("select  cdept_num as 部门编码 from hr_hi_person  where cpsn_num='0001'"));
    EXPECT_EQ(masterdata::departmentCode(记录集3, QStringLiteral("nobody")), QString());
    RecordSet unbound;
    EXPECT_EQ(masterdata::departmentCode(unbound, QStringLiteral("0001")), QString());
}

TEST_F(MasterDataTest, KeywordSearchListsEndDatedItemsToo)
{
    QVector<Inventory> items;
    ASSERT_TRUE(masterdata::searchInventory(记录集2, QStringLiteral("轴承"), items));
    EXPECT_EQ(items.size(), 41); // 40 bearings and the end-dated old one
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const Inventory& i) {
        return i.存货编码 == QStringLiteral("OLD-6201") && i.货位编码 == QStringLiteral("B04-3");
    }));
    EXPECT_EQ(connection.trace().last(),
              QStringLiteral("select * from ( select inv.cInvCode as 存货编码,inv.cInvName as 存货名称,inv.cInvStd as "
                             "规格型号,dw.cComUnitName as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as 货位名称 "
                             "from inventory inv  inner join ComputationUnit dw on dw.cComunitCode=inv.cComUnitCode  "
                             "left join Position hw on  inv.cPosition=hw.cPosCode ) fteee where isnull(存货编码,'') + "
                             "isnull(存货名称,'') + isnull(规格型号 ,'') like '%轴承%'"));

    // Words in order across code, name and model (规格型号).
    ASSERT_TRUE(masterdata::searchInventory(记录集2, QStringLiteral("QM%演示%DEMO"), items));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].存货编码, QStringLiteral("QM-001"));
    ASSERT_TRUE(masterdata::searchInventory(记录集2, QStringLiteral("DEMO%演示"), items));
    EXPECT_TRUE(items.isEmpty());
}

TEST_F(MasterDataTest, QuotesAndSqlInScannedCodesAndKeywordsAlterNothing)
{
    // Items whose own texts hold a quote, a bracket or a percent sign.
    QVector<Inventory> items;
    ASSERT_TRUE(masterdata::searchInventory(记录集2, QStringLiteral("3' 液压"), items));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].规格型号, QStringLiteral("3/8\" 3'长"));
    ASSERT_TRUE(masterdata::searchInventory(记录集2, QStringLiteral("[备件]"), items));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].存货编码, QStringLiteral("TB-HTD450"));
    ASSERT_TRUE(masterdata::searchInventory(记录集2, QStringLiteral("酒精 75%"), items));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].存货编码, QStringLiteral("JJ-75"));

    const QString stockRows = scalar(QStringLiteral("select count(*) from CurrentStock"));
    const QString itemRows = scalar(QStringLiteral("select count(*) from inventory"));
    const QString peopleRows = scalar(QStringLiteral("select count(*) from hr_hi_person"));
    connection.clearTrace();
    const char* hostile[] = {
        "'",         "''",     "x' or '1'='1",    "QM-001'; delete from inventory; --", "QM-001' --", "%", "[",
        "演示'物料", "SB001;", "10001' or 1=1 --"};
    for (const char* text : hostile) {
        const QString value = QString::fromUtf8(text);
        masterdata::Person person;
        EXPECT_TRUE(masterdata::findPerson(记录集2, value, person)) << text;
        EXPECT_FALSE(person.found()) << text;
        masterdata::Device device;
        EXPECT_TRUE(masterdata::findDevice(记录集2, value, device)) << text;
        EXPECT_FALSE(device.found) << text;
        Inventory item;
        EXPECT_TRUE(masterdata::findInventory(记录集2, value, item)) << text;
        EXPECT_EQ(item, Inventory{}) << text;
        EXPECT_EQ(masterdata::stockOnHand(记录集3, value, value), QStringLiteral("0")) << text;
        EXPECT_EQ(masterdata::departmentCode(记录集3, value), QString()) << text;
        EXPECT_TRUE(masterdata::searchInventory(记录集2, value, items)) << text;
    }
    EXPECT_EQ(connection.trace()[0],
              QStringLiteral("select top 1 ry.cPsn_Name as 领料人,bm.cDepName as 部门名称,"
                             "bm.cDepCode as 部门编码,ry.cPsn_NameEN as 领料线别  from "
                             "hr_hi_person ry inner join department bm on "
                             "ry.cDept_num=bm.cDepCode  and ry.JobNumber =''''"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from inventory")), itemRows);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from hr_hi_person")), peopleRows);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from CurrentStock")), stockRows);
}

TEST_F(MasterDataTest, NextIdentifierStartsAnEmptyTableAtTheFirstErpIdentifier)
{
    const QString query = QStringLiteral("select max(ID)+1 as ID from rdrecord11");
    const QString failure = QStringLiteral("取材料出库单主表ID失败  ");
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, query, failure), QStringLiteral("1000000061"));
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, QStringLiteral("select max(AutoID)+1 as ID from InvPosition"),
                                         QStringLiteral("取货位存量表autoID失败  ")),
              QStringLiteral("97"));

    ASSERT_TRUE(exec(QStringLiteral("delete from rdrecord11")));
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, query, failure), QStringLiteral("1000000001"));

    const QString broken = QStringLiteral("select max(ID)+1 as ID from rdrecord99");
    EXPECT_EQ(masterdata::nextIdentifier(记录集1, broken, failure), std::nullopt);
    EXPECT_EQ(logEntries(), QStringList{failure + broken});
    EXPECT_FALSE(记录集1.hasResult());
}

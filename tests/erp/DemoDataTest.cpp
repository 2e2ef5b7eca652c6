// What the demo ERP offers to try the station and the label windows on,
// read through the program's own master-data queries: people of 生产课 and
// of other departments, devices, and one material for each way a scan or a
// stock check can go.
#include "erp/MasterData.h"
#include "tests/support/DemoErpFixture.h"

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class DemoDataTest : public DemoErpTest { };

TEST_F(DemoDataTest, PeopleAndDevicesToScan)
{
    struct PersonCase {
        const char* jobNumber;
        const char* name; // "" : not found
        const char* department;
        const char* line;
    };
    const PersonCase people[] = {
        {"10001", "王洋国", "生产课", "装配二线"}, {"10014", "胡刚红", "生产课", "注塑一线"},
        {"10015", "郭磊", "设备课", ""},           {"10020", "刘伟海", "品质课", ""},
        {"10041", "Sean O'Neil", "设备课", ""},    {"99999", "", "", ""},
    };
    for (const PersonCase& c : people) {
        masterdata::Person person;
        ASSERT_TRUE(masterdata::findPerson(记录集2, s(c.jobNumber), person)) << c.jobNumber;
        EXPECT_EQ(person.领料人, s(c.name)) << c.jobNumber;
        EXPECT_EQ(person.部门名称, s(c.department)) << c.jobNumber;
        EXPECT_EQ(person.领料线别, s(c.line)) << c.jobNumber;
    }

    struct DeviceCase {
        const char* scanned;
        bool found;
        const char* code;
        const char* name;
        const char* line;
    };
    const DeviceCase devices[] = {
        {"SB001", true, "SB001", "冲压机1号", "装配二线"},
        {"CNC-07A", true, "CNC-07A", "加工中心7号", "机加线"},
        {"a-01", true, "A-01", "贴标机1号", ""}, // no line yet
        {"SB999", false, "", "", ""},
    };
    for (const DeviceCase& c : devices) {
        masterdata::Device device;
        ASSERT_TRUE(masterdata::findDevice(记录集2, s(c.scanned), device)) << c.scanned;
        EXPECT_EQ(device.found, c.found) << c.scanned;
        EXPECT_EQ(device.当前设备号, s(c.code)) << c.scanned;
        EXPECT_EQ(device.当前设备名称, s(c.name)) << c.scanned;
        EXPECT_EQ(device.当前线别, s(c.line)) << c.scanned;
    }

    // What the label windows must leave out: people without a job number
    // (one of them in 生产课) and a device without a code; A-01 is the last
    // device of the archive.
    EXPECT_EQ(rows(s("select cPsn_Num, cDept_num from hr_hi_person where JobNumber is null order by cPsn_Num")),
              (QStringList{s("0038|04"), s("0039|05"), s("0040|06"), s("0042|03")}));
    EXPECT_EQ(rows(s("select ID, cCardName from U8CUSTDEF_0001_E001 where cNo is null")),
              QStringList{s("22|新购激光打标机")});
    EXPECT_EQ(rows(s("select cNo from U8CUSTDEF_0001_E001 order by ID desc limit 1")), QStringList{s("A-01")});
}

TEST_F(DemoDataTest, MaterialsForEveryWayAScanCanGo)
{
    struct Case {
        const char* code;
        const char* name; // as a scan finds it; "" : not found
        const char* unit;
        const char* position; // "" : none (or not found)
        const char* stock; // in 02 五金仓
        bool searched; // listed by a keyword search on its code
    };
    const Case cases[] = {
        {"QM-001", "扫码演示物料", "个", "B01-1", "12.5", true},
        {"QM-002", "扫码演示物料（无库存）", "个", "B01-3", "0", true},
        {"QM-003", "扫码演示物料（无货位）", "个", "", "8", true},
        {"QM-004", "", "", "", "5", true}, // end-dated
        {"QM-005", "扫码演示电缆", "米", "B02-1", "2.75", true},
        {"QM-006", "", "", "", "4", false}, // its unit does not exist
        {"M6-25", "内六角螺钉", "个", "B01-2", "67", true},
        {"XF-SAND", "消防沙", "千克", "", "0", true}, // kept in 原材料仓
        {"OLD-6201", "", "", "", "0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        masterdata::Inventory item;
        ASSERT_TRUE(masterdata::findInventory(记录集2, s(c.code), item));
        EXPECT_EQ(item.存货名称, s(c.name));
        EXPECT_EQ(item.单位, s(c.unit));
        EXPECT_EQ(item.货位编码, s(c.position));
        EXPECT_EQ(masterdata::stockOnHand(记录集3, s("02|五金仓"), s(c.code)), s(c.stock));
        QVector<masterdata::Inventory> found;
        ASSERT_TRUE(masterdata::searchInventory(记录集2, s(c.code), found));
        EXPECT_EQ(std::count_if(found.begin(), found.end(),
                                [&](const masterdata::Inventory& i) { return i.存货编码 == s(c.code); }),
                  c.searched ? 1 : 0);
    }
    // Items with no stock row at all, among the generated ones too.
    EXPECT_GT(scalar(s("select count(*) from inventory i where not exists "
                       "(select 1 from CurrentStock c where c.cInvCode = i.cInvCode)"))
                  .toInt(),
              10);
}

TEST_F(DemoDataTest, CountersAndBinPositionsAreReadyForTheVoucherWriter)
{
    // The counter row of this account set (characters 8-10 of its name).
    EXPECT_EQ(rows(s("select iFatherId, iChildId from UFSystem.dbo.UA_Identity where cAcc_Id='")
                   + s("UFDATA_001_2021").mid(7, 3) + s("' and cVouchType='rd'")),
              QStringList{s("60|160")});
    // InvPosition.AutoID numbers rows itself, as an identity column does.
    ASSERT_TRUE(exec(s("insert into InvPosition (cInvCode, bRdFlag) values ('QM-001', 0)")));
    EXPECT_EQ(rows(s("select AutoID from InvPosition where RdsID is null")), QStringList{s("97")});
}

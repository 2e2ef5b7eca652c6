#include "erp/MasterData.h"

#include "app/OperationLog.h"
#include "erp/RecordSet.h"
#include "erp/SqlText.h"

namespace masterdata {
namespace {

QString q(const QString& value)
{
    return sqltext::quoted(value);
}

// Reads the six inventory fields of the current row.
Inventory readInventory(const RecordSet& rs)
{
    Inventory item;
    rs.readText(QStringLiteral("存货编码"), item.存货编码);
    rs.readText(QStringLiteral("存货名称"), item.存货名称);
    rs.readText(QStringLiteral("规格型号"), item.规格型号);
    rs.readText(QStringLiteral("单位"), item.单位);
    rs.readText(QStringLiteral("货位编码"), item.货位编码);
    rs.readText(QStringLiteral("货位名称"), item.货位名称);
    return item;
}

// The stock field of the current row as the station shows it; a missing
// sum (no stock rows) is 0.
QString stockText(const RecordSet& rs)
{
    double sum = 0;
    rs.readNumber(QStringLiteral("现存量"), sum);
    return QString::asprintf("%.13g", sum);
}

} // namespace

QString codePart(const QString& headerValue)
{
    return headerValue.section(u'|', 0, 0);
}

QString namePart(const QString& headerValue)
{
    if (!headerValue.contains(u'|'))
        return {};
    return headerValue.section(u'|', 1, 1);
}

QString personQuery(const QString& jobNumber)
{
    return QStringLiteral("select top 1 ry.cPsn_Name as 领料人,bm.cDepName as 部门名称,bm.cDepCode as 部门编码,"
                          "ry.cPsn_NameEN as 领料线别  from hr_hi_person ry inner join department bm on "
                          "ry.cDept_num=bm.cDepCode  and ry.JobNumber ='")
        + q(jobNumber) + QStringLiteral("'");
}

QString deviceQuery(const QString& deviceCode)
{
    return QStringLiteral("select top 1 cNo as 当前设备号,cx as 当前线别,cCardName as 当前设备名称 from "
                          "U8CUSTDEF_0001_E001 where cNo='")
        + q(deviceCode) + QStringLiteral("'");
}

QString inventoryQuery(const QString& inventoryCode)
{
    return QStringLiteral("select top 1 inv.cInvCode as 存货编码, inv.cInvName as 存货名称,inv.cInvStd as 规格型号, "
                          "dw.cComUnitName as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as 货位名称 from "
                          "inventory inv  inner join ComputationUnit dw on dw.cComunitCode=inv.cComUnitCode and "
                          "inv.cInvCode ='")
        + q(inventoryCode)
        + QStringLiteral("' and inv.dEDate is null left join Position hw on  inv.cPosition=hw.cPosCode");
}

QString stockQuery(const QString& warehouseCode, const QString& inventoryCode)
{
    return QStringLiteral("select sum(iQuantity ) as 现存量 from CurrentStock where cwhcode='") + q(warehouseCode)
        + QStringLiteral("' and cInvCode='") + q(inventoryCode) + QStringLiteral("' group by cInvCode");
}

QString scanQuery(const QString& warehouseCode, const QString& inventoryCode)
{
    // The inventory query's item, the warehouse of its default position and
    // the stock query's sum as a column of the same row.
    return QStringLiteral("select top 1 inv.cInvCode as 存货编码, inv.cInvName as 存货名称,inv.cInvStd as 规格型号, "
                          "dw.cComUnitName as 单位,inv.cPosition  as 货位编码,inv.cInvDefine3 as 货位名称,"
                          "hw.cWhCode as 货位仓库,ck.cWhName as 货位仓库名称,(select sum(iQuantity ) from "
                          "CurrentStock where cwhcode='")
        + q(warehouseCode)
        + QStringLiteral("' and cInvCode=inv.cInvCode) as 现存量 from inventory inv  inner join ComputationUnit dw on "
                         "dw.cComunitCode=inv.cComUnitCode and inv.cInvCode ='")
        + q(inventoryCode)
        + QStringLiteral("' and inv.dEDate is null left join Position hw on  inv.cPosition=hw.cPosCode left join "
                         "Warehouse ck on ck.cWhCode=hw.cWhCode");
}

QString departmentQuery(const QString& personCode)
{
    return QStringLiteral("select  cdept_num as 部门编码 from hr_hi_person  where cpsn_num='") + q(personCode)
        + QStringLiteral("'");
}

QString searchQuery(const QString& pattern)
{
    return QStringLiteral("select * from ( select inv.cInvCode as 存货编码,inv.cInvName as 存货名称,"
                          "inv.cInvStd as 规格型号,dw.cComUnitName as 单位,inv.cPosition  as 货位编码,"
                          "inv.cInvDefine3 as 货位名称 from inventory inv  inner join ComputationUnit dw on "
                          "dw.cComunitCode=inv.cComUnitCode  left join Position hw on  inv.cPosition=hw.cPosCode ) "
                          "fteee where isnull(存货编码,'') + isnull(存货名称,'') + isnull(规格型号 ,'') like '%")
        + q(pattern) + QStringLiteral("%'");
}

QString searchStockQuery(const QString& warehouseHeaderValue, const QString& pattern)
{
    return QStringLiteral("select cs.cInvCode as 存货编码,sum(cs.iQuantity ) as 现存量 from CurrentStock cs where "
                          "cs.cwhcode='")
        + q(codePart(warehouseHeaderValue)) + QStringLiteral("' and cs.cInvCode in (select 存货编码 from (")
        + searchQuery(pattern) + QStringLiteral(") found) group by cs.cInvCode");
}

bool findPerson(RecordSet& rs, const QString& jobNumber, Person& person)
{
    person = {};
    if (!rs.open(personQuery(jobNumber)))
        return false;
    rs.readText(QStringLiteral("领料人"), person.领料人);
    rs.readText(QStringLiteral("部门名称"), person.部门名称);
    rs.readText(QStringLiteral("部门编码"), person.部门编码);
    rs.readText(QStringLiteral("领料线别"), person.领料线别);
    rs.close();
    return true;
}

bool findDevice(RecordSet& rs, const QString& deviceCode, Device& device)
{
    device = {};
    if (!rs.open(deviceQuery(deviceCode)))
        return false;
    device.found = rs.moveFirst();
    rs.readText(QStringLiteral("当前设备号"), device.当前设备号);
    rs.readText(QStringLiteral("当前设备名称"), device.当前设备名称);
    rs.readText(QStringLiteral("当前线别"), device.当前线别);
    rs.close();
    return true;
}

bool findInventory(RecordSet& rs, const QString& inventoryCode, Inventory& item)
{
    item = {};
    if (!rs.open(inventoryQuery(inventoryCode)))
        return false;
    item = readInventory(rs);
    rs.close();
    return true;
}

bool findScanItem(RecordSet& rs, const QString& warehouseHeaderValue, const QString& inventoryCode, ScanItem& found)
{
    found = {};
    if (!rs.open(scanQuery(codePart(warehouseHeaderValue), inventoryCode)))
        return false;
    found.item = readInventory(rs);
    rs.readText(QStringLiteral("货位仓库"), found.货位仓库);
    rs.readText(QStringLiteral("货位仓库名称"), found.货位仓库名称);
    found.现存量 = stockText(rs);
    rs.close();
    return true;
}

QString stockOnHand(RecordSet& rs, const QString& warehouseHeaderValue, const QString& inventoryCode)
{
    if (!rs.open(stockQuery(codePart(warehouseHeaderValue), inventoryCode)))
        return {};
    const QString stock = stockText(rs);
    rs.close();
    return stock;
}

QString departmentCode(RecordSet& rs, const QString& personCode)
{
    QString code;
    if (rs.open(departmentQuery(personCode)))
        rs.readText(QStringLiteral("部门编码"), code);
    rs.close();
    return code;
}

bool searchInventory(RecordSet& rs, const QString& pattern, QVector<Inventory>& items)
{
    items.clear();
    if (!rs.open(searchQuery(pattern)))
        return false;
    const int count = rs.recordCount();
    rs.moveFirst();
    for (int i = 0; i < count; ++i) {
        items << readInventory(rs);
        rs.moveNext();
    }
    rs.close();
    return true;
}

bool stockOnHandOfSearch(RecordSet& rs, const QString& warehouseHeaderValue, const QString& pattern,
                         QHash<QString, QString>& stock)
{
    stock.clear();
    if (!rs.open(searchStockQuery(warehouseHeaderValue, pattern)))
        return false;
    const int count = rs.recordCount();
    rs.moveFirst();
    for (int i = 0; i < count; ++i) {
        QString code;
        rs.readText(QStringLiteral("存货编码"), code);
        stock.insert(code.toUpper(), stockText(rs));
        rs.moveNext();
    }
    rs.close();
    return true;
}

std::optional<QString> nextIdentifier(RecordSet& rs, const QString& query, const QString& failureText)
{
    if (!rs.open(query)) {
        写日志(failureText + query);
        return std::nullopt;
    }
    QString id;
    qint64 value = 0;
    QString text;
    if (rs.readInteger(QStringLiteral("ID"), value))
        id = QString::number(value);
    else if (rs.readText(QStringLiteral("ID"), text) && text.isEmpty())
        id = QStringLiteral("1000000001"); // max() of an empty table is NULL
    rs.close();
    if (id.isEmpty())
        return std::nullopt;
    return id;
}

} // namespace masterdata

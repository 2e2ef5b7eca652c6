#pragma once
// Reads of the ERP's master data: people, devices and materials for the
// scanned codes, stock on hand, a handler's department and the keyword
// search over the inventory; and the split of a voucher-header value
// ("code|name") into its parts.
//
// Each query runs on the record set it is given (the caller passes the one
// its part of the program uses) and closes it after reading. Values stand
// in the statements as quoted texts with ' doubled, so no scanned code or
// keyword can break out of its place. Reading a field of a result without
// rows gives an empty text.
#include <QHash>
#include <QString>
#include <QVector>

#include <optional>

class RecordSet;

namespace masterdata {

// The text before the first "|"; the whole text without "|".
QString codePart(const QString& headerValue);
// The text between the first and the second "|" (or to the end); "" when
// the text holds no "|".
QString namePart(const QString& headerValue);

struct Person {
    QString 领料人; // name
    QString 部门名称; // department name
    QString 部门编码; // department code
    QString 领料线别; // production line
    bool found() const { return !领料人.isEmpty(); }
};

struct Device {
    bool found = false; // the query ran and returned a row
    QString 当前设备号; // the code as stored in the archive
    QString 当前设备名称;
    QString 当前线别;
};

struct Inventory {
    QString 存货编码;
    QString 存货名称;
    QString 规格型号;
    QString 单位;
    QString 货位编码; // empty: no such item, or one without a default position
    QString 货位名称;

    bool operator==(const Inventory&) const = default;
};

// What a material scan needs, read in one statement: the active item with
// its unit and default position, the warehouse that position belongs to,
// and the item's stock on hand in the header's warehouse.
struct ScanItem {
    Inventory item; // 货位编码 empty: no such item, or one without a default position
    QString 货位仓库; // code of the position's warehouse; "" when the position is not in the archive
    QString 货位仓库名称; // its name
    QString 现存量; // stock on hand as stockOnHand() gives it ("0" without a stock row)
};

// The statements, exactly as they are sent.
QString personQuery(const QString& jobNumber);
QString deviceQuery(const QString& deviceCode);
QString inventoryQuery(const QString& inventoryCode);
QString stockQuery(const QString& warehouseCode, const QString& inventoryCode);
QString scanQuery(const QString& warehouseCode, const QString& inventoryCode);
QString departmentQuery(const QString& personCode);
QString searchQuery(const QString& pattern);
// The stock in the header's warehouse ("code|name") of every item the
// search for the pattern finds, by item code (field 存货编码, 现存量).
QString searchStockQuery(const QString& warehouseHeaderValue, const QString& pattern);

// Person by job number (the text after "R" of a personnel code). False when
// the query fails to run; a missing person is found() == false.
bool findPerson(RecordSet& rs, const QString& jobNumber, Person& person);

// Device by code (the text after "S" of a device code). False when the
// query fails to run.
bool findDevice(RecordSet& rs, const QString& deviceCode, Device& device);

// Active inventory item (no end date, unit known) by code, with its default
// position. False when the query fails to run.
bool findInventory(RecordSet& rs, const QString& inventoryCode, Inventory& item);

// The item of a material scan, its position's warehouse and its stock on
// hand in the warehouse of a header value, in one round trip. False when
// the query fails to run.
bool findScanItem(RecordSet& rs, const QString& warehouseHeaderValue, const QString& inventoryCode, ScanItem& found);

// Stock on hand of an item in the warehouse of a header value, all batches
// and positions together: "" when the query fails, "0" without a stock row,
// otherwise the sum with at most 13 significant digits ("12.5", "40").
QString stockOnHand(RecordSet& rs, const QString& warehouseHeaderValue, const QString& inventoryCode);

// Department code of a person code; "" when the query fails or the person
// does not exist.
QString departmentCode(RecordSet& rs, const QString& personCode);

// Every inventory item, end-dated ones included, whose code, name and
// model (规格型号) joined match '%' + pattern + '%'. False when the query
// fails to run.
bool searchInventory(RecordSet& rs, const QString& pattern, QVector<Inventory>& items);
// The stock of every item the search for the pattern finds, in one
// statement: upper-case item code → the text stockOnHand() gives. An item
// without stock in the warehouse has no entry (its stock is "0").
bool stockOnHandOfSearch(RecordSet& rs, const QString& warehouseHeaderValue, const QString& pattern,
                         QHash<QString, QString>& stock);

// A new identifier for a stock voucher table: runs query (a maximum plus
// one, field ID) and gives its decimal text; a table without rows yields
// the ERP's first identifier, 1000000001. A query that fails to run is
// logged as failureText + query and yields nothing.
std::optional<QString> nextIdentifier(RecordSet& rs, const QString& query, const QString& failureText);

} // namespace masterdata

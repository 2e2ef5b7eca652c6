#pragma once
// The three voucher-header lists as the ERP offers them: warehouses,
// handlers and issue categories, each item "code|name". The start window
// lists them for the clerk to choose from; the scanning window checks the
// saved choice against the same lists, so that what one offers the other
// accepts.
#include <QString>
#include <QStringList>

#include <optional>

class RecordSet;

namespace headerlists {

enum class Kind { Warehouse, Handler, Category };

// The statements that read each list, exactly as they are sent.
inline const QString kHandlerQuery = QStringLiteral(
    "select cPersonCode,cPersonName from person where cdepcode='03' and  cPersonCode <> 'demo' order by cPersonCode");
inline const QString kWarehouseQuery = QStringLiteral("select cwhcode,cwhname  from Warehouse  order by cwhcode");
inline const QString kCategoryQuery =
    QStringLiteral("select cRdCode,cRdName  from Rd_Style where bRdEnd =1 and brdflag=0 order by cRdCode");

QString query(Kind kind);
// The field's caption: "出库仓库", "经手人", "出库类别".
QString caption(Kind kind);

// The items "code|name" of one list: column 0 and column 1 of every row; a
// row whose read fails adds no item. std::nullopt when the statement fails
// (a failed read is not an empty list).
std::optional<QStringList> readItems(RecordSet& records, const QString& statement);

// The position of the item whose code part is code (blanks at either end
// aside); -1 when there is none or code is empty.
int indexOfCode(const QStringList& items, const QString& code);

} // namespace headerlists

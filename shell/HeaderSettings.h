#pragma once
// The voucher header choices of the start window: warehouse, handler and
// issue category, each an item "code|name" of a list filled from the ERP,
// saved to set.ini section "材料出库单表头".
#include <QString>
#include <QStringList>

#include <optional>

class RecordSet;

namespace headersettings {

inline const QString kSection = QStringLiteral("材料出库单表头");

// The statements that fill the three lists.
inline const QString kHandlerQuery = QStringLiteral(
    "select cPersonCode,cPersonName from person where cdepcode='03' and  cPersonCode <> 'demo' order by cPersonCode");
inline const QString kWarehouseQuery = QStringLiteral("select cwhcode,cwhname  from Warehouse  order by cwhcode");
inline const QString kCategoryQuery = QStringLiteral(
    "select cRdCode,cRdName  from Rd_Style where bRdEnd =1 and brdflag=0 order by cRdCode");

struct Choice {
    std::optional<QString> warehouse;
    std::optional<QString> handler;
    std::optional<QString> category;
};

enum class SaveResult { Incomplete, Saved, Failed };

// Writes the three selected items, trimmed, in the order warehouse,
// handler, category, in one write of the file; nothing is written when any
// of them is unselected (Incomplete) or when they could not be stored as
// they are (Failed, with a message for the user in error).
SaveResult save(const Choice& choice, QString* error = nullptr);

// The items "code|name" of one list: column 0 and column 1 of every row; a
// row whose read fails adds no item. std::nullopt when the statement fails.
std::optional<QStringList> readItems(RecordSet& records, const QString& statement);

inline const QString kIncompleteMessage = QStringLiteral("信息不完整请重新录入");
inline const QString kSavedMessage = QStringLiteral("保存成功！");

} // namespace headersettings

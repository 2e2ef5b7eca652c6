#pragma once
// The voucher header choices of the start window: warehouse, handler and
// issue category, each an item "code|name" of a list filled from the ERP
// (HeaderLists.h), saved to set.ini section "材料出库单表头".
#include "bookings/HeaderLists.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace headersettings {

inline const QString kSection = QStringLiteral("材料出库单表头");

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

// The saved value of one list found again among the list's items, by its
// code: index is the item to select (-1: none). missing names the saved
// value ("经手人【9999|无此人】") when one is saved but its code is not
// among the items.
struct Restored {
    int index = -1;
    QString missing;
};
Restored restore(headerlists::Kind kind, const QString& saved, const QStringList& items);

// The one-line hint beside the lists for the saved values that are missing
// from the ERP; "" when none is.
QString missingHint(const QStringList& missing);

// The saved value of a list, "" when none is saved.
QString savedValue(headerlists::Kind kind);

inline const QString kIncompleteMessage = QStringLiteral("信息不完整请重新录入");
inline const QString kSavedMessage = QStringLiteral("保存成功！");

} // namespace headersettings

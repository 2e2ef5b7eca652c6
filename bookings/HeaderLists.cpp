#include "bookings/HeaderLists.h"

#include "app/TextCodec.h"
#include "erp/MasterData.h"
#include "erp/RecordSet.h"

namespace headerlists {

QString query(Kind kind)
{
    switch (kind) {
    case Kind::Warehouse:
        return kWarehouseQuery;
    case Kind::Handler:
        return kHandlerQuery;
    case Kind::Category:
        return kCategoryQuery;
    }
    return {};
}

QString caption(Kind kind)
{
    switch (kind) {
    case Kind::Warehouse:
        return QStringLiteral("出库仓库");
    case Kind::Handler:
        return QStringLiteral("经手人");
    case Kind::Category:
        return QStringLiteral("出库类别");
    }
    return {};
}

std::optional<QStringList> readItems(RecordSet& records, const QString& statement)
{
    if (statement.isEmpty() || !records.open(statement))
        return std::nullopt;
    records.moveFirst();
    QStringList items;
    const int count = records.recordCount();
    for (int i = 0; i < count; ++i) {
        QString code;
        QString name;
        if (records.readText(0, code) && records.readText(1, name))
            items.append(code + u'|' + name);
        records.moveNext();
    }
    records.close();
    return items;
}

int indexOfCode(const QStringList& items, const QString& code)
{
    // Codes are compared without blanks at either end: a fixed-width code
    // column hands its codes back padded.
    const QString wanted = textcodec::trimBlanks(code);
    if (wanted.isEmpty())
        return -1;
    for (int i = 0; i < items.size(); ++i)
        if (textcodec::trimBlanks(masterdata::codePart(items[i])) == wanted)
            return i;
    return -1;
}

} // namespace headerlists

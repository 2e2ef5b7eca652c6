#include "HeaderSettings.h"

#include "RecordSet.h"
#include "Settings.h"
#include "TextCodec.h"

namespace headersettings {

SaveResult save(const Choice& choice, QString* error)
{
    if (!choice.warehouse || !choice.handler || !choice.category)
        return SaveResult::Incomplete;
    const bool written = settings::writeKeys(kSection,
                                             {{QStringLiteral("仓库"), textcodec::trimBlanks(*choice.warehouse)},
                                              {QStringLiteral("经手人"), textcodec::trimBlanks(*choice.handler)},
                                              {QStringLiteral("出库类别"), textcodec::trimBlanks(*choice.category)}},
                                             error);
    return written ? SaveResult::Saved : SaveResult::Failed;
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

} // namespace headersettings

#include "labels/LabelReader.h"

#include "erp/RecordSet.h"
#include "labels/LabelPicture.h"

namespace labelreader {

std::optional<QList<LabelRow>> read(RecordSet& records, const LabelKind& kind)
{
    if (!records.open(kind.query))
        return std::nullopt;
    if (!records.moveFirst()) {
        records.close();
        return std::nullopt;
    }
    QList<LabelRow> rows;
    const int count = records.recordCount();
    rows.reserve(count);
    auto field = [&](int i) {
        QString value;
        if (!records.readText(kind.fields[i], value))
            value.clear();
        return value;
    };
    for (int i = 0; i < count; ++i) {
        LabelRow row{field(0), field(1), field(2), {}};
        row.picture = labelpicture::forCode(kind, row.code);
        rows.append(row);
        records.moveNext();
    }
    records.close();
    return rows;
}

} // namespace labelreader

#pragma once
// The rows of an open result as texts, for comparing in tests: the fields
// of each row joined with "|", NULL as "".
#include "erp/RecordSet.h"

#include <QStringList>

inline QStringList recordSetRows(RecordSet& rs)
{
    QStringList out;
    if (!rs.moveFirst())
        return out;
    for (int i = 0; i < rs.recordCount(); ++i) {
        QStringList fields;
        for (int c = 0; c < rs.fieldCount(); ++c) {
            QString v;
            rs.readText(c, v);
            fields << v;
        }
        out << fields.join(u'|');
        rs.moveNext();
    }
    return out;
}

#pragma once
// Reads the rows of a label window from the ERP through a record set.
#include "labels/LabelKind.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class RecordSet;

struct LabelRow {
    QString code; // job number or device code: grid column 1
    QString name; // person's or device's name: column 2
    QString group; // department or production line: column 3
    QByteArray picture; // BMP of the row's QR code: column 4
};

namespace labelreader {

// Every record of the kind's statement, in the order the server returns
// them, each with its QR picture. std::nullopt when the statement fails or
// returns no record: the caller then leaves its grid as it was.
std::optional<QList<LabelRow>> read(RecordSet& records, const LabelKind& kind);

} // namespace labelreader

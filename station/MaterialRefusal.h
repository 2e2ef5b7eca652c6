#pragma once
// Why a scanned material code gave no line. The inventory query of a scan
// finds only items that are not end-dated and whose unit exists, and it
// answers every other case alike with an empty bin position. Only then is
// the item read once more, without those conditions, so that the clerk is
// told the real cause: no such item, an item ended (已停用), an item
// without unit, or an item without default bin position. A scan that adds
// a line never sends this query.
#include <QDate>
#include <QString>

class RecordSet;

namespace materialrefusal {

enum class Cause {
    NotFound, // no inventory item of that code
    Ended, // the item has an end date (已停用)
    NoUnit, // its unit code is empty or not in ComputationUnit
    NoBin, // no default bin position (or the cause could not be read)
};

struct Finding {
    Cause cause = Cause::NoBin;
    QString code; // the item's code as stored ("" when not found)
    QDate endDate; // for Ended
};

// The statement, exactly as it is sent.
QString statusQuery(const QString& scannedCode);

// Reads the item of scannedCode on rs (the program passes 记录集2) and
// closes it. A query that cannot run gives NoBin, the system's own answer
// for this case.
Finding find(RecordSet& rs, const QString& scannedCode);

// The message for the prompt field, without the final line break. code is
// the scanned code as it is to be shown.
QString message(const QString& code, const Finding& finding);

} // namespace materialrefusal

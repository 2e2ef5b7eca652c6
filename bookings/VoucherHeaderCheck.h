#pragma once
// Checks the voucher header the start window saved (warehouse, handler,
// issue category, each "code|name") against the lists the ERP offers
// today. A voucher carries these codes into rdrecord11 as they are, so a
// code the ERP does not know, or a name that is not the ERP's, would make a
// voucher nobody can audit: the scanning window shows such a header in red
// and the voucher button refuses it.
#include "bookings/HeaderLists.h"

#include <QString>
#include <QStringList>

class RecordSet;

namespace headercheck {

struct Result {
    // Whether all three lists could be read; without them nothing is known
    // about the header (a failed read is not "not found").
    bool checked = false;
    // Why each field does not check out, naming it; "" when it does.
    QString 出库仓库;
    QString 经手人;
    QString 出库类别;

    bool passed() const { return checked && 出库仓库.isEmpty() && 经手人.isEmpty() && 出库类别.isEmpty(); }
    // The message that refuses a voucher with this header; "" when it
    // passed.
    QString refusal() const;
};

// Why value (a header value "code|name") does not check out against the
// items of its list; "" when it does.
QString fault(headerlists::Kind kind, const QString& value, const QStringList& items);

// Reads the three lists on rs (closed afterwards) and checks the values.
// A list that cannot be read leaves checked false and is logged with its
// statement.
Result check(RecordSet& rs, const QString& warehouse, const QString& handler, const QString& category);

} // namespace headercheck

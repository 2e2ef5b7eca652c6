#pragma once
// The ERP's identity counters of the stock vouchers: the row of
// UFSystem.dbo.UA_Identity for the account and the voucher kind "rd" holds
// the last header identifier (iFatherId) and the last line identifier
// (iChildId). The voucher writer takes its identifiers as maximum plus one
// from the tables; this brings both counters up to the maxima found in the
// detail tables of every "rd" voucher, so that the ERP's own numbering goes
// on above them. The counters are set, not incremented: running it again
// does no harm.
#include <QString>

class RecordSet;

namespace identitycounters {

// The statements, exactly as they are sent.
QString maximaQuery();
QString updateStatement(const QString& childCounter, const QString& fatherCounter, const QString& accountNumber);

// An identifier as the counter stores it: its decimal text without the first
// digit, read as a whole number (1000000042 → "42", 1000000000 → "0",
// 9 → "0").
QString counterText(qint64 identifier);

// Sets both counters of account accountNumber (账套号) to the current
// maxima. Runs on rs (the program passes 记录集1) and closes it. A failure
// is logged with the statement and leaves the counters as they were. An
// update that matches no row (no counter row for the account) is a failure
// too: nothing was updated, and no row is made in the ERP's stead.
bool update(RecordSet& rs, const QString& accountNumber);

// What the button 按钮_更新最大单据号 tells the user after update().
struct RequestOutcome {
    bool updated = false;
    QString message; // "更新成功！" or the failure's message
};

// The button 按钮_更新最大单据号: updates the counters and says what the
// window is to tell the user.
RequestOutcome updateOnRequest(RecordSet& rs, const QString& accountNumber);

} // namespace identitycounters

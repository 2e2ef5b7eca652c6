#pragma once
// Safe embedding of values in statement texts. Statements are built by
// concatenating fixed texts with values: text values stand between single
// quotes, quantities stand bare. These two helpers keep any value from
// breaking out of its place in the statement.
#include <QString>

#include <optional>

namespace sqltext {

// The value with every ' doubled, ready to stand between the single quotes
// the statement already carries. A value without ' comes back unchanged, so
// statements for ordinary values stay byte for byte the same.
QString quoted(const QString& value);

// Whether a value may stand bare in a statement: an optional sign, digits
// with an optional decimal point, an optional exponent; blanks around it
// are allowed. Anything else ("1;drop", "1--", "", "1,5") is refused, and
// the caller fails the operation without sending the statement.
//
// The number must also fit the ERP's quantity columns: at most
// kMaxIntegerDigits digits before the decimal point once the exponent is
// applied. The staging table keeps quantities as decimal(18,2), which
// holds 16 digits before the point, and the voucher tables' decimal(28,6)
// hold more; a longer number ("99999999999999999999", "1e309") would be
// refused by SQL Server and turned into a different number or infinity by
// the embedded engine.
bool isNumber(const QString& value);

// A number as isNumber reads it (before the column check), taken apart:
// its sign, its digits before and after the point in order, and where the
// point stands among them once the exponent is applied ("12.5e1": digits
// "125", point 3). The exponent is clamped at ±1,000,000. Nothing when the
// value is no such number.
struct NumberParts {
    bool negative = false;
    QString digits;
    qint64 point = 0;
};
std::optional<NumberParts> numberParts(const QString& value);

// A quantity that may be staged or written: a number as isNumber accepts
// it that is greater than 0, at least 0.01, the smallest quantity the
// staging table's two decimals keep (a smaller one would be staged as 0).
bool isQuantity(const QString& value);

inline constexpr int kMaxIntegerDigits = 16;

// A plain decimal number (optional sign, digits, optional point and
// digits, blanks around it; no exponent) in its shortest form: without "+",
// leading zeros, trailing zeros after the point or a point without
// decimals ("+007.50" → "7.5", ".5" → "0.5", "-0.00" → "0"). With decimals
// ≥ 0 it is first rounded half away from zero to that many decimals, as a
// decimal column of that scale stores it ("1.125", 2 → "1.13"). "" when the
// value is not such a number.
QString decimalText(const QString& value, int decimals = -1);

} // namespace sqltext

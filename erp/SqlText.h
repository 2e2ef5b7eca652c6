#pragma once
// Safe embedding of values in statement texts. Statements are built by
// concatenating fixed texts with values: text values stand between single
// quotes, quantities stand bare. These two helpers keep any value from
// breaking out of its place in the statement.
#include <QString>

namespace sqltext {

// The value with every ' doubled, ready to stand between the single quotes
// the statement already carries. A value without ' comes back unchanged, so
// statements for ordinary values stay byte for byte the same.
QString quoted(const QString& value);

// Whether a value may stand bare in a statement: an optional sign, digits
// with an optional decimal point, an optional exponent; blanks around it
// are allowed. Anything else ("1;drop", "1--", "", "1,5") is refused, and
// the caller fails the operation without sending the statement.
bool isNumber(const QString& value);

} // namespace sqltext

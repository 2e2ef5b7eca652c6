#pragma once
// The log entry for a statement that failed: the failure text, the
// statement and, on a line of its own, the engine's reason (busy, locked,
// disconnected …) when it gave one, so that the IT person sees why.
#include <QString>

namespace erplog {

inline QString failure(const QString& failureText, const QString& statement, const QString& reason)
{
    QString entry = failureText + statement;
    if (!reason.isEmpty())
        entry += QStringLiteral("\r\n") + reason;
    return entry;
}

} // namespace erplog

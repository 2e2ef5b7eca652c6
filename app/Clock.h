#pragma once
// The local time as the program sees it. Tests fix it.
#include <QDateTime>

namespace appclock {

QDateTime now();

// A fixed moment for tests; an invalid QDateTime returns to the real clock.
void setFixedNow(const QDateTime& moment);

} // namespace appclock

#include "app/Clock.h"

namespace appclock {
namespace {
QDateTime& fixedMoment()
{
    static QDateTime moment;
    return moment;
}
} // namespace

QDateTime now()
{
    return fixedMoment().isValid() ? fixedMoment() : QDateTime::currentDateTime();
}

void setFixedNow(const QDateTime& moment)
{
    fixedMoment() = moment;
}

} // namespace appclock

#pragma once
// What the station benchmarks share: set.ini pointing at an embedded
// account set, message boxes answered Yes, and the processor time of the
// calling thread (wall time also counts the engine's writes to disk and
// whatever else the machine runs).
#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "erp/ErpConnection.h"
#include "ui/MessageBox.h"

#include <QString>

#include <ctime>

namespace benchsetup {

inline void useEmbeddedErp(const QString& folder)
{
    settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("服务器"), ErpConnection::kEmbeddedPrefix + folder);
    settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("账套"), QStringLiteral("UFDATA_001_2021"));
    settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("密码"), 加密密码(QString()));
    settings::writeKey(QStringLiteral("材料出库单表头"), QStringLiteral("仓库"), QStringLiteral("02|五金仓"));
    msgbox::setInterceptor([](const msgbox::Message&) { return true; });
}

inline double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

} // namespace benchsetup

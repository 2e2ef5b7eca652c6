#pragma once
// Why a statement failed, in the words of the clerk at the counter. The
// drivers' texts name engine errors; the clerk needs to know whether to
// wait, to call IT about the server's disk, or to check the network.
#include <QString>

namespace failurecause {

inline const QString kBusy = QStringLiteral("另一台电脑正在写入，请稍后重试");
inline const QString kDiskFull = QStringLiteral("数据库磁盘已满");
inline const QString kDisconnected = QStringLiteral("与ERP的连接已断开");

// driverError is the error text the driver gave for the failed statement,
// connectionOpen whether the connection was still open after it. Gives
// kBusy (another writer holds the database or the voucher lock), kDiskFull
// (the database or its log cannot grow), kDisconnected (the link to the
// server is gone), or otherwise the driver's own text, trimmed.
QString describe(const QString& driverError, bool connectionOpen);

} // namespace failurecause

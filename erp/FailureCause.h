#pragma once
// Why a statement failed, in the words of the clerk at the counter. The
// drivers' texts name engine errors; the clerk needs to know whether to
// wait, to call IT about the server's disk, or to check the network.
#include <QString>

class ErpConnection;
class RecordSet;

namespace failurecause {

inline const QString kBusy = QStringLiteral("另一台电脑正在写入，请稍后重试");
inline const QString kDiskFull = QStringLiteral("数据库磁盘已满");
inline const QString kDisconnected = QStringLiteral("与ERP的连接已断开");
inline const QString kReadOnly = QStringLiteral("数据库只读，无法写入");
inline const QString kOther = QStringLiteral("数据库执行出错，原因已写入日志");

// driverError is the error text the driver gave for the failed statement,
// code the driver's error code(s) (native error number and/or SQLSTATE, as
// several separated by ";" or blanks), connectionOpen whether the
// connection was still open after it. SQL Server's failures are known by
// their number (lock timeout 1222, deadlock 1205, full filegroup or log
// 1105 and 9002) and the link's by SQLSTATE 08S01 / 08001 / 08003; the
// texts of the drivers (SQLite's included) are the fallback. Gives kBusy
// (another writer holds the database or the voucher lock), kDiskFull (the
// database or its log cannot grow), kDisconnected (the link to the server
// is gone), kReadOnly, or kOther: the clerk always reads Chinese, and the
// driver's own text belongs in the log.
QString describe(const QString& driverError, bool connectionOpen, const QString& code = {});

// The cause of the last failure of a record set or a connection, as above.
QString describe(const RecordSet& rs);
QString describe(const ErpConnection& connection);

} // namespace failurecause

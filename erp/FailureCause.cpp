#include "erp/FailureCause.h"

#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"

#include <QRegularExpression>
#include <QStringList>

namespace failurecause {

namespace {

bool containsAny(const QString& text, const QStringList& needles)
{
    for (const QString& n : needles)
        if (text.contains(n, Qt::CaseInsensitive))
            return true;
    return false;
}

// Texts of the embedded engine (SQLite), of SQL Server in English and in
// Chinese, and of the ODBC layer (SQLSTATE 08S01, 08003).
const QStringList kBusyTexts{
    QStringLiteral("database is locked"),
    QStringLiteral("database table is locked"),
    QStringLiteral("lock request time out"),
    QStringLiteral("deadlock"),
    QStringLiteral("voucher lock not granted"),
    QStringLiteral("已超过了锁请求超时时段"),
    QStringLiteral("死锁"),
};
const QStringList kFullTexts{
    QStringLiteral("disk is full"),
    QStringLiteral("filegroup is full"),
    QStringLiteral("could not allocate space"),
    QStringLiteral("transaction log for database"),
    QStringLiteral("not enough space on the disk"),
    QStringLiteral("文件组已满"),
    QStringLiteral("事务日志已满"),
    QStringLiteral("磁盘空间不足"),
    QStringLiteral("磁盘已满"),
};
const QStringList kLinkTexts{
    QStringLiteral("connection is not open"),
    QStringLiteral("communication link failure"),
    QStringLiteral("08S01"),
    QStringLiteral("08003"),
    QStringLiteral("general network error"),
    QStringLiteral("write to the server failed"),
    QStringLiteral("read from the server failed"),
    QStringLiteral("TCP Provider"),
    QStringLiteral("通讯链接失败"),
    QStringLiteral("连接已断开"),
};

const QStringList kReadOnlyTexts{
    QStringLiteral("readonly database"),
    QStringLiteral("read-only"),
    QStringLiteral("read only"),
    QStringLiteral("只读"),
};

bool hasCode(const QStringList& codes, std::initializer_list<const char*> wanted)
{
    for (const QString& c : codes)
        for (const char* w : wanted)
            if (c.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

} // namespace

QString describe(const QString& driverError, bool connectionOpen, const QString& code)
{
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    const QStringList codes = code.split(separators, Qt::SkipEmptyParts);
    if (!connectionOpen || hasCode(codes, {"08S01", "08001", "08003", "08004", "08007", "08S02"})
        || containsAny(driverError, kLinkTexts))
        return kDisconnected;
    if (hasCode(codes, {"1222", "1205"}))
        return kBusy;
    if (hasCode(codes, {"1105", "9002"}))
        return kDiskFull;
    if (hasCode(codes, {"3906"}))
        return kReadOnly;
    if (containsAny(driverError, kBusyTexts))
        return kBusy;
    if (containsAny(driverError, kFullTexts))
        return kDiskFull;
    if (containsAny(driverError, kReadOnlyTexts))
        return kReadOnly;
    return driverError.trimmed().isEmpty() ? QString() : kOther;
}

QString describe(const RecordSet& rs)
{
    return describe(rs.lastError(), rs.connection() && rs.connection()->isOpen(), rs.lastErrorCode());
}

QString describe(const ErpConnection& connection)
{
    return describe(connection.lastError(), connection.isOpen(), connection.lastErrorCode());
}

} // namespace failurecause

#include "bookings/IdentityCounters.h"

#include "app/OperationLog.h"
#include "erp/RecordSet.h"
#include "erp/SqlText.h"

namespace identitycounters {

QString maximaQuery()
{
    // The text (blanks included) is the one the ERP's administrators know
    // from the log; it is kept exactly as it has always been sent.
    return QStringLiteral(
        "SELECT ISNULL(MAX(autoid),1000000000) as 转换前子表最大ID,ISNULL( MAX(id),1000000000) as 转换前主表最大ID "
        "FROM "
        "(SELECT MAX(autoid) as autoid,MAX(id) as id FROM rdrecords01 r1 UNION ALL SELECT MAX(autoid) as "
        "autoid,MAX(id) as id  FROM   rdrecords08 r2 UNION ALL SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   "
        "rdrecords09 r3  UNION ALL  SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   rdrecords10 r4  UNION ALL  "
        "SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   rdrecords11 r5  UNION ALL  SELECT MAX(autoid) as "
        "autoid,MAX(id) as id  FROM   rdrecords32 r6  UNION ALL  SELECT MAX(autoid) as autoid,MAX(id) as id  FROM   "
        "rdrecords34 r7) t ");
}

QString updateStatement(const QString& childCounter, const QString& fatherCounter, const QString& accountNumber)
{
    return QStringLiteral("update UFSystem.dbo.UA_Identity set iChildId=") + childCounter
        + QStringLiteral(",iFatherId =") + fatherCounter + QStringLiteral("  where cAcc_Id='")
        + sqltext::quoted(accountNumber) + QStringLiteral("' and cVouchType='rd'");
}

QString counterText(qint64 identifier)
{
    const QString rest = QString::number(identifier).mid(1);
    // The rest is digits only (or empty: a one-digit identifier).
    return QString::number(rest.toLongLong());
}

bool update(RecordSet& rs, const QString& accountNumber)
{
    const QString query = maximaQuery();
    qint64 child = 0;
    qint64 father = 0;
    if (!rs.open(query) || !rs.readInteger(QStringLiteral("转换前子表最大ID"), child)
        || !rs.readInteger(QStringLiteral("转换前主表最大ID"), father)) {
        rs.close();
        写日志(QStringLiteral("最大单据号查询失败：  ") + query);
        return false;
    }
    rs.close();
    const QString statement = updateStatement(counterText(child), counterText(father), accountNumber);
    const bool ran = rs.open(statement);
    const int changed = rs.rowsAffected();
    rs.close();
    if (!ran) {
        写日志(QStringLiteral("更新材料出库单最大ID失败  ") + statement);
        return false;
    }
    // The counter row is the ERP's own (it makes one per account set); an
    // update that finds none has updated nothing, and making one here could
    // collide with the ERP's own numbering.
    if (changed == 0) {
        写日志(QStringLiteral("更新材料出库单最大ID失败：UA_Identity中没有账套") + accountNumber
               + QStringLiteral("的计数行  ") + statement);
        return false;
    }
    return true;
}

RequestOutcome updateOnRequest(RecordSet& rs, const QString& accountNumber)
{
    if (update(rs, accountNumber))
        return {true, QStringLiteral("更新成功！")};
    return {false, QStringLiteral("最大单据号更新失败，请联系开发人员")};
}

} // namespace identitycounters

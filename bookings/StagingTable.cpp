#include "bookings/StagingTable.h"

#include "app/OperationLog.h"
#include "erp/ErpConnection.h"
#include "erp/ErpLog.h"
#include "erp/FailureCause.h"
#include "erp/RecordSet.h"
#include "erp/SqlText.h"

namespace staging {
namespace {

QString q(const QString& value)
{
    return sqltext::quoted(value);
}

// A quantity the table on this record set's engine keeps exactly: the
// column is decimal(18,2), but on an SQLite engine (embedded, or through
// its ODBC driver) a quantity with decimals is kept as a double, exact only
// up to Quantity::kSqliteWholeDigitsWithDecimals digits before the point.
bool keptHere(RecordSet& rs, const QString& quantity)
{
    const std::optional<Quantity> kept = Quantity::fromText(quantity);
    const bool sqlite = rs.connection() && rs.connection()->isSqlite();
    return kept && (!sqlite || kept->keptBySqlite());
}

// The clerk's words for why a step failed: the cause of reason, which is
// the text the record set or the connection gave.
QString causeOf(RecordSet& rs, const QString& reason)
{
    ErpConnection* connection = rs.connection();
    const bool open = connection && connection->isOpen();
    if (reason == rs.lastError())
        return failurecause::describe(reason, open, rs.lastErrorCode());
    if (connection && reason == connection->lastError())
        return failurecause::describe(reason, open, connection->lastErrorCode());
    return reason; // the program's own words
}

} // namespace

QString existsQuery(const QString& table)
{
    return QStringLiteral("select count(*) as hs from sysObjects where Id=OBJECT_ID(N'") + q(table)
        + QStringLiteral("') and xtype='U'");
}

QString createStatement()
{
    return QStringLiteral(
        "CREATE TABLE [dbo].[ckmx]([autoid] [bigint] IDENTITY(1000,1) NOT NULL,[hh] [nvarchar](50) NULL,"
        "[chbm] [nvarchar](50) NULL,[chmc] [nvarchar](50) NULL,[ggxh] [nvarchar](50) NULL,"
        "[dw] [nvarchar](50) NULL,[sl] [decimal](18, 2) NULL,[hwbm] [nvarchar](50) NULL,"
        "[llr] [nvarchar](50) NULL,[llbm] [nvarchar](50) NULL,[sb] [nvarchar](50) NULL,"
        "[sj] [datetime] NULL ) ON [PRIMARY]");
}

QString countQuery()
{
    return QStringLiteral("select count(*)as 行数 from ckmx");
}

QString loadQuery()
{
    return QStringLiteral("select hh 行号,chbm 存货编码,chmc 存货名称,ggxh 规格型号,dw 单位,sl 数量,"
                          "hwbm 货位编码,llr 领料人,llbm 领料部门,sb 设备,sj 时间  from ckmx");
}

QString insertStatement(const Line& l)
{
    return QStringLiteral("insert into ckmx (hh,chbm ,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) values ('") + q(l.number)
        + QStringLiteral("','") + q(l.inventoryCode) + QStringLiteral("','") + q(l.inventoryName)
        + QStringLiteral("','") + q(l.model) + QStringLiteral("','") + q(l.unit) + QStringLiteral("',") + l.quantity
        + QStringLiteral(",'") + q(l.binCode) + QStringLiteral("','") + q(l.collector) + QStringLiteral("','")
        + q(l.department) + QStringLiteral("','") + q(l.device) + QStringLiteral("','") + q(l.time)
        + QStringLiteral("')");
}

QString quantityStatement(const QString& lineNumber, const QString& quantity)
{
    return QStringLiteral("update ckmx set sl='") + q(quantity) + QStringLiteral("' where hh='") + q(lineNumber)
        + QStringLiteral("'");
}

QString removeStatement(const QString& lineNumber)
{
    return QStringLiteral("delete from ckmx where hh='") + q(lineNumber) + QStringLiteral("'");
}

QString removeAllStatement()
{
    return QStringLiteral("delete from ckmx");
}

bool tableExists(RecordSet& rs, const QString& table)
{
    if (!rs.open(existsQuery(table)))
        return false;
    qint64 count = 0;
    const bool read = rs.readInteger(QStringLiteral("hs"), count);
    rs.close();
    return read && count != 0;
}

bool createTable(RecordSet& rs)
{
    const bool ok = rs.open(createStatement());
    rs.close();
    return ok;
}

bool ensureTable(RecordSet& rs)
{
    return tableExists(rs, QStringLiteral("ckmx")) || createTable(rs);
}

bool hasLines(RecordSet& rs)
{
    const QString sql = countQuery();
    if (!rs.open(sql)) {
        写日志(QStringLiteral("取行缓存行数失败  ") + sql);
        return false;
    }
    qint64 count = 0;
    if (!rs.readInteger(QStringLiteral("行数"), count))
        count = 0;
    rs.close();
    return count > 0;
}

bool loadLines(RecordSet& rs, QVector<Line>& lines)
{
    lines.clear();
    if (!rs.open(loadQuery(), RecordSet::Decimals::Exact)) {
        rs.close();
        return false;
    }
    const int count = rs.recordCount();
    for (int i = 0; i < count; ++i) {
        Line l;
        rs.readText(QStringLiteral("行号"), l.number);
        rs.readText(QStringLiteral("存货编码"), l.inventoryCode);
        rs.readText(QStringLiteral("存货名称"), l.inventoryName);
        rs.readText(QStringLiteral("规格型号"), l.model);
        rs.readText(QStringLiteral("单位"), l.unit);
        rs.readDecimal(QStringLiteral("数量"), Quantity::kDecimals, l.quantity);
        rs.readText(QStringLiteral("货位编码"), l.binCode);
        rs.readText(QStringLiteral("领料人"), l.collector);
        rs.readText(QStringLiteral("领料部门"), l.department);
        rs.readText(QStringLiteral("设备"), l.device);
        QDateTime time;
        if (rs.readDateTime(QStringLiteral("时间"), time))
            l.time = 日期时间文本(time);
        lines << l;
        rs.moveNext();
    }
    rs.close();
    return true;
}

bool stageLine(RecordSet& rs, const Line& line, InsertFor purpose)
{
    const QString sql = insertStatement(line);
    // The quantity stands bare: anything but a quantity the column can hold
    // never reaches the database.
    if (!keptHere(rs, line.quantity) || !rs.open(sql)) {
        写日志(erplog::failure(purpose == InsertFor::Scan ? QStringLiteral("插入出库明细数据失败  ")
                                                          : QStringLiteral("插入缓存数据失败  "),
                               sql, rs.lastError()));
        rs.close();
        return false;
    }
    rs.close();
    return true;
}

bool changeQuantity(RecordSet& rs, const QString& lineNumber, const QString& quantity)
{
    const QString sql = quantityStatement(lineNumber, quantity);
    if (!keptHere(rs, quantity) || !rs.open(sql)) {
        写日志(erplog::failure(QStringLiteral("修改缓存记录失败 ,"), sql, rs.lastError()));
        rs.close();
        return false;
    }
    rs.close();
    return true;
}

bool removeLine(RecordSet& rs, const QString& lineNumber)
{
    const QString sql = removeStatement(lineNumber);
    const bool ok = rs.open(sql);
    if (!ok)
        写日志(QStringLiteral("删除缓存记录失败  ") + sql);
    rs.close();
    return ok;
}

bool removeAll(RecordSet& rs)
{
    const QString sql = removeAllStatement();
    const bool ok = rs.open(sql);
    if (!ok)
        写日志(QStringLiteral("清空缓存数据失败  ") + sql);
    rs.close();
    return ok;
}

Rewritten rewrite(RecordSet& rs, QVector<Line>& lines, Numbering numbering)
{
    if (numbering == Numbering::FromTop)
        for (int i = 0; i < lines.size(); ++i)
            lines[i].number = QString::number(i + 1);
    rs.close();
    ErpConnection* connection = rs.connection();
    const auto fail = [&](const QString& failureText, const QString& statement, const QString& step,
                          const QString& reason) {
        写日志(erplog::failure(failureText, statement, reason));
        // The cause as the failure left it, before the rollback.
        Rewritten failed;
        failed.why = reason.isEmpty() ? step : step + QStringLiteral("：") + causeOf(rs, reason);
        rs.close();
        if (connection)
            connection->rollbackTransaction();
        return failed;
    };
    if (!connection || !connection->isOpen())
        return fail(QStringLiteral("清空缓存数据失败  "), removeAllStatement(), QStringLiteral("U8连接已关闭"), {});
    if (!connection->beginTransaction())
        return fail(QStringLiteral("开始缓存事务失败  "), ErpConnection::kBeginText, QStringLiteral("无法开始事务"),
                    connection->lastError());
    if (!rs.open(removeAllStatement()))
        return fail(QStringLiteral("清空缓存数据失败  "), removeAllStatement(), QStringLiteral("清空缓存表失败"),
                    rs.lastError());
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QString sql = insertStatement(*it);
        const bool kept = keptHere(rs, it->quantity);
        if (!kept || !rs.open(sql))
            return fail(QStringLiteral("插入缓存数据失败  "), sql,
                        QStringLiteral("写入缓存表第 ") + it->number + QStringLiteral(" 行失败"),
                        kept ? rs.lastError()
                             : QStringLiteral("数量【") + it->quantity + QStringLiteral("】 无法保存"));
    }
    rs.close();
    if (!connection->commitTransaction())
        return fail(QStringLiteral("提交缓存事务失败  "), ErpConnection::kCommitText, QStringLiteral("无法提交事务"),
                    connection->lastError());
    return {true, {}};
}

QString renumberStatement(const QStringList& oldNumbers, const QStringList& newNumbers)
{
    QString cases;
    QString all;
    for (int i = 0; i < oldNumbers.size(); ++i) {
        if (oldNumbers[i] != newNumbers[i])
            cases +=
                QStringLiteral(" when '") + q(oldNumbers[i]) + QStringLiteral("' then '") + q(newNumbers[i]) + u'\'';
        all += (i ? QStringLiteral(",'") : QStringLiteral("'")) + q(oldNumbers[i]) + u'\'';
    }
    // Deleting the newest lines (the top of the grid) renumbers none: the
    // rows are still counted, so that a table that does not hold the
    // grid's lines is noticed, but a CASE without WHEN is no statement.
    if (cases.isEmpty())
        return QStringLiteral("update ckmx set hh=hh where hh in (") + all + u')';
    return QStringLiteral("update ckmx set hh=case hh") + cases + QStringLiteral(" else hh end where hh in (") + all
        + u')';
}

Removed removeLines(RecordSet& rs, QVector<Line>& remaining, const QStringList& removed)
{
    rs.close();
    ErpConnection* connection = rs.connection();
    const auto fail = [&](const QString& failureText, const QString& statement, const QString& step,
                          const QString& reason) {
        写日志(erplog::failure(failureText, statement, reason));
        // The cause as the failure left it, before the rollback.
        Removed failed;
        failed.why = reason.isEmpty() ? step : step + QStringLiteral("：") + causeOf(rs, reason);
        rs.close();
        if (connection)
            connection->rollbackTransaction();
        return failed;
    };
    QStringList removals;
    for (const QString& lineNumber : removed)
        removals << removeStatement(lineNumber);
    if (!connection || !connection->isOpen())
        return fail(QStringLiteral("删除缓存记录失败  "), removals.value(0), QStringLiteral("U8连接已关闭"), {});
    int failedAt = -1;
    if (!connection->beginTransaction(removals, &failedAt)) {
        if (failedAt < 0)
            return fail(QStringLiteral("开始缓存事务失败  "), ErpConnection::kBeginText, QStringLiteral("无法开始事务"),
                        connection->lastError());
        return fail(QStringLiteral("删除缓存记录失败  "), removals[failedAt], QStringLiteral("删除缓存记录失败"),
                    connection->lastError());
    }
    QStringList oldNumbers;
    QStringList newNumbers;
    for (int i = 0; i < remaining.size(); ++i) {
        oldNumbers << remaining[i].number;
        newNumbers << QString::number(i + 1);
    }
    if (!remaining.isEmpty()) {
        const QString sql = renumberStatement(oldNumbers, newNumbers);
        if (!rs.open(sql))
            return fail(QStringLiteral("更新缓存行号失败  "), sql, QStringLiteral("更新行号失败"), rs.lastError());
        // A driver that cannot tell the rows changed (-1) is trusted.
        const int changed = rs.rowsAffected();
        rs.close();
        if (changed >= 0 && changed != remaining.size()) {
            connection->rollbackTransaction();
            return {Removal::NotAsGrid, {}};
        }
    }
    if (!connection->commitTransaction())
        return fail(QStringLiteral("提交缓存事务失败  "), ErpConnection::kCommitText, QStringLiteral("无法提交事务"),
                    connection->lastError());
    for (int i = 0; i < remaining.size(); ++i)
        remaining[i].number = newNumbers[i];
    return {Removal::Done, {}};
}

} // namespace staging

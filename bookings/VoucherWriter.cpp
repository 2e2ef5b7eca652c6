#include "bookings/VoucherWriter.h"

#include "app/Clock.h"
#include "app/OperationLog.h"
#include "app/Prompts.h"
#include "bookings/IdentityCounters.h"
#include "bookings/VoucherHeaderCheck.h"
#include "bookings/VoucherView.h"
#include "erp/ErpConnection.h"
#include "erp/ErpLog.h"
#include "erp/FailureCause.h"
#include "erp/MasterData.h"
#include "erp/RecordSet.h"
#include "erp/SqlText.h"

namespace {

const QString kNoLines = QStringLiteral("没有明细材料需要生成材料出库单！");
const QString kWriting = QStringLiteral("材料出库单生成中。。。");
const QString kNoVoucherId = QStringLiteral("取主表ID失败！请联系开发人员！");
const QString kFailed = QStringLiteral("材料出库生单失败，请联系系统开发人员！");
const QString kCounterFailed = QStringLiteral("最大单据号更新失败，请联系开发人员");

QString q(const QString& value)
{
    return sqltext::quoted(value);
}

} // namespace

namespace voucher {

QString headerStatement(const VoucherValues& v)
{
    return QStringLiteral("INSERT INTO rdrecord11 (ID,bRdFlag,cVouchType,cBusType,cSource,cWhCode,dDate,cCode,cRdCode,"
                          "cDepCode,cPersonCode,bTransFlag,cMaker,bpufirst,biafirst,iMQuantity,VT_ID,bIsSTQc,"
                          "iproorderid,bOMFirst,bFromPreYear,bIsComplement,iDiscountTaxType,ireturncount,iverifystate,"
                          "iswfcontrolled,dnmaketime,bredvouch,bmotran,bHYVouch,iPrintCount)  VALUES  (")
        + v.id + QStringLiteral(",0,11,'领料','库存','") + q(v.warehouse) + QStringLiteral("','") + q(v.date)
        + QStringLiteral("','") + q(v.code) + QStringLiteral("','") + q(v.category) + QStringLiteral("','")
        + q(v.department) + QStringLiteral("','") + q(v.handlerCode) + QStringLiteral("',0,'") + q(v.handlerName)
        + QStringLiteral("',0,0,0,65,0,0,0,0, 0,0,0,0,0,'") + q(v.makeTime) + QStringLiteral("',0,0,0,0)");
}

QString lineStatement(const VoucherValues& v, const QString& autoId, const staging::Line& line)
{
    return QStringLiteral("INSERT INTO rdrecords11 (AutoID,ID,cInvCode,iQuantity,iFlag,cPosition,cDefine22,cDefine23,"
                          "cDefine24,bLPUseFree,iOriTrackID,bCosting,bVMIUsed,iExpiratDateCalcu,isotype,ipesotype,"
                          "irowno,iposflag)  VALUES  (")
        + autoId + u',' + v.id + QStringLiteral(",'") + q(line.inventoryCode) + QStringLiteral("',") + line.quantity
        + QStringLiteral(",0,'") + q(line.binCode) + QStringLiteral("','") + q(line.collector) + QStringLiteral("','")
        + q(line.department) + QStringLiteral("','") + q(line.device) + QStringLiteral("',0,0,1,0,0,0,0,'")
        + q(line.number) + QStringLiteral("',1)");
}

// The bin-position row carries the line's own quantity, so that the stock
// per position moves by what was issued.
QString positionStatement(const VoucherValues& v, const QString& positionId, const QString& autoId,
                          const staging::Line& line)
{
    return QStringLiteral("INSERT INTO InvPosition (AutoID,RdsID,RdID,cWhCode,cPosCode,cInvCode,iQuantity,cHandler,"
                          "dDate,bRdFlag,iTrackId,iMassDate,cvouchtype,dVouchDate)  VALUES  (")
        + positionId + u',' + autoId + u',' + v.id + QStringLiteral(",'") + q(v.warehouse) + QStringLiteral("','")
        + q(line.binCode) + QStringLiteral("','") + q(line.inventoryCode) + QStringLiteral("',") + line.quantity
        + QStringLiteral(",'") + q(v.handlerName) + QStringLiteral("','") + q(v.date) + QStringLiteral("',0,0,0,11,'")
        + q(v.date) + QStringLiteral("')");
}

QString maximaQuery(const VoucherValues& v)
{
    return QStringLiteral("select (select max(ID) from rdrecord11) as ID,(select max(AutoID) from rdrecords11) as "
                          "LineID,(select max(AutoID) from InvPosition) as PositionID,(select count(*) from "
                          "rdrecord11 where cCode like '")
        + q(v.code) + QStringLiteral("%') as Codes,(select max(cwhname) from Warehouse where cwhcode='")
        + q(v.warehouse)
        + QStringLiteral("') as WarehouseName,(select max(cPersonName) from person where cdepcode='03' and "
                         "cPersonCode <> 'demo' and cPersonCode='")
        + q(v.handlerCode)
        + QStringLiteral("') as HandlerName,(select max(cRdName) from Rd_Style where bRdEnd =1 and brdflag=0 and "
                         "cRdCode='")
        + q(v.category) + QStringLiteral("') as CategoryName");
}

} // namespace voucher

namespace {

// Clears the writing state however the click ends.
class WritingScope {
public:
    WritingScope(bool& flag, VoucherView& view) : m_flag(flag), m_view(view)
    {
        m_flag = true;
        m_view.setWriting(true);
    }
    ~WritingScope()
    {
        m_flag = false;
        m_view.setWriting(false);
    }
    WritingScope(const WritingScope&) = delete;
    WritingScope& operator=(const WritingScope&) = delete;

private:
    bool& m_flag;
    VoucherView& m_view;
};

} // namespace

VoucherWriter::VoucherWriter(VoucherErp erp, VoucherView& view) : m_erp(std::move(erp)), m_view(view)
{
}

QString VoucherWriter::voucherCode(const QDateTime& moment)
{
    return QStringLiteral("CLCK") + moment.toString(QStringLiteral("yyMMddHHmmss"));
}

bool VoucherWriter::click(const VoucherHeader& header, const QVector<staging::Line>& lines)
{
    // Clicks that reach the window while a voucher is being written (a
    // message box or a repaint lets events through) start nothing.
    if (m_writing)
        return false;
    WritingScope scope(m_writing, m_view);
    return write(header, lines);
}

bool VoucherWriter::abandon(const QString& prompt, bool resetScan, bool sound, const QString& driverError)
{
    ErpConnection& connection = m_erp.connection;
    // The cause as the failed statement left it, before the rollback (which
    // closes the connection when it fails itself).
    // The driver's error number or SQLSTATE comes from where the text came.
    QString code;
    if (driverError == connection.lastError())
        code = connection.lastErrorCode();
    else if (driverError == m_erp.记录集1.lastError())
        code = m_erp.记录集1.lastErrorCode();
    const QString cause = failurecause::describe(driverError, connection.isOpen(), code);
    if (connection.inTransaction() && !connection.rollbackTransaction())
        写日志(QStringLiteral("材料出库单回滚失败，已断开数据库连接  ") + ErpConnection::kRollbackText);
    m_view.showPrompt(cause.isEmpty() ? prompt : prompt + QStringLiteral("\r\n") + cause);
    if (resetScan)
        m_view.resetScanField();
    if (sound)
        m_view.playPrompt(prompts::kScanFailed);
    return false;
}

bool VoucherWriter::refuse(const QString& text)
{
    写日志(text);
    m_view.showPrompt(text);
    m_view.playPrompt(prompts::kScanFailed);
    return false;
}

bool VoucherWriter::write(const VoucherHeader& header, const QVector<staging::Line>& lines)
{
    if (lines.isEmpty()) {
        m_view.showPrompt(kNoLines);
        m_view.playPrompt(prompts::kScanFailed);
        return false;
    }

    VoucherValues v;
    v.warehouse = masterdata::codePart(header.出库仓库);
    v.category = masterdata::codePart(header.出库类别);
    v.handlerCode = masterdata::codePart(header.经手人);
    v.handlerName = masterdata::namePart(header.经手人);

    // Refused before anything is sent: a voucher without warehouse, handler
    // or category cannot be audited, and a quantity that is not a positive
    // number the ERP can hold would stand bare in two statements.
    if (v.warehouse.isEmpty() || v.category.isEmpty() || v.handlerCode.isEmpty())
        return refuse(QStringLiteral("材料出库单表头不完整（出库仓库、经手人、出库类别），材料出库单未生成！"));
    if (!header.fault.isEmpty())
        return refuse(header.fault);
    for (const staging::Line& line : lines) {
        if (!sqltext::isQuantity(line.quantity))
            return refuse(QStringLiteral("第") + line.number + QStringLiteral("行的数量「") + line.quantity
                          + QStringLiteral("」不是有效的数量，材料出库单未生成！"));
    }

    ErpConnection& connection = m_erp.connection;
    RecordSet& rs1 = m_erp.记录集1;
    RecordSet& rs3 = m_erp.记录集3;
    if (!connection.isOpen() && m_erp.connect)
        m_erp.connect();
    if (!connection.isOpen()) {
        写日志(QStringLiteral("数据库未连接，材料出库单未生成"));
        return abandon(kFailed, true, true, connection.lastError());
    }

    m_view.showPrompt(kWriting);
    v.department = masterdata::departmentCode(rs3, v.handlerCode);

    // One reading of the clock for the code, the dates and the make time,
    // so that a voucher written across midnight is dated consistently.
    const QDateTime now = appclock::now();
    v.code = voucherCode(now);
    v.date = 日期文本(now);
    v.makeTime = 日期时间文本(now);

    if (!connection.beginTransaction()) {
        写日志(QStringLiteral("开始材料出库单事务失败  ") + ErpConnection::kBeginText + QStringLiteral("  ")
               + connection.lastError());
        return abandon(kFailed, true, true, connection.lastError());
    }

    // The tables' maxima, read once under the voucher lock: the
    // identifiers are counted up from them here, so every statement is the
    // one a maximum-plus-one query per line would give, and the whole
    // voucher goes in a few batches. An empty table starts at 1000000001.
    const QString maximaSql = voucher::maximaQuery(v);
    qint64 voucherMax = 0;
    qint64 lineMax = 0;
    qint64 positionMax = 0;
    qint64 sameCode = 0;
    headercheck::Result check;
    {
        const auto number = [&](const char* field, qint64& out) {
            QString text;
            if (!rs1.readText(QString::fromLatin1(field), text))
                return false;
            bool ok = true;
            out = text.isEmpty() ? 1000000000 : text.toLongLong(&ok);
            return ok;
        };
        bool read = rs1.open(maximaSql) && number("ID", voucherMax) && number("LineID", lineMax)
            && number("PositionID", positionMax) && number("Codes", sameCode);
        // The header as the ERP has it now: a code deleted since the
        // window opened is refused as at opening.
        const struct {
            headerlists::Kind kind;
            const char* field;
            QString value;
            QString headercheck::Result::*fault;
            QString code;
        } fields[] = {
            {headerlists::Kind::Warehouse, "WarehouseName", header.出库仓库, &headercheck::Result::出库仓库,
             v.warehouse},
            {headerlists::Kind::Handler, "HandlerName", header.经手人, &headercheck::Result::经手人, v.handlerCode},
            {headerlists::Kind::Category, "CategoryName", header.出库类别, &headercheck::Result::出库类别, v.category},
        };
        for (const auto& f : fields) {
            QString name;
            if (!read || !rs1.readText(QString::fromLatin1(f.field), name)) {
                read = false;
                break;
            }
            // NULL (read as ""): the ERP has no such code (its names are
            // never empty).
            const QStringList items = name.isEmpty() ? QStringList() : QStringList{f.code + u'|' + name};
            check.*(f.fault) = headercheck::fault(f.kind, f.value, items);
        }
        check.checked = read;
        rs1.close();
        if (!read) {
            写日志(erplog::failure(QStringLiteral("取材料出库单主表ID失败  "), maximaSql, rs1.lastError()));
            return abandon(kNoVoucherId, false, true, rs1.lastError());
        }
    }
    if (!check.passed()) {
        connection.rollbackTransaction();
        return refuse(check.refusal());
    }
    v.id = QString::number(voucherMax + 1);
    // Two vouchers in one second: the later one gets a number after its
    // time, so that every voucher code stays unique.
    if (sameCode > 0)
        v.code += u'-' + QString::number(sameCode + 1);

    // What each statement is, to log a failure as the per-line writing did.
    enum class Kind { Option, Header, Line, IdentityOn, Position, IdentityOff, Staging };
    struct Statement {
        Kind kind;
        QString sql;
        QString positionSql; // for the identity switches: the position statement they belong to
    };
    QVector<QVector<Statement>> batches;
    qint64 lineId = lineMax;
    qint64 positionId = positionMax;
    for (int first = 0; first < lines.size(); first += voucher::kLinesPerBatch) {
        QVector<Statement> batch;
        batch.append({Kind::Option, voucher::kXactAbort, {}});
        if (first == 0)
            batch.append({Kind::Header, voucher::headerStatement(v), {}});
        const int identityOn = int(batch.size());
        batch.append({Kind::IdentityOn, voucher::kIdentityOn, {}});
        QString positionSql;
        for (int k = first; k < std::min<int>(int(lines.size()), first + voucher::kLinesPerBatch); ++k) {
            const staging::Line& line = lines[k];
            const QString autoId = QString::number(++lineId);
            positionSql = voucher::positionStatement(v, QString::number(++positionId), autoId, line);
            if (batch[identityOn].positionSql.isEmpty())
                batch[identityOn].positionSql = positionSql;
            batch.append({Kind::Line, voucher::lineStatement(v, autoId, line), {}});
            batch.append({Kind::Position, positionSql, {}});
            batch.append({Kind::Staging, staging::removeStatement(line.number), {}});
        }
        batch.append({Kind::IdentityOff, voucher::kIdentityOff, positionSql});
        batches << batch;
    }

    for (const QVector<Statement>& batch : batches) {
        QStringList texts;
        for (const Statement& st : batch)
            texts << st.sql;
        int failed = -1;
        if (connection.executeBatch(texts, &failed))
            continue;
        const QString why = connection.lastError();
        if (failed < 0) {
            写日志(QStringLiteral("写入材料出库单失败  ") + why + QStringLiteral("\r\n")
                   + texts.join(QStringLiteral("\r\n")));
            return abandon(kFailed, true, true, why);
        }
        const Statement& st = batch[failed];
        switch (st.kind) {
        case Kind::Option:
            写日志(erplog::failure(QStringLiteral("写入材料出库单失败  "), st.sql, why));
            return abandon(kFailed, true, true, why);
        case Kind::Header:
            写日志(erplog::failure(QStringLiteral("插入表头数据失败  "), st.sql, why));
            return abandon(kFailed, true, true, why);
        case Kind::Line:
            写日志(erplog::failure(QStringLiteral("插入扫描数据失败  "), st.sql, why));
            break;
        case Kind::IdentityOn:
            写日志(erplog::failure(QStringLiteral("set identity_insert InvPosition ON 失败  "), st.positionSql, why));
            break;
        case Kind::Position:
            写日志(erplog::failure(QStringLiteral("插入货位存量表数据失败  "), st.sql, why));
            break;
        case Kind::IdentityOff:
            写日志(erplog::failure(QStringLiteral("set identity_insert InvPosition OFF 失败  "), st.positionSql, why));
            break;
        case Kind::Staging:
            写日志(erplog::failure(QStringLiteral("删除缓存记录失败  "), st.sql, why));
            break;
        }
        return abandon(kFailed, true, false, why);
    }

    if (!connection.commitTransaction()) {
        写日志(QStringLiteral("提交材料出库单失败  ") + ErpConnection::kCommitText + QStringLiteral("  ")
               + connection.lastError());
        return abandon(kFailed, true, true, connection.lastError());
    }
    m_lastCode = v.code;

    m_view.replacePrompt(QStringLiteral("材料出库生成完成，材料出库单号：") + v.code
                         + QStringLiteral(" 请仓管到U8材料出库单进行审核！！"));
    m_view.playPrompt(prompts::kVoucherGenerated);
    m_view.clearLines();
    rs3.close();
    rs1.close();
    m_view.resetScanField();
    if (!identitycounters::update(rs1, m_erp.账套号))
        m_view.showMessage(kCounterFailed);
    return true;
}

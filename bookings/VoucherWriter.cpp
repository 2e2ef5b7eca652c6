#include "bookings/VoucherWriter.h"

#include "app/Clock.h"
#include "app/OperationLog.h"
#include "app/Prompts.h"
#include "bookings/IdentityCounters.h"
#include "bookings/VoucherView.h"
#include "erp/ErpConnection.h"
#include "erp/FailureCause.h"
#include "erp/MasterData.h"
#include "erp/RecordSet.h"
#include "erp/SqlText.h"

namespace {

const QString kVoucherIdQuery = QStringLiteral("select max(ID)+1 as ID from rdrecord11");
const QString kLineIdQuery = QStringLiteral("select max(AutoID)+1 as ID from rdrecords11");
const QString kPositionIdQuery = QStringLiteral("select max(AutoID)+1 as ID from InvPosition");
const QString kIdentityOn = QStringLiteral("set identity_insert InvPosition ON");
const QString kIdentityOff = QStringLiteral("set identity_insert InvPosition OFF");

const QString kNoLines = QStringLiteral("没有明细材料需要生成材料出库单！");
const QString kWriting = QStringLiteral("材料出库单生成中。。。");
const QString kNoVoucherId = QStringLiteral("取主表ID失败！请联系开发人员！");
const QString kFailed = QStringLiteral("材料出库生单失败，请联系系统开发人员！");
const QString kCounterFailed = QStringLiteral("最大单据号更新失败，请联系开发人员");

QString q(const QString& value)
{
    return sqltext::quoted(value);
}

struct Values {
    QString id;
    QString warehouse;
    QString category;
    QString department;
    QString handlerCode;
    QString handlerName;
    QString code;
    QString date;
    QString makeTime;
};

QString headerStatement(const Values& v)
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

QString lineStatement(const Values& v, const QString& autoId, const staging::Line& line)
{
    return QStringLiteral("INSERT INTO rdrecords11 (AutoID,ID,cInvCode,iQuantity,iFlag,cPosition,cDefine22,cDefine23,"
                          "cDefine24,bLPUseFree,iOriTrackID,bCosting,bVMIUsed,iExpiratDateCalcu,isotype,ipesotype,"
                          "irowno,iposflag)  VALUES  (")
        + autoId + u',' + v.id + QStringLiteral(",'") + q(line.chbm) + QStringLiteral("',") + line.sl
        + QStringLiteral(",0,'") + q(line.hwbm) + QStringLiteral("','") + q(line.llr) + QStringLiteral("','")
        + q(line.llbm) + QStringLiteral("','") + q(line.sb) + QStringLiteral("',0,0,1,0,0,0,0,'") + q(line.hh)
        + QStringLiteral("',1)");
}

// The bin-position row carries the line's own quantity, so that the stock
// per position moves by what was issued.
QString positionStatement(const Values& v, const QString& positionId, const QString& autoId,
                          const staging::Line& line)
{
    return QStringLiteral("INSERT INTO InvPosition (AutoID,RdsID,RdID,cWhCode,cPosCode,cInvCode,iQuantity,cHandler,"
                          "dDate,bRdFlag,iTrackId,iMassDate,cvouchtype,dVouchDate)  VALUES  (")
        + positionId + u',' + autoId + u',' + v.id + QStringLiteral(",'") + q(v.warehouse) + QStringLiteral("','")
        + q(line.hwbm) + QStringLiteral("','") + q(line.chbm) + QStringLiteral("',") + line.sl + QStringLiteral(",'")
        + q(v.handlerName) + QStringLiteral("','") + q(v.date) + QStringLiteral("',0,0,0,11,'") + q(v.date)
        + QStringLiteral("')");
}

// Clears the writing state however the click ends.
class WritingScope {
public:
    WritingScope(bool& flag, VoucherView& view)
        : m_flag(flag)
        , m_view(view)
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

VoucherWriter::VoucherWriter(VoucherErp erp, VoucherView& view)
    : m_erp(std::move(erp))
    , m_view(view)
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
    const QString cause = failurecause::describe(driverError, connection.isOpen());
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

    Values v;
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
        if (!sqltext::isQuantity(line.sl))
            return refuse(QStringLiteral("第") + line.hh + QStringLiteral("行的数量「") + line.sl
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

    if (!connection.beginTransaction()) {
        写日志(QStringLiteral("开始材料出库单事务失败  ") + ErpConnection::kBeginText + QStringLiteral("  ")
               + connection.lastError());
        return abandon(kFailed, true, true, connection.lastError());
    }

    const std::optional<QString> id =
        masterdata::nextIdentifier(rs1, kVoucherIdQuery, QStringLiteral("取材料出库单主表ID失败  "));
    if (!id)
        return abandon(kNoVoucherId, false, true, rs1.lastError());
    v.id = *id;
    // One reading of the clock for the code, the dates and the make time,
    // so that a voucher written across midnight is dated consistently.
    const QDateTime now = appclock::now();
    v.code = voucherCode(now);
    v.date = 日期文本(now);
    v.makeTime = 日期时间文本(now);

    const QString headerSql = headerStatement(v);
    if (!rs3.open(headerSql)) {
        写日志(QStringLiteral("插入表头数据失败  ") + headerSql);
        return abandon(kFailed, true, true, rs3.lastError());
    }

    for (const staging::Line& line : lines) {
        const std::optional<QString> autoId =
            masterdata::nextIdentifier(rs1, kLineIdQuery, QStringLiteral("取材料出库单主表ID失败  "));
        if (!autoId) {
            写日志(QStringLiteral("当前材料出库子表ID为空  "));
            return abandon(kFailed, true, false, rs1.lastError());
        }
        const QString lineSql = lineStatement(v, *autoId, line);
        if (!rs3.open(lineSql)) {
            写日志(QStringLiteral("插入扫描数据失败  ") + lineSql);
            return abandon(kFailed, true, false, rs3.lastError());
        }
        const std::optional<QString> positionId =
            masterdata::nextIdentifier(rs1, kPositionIdQuery, QStringLiteral("取货位存量表autoID失败  "));
        if (!positionId)
            return abandon(kFailed, true, false, rs1.lastError());
        const QString positionSql = positionStatement(v, *positionId, *autoId, line);
        if (!rs3.open(kIdentityOn)) {
            写日志(QStringLiteral("set identity_insert InvPosition ON 失败  ") + positionSql);
            return abandon(kFailed, true, false, rs3.lastError());
        }
        if (!rs3.open(positionSql)) {
            写日志(QStringLiteral("插入货位存量表数据失败  ") + positionSql);
            return abandon(kFailed, true, false, rs3.lastError());
        }
        if (!rs3.open(kIdentityOff)) {
            写日志(QStringLiteral("set identity_insert InvPosition OFF 失败  ") + positionSql);
            return abandon(kFailed, true, false, rs3.lastError());
        }
        if (!staging::removeLine(rs1, line.hh))
            return abandon(kFailed, true, false, rs1.lastError());
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

#include "station/ScanStation.h"

#include "app/Clock.h"
#include "app/CommandCodes.h"
#include "app/OperationLog.h"
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "bookings/Quantity.h"
#include "erp/ErpLog.h"
#include "erp/ErpSession.h"
#include "erp/FailureCause.h"
#include "erp/MasterData.h"
#include "station/MaterialRefusal.h"
#include "ui/PromptPlayer.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

const QString kHeaderSection = QStringLiteral("材料出库单表头");
const QString kProductionSection = QStringLiteral("生产课");

// A search fills its grid in pieces of at most this many milliseconds, one
// piece per timer tick: between them the window handles its events, so the
// scanner's keys get through and the progress bar moves, without a repaint
// per listed item.
constexpr qint64 kChunkInterval = 25;

// A scan as it goes into the log: control characters (a scanner sending
// Tab, CR or GS inside a code) are written visibly, never raw.
QString visible(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// A grid quantity that is no Quantity (none the station stages) adds 0.
Quantity quantityOrZero(const QString& text)
{
    return Quantity::fromText(text).value_or(Quantity());
}

staging::Line lineOf(const QStringList& cells)
{
    return {cells.value(0), cells.value(1), cells.value(2), cells.value(3), cells.value(4), cells.value(5),
            cells.value(6), cells.value(7), cells.value(8), cells.value(9), cells.value(10)};
}

QStringList cellsOf(const staging::Line& l)
{
    return {l.number,  l.inventoryCode, l.inventoryName, l.model,  l.unit, l.quantity,
            l.binCode, l.collector,     l.department,    l.device, l.time};
}

// One line as the log names it.
QString described(const staging::Line& l)
{
    return QStringLiteral("行号【") + l.number + QStringLiteral("】 存货编码【") + l.inventoryCode
        + QStringLiteral("】 数量【") + l.quantity + QStringLiteral("】 领料人【") + l.collector + QStringLiteral("】");
}

// A message as the log keeps it: without its final line break.
QString logged(const QString& message)
{
    QString text = message;
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return visible(text);
}

} // namespace

const QStringList ScanStation::kDetailCaptions{
    QStringLiteral("行号"),     QStringLiteral("存货编码"), QStringLiteral("存货名称"), QStringLiteral("规格型号"),
    QStringLiteral("单位"),     QStringLiteral("数量"),     QStringLiteral("货位编码"), QStringLiteral("领料人"),
    QStringLiteral("领料部门"), QStringLiteral("设备"),     QStringLiteral("时间")};
const QVector<int> ScanStation::kDetailWidths{60, 150, 200, 200, 60, 60, 160, 120, 150, 200, 200};
const QStringList ScanStation::kStockCaptions{
    QStringLiteral("行号"), QStringLiteral("存货编码"), QStringLiteral("存货名称"), QStringLiteral("规格型号"),
    QStringLiteral("单位"), QStringLiteral("数量"),     QStringLiteral("货位编码"), QStringLiteral("货位名称")};
const QVector<int> ScanStation::kStockWidths{60, 150, 200, 200, 60, 60, 200, 250};

ScanStation::ScanStation(ErpSession& erp, QObject* parent) : QObject(parent), m_erp(erp)
{
    m_searchTimer.setInterval(0);
    connect(&m_searchTimer, &QTimer::timeout, this, &ScanStation::searchChunk);
}

bool ScanStation::setUp()
{
    m_fields.出库仓库 = settings::readKey(kHeaderSection, QStringLiteral("仓库"));
    m_fields.经手人 = settings::readKey(kHeaderSection, QStringLiteral("经手人"));
    m_fields.出库类别 = settings::readKey(kHeaderSection, QStringLiteral("出库类别"));
    checkHeader();
    emit fieldsChanged();

    m_detail.setColumns(kDetailCaptions, kDetailWidths);
    // The stock hint adds up the lines of one item at every scan.
    m_detail.setKeyColumn(detailcolumn::InventoryCode);
    if (!staging::ensureTable(m_erp.记录集1))
        return false;
    // The staged lines are loaded straight away: an empty table loads no
    // line, so counting them first would only cost a round trip.
    QVector<staging::Line> lines;
    if (!staging::loadLines(m_erp.记录集1, lines))
        return false;
    if (!lines.isEmpty()) {
        // Each record goes on top of the ones before it: the grid shows the
        // query's last record first.
        std::reverse(lines.begin(), lines.end());
        showLines(lines);
        const LineSummary restored = summaryOf(lines);
        prependPrompt(QStringLiteral("已恢复上次未生成材料出库单的出库明细 ") + QString::number(restored.lines)
                      + QStringLiteral(" 行，合计数量 ") + restored.total + QStringLiteral("\r\n"));
        写日志(QStringLiteral("打开扫码出库，恢复缓存表中的出库明细 ") + QString::number(restored.lines)
               + QStringLiteral(" 行，合计数量 ") + restored.total);
        gridChanged();
    }
    m_detail.lockAll();
    m_stock.setColumns(kStockCaptions, kStockWidths);
    m_stock.lockAll();
    emit scanFocusRequested();
    return true;
}

void ScanStation::checkHeader()
{
    m_fields.表头核对 = headercheck::check(m_erp.记录集2, m_fields.出库仓库, m_fields.经手人, m_fields.出库类别);
    emit fieldsChanged();
}

void ScanStation::setPromptText(const QString& text)
{
    m_prompt = text;
    emit promptChanged({});
}

void ScanStation::prependPrompt(const QString& message)
{
    m_prompt.prepend(message);
    emit promptChanged(message);
}

void ScanStation::play(const QString& prompt)
{
    if (m_player)
        m_player->play(prompt);
}

void ScanStation::emptyScanField()
{
    m_fields.条码.clear();
    emit scanFieldChanged(m_fields.条码);
}

void ScanStation::handleScan(const QString& text)
{
    const QString code = textcodec::trimBlanks(text);
    if (code.isEmpty()) {
        // Enter alone (or blanks) is no scan: nothing to answer.
        emptyScanField();
        emit scanFocusRequested();
        return;
    }
    // #QM-CANCEL answers an open box at once; it would wait for it otherwise.
    const bool cancelsBox = (isAsking() || m_boxOpen) && commandcodes::isCommand(code)
        && code.compare(commandcodes::cancel(), Qt::CaseInsensitive) == 0;
    if ((m_busy || isAsking() || m_boxOpen) && !cancelsBox) {
        // A search is filling its grid or a question waits for the clerk:
        // the scan is kept, not lost, and handled after it, in order.
        m_pendingScans << text;
        emptyScanField();
        prependPrompt(QString::number(m_pendingScans.size()) + QStringLiteral(" 个条码等待处理\r\n"));
        return;
    }
    m_fields.条码 = text;
    if (commandcodes::isCommand(code))
        handleCommand(code);
    else if (code.startsWith(u'R'))
        handlePerson(code.mid(1));
    // A device code read in lower case ("ssb001") is a device all the same:
    // the ERP compares codes without regard to case.
    else if (code.startsWith(u'S') || code.startsWith(u's'))
        handleDevice(code.mid(1));
    else if (code.startsWith(u'%')) {
        // A scanner set-up code read at the counter: answered, never kept
        // in the field where the next scans would be appended to it.
        const QString message =
            QStringLiteral("条码【") + code + QStringLiteral("】 是扫码枪设置码，不是出库条码，未处理！！\r\n");
        写日志(logged(message));
        failScan(message, prompts::kScanFailed);
    } else
        handleMaterial(code);
    m_fields.条码.clear();
    emit fieldsChanged();
    emit scanFieldChanged(m_fields.条码);
    emit scanFocusRequested();
}

void ScanStation::failRead(const QString& failureText, const QString& query, const RecordSet& rs)
{
    // A query that could not run says nothing about the master data: the
    // clerk is told to scan again, not to check the archive, and the IT
    // person finds the engine's reason in the log.
    写日志(erplog::failure(failureText, query, rs.lastError()));
    failScan(QStringLiteral("读取U8数据失败（") + failurecause::describe(rs) + QStringLiteral("），条码【")
                 + textcodec::trimBlanks(m_fields.条码) + QStringLiteral("】 未处理，请重新扫码！！\r\n"),
             prompts::kScanFailed);
}

void ScanStation::failScan(const QString& message, const QString& prompt)
{
    prependPrompt(message);
    m_fields.条码.clear();
    emit scanFocusRequested();
    play(prompt);
}

void ScanStation::handlePerson(const QString& jobNumber)
{
    masterdata::Person person;
    if (!masterdata::findPerson(m_erp.记录集2, jobNumber, person)) {
        failRead(QStringLiteral("查询人员失败 "), masterdata::personQuery(jobNumber), m_erp.记录集2);
        return;
    }
    if (!person.found()) {
        const QString message =
            QStringLiteral("未查找到工号【") + jobNumber + QStringLiteral("】 的记录，请与系统管理员联系！\r\n");
        写日志(logged(message));
        prependPrompt(message);
        play(prompts::kEmployeeNotFound);
    } else {
        // A device is scanned for one worker: the badge of another person
        // ends it, also in 生产课 (a device scanned before the first badge
        // goes with that badge).
        if (!m_collectorJob.isEmpty() && m_collectorJob != jobNumber) {
            m_fields.设备.clear();
            m_fields.设备名称.clear();
            m_fields.线别.clear();
        }
        m_collectorJob = jobNumber;
        m_fields.领料人 = person.领料人;
        m_fields.领料部门 = person.部门名称;
        m_fields.领料线别 = person.领料线别;
        prependPrompt(QStringLiteral("人员条码读取完成！领料人：") + person.领料人 + QStringLiteral("\r\n"));
        play(prompts::kPersonAccepted);
    }
    m_fields.条码.clear();
    emit scanFocusRequested();
}

void ScanStation::handleDevice(const QString& deviceCode)
{
    masterdata::Device device;
    if (!masterdata::findDevice(m_erp.记录集2, deviceCode, device)) {
        failRead(QStringLiteral("查询设备失败 "), masterdata::deviceQuery(deviceCode), m_erp.记录集2);
        return;
    }
    if (!device.found) {
        const QString message = QStringLiteral("未查找到设备编码【") + deviceCode
            + QStringLiteral("】 的设备 请确认设备信息表中是否有增加！！\r\n");
        写日志(logged(message));
        failScan(message, prompts::kScanFailed);
        return;
    }
    m_fields.设备 = device.当前设备号;
    m_fields.设备名称 = device.当前设备名称;
    m_fields.线别 = device.当前线别;
    prependPrompt(QStringLiteral("设备条码读取完成！设备名称：") + device.当前设备名称 + QStringLiteral("\r\n"));
    m_fields.条码.clear();
    emit scanFocusRequested();
    play(prompts::kScanSucceeded);
}

void ScanStation::handleMaterial(const QString& code)
{
    if (m_fields.领料人.isEmpty()) {
        写日志(QStringLiteral("请先刷人员条码！！条码【") + visible(code) + QStringLiteral("】 未处理"));
        failScan(QStringLiteral("请先刷人员条码！！\r\n"), prompts::kScanEmployeeCard);
        return;
    }
    // The item with its unit and default bin position, the bin's warehouse
    // and the stock on hand in the header's warehouse come in one query.
    // When it cannot run, the scan changes nothing and is to be repeated.
    masterdata::ScanItem found;
    if (!masterdata::findScanItem(m_erp.记录集2, m_fields.出库仓库, code, found)) {
        failRead(QStringLiteral("查询存货失败 "), masterdata::scanQuery(masterdata::codePart(m_fields.出库仓库), code),
                 m_erp.记录集2);
        return;
    }
    const masterdata::Inventory& item = found.item;
    if (item.货位编码.isEmpty()) {
        refuseMaterial(code);
        return;
    }
    if (refuseBinOfAnotherWarehouse(found))
        return;
    const QString stock = found.现存量;

    m_fields.存货编码 = item.存货编码;
    m_fields.存货名称 = item.存货名称;
    m_fields.规格型号 = item.规格型号;
    m_fields.单位 = item.单位;
    m_fields.货位编码 = item.货位编码;
    m_fields.货位名称 = item.货位名称;
    m_fields.数量 = QStringLiteral("1");
    m_fields.现存量 = stock;

    // The new line is numbered by the rows before it, caption row included,
    // and goes on top.
    const staging::Line line{QString::number(m_detail.systemRowCount()),
                             item.存货编码,
                             item.存货名称,
                             item.规格型号,
                             item.单位,
                             m_fields.数量,
                             item.货位编码,
                             m_fields.领料人,
                             m_fields.领料部门,
                             m_fields.设备,
                             日期时间文本(appclock::now())};
    m_detail.insertTopRows({cellsOf(line)});
    gridChanged();

    // Outside the production section a device applies to one line only.
    if (m_fields.领料部门 != kProductionSection) {
        m_fields.设备.clear();
        m_fields.设备名称.clear();
        m_fields.线别.clear();
    }
    m_fields.条码.clear();
    m_detail.lockAll();
    updateStockHint();

    // An item without stock in the warehouse is added all the same (the
    // red stock field shows it), and the clerk hears that something is off.
    const bool noStock = !Quantity::isAboveZero(stock);
    if (noStock)
        prependPrompt(QStringLiteral("存货编码【") + item.存货编码 + QStringLiteral("】 已添加，但出库仓库【")
                      + m_fields.出库仓库 + QStringLiteral("】 中没有现存量！！\r\n"));

    // The staged row is exactly the new grid row. A line that cannot be
    // staged stays in the grid (the voucher still issues it), is kept as
    // unsaved, and is staged with the next write that succeeds; until then
    // a restart would not show it, and the clerk has to know that.
    if (staging::stageLine(m_erp.记录集1, line, staging::InsertFor::Scan)) {
        if (!noStock)
            prependPrompt(QStringLiteral("存货编码【") + item.存货编码 + QStringLiteral("】 添加成功！！\r\n"));
        play(noStock ? prompts::kScanFailed : prompts::kScanSucceeded);
        saveUnsavedLines();
    } else {
        m_unsaved << line.number;
        prependPrompt(QStringLiteral("存货编码【") + item.存货编码
                      + QStringLiteral("】 已加入出库明细，但未能保存到缓存表（")
                      + failurecause::describe(m_erp.记录集1)
                      + QStringLiteral("），下次写入缓存表成功时补存，在此之前程序重启后不会恢复！！\r\n"));
        play(prompts::kScanFailed);
    }
}

void ScanStation::refuseMaterial(const QString& code)
{
    // No line: the item is read once more to name the cause.
    const QString message = materialrefusal::message(code, materialrefusal::find(m_erp.记录集2, code));
    写日志(visible(message));
    failScan(message + QStringLiteral("\r\n"), prompts::kScanFailed);
}

void ScanStation::handleCommand(const QString& code)
{
    if (code.compare(commandcodes::writeVoucher(), Qt::CaseInsensitive) == 0) {
        emit writeRequested();
    } else if (code.compare(commandcodes::undoLastScan(), Qt::CaseInsensitive) == 0) {
        undoLastScan();
    } else if (code.compare(commandcodes::cancel(), Qt::CaseInsensitive) == 0) {
        cancelPending();
    } else {
        const QString message = QStringLiteral("条码【") + code + QStringLiteral("】 不是本程序的命令码（")
            + commandcodes::writeVoucher() + QStringLiteral(" 生成材料出库单，") + commandcodes::undoLastScan()
            + QStringLiteral(" 删除最后扫码的一行，") + commandcodes::cancel()
            + QStringLiteral(" 取消），未处理！！\r\n");
        写日志(logged(message));
        failScan(message, prompts::kScanFailed);
    }
}

void ScanStation::cancelPending()
{
    if (isAsking()) {
        // The window closes the box; the question is answered No here, so
        // the box's own answer finds nothing left to answer.
        emit boxDismissed();
        answerQuestion(false);
        return;
    }
    if (m_boxOpen) {
        emit boxDismissed();
        return;
    }
    if (isWriteArmed()) {
        disarmWrite(QStringLiteral("已取消生成材料出库单，未写入任何数据。\r\n"));
        play(prompts::kScanSucceeded);
        return;
    }
    prependPrompt(QStringLiteral("没有需要取消的操作。\r\n"));
}

void ScanStation::setBoxOpen(bool open)
{
    m_boxOpen = open;
    if (!open)
        runPendingScans();
}

void ScanStation::armWrite(const QVector<staging::Line>& shown)
{
    m_armedLines = shown;
    emit writeArmedChanged(true);
}

void ScanStation::disarmWrite(const QString& message)
{
    if (!m_armedLines)
        return;
    m_armedLines.reset();
    if (!message.isEmpty())
        prependPrompt(message);
    emit writeArmedChanged(false);
}

void ScanStation::gridChanged()
{
    disarmWrite(QStringLiteral("出库明细已改变，生成材料出库单已取消，请重新确认。\r\n"));
    emit linesChanged();
}

ScanStation::LineSummary ScanStation::summaryOf(const QVector<staging::Line>& lines)
{
    LineSummary summary;
    summary.lines = int(lines.size());
    Quantity total;
    for (const staging::Line& line : lines) {
        if (!line.collector.isEmpty() && !summary.collectors.contains(line.collector))
            summary.collectors << line.collector;
        total += quantityOrZero(line.quantity);
    }
    summary.total = total.text();
    return summary;
}

ScanStation::LineSummary ScanStation::lineSummary() const
{
    return summaryOf(gridLines());
}

QString ScanStation::leave()
{
    cancelSearch();
    const int staged = m_detail.dataRowCount();
    if (staged == 0)
        return {};
    const LineSummary summary = lineSummary();
    const QString text = QStringLiteral("出库明细还有 ") + QString::number(staged) + QStringLiteral(" 行（合计数量 ")
        + summary.total + QStringLiteral("）未生成材料出库单，已保留在缓存表中，下次打开扫码出库时恢复。");
    写日志(QStringLiteral("关闭扫码出库，出库明细 ") + QString::number(staged) + QStringLiteral(" 行（合计数量 ")
           + summary.total + QStringLiteral("）保留在缓存表中"));
    return text;
}

bool ScanStation::refuseBinOfAnotherWarehouse(const masterdata::ScanItem& found)
{
    // A position is booked in the voucher's warehouse: a default bin of
    // another warehouse (or one missing from the position archive) would
    // put position stock into a bin that warehouse does not have.
    const QString warehouse = masterdata::codePart(m_fields.出库仓库);
    if (warehouse.isEmpty() || found.货位仓库 == warehouse)
        return false;
    const QString start =
        QStringLiteral("存货编码【") + found.item.存货编码 + QStringLiteral("】 的默认货位【") + found.item.货位编码;
    const QString message = found.货位仓库.isEmpty()
        ? start + QStringLiteral("】 不在货位档案中，未添加！！")
        : start + QStringLiteral("】 属于仓库【") + found.货位仓库 + u'|' + found.货位仓库名称
            + QStringLiteral("】，不属于出库仓库【") + m_fields.出库仓库 + QStringLiteral("】，未添加！！");
    写日志(visible(message));
    failScan(message + QStringLiteral("\r\n"), prompts::kScanFailed);
    return true;
}

void ScanStation::saveUnsavedLines()
{
    // Called after a write to the staging table succeeded: the lines that
    // could not be staged before are staged now, together with the others
    // in the grid's order and under their numbers, in one transaction.
    QVector<staging::Line> lines = gridLines();
    QStringList inGrid;
    for (const staging::Line& l : std::as_const(lines))
        inGrid << l.number;
    m_unsaved.erase(std::remove_if(m_unsaved.begin(), m_unsaved.end(),
                                   [&](const QString& lineNumber) { return !inGrid.contains(lineNumber); }),
                    m_unsaved.end());
    if (m_unsaved.isEmpty())
        return;
    if (!staging::rewrite(m_erp.记录集1, lines, staging::Numbering::AsTheyAre))
        return; // logged; the lines stay unsaved until the next write
    prependPrompt(QStringLiteral("之前未能保存的 ") + QString::number(m_unsaved.size())
                  + QStringLiteral(" 行出库明细已保存到缓存表！！\r\n"));
    m_unsaved.clear();
}

void ScanStation::updateStockHint()
{
    m_fields.现存量不足 = false;
    m_fields.现存量提示.clear();
    const QString code = m_fields.存货编码;
    if (code.isEmpty() || m_fields.现存量.isEmpty())
        return;
    Quantity total;
    for (int row : m_detail.rowsWith(code))
        total += quantityOrZero(m_detail.text(row, detailcolumn::Quantity));
    if (total.exceeds(m_fields.现存量)) {
        m_fields.现存量不足 = true;
        m_fields.现存量提示 =
            QStringLiteral("出库明细中本存货合计 ") + total.text() + QStringLiteral("，超过现存量 ") + m_fields.现存量;
    }
}

bool ScanStation::refuseWhileBusy(const QString& action)
{
    if (!m_busy)
        return false;
    prependPrompt(QStringLiteral("正在查询库存，请在查询结束后再") + action + QStringLiteral("！！\r\n"));
    return true;
}

void ScanStation::unlockQuantityCell(int row, int column)
{
    if (column == detailcolumn::Quantity)
        m_detail.unlock(row, column);
}

bool ScanStation::isValidQuantity(const QString& text)
{
    // Exactly what the staging table keeps: above 0, at most two decimals
    // and 16 digits before the point, written as plain decimal digits (a
    // clerk types no exponent). The voucher takes the same numbers.
    return Quantity::fromText(text).has_value();
}

bool ScanStation::reopenConnection()
{
    // One quiet attempt with the stored settings: a grid action does not
    // open the connection window; the next scan does when it is still
    // closed.
    return m_erp.isOpen() || m_erp.connectOnce();
}

void ScanStation::restoreQuantity(int row, const QString& oldQuantity, const QString& message)
{
    m_detail.setText(row, detailcolumn::Quantity, oldQuantity);
    prependPrompt(message);
    play(prompts::kScanFailed);
    updateStockHint();
    gridChanged();
    emit fieldsChanged();
    emit scanFocusRequested();
}

void ScanStation::quantityEdited(int row, const QString& oldQuantity)
{
    if (row < 1 || row >= m_detail.systemRowCount())
        return;
    const QString lineNumber = m_detail.text(row, detailcolumn::LineNumber);
    const QString typed = m_detail.text(row, detailcolumn::Quantity);
    const QString code = m_detail.text(row, detailcolumn::InventoryCode);

    // Only what the staging table keeps exactly is accepted, so that a
    // restart shows the same quantity; anything else would be changed by
    // the table or fail the voucher later.
    const std::optional<Quantity> kept = Quantity::fromText(typed);
    const QString putBack = QStringLiteral("行号【") + lineNumber + QStringLiteral("】 的数量恢复为【") + oldQuantity
        + QStringLiteral("】");
    if (!kept) {
        const QString message = QStringLiteral("数量【") + typed
            + QStringLiteral("】 无效：须为大于0的数，最多两位小数，小数点前最多16位；") + putBack
            + QStringLiteral("！！\r\n");
        写日志(QStringLiteral("存货编码【") + code + QStringLiteral("】 ") + logged(message));
        restoreQuantity(row, oldQuantity, message);
        return;
    }
    if (kept == Quantity::fromText(oldQuantity)) {
        // The same quantity typed again: nothing changed.
        m_detail.setText(row, detailcolumn::Quantity, oldQuantity);
        emit scanFocusRequested();
        return;
    }
    // The grid shows the quantity as the table keeps it ("1.50" → "1.5").
    const QString quantity = kept->text();
    if (quantity != typed)
        m_detail.setText(row, detailcolumn::Quantity, quantity);

    if (!reopenConnection()) {
        写日志(erplog::failure(QStringLiteral("修改缓存记录失败 ,"), staging::quantityStatement(lineNumber, quantity),
                               m_erp.数据库连接.lastError()));
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("U8连接已断开且无法重新连接，数量未保存，") + putBack
                            + QStringLiteral("！！\r\n"));
        return;
    }
    if (m_erp.数据库连接.isSqlite() && !kept->keptBySqlite()) {
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("数量【") + typed
                            + QStringLiteral("】 无效：当前ERP数据库只能准确保存小数点前最多")
                            + QString::number(Quantity::kSqliteWholeDigitsWithDecimals)
                            + QStringLiteral("位的带小数数量；") + putBack + QStringLiteral("！！\r\n"));
        return;
    }
    const QString stock = masterdata::stockOnHand(m_erp.记录集3, m_fields.出库仓库, code);
    if (stock.isEmpty()) {
        // Not knowing the stock is not stock 0: the clerk changes it again.
        写日志(erplog::failure(QStringLiteral("查询现存量失败 "),
                               masterdata::stockQuery(masterdata::codePart(m_fields.出库仓库), code),
                               m_erp.记录集3.lastError()));
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("读取U8现存量失败（") + failurecause::describe(m_erp.记录集3)
                            + QStringLiteral("），") + putBack + QStringLiteral("，请重新修改！！\r\n"));
        return;
    }
    if (kept->exceeds(stock)) {
        // The clerk decides in the window; the answer comes back through
        // answerQuestion(). Scans arriving meanwhile wait for it.
        m_question = OverStock{row, lineNumber, oldQuantity, quantity};
        emit questionAsked(QStringLiteral("当前数量【") + quantity + QStringLiteral("】 大于系统现存量 【") + stock
                               + QStringLiteral("】 是否还要保存？"),
                           QStringLiteral("出库数量超现存量"));
        return;
    }
    saveQuantity(row, lineNumber, oldQuantity, quantity);
}

void ScanStation::answerQuestion(bool yes)
{
    if (m_deleteAllAsked > 0) {
        m_deleteAllAsked = 0;
        if (yes)
            removeAllLines();
        else
            prependPrompt(QStringLiteral("未删除出库明细。\r\n"));
        emit scanFocusRequested();
        runPendingScans();
        return;
    }
    if (!m_question)
        return;
    const OverStock q = *m_question;
    m_question.reset();
    // The line may have moved while the question was open only if nothing
    // else touched the grid; its number finds it again.
    const int row = q.row;
    if (m_detail.text(row, detailcolumn::LineNumber) == q.number) {
        if (yes) {
            写日志(QStringLiteral("出库数量超现存量仍保存：行号【") + q.number + QStringLiteral("】 存货编码【")
                   + m_detail.text(row, detailcolumn::InventoryCode) + QStringLiteral("】 数量【") + q.quantity
                   + QStringLiteral("】"));
            saveQuantity(row, q.number, q.oldQuantity, q.quantity);
        } else {
            m_detail.setText(row, detailcolumn::Quantity, q.oldQuantity);
            写日志(QStringLiteral("出库数量超现存量未保存：行号【") + q.number + QStringLiteral("】 存货编码【")
                   + m_detail.text(row, detailcolumn::InventoryCode) + QStringLiteral("】 数量【") + q.quantity
                   + QStringLiteral("】 恢复为【") + q.oldQuantity + QStringLiteral("】"));
            prependPrompt(QStringLiteral("行号【") + q.number + QStringLiteral("】 的数量超现存量，未保存，恢复为【")
                          + q.oldQuantity + QStringLiteral("】\r\n"));
            updateStockHint();
            gridChanged();
            emit fieldsChanged();
            emit scanFocusRequested();
        }
    }
    runPendingScans();
}

void ScanStation::saveQuantity(int row, const QString& lineNumber, const QString& oldQuantity, const QString& quantity)
{
    const QString putBack = QStringLiteral("行号【") + lineNumber + QStringLiteral("】 的数量恢复为【") + oldQuantity
        + QStringLiteral("】");
    // Every accepted quantity is staged, within stock as well, so that a
    // restart shows what the grid showed. When it cannot be, the grid goes
    // back to the quantity the table still holds.
    if (!staging::changeQuantity(m_erp.记录集1, lineNumber, quantity)) {
        const QString reason = failurecause::describe(m_erp.记录集1);
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("数量【") + quantity + QStringLiteral("】 未能保存到缓存表")
                            + (reason.isEmpty() ? QString() : QStringLiteral("（") + reason + QStringLiteral("）"))
                            + QStringLiteral("，") + putBack + QStringLiteral("！！\r\n"));
        return;
    }
    const QString item = m_detail.text(row, detailcolumn::InventoryCode);
    prependPrompt(QStringLiteral("行号【") + lineNumber + QStringLiteral("】 存货编码【") + item
                  + QStringLiteral("】 的数量由【") + oldQuantity + QStringLiteral("】 改为【") + quantity
                  + QStringLiteral("】\r\n"));
    写日志(QStringLiteral("修改出库数量：行号【") + lineNumber + QStringLiteral("】 存货编码【") + item
           + QStringLiteral("】 数量【") + oldQuantity + QStringLiteral("】 改为【") + quantity + QStringLiteral("】"));
    saveUnsavedLines();
    updateStockHint();
    gridChanged();
    emit fieldsChanged();
    emit scanFocusRequested();
}

void ScanStation::showLines(const QVector<staging::Line>& topFirst)
{
    QVector<QStringList> rows;
    rows.reserve(topFirst.size());
    for (const staging::Line& line : topFirst)
        rows << cellsOf(line);
    m_detail.clearRows();
    m_detail.insertTopRows(rows);
    m_detail.lockAll();
}

bool ScanStation::rewriteStaging(const QVector<staging::Line>& before, const QStringList& removed)
{
    // The remaining lines are numbered 1…n from the top. The deleted lines'
    // rows go and the others are renumbered with one UPDATE, in one
    // transaction; only when the table did not hold the grid's lines (or
    // every line was deleted) is it replaced by the grid's lines. When that
    // fails nothing of it stays in the table, and the grid goes back to the
    // lines the table still holds, so that the clerk sees what a restart or
    // the voucher would see.
    QVector<staging::Line> lines = gridLines();
    reopenConnection();
    // Lines that could not be staged are not in the table: it is written
    // whole, and they with it.
    const int unsaved = int(m_unsaved.size());
    staging::Removed removal{staging::Removal::NotAsGrid, {}};
    if (!removed.isEmpty() && !lines.isEmpty() && m_unsaved.isEmpty())
        removal = staging::removeLines(m_erp.记录集1, lines, removed);
    bool followed = removal.result == staging::Removal::Done;
    QString why = removal.why;
    if (removal.result == staging::Removal::NotAsGrid) {
        const staging::Rewritten rewritten = staging::rewrite(m_erp.记录集1, lines);
        followed = rewritten.done;
        why = rewritten.why;
    }
    if (followed) {
        for (int i = 0; i < lines.size(); ++i)
            m_detail.setText(i + 1, detailcolumn::LineNumber, lines[i].number);
        m_unsaved.clear();
        if (unsaved > 0 && !lines.isEmpty())
            prependPrompt(QStringLiteral("之前未能保存的出库明细已随删除保存到缓存表！！\r\n"));
    } else {
        QVector<staging::Line> staged;
        const bool reloaded = reopenConnection() && staging::loadLines(m_erp.记录集1, staged);
        QString kept;
        if (reloaded) {
            std::reverse(staged.begin(), staged.end());
            const int tableLines = int(staged.size());
            showLines(m_unsaved.isEmpty() ? staged : withUnsavedLines(staged, before));
            const int keptLines = m_detail.dataRowCount() - tableLines;
            kept = QString::number(tableLines) + QStringLiteral(" 行");
            if (keptLines > 0)
                kept += QStringLiteral("，另有未能保存到缓存表的 ") + QString::number(keptLines)
                    + QStringLiteral(" 行仍保留在出库明细中，下次写入缓存表成功时补存");
        } else {
            // The table cannot be read either: the rollback left it as it
            // was before the deletion, and so is the grid.
            showLines(before);
            kept = QString::number(m_detail.dataRowCount()) + QStringLiteral(" 行");
        }
        prependPrompt(QStringLiteral("删除未能保存到缓存表（") + why + QStringLiteral("），出库明细已恢复为")
                      + (reloaded ? QStringLiteral("缓存表中的 ") : QStringLiteral("删除前的 ")) + kept
                      + QStringLiteral("！！\r\n"));
        play(prompts::kScanFailed);
    }
    updateStockHint();
    gridChanged();
    emit fieldsChanged();
    return followed;
}

void ScanStation::logDeleted(const QString& how, const QVector<staging::Line>& removed)
{
    if (removed.isEmpty())
        return;
    QStringList lines;
    for (const staging::Line& line : removed)
        lines << described(line);
    写日志(QStringLiteral("删除出库明细（") + how + QStringLiteral("）") + QString::number(removed.size())
           + QStringLiteral(" 行：") + lines.join(QStringLiteral("；")));
}

QVector<staging::Line> ScanStation::withUnsavedLines(const QVector<staging::Line>& staged,
                                                     const QVector<staging::Line>& before)
{
    // The grid before the failed deletion gives the order: each of its lines
    // as the table holds it, or as the grid held it when it was never
    // staged. Table lines the grid did not show go below them.
    QVector<staging::Line> rest = staged;
    QVector<staging::Line> shown;
    QStringList stillUnsaved;
    for (const staging::Line& line : before) {
        const auto inTable =
            std::find_if(rest.begin(), rest.end(), [&](const staging::Line& l) { return l.number == line.number; });
        if (inTable != rest.end()) {
            shown << *inTable;
            rest.erase(inTable);
        } else if (m_unsaved.contains(line.number)) {
            shown << line;
            stillUnsaved << line.number;
        }
    }
    m_unsaved = stillUnsaved;
    return shown + rest;
}

void ScanStation::deleteCurrentLine(int row)
{
    const QVector<staging::Line> before = gridLines();
    const QString removed = m_detail.text(row, detailcolumn::LineNumber);
    const QVector<staging::Line> gone = before.mid(row - 1, row >= 1 ? 1 : 0);
    m_detail.removeSystemRow(row);
    if (rewriteStaging(before, {removed}))
        logDeleted(QStringLiteral("删除当前行"), gone);
}

void ScanStation::deleteSelectedLines(int first, int last)
{
    const QVector<staging::Line> before = gridLines();
    QStringList removed;
    QVector<staging::Line> gone;
    for (int i = first; i <= last; ++i) {
        if (first >= 1 && first <= m_detail.dataRowCount())
            gone << lineOf(m_detail.rowTexts(first));
        removed << m_detail.text(first, detailcolumn::LineNumber);
        m_detail.removeSystemRow(first);
    }
    if (rewriteStaging(before, removed))
        logDeleted(QStringLiteral("删除选中行"), gone);
}

void ScanStation::deleteAllLines()
{
    const int count = m_detail.dataRowCount();
    if (count == 0) {
        prependPrompt(QStringLiteral("出库明细没有行，无需删除。\r\n"));
        emit scanFocusRequested();
        return;
    }
    if (isAsking())
        return;
    // Asked first: No is the box's default, so a scanner's Enter cannot
    // empty the grid.
    m_deleteAllAsked = count;
    emit questionAsked(QStringLiteral("确定删除出库明细的全部 ") + QString::number(count)
                           + QStringLiteral(" 行吗？删除后不能恢复。"),
                       QStringLiteral("删除所有行"));
}

void ScanStation::removeAllLines()
{
    const QVector<staging::Line> before = gridLines();
    m_detail.clearRows();
    if (rewriteStaging(before, {})) {
        logDeleted(QStringLiteral("删除所有行"), before);
        prependPrompt(QStringLiteral("已删除出库明细全部 ") + QString::number(before.size())
                      + QStringLiteral(" 行\r\n"));
    }
}

void ScanStation::undoLastScan()
{
    if (m_detail.dataRowCount() == 0) {
        const QString message = QStringLiteral("出库明细中没有可撤销的行！！\r\n");
        写日志(logged(message));
        failScan(message, prompts::kScanFailed);
        return;
    }
    // New lines always go on top and deletions keep the order: the top
    // line is the one the newest remaining scan added.
    const QVector<staging::Line> before = gridLines();
    const staging::Line top = before.first();
    m_detail.removeSystemRow(1);
    if (!rewriteStaging(before, {top.number}))
        return;
    logDeleted(QStringLiteral("撤销最后一次扫码"), {top});
    prependPrompt(QStringLiteral("已撤销最后一次扫码：删除行号【") + top.number + QStringLiteral("】 存货编码【")
                  + top.inventoryCode + QStringLiteral("】\r\n"));
    play(prompts::kScanSucceeded);
}

QVector<staging::Line> ScanStation::gridLines() const
{
    QVector<staging::Line> lines;
    lines.reserve(m_detail.dataRowCount());
    for (int row = 1; row < m_detail.systemRowCount(); ++row)
        lines << lineOf(m_detail.rowTexts(row));
    return lines;
}

void ScanStation::clearDetailGrid()
{
    m_detail.clearRows();
    m_unsaved.clear();
    updateStockHint();
    gridChanged();
    emit fieldsChanged();
}

int ScanStation::gbkLength(const QString& text)
{
    return int(textcodec::toGbk(text).size());
}

QString ScanStation::searchPattern(const QString& keyword)
{
    QString pattern = keyword;
    pattern.replace(u' ', u'%');
    return textcodec::trimBlanks(pattern);
}

void ScanStation::setBusy(bool busy)
{
    m_busy = busy;
    emit busyChanged(busy);
}

bool ScanStation::search(const QString& keyword)
{
    if (!keywordLongEnough(keyword)) {
        prependPrompt(QStringLiteral("查询关键字【") + keyword
                      + QStringLiteral("】 太短：请至少输入3个字母或数字，或2个汉字\r\n"));
        return false;
    }
    if (refuseWhileBusy(QStringLiteral("查询")))
        return false;

    const QString pattern = searchPattern(keyword);
    setBusy(true);
    m_stock.clearRows();
    m_searchItems.clear();
    m_searchNext = 0;

    if (!masterdata::searchInventory(m_erp.记录集2, pattern, m_searchItems)) {
        写日志(QStringLiteral("查询现存量失败 ") + masterdata::searchQuery(pattern));
        emit keywordFocusRequested();
        m_stock.setText(m_stock.appendRow(), stockcolumn::LineNumber, QStringLiteral("没有查到相关记录"));
        finishSearch();
        return true;
    }
    m_erp.记录集2.close();
    // The stock of every item found comes in one statement, so a search
    // costs two round trips however many items it finds.
    m_searchStock.clear();
    if (!m_searchItems.isEmpty()
        && !masterdata::stockOnHandOfSearch(m_erp.记录集3, m_fields.出库仓库, pattern, m_searchStock)) {
        写日志(QStringLiteral("查询现存量失败 ") + masterdata::searchStockQuery(m_fields.出库仓库, pattern));
        m_searchStock.clear();
        for (const masterdata::Inventory& item : std::as_const(m_searchItems))
            m_searchStock.insert(item.存货编码.toUpper(), QString()); // unknown, shown empty
    }
    if (m_searchItems.isEmpty()) {
        prependPrompt(QStringLiteral("没有查到与关键字【") + keyword + QStringLiteral("】 相关的存货\r\n"));
        finishSearch();
        return true;
    }
    emit progressChanged(0, int(m_searchItems.size()));
    // The stock of each item is read piece by piece from the timer; the
    // items themselves are in memory, so no record set stays open between
    // pieces.
    m_searchTimer.start();
    return true;
}

void ScanStation::searchChunk()
{
    const int count = int(m_searchItems.size());
    QElapsedTimer piece;
    piece.start();
    QVector<QStringList> rows;
    while (m_searchNext < count && (rows.isEmpty() || piece.elapsed() < kChunkInterval)) {
        const masterdata::Inventory& item = m_searchItems[m_searchNext];
        const QString stock = m_searchStock.value(item.存货编码.toUpper(), QStringLiteral("0"));
        ++m_searchNext;
        rows << QStringList{QString::number(m_searchNext),
                            item.存货编码,
                            item.存货名称,
                            item.规格型号,
                            item.单位,
                            stock,
                            item.货位编码,
                            item.货位名称};
    }
    m_stock.appendRows(rows);
    emit progressChanged(m_searchNext, count);
    if (m_searchNext >= count)
        finishSearch();
}

void ScanStation::cancelSearch()
{
    if (m_busy)
        finishSearch();
}

void ScanStation::finishSearch()
{
    m_searchTimer.stop();
    m_searchItems.clear();
    m_searchStock.clear();
    m_stock.lockAll();
    setBusy(false);
    runPendingScans();
}

void ScanStation::runPendingScans()
{
    while (!m_pendingScans.isEmpty() && !m_busy && !isAsking() && !m_boxOpen)
        handleScan(m_pendingScans.takeFirst());
}

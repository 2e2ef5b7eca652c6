#include "station/ScanStation.h"

#include "erp_ui/SessionConnect.h"

#include "app/Clock.h"
#include "app/OperationLog.h"
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "erp/ErpLog.h"
#include "erp/ErpSession.h"
#include "erp/MasterData.h"
#include "ui/MessageBox.h"
#include "ui/PromptPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace {

const QString kHeaderSection = QStringLiteral("材料出库单表头");
const QString kProductionSection = QStringLiteral("生产课");

// Stock and quantities differ only when they differ by more than this.
constexpr double kTolerance = 0.0000001;

// While a search fills its grid the window gets to handle its events at
// least this often (milliseconds): the scanner's keys get through and the
// progress bar moves, without a repaint per listed item.
constexpr qint64 kYieldInterval = 25;

double numberOrZero(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString numberText(double value)
{
    return QString::asprintf("%.13g", value);
}

staging::Line lineOf(const QStringList& cells)
{
    return {cells.value(0), cells.value(1), cells.value(2), cells.value(3), cells.value(4), cells.value(5),
            cells.value(6), cells.value(7), cells.value(8), cells.value(9), cells.value(10)};
}

QStringList cellsOf(const staging::Line& l)
{
    return {l.hh, l.chbm, l.chmc, l.ggxh, l.dw, l.sl, l.hwbm, l.llr, l.llbm, l.sb, l.sj};
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

ScanStation::ScanStation(ErpSession& erp, QObject* parent) : QObject(parent), m_erp(erp) {}

bool ScanStation::setUp()
{
    m_fields.出库仓库 = settings::readKey(kHeaderSection, QStringLiteral("仓库"));
    m_fields.经手人 = settings::readKey(kHeaderSection, QStringLiteral("经手人"));
    m_fields.出库类别 = settings::readKey(kHeaderSection, QStringLiteral("出库类别"));
    checkHeader();
    emit fieldsChanged();

    m_detail.setColumns(kDetailCaptions, kDetailWidths);
    // The stock hint adds up the lines of one item at every scan.
    m_detail.setKeyColumn(1);
    if (!staging::ensureTable(m_erp.记录集1))
        return false;
    if (staging::hasLines(m_erp.记录集1)) {
        QVector<staging::Line> lines;
        if (!staging::loadLines(m_erp.记录集1, lines))
            return false;
        // Each record goes on top of the ones before it: the grid shows the
        // query's last record first.
        std::reverse(lines.begin(), lines.end());
        showLines(lines);
    }
    m_detail.lockAll();
    m_stock.setColumns(kStockCaptions, kStockWidths);
    m_stock.lockAll();
    emit scanFocusRequested();
    return true;
}

void ScanStation::checkHeader()
{
    QString failedQuery;
    m_fields.表头核对 =
        headercheck::check(m_erp.记录集2, m_fields.出库仓库, m_fields.经手人, m_fields.出库类别, &failedQuery);
    if (!m_fields.表头核对.checked)
        写日志(QStringLiteral("核对材料出库单表头失败  ") + failedQuery);
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

void ScanStation::ensureConnection()
{
    if (!m_erp.isOpen())
        erpui::connectSession(m_erp, m_owner);
}

void ScanStation::emptyScanField()
{
    m_fields.条码.clear();
    emit scanFieldChanged(m_fields.条码);
}

void ScanStation::handleScan(const QString& text)
{
    if (m_busy) {
        // The search is using the record sets; the scan is kept, not lost,
        // and handled when the search has finished.
        m_pendingScans << text;
        emptyScanField();
        return;
    }
    m_fields.条码 = text;
    const QString code = textcodec::trimBlanks(text);
    if (code.startsWith(u'R'))
        handlePerson(code.mid(1));
    else if (code.startsWith(u'S'))
        handleDevice(code.mid(1));
    else if (code.startsWith(u'%'))
        return; // scanner set-up codes: not for this window
    else
        handleMaterial(code);
    emit fieldsChanged();
    emit scanFieldChanged(m_fields.条码);
}

void ScanStation::failRead(const QString& failureText, const QString& query, const RecordSet& rs)
{
    // A query that could not run says nothing about the master data: the
    // clerk is told to scan again, not to check the archive, and the IT
    // person finds the engine's reason in the log.
    写日志(erplog::failure(failureText, query, rs.lastError()));
    failScan(QStringLiteral("读取U8数据失败（数据库忙、被其他程序锁定或连接已断开），条码【")
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
        prependPrompt(QStringLiteral("未查找到工号【") + jobNumber + QStringLiteral("】 的记录，请与系统管理员联系！\r\n"));
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
        failScan(QStringLiteral("未查找到设备编码【") + deviceCode
                     + QStringLiteral("】 的设备 请确认设备信息表中是否有增加！！\r\n"),
                 prompts::kScanFailed);
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
        failScan(QStringLiteral("请先刷人员条码！！\r\n"), prompts::kScanEmployeeCard);
        return;
    }
    masterdata::Inventory item;
    // The unit and the default bin position come with the item (joins of
    // the inventory query).
    if (!masterdata::findInventory(m_erp.记录集2, code, item)) {
        failRead(QStringLiteral("查询存货失败 "), masterdata::inventoryQuery(code), m_erp.记录集2);
        return;
    }
    if (item.货位编码.isEmpty()) {
        const QString message = QStringLiteral("未查找到存货编码【") + code
            + QStringLiteral("】 的货位编码 请查询存货档案是否有设备默认货位！！");
        写日志(message);
        failScan(message + QStringLiteral("\r\n"), prompts::kScanFailed);
        return;
    }

    // Stock on hand is read before anything changes: when it cannot be
    // read, the scan changes nothing and is to be repeated.
    const QString stock = masterdata::stockOnHand(m_erp.记录集3, m_fields.出库仓库, item.存货编码);
    if (stock.isEmpty()) {
        failRead(QStringLiteral("查询现存量失败 "),
                 masterdata::stockQuery(masterdata::codePart(m_fields.出库仓库), item.存货编码), m_erp.记录集3);
        return;
    }

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
    const staging::Line line{QString::number(m_detail.rowCount()),
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

    // Outside the production section a device applies to one line only.
    if (m_fields.领料部门 != kProductionSection) {
        m_fields.设备.clear();
        m_fields.设备名称.clear();
        m_fields.线别.clear();
    }
    m_fields.条码.clear();
    m_detail.lockAll();
    updateStockHint();

    // The staged row is exactly the new grid row. A line that cannot be
    // staged stays in the grid (the voucher still issues it), but the clerk
    // has to know it would be gone after a restart.
    if (staging::stageLine(m_erp.记录集1, line, staging::InsertFor::Scan)) {
        prependPrompt(QStringLiteral("存货编码【") + item.存货编码 + QStringLiteral("】 添加成功！！\r\n"));
        play(prompts::kScanSucceeded);
    } else {
        prependPrompt(QStringLiteral("存货编码【") + item.存货编码
                      + QStringLiteral("】 已加入出库明细，但未能保存到缓存表，程序重启后不会恢复！！\r\n"));
        play(prompts::kScanFailed);
    }
}

void ScanStation::updateStockHint()
{
    m_fields.现存量不足 = false;
    m_fields.现存量提示.clear();
    const QString code = m_fields.存货编码;
    if (code.isEmpty() || m_fields.现存量.isEmpty())
        return;
    double total = 0;
    for (int row : m_detail.rowsWith(code))
        total += numberOrZero(m_detail.text(row, 5));
    const double stock = numberOrZero(m_fields.现存量);
    if (total - stock > kTolerance) {
        m_fields.现存量不足 = true;
        m_fields.现存量提示 = QStringLiteral("出库明细中本存货合计 ") + numberText(total)
            + QStringLiteral("，超过现存量 ") + m_fields.现存量;
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
    if (column == 5 && !refuseWhileBusy(QStringLiteral("修改数量")))
        m_detail.unlock(row, 5);
}

bool ScanStation::isValidQuantity(const QString& text)
{
    // Exactly what the staging table keeps: above 0, at most two decimals
    // and 16 digits before the point, written as plain decimal digits (a
    // clerk types no exponent). The voucher takes the same numbers.
    return !staging::keptQuantity(text).isEmpty();
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
    m_detail.setText(row, 5, oldQuantity);
    prependPrompt(message);
    play(prompts::kScanFailed);
    updateStockHint();
    emit fieldsChanged();
    emit scanFocusRequested();
}

void ScanStation::quantityEdited(int row, const QString& oldQuantity)
{
    if (row < 1 || row >= m_detail.rowCount())
        return;
    const QString hh = m_detail.text(row, 0);
    const QString typed = m_detail.text(row, 5);
    const QString code = m_detail.text(row, 1);

    // An edit that ends while a search fills its grid is put back; the
    // clerk is told to change it again once the search is done.
    if (refuseWhileBusy(QStringLiteral("修改数量"))) {
        m_detail.setText(row, 5, oldQuantity);
        return;
    }

    // Only what the staging table keeps exactly is accepted, so that a
    // restart shows the same quantity; anything else would be changed by
    // the table or fail the voucher later.
    const QString quantity = staging::keptQuantity(typed);
    const QString putBack = QStringLiteral("行号【") + hh + QStringLiteral("】 的数量恢复为【") + oldQuantity
        + QStringLiteral("】");
    if (quantity.isEmpty()) {
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("数量【") + typed
                            + QStringLiteral("】 无效：须为大于0的数，最多两位小数，小数点前最多16位；") + putBack
                            + QStringLiteral("！！\r\n"));
        return;
    }
    // The grid shows the quantity as the table keeps it ("1.50" → "1.5").
    if (quantity != typed)
        m_detail.setText(row, 5, quantity);

    if (!reopenConnection()) {
        写日志(erplog::failure(QStringLiteral("修改缓存记录失败 ,"), staging::quantityStatement(hh, quantity),
                               m_erp.数据库连接.lastError()));
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("U8连接已断开且无法重新连接，数量未保存，") + putBack + QStringLiteral("！！\r\n"));
        return;
    }
    const QString stock = masterdata::stockOnHand(m_erp.记录集3, m_fields.出库仓库, code);
    if (stock.isEmpty()) {
        // Not knowing the stock is not stock 0: the clerk changes it again.
        写日志(erplog::failure(QStringLiteral("查询现存量失败 "),
                               masterdata::stockQuery(masterdata::codePart(m_fields.出库仓库), code),
                               m_erp.记录集3.lastError()));
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("读取U8现存量失败（数据库忙、被其他程序锁定或连接已断开），") + putBack
                            + QStringLiteral("，请重新修改！！\r\n"));
        return;
    }
    if (numberOrZero(quantity) - numberOrZero(stock) > kTolerance) {
        const bool keep = msgbox::askYesNo(QStringLiteral("当前数量【") + quantity + QStringLiteral("】 大于系统现存量 【")
                                               + stock + QStringLiteral("】 是否还要保存？"),
                                           QStringLiteral("出库数量超现存量"), msgbox::Icon::Question, m_owner);
        if (!keep) {
            m_detail.setText(row, 5, oldQuantity);
            updateStockHint();
            emit fieldsChanged();
            emit scanFocusRequested();
            return;
        }
    }
    // Every accepted quantity is staged, within stock as well, so that a
    // restart shows what the grid showed. When it cannot be, the grid goes
    // back to the quantity the table still holds.
    if (!staging::changeQuantity(m_erp.记录集1, hh, quantity)) {
        const QString reason = m_erp.记录集1.lastError();
        restoreQuantity(row, oldQuantity,
                        QStringLiteral("数量【") + quantity + QStringLiteral("】 未能保存到缓存表")
                            + (reason.isEmpty() ? QString() : QStringLiteral("（") + reason + QStringLiteral("）"))
                            + QStringLiteral("，") + putBack + QStringLiteral("！！\r\n"));
        return;
    }
    updateStockHint();
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

void ScanStation::rewriteStaging(const QVector<staging::Line>& before, const QStringList& removed)
{
    // The remaining lines are numbered 1…n from the top. The deleted lines'
    // rows go and the others are renumbered with one UPDATE, in one
    // transaction; only when the table did not hold the grid's lines (or
    // every line was deleted) is it replaced by the grid's lines. When that
    // fails nothing of it stays in the table, and the grid goes back to the
    // lines the table still holds, so that the clerk sees what a restart or
    // the voucher would see.
    QVector<staging::Line> lines = gridLines();
    QString why;
    reopenConnection();
    staging::Removal removal = staging::Removal::NotAsGrid;
    if (!removed.isEmpty() && !lines.isEmpty())
        removal = staging::removeLines(m_erp.记录集1, lines, removed, &why);
    if (removal == staging::Removal::Done
        || (removal == staging::Removal::NotAsGrid && staging::rewrite(m_erp.记录集1, lines, &why))) {
        for (int i = 0; i < lines.size(); ++i)
            m_detail.setText(i + 1, 0, lines[i].hh);
    } else {
        QVector<staging::Line> staged;
        const bool reloaded = reopenConnection() && staging::loadLines(m_erp.记录集1, staged);
        if (reloaded) {
            std::reverse(staged.begin(), staged.end());
            showLines(staged);
        } else {
            // The table cannot be read either: the rollback left it as it
            // was before the deletion, and so is the grid.
            showLines(before);
        }
        prependPrompt(QStringLiteral("删除未能保存到缓存表（") + why + QStringLiteral("），出库明细已恢复为")
                      + (reloaded ? QStringLiteral("缓存表中的 ") : QStringLiteral("删除前的 "))
                      + QString::number(m_detail.dataRowCount()) + QStringLiteral(" 行！！\r\n"));
        play(prompts::kScanFailed);
    }
    updateStockHint();
    emit fieldsChanged();
}

void ScanStation::deleteCurrentLine(int row)
{
    if (refuseWhileBusy(QStringLiteral("删除出库明细")))
        return;
    const QVector<staging::Line> before = gridLines();
    const QString removed = m_detail.text(row, 0);
    m_detail.removeRow(row);
    rewriteStaging(before, {removed});
}

void ScanStation::deleteSelectedLines(int first, int last)
{
    if (refuseWhileBusy(QStringLiteral("删除出库明细")))
        return;
    const QVector<staging::Line> before = gridLines();
    QStringList removed;
    for (int i = first; i <= last; ++i) {
        removed << m_detail.text(first, 0);
        m_detail.removeRow(first);
    }
    rewriteStaging(before, removed);
}

void ScanStation::deleteAllLines()
{
    if (refuseWhileBusy(QStringLiteral("删除出库明细")))
        return;
    const QVector<staging::Line> before = gridLines();
    m_detail.clearRows();
    rewriteStaging(before, {});
}

QVector<staging::Line> ScanStation::gridLines() const
{
    QVector<staging::Line> lines;
    lines.reserve(m_detail.dataRowCount());
    for (int row = 1; row < m_detail.rowCount(); ++row)
        lines << lineOf(m_detail.rowTexts(row));
    return lines;
}

void ScanStation::clearDetailGrid()
{
    m_detail.clearRows();
    updateStockHint();
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
    if (!keywordLongEnough(keyword))
        return false;
    if (refuseWhileBusy(QStringLiteral("查询")))
        return false;

    const QString pattern = searchPattern(keyword);
    QPointer<ScanStation> self(this);
    m_cancel = false;
    setBusy(true);
    m_stock.clearRows();

    QVector<masterdata::Inventory> items;
    if (!masterdata::searchInventory(m_erp.记录集2, pattern, items)) {
        写日志(QStringLiteral("查询现存量失败 ") + masterdata::searchQuery(pattern));
        emit keywordFocusRequested();
        m_stock.setText(m_stock.appendRow(), 0, QStringLiteral("没有查到相关记录"));
        setBusy(false);
        runPendingScans();
        return true;
    }
    if (!items.isEmpty()) {
        const int count = int(items.size());
        emit progressChanged(0, count);
        QElapsedTimer sinceYield;
        sinceYield.start();
        for (int i = 1; i <= count && !m_cancel; ++i) {
            const masterdata::Inventory& item = items[i - 1];
            const QString stock = masterdata::stockOnHand(m_erp.记录集3, m_fields.出库仓库, item.存货编码);
            m_stock.appendRows({{QString::number(i), item.存货编码, item.存货名称, item.规格型号, item.单位, stock,
                                 item.货位编码, item.货位名称}});
            emit progressChanged(i, count);
            if (sinceYield.elapsed() >= kYieldInterval || i == count) {
                QCoreApplication::processEvents();
                if (!self)
                    return true;
                sinceYield.restart();
            }
        }
        m_stock.lockAll();
    }
    m_erp.记录集2.close();
    setBusy(false);
    runPendingScans();
    return true;
}

void ScanStation::runPendingScans()
{
    while (!m_pendingScans.isEmpty() && !m_busy)
        handleScan(m_pendingScans.takeFirst());
}

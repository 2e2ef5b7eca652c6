#include "station/ScanStation.h"

#include "app/Clock.h"
#include "app/OperationLog.h"
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "erp/ErpLog.h"
#include "erp/ErpSession.h"
#include "erp/MasterData.h"
#include "ui/PromptPlayer.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace {

const QString kHeaderSection = QStringLiteral("材料出库单表头");
const QString kProductionSection = QStringLiteral("生产课");

// Stock and quantities differ only when they differ by more than this.
constexpr double kTolerance = 0.0000001;

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
    if (m_busy || m_question) {
        // A search is filling its grid or a question waits for the clerk:
        // the scan is kept, not lost, and handled after it, in order.
        m_pendingScans << text;
        emptyScanField();
        prependPrompt(QString::number(m_pendingScans.size()) + QStringLiteral(" 个条码等待处理\r\n"));
        return;
    }
    m_fields.条码 = text;
    if (code.startsWith(u'R'))
        handlePerson(code.mid(1));
    else if (code.startsWith(u'S'))
        handleDevice(code.mid(1));
    else if (code.startsWith(u'%'))
        // A scanner set-up code read at the counter: answered, never kept
        // in the field where the next scans would be appended to it.
        failScan(QStringLiteral("条码【") + code + QStringLiteral("】 是扫码枪设置码，不是出库条码，未处理！！\r\n"),
                 prompts::kScanFailed);
    else
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
        写日志(QStringLiteral("未查找到存货编码【") + visible(code)
               + QStringLiteral("】 的货位编码 请查询存货档案是否有设备默认货位！！"));
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
        total += numberOrZero(m_detail.text(row, detailcolumn::Quantity));
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
    if (column == detailcolumn::Quantity)
        m_detail.unlock(row, column);
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
    m_detail.setText(row, detailcolumn::Quantity, oldQuantity);
    prependPrompt(message);
    play(prompts::kScanFailed);
    updateStockHint();
    emit fieldsChanged();
    emit scanFocusRequested();
}

void ScanStation::quantityEdited(int row, const QString& oldQuantity)
{
    if (row < 1 || row >= m_detail.systemRowCount())
        return;
    const QString hh = m_detail.text(row, detailcolumn::LineNumber);
    const QString typed = m_detail.text(row, detailcolumn::Quantity);
    const QString code = m_detail.text(row, detailcolumn::InventoryCode);

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
        m_detail.setText(row, detailcolumn::Quantity, quantity);

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
        // The clerk decides in the window; the answer comes back through
        // answerQuestion(). Scans arriving meanwhile wait for it.
        m_question = OverStock{row, hh, oldQuantity, quantity};
        emit questionAsked(QStringLiteral("当前数量【") + quantity + QStringLiteral("】 大于系统现存量 【") + stock
                               + QStringLiteral("】 是否还要保存？"),
                           QStringLiteral("出库数量超现存量"));
        return;
    }
    saveQuantity(row, hh, oldQuantity, quantity);
}

void ScanStation::answerQuestion(bool yes)
{
    if (!m_question)
        return;
    const OverStock q = *m_question;
    m_question.reset();
    // The line may have moved while the question was open only if nothing
    // else touched the grid; its number finds it again.
    const int row = q.row;
    if (m_detail.text(row, detailcolumn::LineNumber) == q.hh) {
        if (yes) {
            写日志(QStringLiteral("出库数量超现存量仍保存：行号【") + q.hh + QStringLiteral("】 存货编码【")
                   + m_detail.text(row, detailcolumn::InventoryCode) + QStringLiteral("】 数量【") + q.quantity
                   + QStringLiteral("】"));
            saveQuantity(row, q.hh, q.oldQuantity, q.quantity);
        } else {
            m_detail.setText(row, detailcolumn::Quantity, q.oldQuantity);
            updateStockHint();
            emit fieldsChanged();
            emit scanFocusRequested();
        }
    }
    runPendingScans();
}

void ScanStation::saveQuantity(int row, const QString& hh, const QString& oldQuantity, const QString& quantity)
{
    const QString putBack = QStringLiteral("行号【") + hh + QStringLiteral("】 的数量恢复为【") + oldQuantity
        + QStringLiteral("】");
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
            m_detail.setText(i + 1, detailcolumn::LineNumber, lines[i].hh);
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
    const QVector<staging::Line> before = gridLines();
    const QString removed = m_detail.text(row, detailcolumn::LineNumber);
    m_detail.removeSystemRow(row);
    rewriteStaging(before, {removed});
}

void ScanStation::deleteSelectedLines(int first, int last)
{
    const QVector<staging::Line> before = gridLines();
    QStringList removed;
    for (int i = first; i <= last; ++i) {
        removed << m_detail.text(first, detailcolumn::LineNumber);
        m_detail.removeSystemRow(first);
    }
    rewriteStaging(before, removed);
}

void ScanStation::deleteAllLines()
{
    const QVector<staging::Line> before = gridLines();
    m_detail.clearRows();
    rewriteStaging(before, {});
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
        rows << QStringList{QString::number(m_searchNext), item.存货编码, item.存货名称, item.规格型号, item.单位,
                            stock, item.货位编码, item.货位名称};
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
    while (!m_pendingScans.isEmpty() && !m_busy && !m_question)
        handleScan(m_pendingScans.takeFirst());
}

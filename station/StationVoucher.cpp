#include "station/StationVoucher.h"

#include "app/CommandCodes.h"
#include "app/OperationLog.h"
#include "app/Prompts.h"
#include "bookings/IdentityCounters.h"
#include "erp/ErpSession.h"
#include "erp_ui/SessionConnect.h"
#include "station/ScanStation.h"

#include <QTimer>

namespace {

// A click queued while the window was blocked by the writing would reach
// the button as soon as it is enabled again and report an empty grid over
// the voucher's number; the button therefore stays disabled a moment longer.
constexpr int kReenableDelayMs = 400;

VoucherErp erpOf(ScanStation& station, QWidget* owner)
{
    ErpSession& erp = station.erp();
    return VoucherErp{erp.数据库连接, erp.记录集1, erp.记录集3, erp.账套号,
                      [&erp, owner = QPointer<QWidget>(owner)] { erpui::connectSession(erp, owner); }};
}

} // namespace

StationVoucher::StationVoucher(ScanStation& station, QWidget* owner)
    : QObject(owner)
    , m_station(station)
    , m_owner(owner)
    , m_writer(erpOf(station, owner), *this)
{
}

StationVoucher::Outcome StationVoucher::press()
{
    if (m_writer.isWriting() || m_station.refuseWhileBusy(QStringLiteral("生成材料出库单")))
        return {};
    const QVector<staging::Line> lines = m_station.gridLines();
    if (m_station.isWriteArmed() && m_station.isArmedFor(lines)) {
        m_station.disarmWrite();
        return generate();
    }
    // A changed grid disarms at once; this is the last guard: only the
    // lines that were shown are written.
    m_station.disarmWrite();
    if (!m_station.fields().表头核对.checked)
        m_station.checkHeader();
    // Nothing to write, or a header that did not check out: the writer
    // refuses before anything is sent, at the first press.
    if (lines.isEmpty() || !m_station.fields().表头核对.refusal().isEmpty())
        return generate();

    const ScanStation::LineSummary summary = ScanStation::summaryOf(lines);
    m_station.prependPrompt(
        QStringLiteral("即将生成材料出库单：出库明细 ") + QString::number(summary.lines)
        + QStringLiteral(" 行，领料人 ") + QString::number(summary.collectors.size()) + QStringLiteral(" 位（")
        + summary.collectors.join(QStringLiteral("、")) + QStringLiteral("），合计数量 ") + summary.total
        + QStringLiteral("\r\n再按一次“生成材料出库单”、按F12或扫描 ") + commandcodes::writeVoucher()
        + QStringLiteral(" 即写入；扫描 ") + commandcodes::cancel() + QStringLiteral(" 或修改出库明细则取消\r\n"));
    m_station.armWrite(lines);
    m_station.play(prompts::kScanSucceeded);
    m_station.focusScanField();
    Outcome outcome;
    outcome.previewed = true;
    return outcome;
}

StationVoucher::Outcome StationVoucher::generate()
{
    if (m_writer.isWriting() || m_station.refuseWhileBusy(QStringLiteral("生成材料出库单")))
        return {};
    // A header that could not be checked when the window opened (the ERP
    // did not answer then) is checked now.
    if (!m_station.fields().表头核对.checked)
        m_station.checkHeader();
    const StationFields& f = m_station.fields();
    const QVector<staging::Line> lines = m_station.gridLines();
    m_notice = {};
    Outcome outcome;
    outcome.written = m_writer.click({f.出库仓库, f.经手人, f.出库类别, f.表头核对.refusal()}, lines);
    outcome.notice = m_notice;
    if (outcome.written) {
        const ScanStation::LineSummary summary = ScanStation::summaryOf(lines);
        写日志(QStringLiteral("生成材料出库单【") + m_writer.lastVoucherCode() + QStringLiteral("】：出库明细 ")
               + QString::number(summary.lines) + QStringLiteral(" 行，合计数量 ") + summary.total
               + QStringLiteral("，领料人 ") + summary.collectors.join(QStringLiteral("、")));
    }
    return outcome;
}

StationVoucher::Notice StationVoucher::updateCounters()
{
    if (m_writer.isWriting() || m_station.refuseWhileBusy(QStringLiteral("更新最大单据号")))
        return {};
    ErpSession& erp = m_station.erp();
    const identitycounters::RequestOutcome outcome = identitycounters::updateOnRequest(erp.记录集1, erp.账套号);
    return {outcome.message, outcome.updated ? msgbox::Icon::Information : msgbox::Icon::Question};
}

void StationVoucher::setWriting(bool writing)
{
    if (writing) {
        m_history = m_station.promptText();
        emit writingChanged(true);
        return;
    }
    QTimer::singleShot(kReenableDelayMs, this, [this] { emit writingChanged(false); });
}

void StationVoucher::showPrompt(const QString& text)
{
    paintPrompt(text + QStringLiteral("\r\n") + m_history);
}

void StationVoucher::replacePrompt(const QString& text)
{
    // A written voucher's number goes on top; the history stays below it.
    paintPrompt(text + QStringLiteral("\r\n") + m_history);
}

void StationVoucher::paintPrompt(const QString& text)
{
    m_station.setPromptText(text);
    // The window handles no input while the voucher is written; painting
    // now lets the clerk see that it is at work.
    if (m_owner) {
        if (auto* prompt = m_owner->findChild<QWidget*>(QStringLiteral("编辑框_提示")))
            prompt->repaint();
    }
}

void StationVoucher::playPrompt(const QString& fileName)
{
    m_station.play(fileName);
}

void StationVoucher::clearLines()
{
    m_station.clearDetailGrid();
}

void StationVoucher::resetScanField()
{
    m_station.emptyScanField();
    m_station.focusScanField();
}

void StationVoucher::showMessage(const QString& text)
{
    m_notice = {text, msgbox::Icon::None};
}

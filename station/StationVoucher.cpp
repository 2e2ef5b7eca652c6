#include "station/StationVoucher.h"

#include "bookings/IdentityCounters.h"
#include "erp/ErpSession.h"
#include "erp_ui/SessionConnect.h"
#include "station/ScanStation.h"
#include "ui/MessageBox.h"

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
    : QObject(owner), m_station(station), m_owner(owner), m_writer(erpOf(station, owner), *this)
{
}

bool StationVoucher::generate()
{
    if (m_writer.isWriting() || m_station.refuseWhileBusy(QStringLiteral("生成材料出库单")))
        return false;
    // A header that could not be checked when the window opened (the ERP
    // did not answer then) is checked now.
    if (!m_station.fields().表头核对.checked)
        m_station.checkHeader();
    const StationFields& f = m_station.fields();
    return m_writer.click({f.出库仓库, f.经手人, f.出库类别, f.表头核对.refusal()}, m_station.gridLines());
}

void StationVoucher::updateCounters()
{
    if (m_writer.isWriting() || m_station.refuseWhileBusy(QStringLiteral("更新最大单据号")))
        return;
    ErpSession& erp = m_station.erp();
    const identitycounters::RequestOutcome outcome = identitycounters::updateOnRequest(erp.记录集1, erp.账套号);
    msgbox::show(outcome.message, outcome.updated ? msgbox::Icon::Information : msgbox::Icon::Question,
                 msgbox::kDefaultCaption, m_owner);
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
    replacePrompt(text + QStringLiteral("\r\n") + m_history);
}

void StationVoucher::replacePrompt(const QString& text)
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
    msgbox::show(text, msgbox::Icon::None, msgbox::kDefaultCaption, m_owner);
}

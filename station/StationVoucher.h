#pragma once
// The scanning window's two voucher buttons. 按钮_生成材料出库单 writes the
// detail grid's lines as one material-issue voucher, on its second press; 按钮_更新最大单据号
// brings the ERP's identity counters up to date. The voucher writer holds
// the logic; this class carries its requests out on the station (prompt
// field, prompts, detail grid, scan field), so the prompt field's history
// and the grid stay the station's own.
#include "bookings/VoucherView.h"
#include "bookings/VoucherWriter.h"
#include "ui/MessageBox.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class ScanStation;

class StationVoucher : public QObject, public VoucherView {
    Q_OBJECT
public:
    // What the window is to show in a message box after an action; nothing
    // when text is empty. This class shows no box of its own.
    struct Notice {
        QString text;
        msgbox::Icon icon = msgbox::Icon::None;
    };
    struct Outcome {
        bool written = false; // a voucher was written
        bool previewed = false; // the first press: what would be written is shown
        Notice notice;
    };

    // owner is the scanning window: the connection window opens over it,
    // and its prompt field is painted while writing.
    StationVoucher(ScanStation& station, QWidget* owner);

    // 按钮_生成材料出库单, F12 and #QM-WRITE. The first press shows in the
    // prompt field what would be written (lines, collectors, total
    // quantity) and waits; the second press writes exactly those lines.
    // Any change of the grid, and #QM-CANCEL, cancels the waiting voucher.
    // What cannot be written (no lines, a header that did not check out)
    // is refused at the first press. Nothing starts while a stock search
    // fills its grid or a voucher is being written.
    Outcome press();
    // Writes the grid's lines at once. Returns whether a voucher was
    // written, and a box for the window when the counters could not follow.
    Outcome generate();
    // 按钮_更新最大单据号: what its box is to say.
    Notice updateCounters();

    bool isWriting() const { return m_writer.isWriting(); }

signals:
    // The generate button is to be disabled (true) or may be enabled again
    // (false).
    void writingChanged(bool writing);

private:
    void setWriting(bool writing) override;
    void showPrompt(const QString& text) override;
    void replacePrompt(const QString& text) override;
    void playPrompt(const QString& fileName) override;
    void clearLines() override;
    void resetScanField() override;
    void showMessage(const QString& text) override;
    void paintPrompt(const QString& text);

    ScanStation& m_station;
    QPointer<QWidget> m_owner;
    VoucherWriter m_writer;
    // The prompt field's text when the click began: the writer's messages
    // go in front of it.
    QString m_history;
    // A box the writer asked for during the current click.
    Notice m_notice;
};

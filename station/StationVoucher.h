#pragma once
// The scanning window's two voucher buttons. 按钮_生成材料出库单 writes the
// detail grid's lines as one material-issue voucher; 按钮_更新最大单据号
// brings the ERP's identity counters up to date. The voucher writer holds
// the logic; this class carries its requests out on the station (prompt
// field, prompts, detail grid, scan field), so the prompt field's history
// and the grid stay the station's own.
#include "bookings/VoucherView.h"
#include "bookings/VoucherWriter.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class ScanStation;

class StationVoucher : public QObject, public VoucherView {
    Q_OBJECT
public:
    // owner is the scanning window: it owns the message boxes and the
    // connection window, and its prompt field is painted while writing.
    StationVoucher(ScanStation& station, QWidget* owner);

    // 按钮_生成材料出库单. Nothing starts while a stock search fills its
    // grid or a voucher is being written. Returns whether a voucher was
    // written.
    bool generate();
    // 按钮_更新最大单据号, with its two message boxes.
    void updateCounters();

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

    ScanStation& m_station;
    QPointer<QWidget> m_owner;
    VoucherWriter m_writer;
    // The prompt field's text when the click began: the writer's messages
    // go in front of it.
    QString m_history;
};

#pragma once
// What the voucher writer asks of the window it runs in (the scanning
// window's button 按钮_生成材料出库单). The writer holds the logic; the
// window only carries these requests out, so a test can record them.
#include <QString>

class VoucherView {
public:
    virtual ~VoucherView() = default;
    // Writing started (true) or ended (false): the window disables the
    // button meanwhile.
    virtual void setWriting(bool writing) = 0;
    // Shows a message of the writer in front of the prompt history of
    // 编辑框_提示 as it stood when the click began; the click's next message
    // takes its place, so that the history (earlier warnings included) is
    // never lost. Each line of text ends with a line break in the field.
    virtual void showPrompt(const QString& text) = 0;
    // Replaces the whole text of the prompt field: a written voucher begins
    // a new history.
    virtual void replacePrompt(const QString& text) = 0;
    // Plays one of the prompts of app/Prompts.h (prompts::k…).
    virtual void playPrompt(const QString& fileName) = 0;
    // Deletes every data row of the detail grid.
    virtual void clearLines() = 0;
    // Empties the scan field 编辑框_条码 and puts the focus into it.
    virtual void resetScanField() = 0;
    // A plain message box (OK, no icon, caption "信息：").
    virtual void showMessage(const QString& text) = 0;
};

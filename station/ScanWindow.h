#pragma once
// ScanWindow (objectName 窗口_在线扫码出库): the scanning station. Workers scan their personnel
// card, a device and the materials into 编辑框_条码; the clerk corrects the
// lines in the detail grid, searches stock on the second tab and writes the
// material-issue voucher. The window only shows and forwards: what a scan,
// an edit or a search does lives in ScanStation.
#include "station/ScanStation.h"
#include "station/StationVoucher.h"

#include <QDialog>
#include <QPointer>

class ErpSession;
class PromptPlayer;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMessageBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class QTimer;

class ScanWindow : public QDialog {
    Q_OBJECT
public:
    // The window works on the start window's ERP session and speaks through
    // player (nullptr: silent). owner is the start window.
    ScanWindow(ErpSession& erp, PromptPlayer* player, QWidget* owner = nullptr);

    ScanStation& station() { return m_station; }

    // The created handler's steps; run by the constructor.
    void onCreated();

    // 按钮_生成材料出库单 (also F12 and #QM-WRITE): the first press shows
    // what would be written, the second writes the grid's lines as one
    // material-issue voucher.
    void 生成材料出库单();
    // 按钮_更新最大单据号: brings the ERP's identity counters up to date.
    void 更新最大单据号();

signals:
    // A question or message box is about to open (tests answer it).
    void questionShown(QMessageBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void fitScreen();
    void applyStyle();
    void showFields();
    void showScanText(const QString& text);
    void showPrompt(const QString& prepended);
    void showBusy(bool busy);
    void tick();
    void startSearch();
    bool scanKey(QKeyEvent* key);
    void detailDoubleClicked(const QModelIndex& index);
    void detailCellEdited(const QPersistentModelIndex& index, const QString& oldText);
    void showDetailMenu(const QPoint& pos);
    int cursorRow() const;
    void focusScanField();
    void askQuestion(const QString& text, const QString& caption);
    // A message box of the station: the scanner's codes typed while it is
    // open are kept and handled after it.
    // later: once the current handler has returned.
    void showNotice(const StationVoucher::Notice& notice, bool later = false);
    // Catches the keys of a box that is about to open.
    void catchBoxKeys(QMessageBox& box);
    bool questionKey(QKeyEvent* key);
    // A key typed while the focus is on a button, the tab bar, a grid or
    // another control that takes no text: a scanner types wherever the focus
    // is, so its codes go to the scan field.
    bool strayKey(QWidget* watched, QKeyEvent* key);
    void showSummary();
    void showWriteArmed(bool armed);

    ScanStation m_station;
    StationVoucher* m_voucher = nullptr;

    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QLineEdit* 编辑框_条码 = nullptr;
    QLineEdit* 编辑框_查询库存关键字 = nullptr;
    QLineEdit* 编辑框_现存量 = nullptr;
    QPushButton* 按钮_生成材料出库单 = nullptr;
    QPushButton* 按钮_更新最大单据号 = nullptr;
    QPushButton* 按钮_查询 = nullptr;
    QProgressBar* 进度条_查询进度 = nullptr;
    QPlainTextEdit* 编辑框_提示 = nullptr;
    QTabWidget* 选择夹1 = nullptr;
    QTableView* 高级表格_材料出库单明细 = nullptr;
    QTableView* 高级表格_库存查询 = nullptr;
    QLabel* 透明标签_时间 = nullptr;
    QLabel* 标签_合计 = nullptr;
    QTimer* 时钟1 = nullptr;
    QMenu* 出库明细右键 = nullptr;
    // Display fields and the StationFields member each shows.
    QList<QPair<QLineEdit*, QString StationFields::*>> m_fieldBoxes;
    // Controls whose keys go to the scan field (strayKey).
    QList<QWidget*> m_keyRedirected;
    // The open question or message box, and what the scanner typed into it
    // so far.
    QPointer<QWidget> m_question;
    QString m_questionScan;
};

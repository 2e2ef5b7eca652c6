#pragma once
// What the personnel and device label windows share: the settings boxes
// and their save buttons, the printer list, the grid of rows read from the
// ERP, and printing one label per ticked row.
#include "labels/LabelKind.h"
#include "labels/LabelPrinter.h"
#include "labels/LabelReader.h"

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <utility>

class DropDownList;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QResizeEvent;
class QTableWidget;
class RecordSet;

class LabelWindow : public QDialog {
    Q_OBJECT
public:
    // Rows of the grid as the system counts them: row 0 is the caption row,
    // data rows are 1 to dataRowCount().
    int dataRowCount() const;
    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);

    // Tests send the jobs somewhere else than the named printer.
    LabelPrinter& labelPrinter() { return m_printer; }

protected:
    struct Layout {
        QString objectName;
        QString caption;
        QRect window;
        QRect group;
        QRect grid;
        QString readCaption;
        bool ownsMessages; // whether this window owns its message boxes
        QPoint side; // top-left of the column right of the grid: 全选,
                     // 全不选, 预览 and the filter box
    };
    LabelWindow(const LabelKind& kind, const Layout& layout, RecordSet& records, QWidget* parent);

public:
    // Ticks or unticks every row the filter shows.
    void tickAll(bool ticked);
    // Shows only the rows whose code, name or group contains the text
    // (any case); "" shows them all.
    void filterRows(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

    QGroupBox* 分组框1 = nullptr;
    QTableWidget* 高级表格_人员 = nullptr;

private:
    void 载入设置();
    void 设置表格();
    void 保存纸张();
    void 保存二维码();
    void 保存边距();
    void 保存打印机();
    void 列出打印机();
    void 读取();
    void 打印();
    void 预览();
    QList<LabelJob> tickedJobs() const;
    LabelSettings currentBoxes() const;
    void showSaveResult(bool written, const QString& error);
    QWidget* messageOwner();

    const LabelKind& m_kind;
    RecordSet& m_records;
    LabelPrinter m_printer;
    bool m_ownsMessages;

    QLineEdit* 编辑框_纸张长 = nullptr;
    QLineEdit* 编辑框_纸张宽 = nullptr;
    QPushButton* 按钮_纸张设置 = nullptr;
    QLineEdit* 编辑框_二维码长 = nullptr;
    QLineEdit* 编辑框_二维码宽 = nullptr;
    QPushButton* 按钮_二维码设置 = nullptr;
    QLineEdit* 编辑框_上 = nullptr;
    QLineEdit* 编辑框_下 = nullptr;
    QLineEdit* 编辑框_左 = nullptr;
    QLineEdit* 编辑框_右 = nullptr;
    QPushButton* 按钮_边距设置 = nullptr;
    DropDownList* 组合框_打印机 = nullptr;
    QPushButton* 按钮_默认打印机 = nullptr;
    QPushButton* 按钮_读取U8 = nullptr;
    QPushButton* 按钮_打印 = nullptr;
    QPushButton* 按钮_预览 = nullptr;
    QPushButton* 按钮_全选 = nullptr;
    QPushButton* 按钮_全不选 = nullptr;
    QLineEdit* 编辑框_筛选 = nullptr;
    // The design sizes from which the grid and the side column grow.
    QSize m_designSize;
    QRect m_designGrid;
    QList<std::pair<QWidget*, QPoint>> m_side;
};

#pragma once
// Wires the scanning window's two voucher buttons to the voucher writer and
// the identity counters, so that the window itself only holds controls.
//
// window holds, by these object names:
//   按钮_生成材料出库单, 按钮_更新最大单据号   (QAbstractButton)
//   编辑框_提示                               (QPlainTextEdit or QTextEdit)
//   编辑框_条码, 编辑框_出库仓库, 编辑框_经手人, 编辑框_出库类别 (QLineEdit)
// gridLines gives the data rows of the detail grid in grid order (row 1
// first), each as the grid's columns 0-10; clearGrid deletes every data
// row. The writer lives as long as window. Returns false, wiring nothing,
// when a control is missing.
#include "StagingTable.h"

#include <QVector>

#include <functional>

class ErpSession;
class PromptPlayer;
class QWidget;

bool connectVoucherButtons(QWidget* window, ErpSession& session, PromptPlayer& player,
                           std::function<QVector<staging::Line>()> gridLines, std::function<void()> clearGrid);

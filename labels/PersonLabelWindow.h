#pragma once
// 窗口_人员条码打印: reads the personnel with a job number from the ERP and
// prints one label per ticked person: the QR code "R" + job number and the
// person's name beside it.
#include "labels/LabelWindow.h"

class 窗口_人员条码打印 : public LabelWindow {
public:
    explicit 窗口_人员条码打印(RecordSet& 记录集2, QWidget* parent = nullptr);

private:
    QPushButton* 按钮_全选 = nullptr;
    QPushButton* 按钮_全不选 = nullptr;
};

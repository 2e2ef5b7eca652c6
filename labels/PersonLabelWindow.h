#pragma once
// 窗口_人员条码打印: reads the personnel with a job number from the ERP and
// prints one label per ticked person: the QR code "R" + job number, the
// job number under it and the name beside it.
#include "labels/LabelWindow.h"

class PersonLabelWindow : public LabelWindow {
    Q_OBJECT
public:
    explicit PersonLabelWindow(RecordSet& 记录集2, QWidget* parent = nullptr);
};

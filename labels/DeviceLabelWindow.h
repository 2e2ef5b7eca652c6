#pragma once
// 窗口_设备码打印: reads the device archive from the ERP and prints one
// label per ticked device: the QR code "S" + device code, nothing else.
#include "labels/LabelWindow.h"

class 窗口_设备码打印 : public LabelWindow {
public:
    explicit 窗口_设备码打印(RecordSet& 记录集2, QWidget* parent = nullptr);
};

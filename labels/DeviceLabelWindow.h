#pragma once
// 窗口_设备码打印: reads the device archive from the ERP and prints one
// label per ticked device: the QR code "S" + device code, and the device
// code and name under it where the label has room.
#include "labels/LabelWindow.h"

class DeviceLabelWindow : public LabelWindow {
    Q_OBJECT
public:
    explicit DeviceLabelWindow(RecordSet& 记录集2, QWidget* parent = nullptr);
};

#include "labels/DeviceLabelWindow.h"

DeviceLabelWindow::DeviceLabelWindow(RecordSet& 记录集2, QWidget* parent)
    : LabelWindow(LabelKind::device(),
                  {QStringLiteral("窗口_设备码打印"), QStringLiteral("设备码打印"), QRect(50, 50, 1002, 598),
                   QRect(8, 8, 984, 96), QRect(8, 109, 728, 443), QStringLiteral("读取U8设备档案"), false,
                   QPoint(752, 117)},
                  记录集2, parent)
{
}

#include "labels/PersonLabelWindow.h"

PersonLabelWindow::PersonLabelWindow(RecordSet& 记录集2, QWidget* parent)
    : LabelWindow(LabelKind::person(),
                  {QStringLiteral("窗口_人员条码打印"), QStringLiteral("打印人员条码"), QRect(50, 50, 996, 413),
                   QRect(0, 3, 984, 96), QRect(0, 104, 728, 272), QStringLiteral("读取U8人员档案"), true,
                   QPoint(744, 112)},
                  记录集2, parent)
{
}

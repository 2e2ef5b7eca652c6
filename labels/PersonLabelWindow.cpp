#include "labels/PersonLabelWindow.h"

#include "ui/Controls.h"

#include <QPushButton>

窗口_人员条码打印::窗口_人员条码打印(RecordSet& 记录集2, QWidget* parent)
    : LabelWindow(LabelKind::person(),
                  {QStringLiteral("窗口_人员条码打印"), QStringLiteral("打印人员条码"), QRect(50, 50, 996, 413),
                   QRect(0, 3, 984, 96), QRect(0, 104, 728, 272), QStringLiteral("读取U8人员档案"), true,
                   QRect(744, 208, 80, 32)},
                  记录集2, parent)
{
    按钮_全选 = controls::make<QPushButton>(this, QStringLiteral("按钮_全选"), 744, 112, 80, 32, QStringLiteral("全选"));
    按钮_全不选 =
        controls::make<QPushButton>(this, QStringLiteral("按钮_全不选"), 744, 160, 80, 32, QStringLiteral("全不选"));
    for (QPushButton* b : {按钮_全选, 按钮_全不选})
        b->setAutoDefault(false);
    connect(按钮_全选, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(按钮_全不选, &QPushButton::clicked, this, [this] { tickAll(false); });
}

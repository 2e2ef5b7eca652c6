#include "labels/LabelKind.h"

const LabelKind& LabelKind::person()
{
    static const LabelKind kind{
        QStringLiteral("人员打印机配制"),
        QStringLiteral("select  ry.JobNumber as 工号,cPsn_Name as 姓名,bm.cDepName as 部门名称 from hr_hi_person ry "
                       "inner join department bm on ry.cDept_num=bm.cDepCode  and ry.JobNumber is not null "
                       "order by ry.JobNumber"),
        {QStringLiteral("工号"), QStringLiteral("姓名"), QStringLiteral("部门名称")},
        {QStringLiteral("工号"), QStringLiteral("姓名"), QStringLiteral("部门"), QStringLiteral("二维码")},
        QStringLiteral("R"),
        QStringLiteral("人员二维码打印"),
        true,
    };
    return kind;
}

const LabelKind& LabelKind::device()
{
    static const LabelKind kind{
        QStringLiteral("设备打印机配制"),
        QStringLiteral("select  cNo as 当前设备号,cx as 当前线别,cCardName as 当前设备名称 from U8CUSTDEF_0001_E001 "
                       "where cNo is not null"),
        {QStringLiteral("当前设备号"), QStringLiteral("当前设备名称"), QStringLiteral("当前线别")},
        {QStringLiteral("设备编码"), QStringLiteral("设备名称"), QStringLiteral("线别"), QStringLiteral("二维码")},
        QStringLiteral("S"),
        QStringLiteral("设备二维码打印"),
        false,
    };
    return kind;
}

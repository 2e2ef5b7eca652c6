#include "station/MaterialRefusal.h"

#include "erp/RecordSet.h"
#include "erp/SqlText.h"

#include <QDateTime>

namespace materialrefusal {

QString statusQuery(const QString& scannedCode)
{
    return QStringLiteral("select top 1 inv.cInvCode as 存货编码,inv.dEDate as 停用日期,dw.cComUnitName as 单位,"
                          "inv.cPosition as 货位编码 from inventory inv left join ComputationUnit dw on "
                          "dw.cComunitCode=inv.cComUnitCode where inv.cInvCode ='")
        + sqltext::quoted(scannedCode) + QStringLiteral("'");
}

Finding find(RecordSet& rs, const QString& scannedCode)
{
    Finding f;
    if (!rs.open(statusQuery(scannedCode)))
        return f;
    rs.readText(QStringLiteral("存货编码"), f.code);
    QString unit;
    rs.readText(QStringLiteral("单位"), unit);
    // Any end date ends the item, also one the program cannot read as a date.
    QString endText;
    rs.readText(QStringLiteral("停用日期"), endText);
    const bool hasEnd = !endText.trimmed().isEmpty();
    QDateTime ended;
    if (hasEnd && !rs.readDateTime(QStringLiteral("停用日期"), ended))
        ended = QDateTime(QDate::fromString(endText.trimmed().left(10), QStringLiteral("yyyy-MM-dd")), QTime());
    rs.close();
    if (f.code.isEmpty())
        f.cause = Cause::NotFound;
    else if (hasEnd) {
        f.cause = Cause::Ended;
        f.endDate = ended.date();
    } else if (unit.isEmpty())
        f.cause = Cause::NoUnit;
    else
        f.cause = Cause::NoBin;
    return f;
}

QString message(const QString& code, const Finding& finding)
{
    const QString item = QStringLiteral("存货编码【") + code + QStringLiteral("】 ");
    switch (finding.cause) {
    case Cause::NotFound:
        return QStringLiteral("未查找到存货编码【") + code + QStringLiteral("】 的存货档案，请确认条码是否正确！！");
    case Cause::Ended:
        return item + QStringLiteral("已停用")
            + (finding.endDate.isValid() ? QStringLiteral("（停用日期 ")
                       + finding.endDate.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("）")
                                         : QString())
            + QStringLiteral("，不能出库！！");
    case Cause::NoUnit:
        return item + QStringLiteral("的存货档案没有计量单位，请在存货档案中补充计量单位！！");
    case Cause::NoBin:
        break;
    }
    return QStringLiteral("未查找到存货编码【") + code
        + QStringLiteral("】 的货位编码 请查询存货档案是否有设备默认货位！！");
}

} // namespace materialrefusal

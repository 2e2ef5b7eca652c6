#include "bookings/VoucherHeaderCheck.h"

#include "app/OperationLog.h"
#include "app/TextCodec.h"
#include "erp/MasterData.h"
#include "erp/RecordSet.h"

namespace headercheck {

using headerlists::Kind;

QString Result::refusal() const
{
    if (!checked)
        return QStringLiteral("无法从ERP核对材料出库单表头，材料出库单未生成！");
    QStringList faults;
    for (const QString* f : {&出库仓库, &经手人, &出库类别})
        if (!f->isEmpty())
            faults << *f;
    if (faults.isEmpty())
        return {};
    return QStringLiteral("材料出库单表头有误：") + faults.join(QStringLiteral("；"))
        + QStringLiteral("，材料出库单未生成！");
}

QString fault(Kind kind, const QString& value, const QStringList& items)
{
    const QString caption = headerlists::caption(kind);
    if (value.isEmpty())
        return caption + QStringLiteral("未设置，请在启动窗口选择后保存设置");
    const QString shown = caption + QStringLiteral("【") + value + QStringLiteral("】");
    const int at = headerlists::indexOfCode(items, masterdata::codePart(value));
    if (at < 0)
        return shown + QStringLiteral("在ERP中不存在");
    const QString name = textcodec::trimBlanks(masterdata::namePart(value));
    if (name.isEmpty())
        return shown + QStringLiteral("没有名称");
    if (name != textcodec::trimBlanks(masterdata::namePart(items[at])))
        return shown + QStringLiteral("的名称与ERP不符，ERP中为【") + items[at] + QStringLiteral("】");
    return {};
}

Result check(RecordSet& rs, const QString& warehouse, const QString& handler, const QString& category)
{
    Result result;
    const struct {
        Kind kind;
        const QString& value;
        QString Result::*fault;
    } fields[] = {{Kind::Warehouse, warehouse, &Result::出库仓库},
                  {Kind::Handler, handler, &Result::经手人},
                  {Kind::Category, category, &Result::出库类别}};
    for (int i = 0; i < 3; ++i) {
        const QString query = headerlists::query(fields[i].kind);
        const std::optional<QStringList> items = headerlists::readItems(rs, query);
        if (!items) {
            写日志(QStringLiteral("核对材料出库单表头失败  ") + query);
            return result;
        }
        result.*(fields[i].fault) = fault(fields[i].kind, fields[i].value, *items);
    }
    result.checked = true;
    return result;
}

} // namespace headercheck

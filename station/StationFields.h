#pragma once
// The texts the scanning window shows in its edit boxes. The station's
// logic works on these; the window only mirrors them into its controls.
#include "bookings/VoucherHeaderCheck.h"

#include <QString>

struct StationFields {
    // Voucher header values ("code|name"), read from set.ini at opening.
    QString 出库仓库;
    QString 经手人;
    QString 出库类别;
    // How the three header values checked out against the ERP at opening.
    headercheck::Result 表头核对;

    // The scan field.
    QString 条码;

    // The last material line added.
    QString 存货编码;
    QString 存货名称;
    QString 规格型号;
    QString 单位;
    QString 数量;
    QString 现存量;
    QString 货位编码;
    QString 货位名称;

    // The current collector.
    QString 领料人;
    QString 领料部门;
    QString 领料线别;

    // The current device.
    QString 设备;
    QString 设备名称;
    QString 线别;

    // Set when the grid's lines of the shown material together exceed its
    // stock on hand; the hint says by how much. Shown only: a scan is never
    // refused for lack of stock.
    bool 现存量不足 = false;
    QString 现存量提示;
};

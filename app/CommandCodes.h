#pragma once
// Command barcodes: codes the clerk scans at the counter instead of reaching
// for the mouse. Each starts with "#QM-", which no badge ("R…"), device
// ("S…") or ERP material code starts with; the station takes a scan of that
// form as a command (letters in either case) and never looks it up as a
// material. The scanner set-up window prints them with their captions.
#include <QString>

namespace commandcodes {

// Writes the staged lines as one voucher (the same as 生成材料出库单).
inline QString writeVoucher()
{
    return QStringLiteral("#QM-WRITE");
}
// Deletes the line the last material scan added (an undo of that scan).
inline QString undoLastScan()
{
    return QStringLiteral("#QM-UNDO");
}
// Cancels what is pending: an open question or a voucher awaiting its
// second press.
inline QString cancel()
{
    return QStringLiteral("#QM-CANCEL");
}

inline QString prefix()
{
    return QStringLiteral("#QM-");
}
inline bool isCommand(const QString& scan)
{
    return scan.startsWith(prefix(), Qt::CaseInsensitive);
}

} // namespace commandcodes

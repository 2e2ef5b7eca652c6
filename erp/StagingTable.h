#pragma once
// The staging table ckmx: the outbound lines scanned at the station, one
// row per line of the detail grid, kept in the account-set database until
// they are written as one material-issue voucher. Staged lines survive a
// restart of the program. The table has no station or user column: every
// station on an account set shares one set of staged lines.
//
// Every operation runs on the record set it is given (the program passes
// 记录集1) and closes it again. Failures are written to the operation log
// as the failure text followed by the statement; none is shown to the user.
//
// Values stand in the statements as quoted texts with ' doubled; the
// quantity stands bare in the insert and is refused before anything is sent
// when it is not a quantity (a number above 0 with at most 16 digits before
// the point, sqltext::isQuantity), in the quantity change as well.
#include <QString>
#include <QVector>

class RecordSet;

namespace staging {

// One staged line, in the order of the grid columns 0-10.
struct Line {
    QString hh;   // 行号: decimal line number 1…n
    QString chbm; // 存货编码
    QString chmc; // 存货名称
    QString ggxh; // 规格型号
    QString dw;   // 单位
    QString sl;   // 数量: a number text as the grid holds it
    QString hwbm; // 货位编码
    QString llr;  // 领料人
    QString llbm; // 领料部门
    QString sb;   // 设备, may be empty
    QString sj;   // 时间: "YYYY-MM-DD hh:mm:ss"

    bool operator==(const Line&) const = default;
};

// The statements, exactly as they are sent.
QString existsQuery(const QString& table);
QString createStatement();
QString countQuery();
QString loadQuery();
QString insertStatement(const Line& line);
QString quantityStatement(const QString& hh, const QString& quantity);
QString removeStatement(const QString& hh);
QString removeAllStatement();

// Whether the table exists: only when the query runs, its field hs can be
// read and is not 0. Nothing is logged.
bool tableExists(RecordSet& rs, const QString& table);

// Creates ckmx. Nothing is logged; the caller gives up on failure.
bool createTable(RecordSet& rs);

// Creates ckmx unless it exists. False only when creating it failed.
bool ensureTable(RecordSet& rs);

// Whether ckmx holds staged lines. A failed count is logged and reads as
// none.
bool hasLines(RecordSet& rs);

// The staged lines in the order the load query returns them (the caller
// shows them in reverse). The quantity is read as a number and given with
// at most 13 significant digits, the time as "YYYY-MM-DD hh:mm:ss". False
// when the query fails or returns no row.
bool loadLines(RecordSet& rs, QVector<Line>& lines);

// Which failure text a failed insert is logged with.
enum class InsertFor { Scan, Rewrite };

// Stages one line. A quantity sqltext::isQuantity refuses fails without
// sending anything.
bool stageLine(RecordSet& rs, const Line& line, InsertFor purpose = InsertFor::Scan);

// Sets the quantity of line hh. A quantity sqltext::isQuantity refuses fails
// without sending.
bool changeQuantity(RecordSet& rs, const QString& hh, const QString& quantity);

// Removes line hh; a line number that is not staged succeeds without effect.
bool removeLine(RecordSet& rs, const QString& hh);

// Removes every staged line.
bool removeAll(RecordSet& rs);

// After grid lines were deleted: numbers the remaining lines 1…n from the
// top (in lines, which the caller copies back into the grid's column 0),
// empties the table and stages every line again. A failing removal or
// insert is logged and the rewrite goes on.
void rewrite(RecordSet& rs, QVector<Line>& lines);

} // namespace staging

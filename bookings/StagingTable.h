#pragma once
// The staging table ckmx: the outbound lines scanned at the station, one
// row per line of the detail grid, kept in the account-set database until
// they are written as one material-issue voucher. Staged lines survive a
// restart of the program. The table has no station or user column: every
// station on an account set shares one set of staged lines.
//
// Every operation runs on the record set it is given (the program passes
// 记录集1) and closes it again. Failures are written to the operation log
// as the failure text followed by the statement; telling the user is the
// caller's part.
//
// Values stand in the statements as quoted texts with ' doubled; the
// quantity stands bare in the insert and is refused before anything is sent
// when it is not a Quantity the table keeps exactly, in the quantity change
// as well.
#include "bookings/Quantity.h"

#include <QString>
#include <QVector>

class RecordSet;

namespace staging {

// One staged line, its fields in the order of the grid columns 0-10 (the
// table's columns hh, chbm, chmc, ggxh, dw, sl, hwbm, llr, llbm, sb, sj).
struct Line {
    QString number; // 行号: decimal line number 1…n
    QString inventoryCode; // 存货编码
    QString inventoryName; // 存货名称
    QString model; // 规格型号
    QString unit; // 单位
    QString quantity; // 数量: the text the grid holds (a Quantity's text once staged)
    QString binCode; // 货位编码
    QString collector; // 领料人
    QString department; // 领料部门
    QString device; // 设备, may be empty
    QString time; // 时间: "YYYY-MM-DD hh:mm:ss"

    bool operator==(const Line&) const = default;
};

// The statements, exactly as they are sent.
QString existsQuery(const QString& table);
QString createStatement();
QString countQuery();
QString loadQuery();
QString insertStatement(const Line& line);
QString quantityStatement(const QString& lineNumber, const QString& quantity);
QString removeStatement(const QString& lineNumber);
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
// shows them in reverse). The quantity is read as the column's decimal
// text, never through a double, so it comes back exactly as it was staged;
// the time as "YYYY-MM-DD hh:mm:ss". False only when the query fails; an
// empty table gives no lines.
bool loadLines(RecordSet& rs, QVector<Line>& lines);

// Which failure text a failed insert is logged with.
enum class InsertFor { Scan, Rewrite };

// Stages one line. A quantity that is no Quantity, or one the engine does
// not keep exactly, fails without sending anything.
bool stageLine(RecordSet& rs, const Line& line, InsertFor purpose = InsertFor::Scan);

// Sets the quantity of line lineNumber. A quantity the engine does not
// keep exactly fails without sending.
bool changeQuantity(RecordSet& rs, const QString& lineNumber, const QString& quantity);

// Removes line hh; a line number that is not staged succeeds without effect.
bool removeLine(RecordSet& rs, const QString& lineNumber);

// Removes every staged line.
bool removeAll(RecordSet& rs);

// After grid lines were deleted: numbers the remaining lines (top line
// first) 1…n, in lines, which the caller copies back into the grid's
// column 0, empties the table and stages every line again, the bottom line
// first, the order in which scans stage them (so that the next opening of
// the window, which puts each loaded line on top of the ones before, shows
// them in the order the grid shows).
//
// All of it is one transaction on the record set's connection: the table
// holds the old lines or the new ones, never a part, also when the program
// is killed midway. The first failing statement is logged (failure text,
// statement and the engine's reason), everything is rolled back, and the
// outcome says which step failed and why, in the clerk's words
// (failurecause).
//
// With Numbering::AsTheyAre the lines keep their numbers (the grid is
// written as it stands, e.g. to stage lines that could not be staged).
enum class Numbering { FromTop, AsTheyAre };
struct Rewritten {
    bool done = false;
    QString why; // the failed step and its cause; "" when done
    explicit operator bool() const { return done; }
};
Rewritten rewrite(RecordSet& rs, QVector<Line>& lines, Numbering numbering = Numbering::FromTop);

// The renumbering statement: every line of oldNumbers that stays, those
// whose number changes (old → new) set in one UPDATE.
QString renumberStatement(const QStringList& oldNumbers, const QStringList& newNumbers);

// After grid lines were deleted, the way that costs a few round trips
// whatever the grid's size: the deleted lines' rows are removed and the
// remaining lines get their grid positions as numbers, top line 1, with
// one UPDATE, all in one transaction (begun together with the removal).
// remaining are the grid's lines after the deletion, top first, with the
// numbers they are staged under; on success they carry their new numbers.
// The rows keep their order in the table, so a restart shows the grid's
// order. The UPDATE must find every remaining line once; when it does not,
// the table did not mirror the grid (a line that could not be saved), the
// transaction is rolled back and NotAsGrid comes back: the caller then
// rewrites the table from the grid. Failed as rewrite fails (logged,
// rolled back, why).
enum class Removal { Done, NotAsGrid, Failed };
struct Removed {
    Removal result = Removal::Failed;
    QString why; // when Failed: the failed step and its cause
};
Removed removeLines(RecordSet& rs, QVector<Line>& remaining, const QStringList& removed);

} // namespace staging

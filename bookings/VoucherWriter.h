#pragma once
// Writes the lines of the scanning station's detail grid as one ERP
// material-issue voucher (材料出库单): one header row in rdrecord11, per
// line one row in rdrecords11 and one bin-position row in InvPosition, and
// removes the written lines from the staging table ckmx. Then the identity
// counters follow (IdentityCounters.h).
//
// All of it runs in one transaction under the voucher lock (see
// ErpConnection::beginTransaction): a voucher reaches the ERP whole or not
// at all. When any step fails everything is rolled back: the ERP tables and
// ckmx are as before the click, the grid keeps every line, the counters are
// not touched, and the log keeps the failing statement. The prompt field
// shows the failure in front of its history, with the cause on a second
// line (another station writing, a full disk, a lost connection, or the
// driver's own text).
//
// A header that did not check out against the ERP, an incomplete header or
// a quantity that is not a number is refused before any statement is sent.
// Identifiers are the tables' maxima plus one, read after the lock is
// taken, so two stations writing at once get distinct identifiers.
//
// Values stand in the statements as quoted texts with ' doubled; the
// quantity stands bare and is checked to be a number before anything is
// sent.
#include "bookings/StagingTable.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>

class ErpConnection;
class RecordSet;
class VoucherView;

// The voucher header values as the start window saved them: "code|name".
struct VoucherHeader {
    QString 出库仓库; // warehouse
    QString 经手人; // handler
    QString 出库类别; // issue category
    // Why the header did not check out against the ERP (the refusal
    // message of VoucherHeaderCheck.h, naming the field); "" when it did.
    QString fault;
};

// The parts of the ERP session the writer works with. accountNumber refers
// to the session's 账套号, which each connect recomputes; connect opens the
// connection when it is closed (连接账套).
struct VoucherErp {
    ErpConnection& connection;
    RecordSet& 记录集1; // identifiers, staging removal, counters
    RecordSet& 记录集3; // department query, header, lines, bin positions
    const QString& 账套号;
    std::function<void()> connect;
};

// The values a voucher's statements carry.
struct VoucherValues {
    QString id; // voucher identifier
    QString warehouse;
    QString category;
    QString department;
    QString handlerCode;
    QString handlerName;
    QString code;
    QString date;
    QString makeTime;
};

namespace voucher {
// The statements, exactly as they are sent.
QString headerStatement(const VoucherValues& v);
QString lineStatement(const VoucherValues& v, const QString& autoId, const staging::Line& line);
QString positionStatement(const VoucherValues& v, const QString& positionId, const QString& autoId,
                          const staging::Line& line);
inline const QString kIdentityOn = QStringLiteral("set identity_insert InvPosition ON");
inline const QString kIdentityOff = QStringLiteral("set identity_insert InvPosition OFF");
inline const QString kXactAbort = QStringLiteral("SET XACT_ABORT ON");
// Lines per batch: a 2,000-line voucher goes in 5 executes.
inline constexpr int kLinesPerBatch = 400;
// Read once under the voucher lock, in one statement: the maxima the
// identifiers are counted up from, how many vouchers already carry the
// code v.code, and the ERP's names for the header's warehouse, handler
// and category codes (NULL for a code the ERP no longer offers), so that
// the header is checked again inside the voucher's transaction.
QString maximaQuery(const VoucherValues& v);
} // namespace voucher

class VoucherWriter {
public:
    // The voucher's code and date come from the program's clock
    // (app/Clock.h).
    VoucherWriter(VoucherErp erp, VoucherView& view);

    // The button was clicked. lines are the grid's data rows in grid order
    // (row 1, the newest line, first), each read from columns 0-10 (the
    // writer uses 0, 1, 5, 6, 7, 8 and 9). A click that arrives while a
    // voucher is being written starts nothing. Returns whether a voucher
    // was written.
    bool click(const VoucherHeader& header, const QVector<staging::Line>& lines);

    bool isWriting() const { return m_writing; }
    // The code of the last voucher written: "CLCK" + yyMMddHHmmss, followed
    // by "-" and a number when a voucher with that code exists already; ""
    // before.
    QString lastVoucherCode() const { return m_lastCode; }

    // "CLCK" followed by yyMMddHHmmss of moment.
    static QString voucherCode(const QDateTime& moment);

private:
    bool write(const VoucherHeader& header, const QVector<staging::Line>& lines);
    // Rolls back and tells the user: prompt, and on a second line the cause
    // of driverError in the clerk's words (none when driverError is "" and
    // the connection is open).
    bool abandon(const QString& prompt, bool resetScan, bool sound, const QString& driverError = {});
    bool refuse(const QString& text);

    VoucherErp m_erp;
    VoucherView& m_view;
    bool m_writing = false;
    QString m_lastCode;
};

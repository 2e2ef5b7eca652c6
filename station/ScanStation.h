#pragma once
// The scanning station's behaviour, without any widget: the window's set-up,
// scan handling, editing of the detail grid and the stock search. The
// window 窗口_在线扫码出库 mirrors fields(), the prompt text and the two
// grids into its controls and forwards the user's keys and clicks here;
// tests drive this class directly or through the window. It opens no
// window of its own and never spins the event loop: questions go to the
// window as questionAsked() and come back as answerQuestion(), and the
// stock search is fed in pieces from a timer.
//
// Statements run on the session's record sets as the ERP layer assigns
// them: staging on 记录集1, master-data lookups and the search on 记录集2,
// stock on hand on 记录集3.
#include "bookings/StagingTable.h"
#include "erp/MasterData.h"
#include "station/StationFields.h"
#include "station/StationGrid.h"

#include <QHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <optional>

class ErpSession;
class PromptPlayer;
class RecordSet;

class ScanStation : public QObject {
    Q_OBJECT
public:
    explicit ScanStation(ErpSession& erp, QObject* parent = nullptr);

    // The prompts are played through player (none: silent).
    void setPlayer(PromptPlayer* player) { m_player = player; }

    ErpSession& erp() { return m_erp; }
    StationFields& fields() { return m_fields; }
    const StationFields& fields() const { return m_fields; }
    StationGrid& detailGrid() { return m_detail; }
    StationGrid& stockGrid() { return m_stock; }

    // Opening of the window: header values, grid columns, the staging table
    // and its lines (newest on top), the stock grid, focus. False when it
    // stopped early (the staging table could not be created or its lines
    // not loaded).
    bool setUp();
    // Checks the header values against the ERP's lists (on 记录集2); the
    // outcome is in fields().表头核对. A list that cannot be read is logged
    // and leaves the header unchecked.
    void checkHeader();

    // The prompt field. Messages go in front, each ending with "\r\n".
    QString promptText() const { return m_prompt; }
    void setPromptText(const QString& text);
    void prependPrompt(const QString& message);
    void play(const QString& prompt);

    // Enter in the scan field with its text. While a stock search fills its
    // grid or a question is open the scan waits and is handled as soon as
    // the search ends or the question is answered.
    //
    // Command barcodes (app/CommandCodes.h) are handled here too: #QM-WRITE
    // asks for the voucher (writeRequested()), #QM-UNDO deletes the newest
    // line, #QM-CANCEL answers an open question No (at once, also while
    // other scans wait) or cancels a voucher awaiting its second press.
    void handleScan(const QString& text);
    int pendingScans() const { return int(m_pendingScans.size()); }

    // The window shows a message box: scans wait until it is closed
    // (false), as they do for a question.
    void setBoxOpen(bool open);

    // A voucher awaiting its second press: the lines that were shown to the
    // clerk. Any change of the grid, and #QM-CANCEL, cancels it.
    void armWrite(const QVector<staging::Line>& shown);
    bool isWriteArmed() const { return m_armedLines.has_value(); }
    // Whether lines are exactly the lines that were shown.
    bool isArmedFor(const QVector<staging::Line>& lines) const { return m_armedLines && *m_armedLines == lines; }
    // Cancels the voucher awaiting its second press; message (if any) goes
    // in front of the prompt field when one was waiting.
    void disarmWrite(const QString& message = {});

    // The detail grid's lines in numbers: how many, their distinct
    // collectors (top line first) and the sum of their quantities.
    struct LineSummary {
        int lines = 0;
        QStringList collectors;
        QString total; // "0", "5", "12.5"
    };
    LineSummary lineSummary() const;
    static LineSummary summaryOf(const QVector<staging::Line>& lines);

    // The window is being closed: a running search stops, and when lines
    // stay staged the log says how many and the text for the clerk is
    // returned ("" without lines).
    QString leave();

    // Detail-grid editing. row is the system row (1 = top line).
    void unlockQuantityCell(int row, int column);
    // The quantity of row was edited (the new text is in the cell);
    // oldQuantity is what the cell held before.
    void quantityEdited(int row, const QString& oldQuantity);
    void deleteCurrentLine(int row);
    // first and last row of the selection (both the cursor row without one).
    void deleteSelectedLines(int first, int last);
    // Asks first (questionAsked()), naming the line count.
    void deleteAllLines();
    // #QM-UNDO: deletes the top line, the one the newest remaining scan
    // added.
    void undoLastScan();

    // The clerk's answer to the open question (questionAsked()).
    void answerQuestion(bool yes);
    bool isAsking() const { return m_question.has_value() || m_deleteAllAsked > 0; }

    // Stock search. False when nothing was searched: the keyword is too
    // short (the prompt field says so), or another search is still filling
    // the grid.
    bool search(const QString& keyword);
    bool isBusy() const { return m_busy; }
    // Stops a running search after the current piece (the window closes).
    void cancelSearch();
    // While a search runs: tells the user the action has to wait and
    // returns true. Otherwise returns false.
    bool refuseWhileBusy(const QString& action);

    // For the voucher buttons: the grid's lines top to bottom, and emptying
    // the grid after a voucher.
    QVector<staging::Line> gridLines() const;
    void clearDetailGrid();
    void emptyScanField();
    void focusScanField() { emit scanFocusRequested(); }

    // Pieces of the stock search, public for tests.
    static int gbkLength(const QString& text);
    static bool keywordLongEnough(const QString& keyword) { return gbkLength(keyword) > 2; }
    static QString searchPattern(const QString& keyword);
    // A quantity the station accepts: a Quantity, exactly what the staged
    // decimal(18,2) column keeps.
    static bool isValidQuantity(const QString& text);

    static const QStringList kDetailCaptions;
    static const QVector<int> kDetailWidths;
    static const QStringList kStockCaptions;
    static const QVector<int> kStockWidths;

signals:
    // Every field but the scan field changed.
    void fieldsChanged();
    // The scan field's text was set (emptied, or kept after a scan).
    void scanFieldChanged(const QString& text);
    // The prompt text changed: prepended is what went in front of it, or
    // empty when the whole text was replaced.
    void promptChanged(const QString& prepended);
    void scanFocusRequested();
    void keywordFocusRequested();
    void busyChanged(bool busy);
    // A yes/no question for the clerk; the window shows it with No as the
    // safe choice and calls answerQuestion().
    void questionAsked(const QString& text, const QString& caption);
    // The open question or message box is to close (#QM-CANCEL): a question
    // is answered No.
    void boxDismissed();
    void progressChanged(int value, int maximum);
    // The detail grid's lines changed (added, deleted, a quantity, loaded,
    // emptied).
    void linesChanged();
    // #QM-WRITE was scanned: the window presses 生成材料出库单 (its
    // StationVoucher answers, as for a click or F12).
    void writeRequested();
    // A voucher awaits its second press (true) or no longer does.
    void writeArmedChanged(bool armed);

private:
    void handlePerson(const QString& jobNumber);
    void handleDevice(const QString& deviceCode);
    void handleMaterial(const QString& code);
    void handleCommand(const QString& code);
    void cancelPending();
    // The scanned code gave no line: says why (MaterialRefusal.h) and logs it.
    void refuseMaterial(const QString& code);
    // Refuses (message, sound, log) a material whose default bin is not a
    // bin of the header's warehouse; false when it is.
    bool refuseBinOfAnotherWarehouse(const masterdata::ScanItem& found);
    // After a write to the staging table succeeded: stages the grid's lines
    // that could not be staged before.
    void saveUnsavedLines();
    // The lines to show after a failed deletion: the table's lines, and the
    // grid's unsaved lines in their places.
    QVector<staging::Line> withUnsavedLines(const QVector<staging::Line>& staged, const QVector<staging::Line>& before);
    void failScan(const QString& message, const QString& prompt);
    // A lookup whose query could not run: logged with the engine's reason,
    // the clerk asked to scan again, nothing else changed.
    void failRead(const QString& failureText, const QString& query, const RecordSet& rs);
    bool reopenConnection();
    void restoreQuantity(int row, const QString& oldQuantity, const QString& message);
    // Replaces the detail grid's lines, top line first.
    void showLines(const QVector<staging::Line>& topFirst);
    // False when the table could not follow and the grid was put back.
    bool rewriteStaging(const QVector<staging::Line>& before, const QStringList& removed);
    // Logs the deleted lines after a deletion the table followed.
    void logDeleted(const QString& how, const QVector<staging::Line>& removed);
    void removeAllLines();
    // Every change of the detail grid ends here: a voucher awaiting its
    // second press is cancelled, the window updates its count.
    void gridChanged();
    void updateStockHint();
    void setBusy(bool busy);
    void runPendingScans();
    void saveQuantity(int row, const QString& lineNumber, const QString& oldQuantity, const QString& quantity);
    void searchChunk();
    void finishSearch();

    ErpSession& m_erp;
    PromptPlayer* m_player = nullptr;
    StationFields m_fields;
    QString m_prompt;
    StationGrid m_detail;
    StationGrid m_stock;
    bool m_busy = false;
    QTimer m_searchTimer;
    QVector<masterdata::Inventory> m_searchItems;
    QHash<QString, QString> m_searchStock; // upper-case item code → stock text
    int m_searchNext = 0;
    QStringList m_pendingScans;
    // A quantity above stock waiting for the clerk's yes or no.
    struct OverStock {
        int row;
        QString number;
        QString oldQuantity;
        QString quantity;
    };
    std::optional<OverStock> m_question;
    // 删除所有行 waiting for the clerk's yes or no: the line count asked
    // about (0: not asking).
    int m_deleteAllAsked = 0;
    bool m_boxOpen = false;
    std::optional<QVector<staging::Line>> m_armedLines;
    // Job number of the current collector: a badge of another person ends
    // the device of the one before.
    QString m_collectorJob;
    // Line numbers of grid lines the staging table does not hold (their
    // insert failed): kept over a reload and staged at the next write
    // that succeeds.
    QStringList m_unsaved;
};

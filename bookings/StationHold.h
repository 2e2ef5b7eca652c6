#pragma once
// One open scanning window per account set. The staging table ckmx has no
// column for the station, so two scanning windows on one account set would
// load each other's lines, renumber them, and write them into a voucher
// twice. The scanning window therefore opens only under a hold on the
// account set, and a second station is told who holds it instead.
//
// The hold ends by itself when its program ends, crashes, is killed or
// loses its connection: nobody ever has to clear a stale hold by hand.
//  - SQL Server: an application lock owned by the session, taken without
//    waiting on a connection of the hold's own that stays open while the
//    window is open. The server drops the lock with the session. The holder
//    writes its computer's name and start time into the small table
//    quillmark_station, which a refused station reads. (The lock's session
//    could also be found through sys.dm_tran_locks and sys.dm_exec_sessions,
//    but other sessions are visible there only with VIEW SERVER STATE, a
//    server permission the ERP login does not need to have.)
//  - An SQLite account set (the embedded ERP, or one reached through an
//    SQLite ODBC driver): a kernel lock (FileLock) on the account set's
//    database file itself, so that deleting or replacing a file beside it
//    cannot end the hold; and one on the file <account set>.station beside
//    it, which holds the computer's name, process id and start time as
//    text. A link in that file's place is neither followed nor written.
#include "app/FileLock.h"
#include "erp/ErpConnection.h"

#include <QString>

#include <memory>

class StationHold {
public:
    StationHold() = default;
    ~StationHold() { release(); }
    StationHold(const StationHold&) = delete;
    StationHold& operator=(const StationHold&) = delete;

    enum class Result {
        Taken, // this station holds the account set
        HeldElsewhere, // another program holds it; holder() names it
        Failed, // the hold could not be taken; lastError() says why
    };

    // Who holds the station: the computer's name and the start time
    // ("YYYY-MM-DD hh:mm:ss"); empty texts when a refused station could not
    // read them.
    struct Holder {
        QString host;
        QString since;
    };

    // Takes the hold for the account set of this login (the one the
    // program is connected to). Releases an earlier hold first.
    Result take(const QString& server, const QString& login, const QString& password, const QString& accountSet);
    // Ends the hold; nothing happens when none is held.
    void release();
    bool isHeld() const { return m_appLock || m_fileLock; }

    // After Taken: this station; after HeldElsewhere: the other one.
    const Holder& holder() const { return m_holder; }
    QString lastError() const { return m_error; }

    // What the user is told when take() did not give the hold.
    QString message(Result result) const;

    // The connection that carries the lock on SQL Server; tests trace it.
    ErpConnection& connection() { return m_connection; }

    // The statements of the SQL Server hold, exactly as they are sent.
    // Takes the lock and, when granted, writes this station as the holder;
    // returns fields "result" (the lock's answer), "host" and "since" (the
    // holder) and "failed" (why the holder row was not written, or NULL).
    static QString takeStatement(const Holder& self);
    static const QString kReleaseText;
    static QString createTableStatement();
    static QString clearHolderStatement();
    static QString writeHolderStatement(const Holder& holder);

    // The lock file beside an embedded account set's database file.
    static QString lockFileFor(const QString& databaseFile);
    // The lock file's text: "host=…", "pid=…", "since=…" lines.
    static QByteArray holderFileText(const Holder& holder, qint64 pid);
    static Holder holderFromFileText(const QByteArray& text);

private:
    Result takeFileLock(const QString& databaseFile);
    Result takeAppLock();
    Result fail(const QString& why);
    static Holder thisStation();

    ErpConnection m_connection{QStringLiteral("station")};
    std::unique_ptr<FileLock> m_fileLock; // on the account set's database file
    std::unique_ptr<FileLock> m_textLock; // on the file naming the holder
    bool m_appLock = false;
    Holder m_holder;
    QString m_error;
};

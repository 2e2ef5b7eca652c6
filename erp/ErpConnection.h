#pragma once
// The connection to one ERP database. Which engine serves it follows from
// the server value alone, so set.ini stays the only configuration and the
// connection window works the same for both:
//
//  - "sqlite:<folder>": the embedded ERP. The folder holds <database>.db
//    per account set, master.db and UFSystem.db; the database is opened and
//    the other two are attached as "master" and "UFSystem". A relative
//    folder is taken from the data directory.
//  - anything else: SQL Server through ODBC with the driver "SQL Server" and
//    SQL Server authentication.
//
// Statements are T-SQL. When the engine is SQLite (also an ODBC driver that
// reports an SQLite DBMS) each text passes through the rewriter first.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ErpConnection {
public:
    explicit ErpConnection(QString purpose = QStringLiteral("erp"));
    ~ErpConnection();
    ErpConnection(const ErpConnection&) = delete;
    ErpConnection& operator=(const ErpConnection&) = delete;

    // Opens an account-set database. Closes any earlier connection first.
    // False when the server cannot be reached, the login is refused, the
    // database does not exist, or it is not an account set: the connection
    // must see the ERP's inventory table, so that a file of random bytes, an
    // empty file or the database master or UFSystem chosen by mistake fails
    // here, with the connection failure, rather than at every statement.
    bool open(const QString& server, const QString& login, const QString& password, const QString& database);

    // Opens the server's database "master", to list its databases; on
    // SQLite the file must hold the table SysDatabases.
    bool openServer(const QString& server, const QString& login, const QString& password);
    void close();
    bool isOpen() const;

    // Whether statements are rewritten for SQLite.
    bool isSqlite() const { return m_sqlite; }
    // Whether the connection uses the native SQLite driver (column types come
    // from the declared types of the tables).
    bool isEmbedded() const { return m_embedded; }
    // Whether the declared column types of the embedded engine can be read
    // through the SQLite library this program links (the same library the
    // Qt driver uses).
    bool declaredTypesReadable() const { return m_declaredTypes; }
    QSqlDatabase database() const { return m_db; }
    // On SQLite (embedded or through ODBC): the account set's database file;
    // "" on other engines or when the driver does not tell.
    QString sqliteFile() const { return m_sqliteFile; }
    QString lastError() const { return m_lastError; }
    // The driver's error code(s) of the last failure: the native error
    // number and/or SQLSTATE as the driver reports them ("" if none).
    QString lastErrorCode() const { return m_lastCode; }
    // The error codes of a statement that failed on this connection: the
    // driver's native number and, over ODBC, the SQLSTATEs of its
    // diagnostics (Qt passes on only the number; a broken link is told by
    // its SQLSTATE), separated by ";".
    QString errorCodeOf(const QSqlQuery& failed) const;

    // The text that goes to the engine for a statement the program sends;
    // records the statement in the trace.
    QString statementFor(const QString& tsql);
    // The same for a statement about to run: false (with lastError set) when
    // the statement seam refuses it, so that it never reaches the engine.
    bool prepare(const QString& tsql, QString& engineText);

    // Transactions. A voucher is written inside one so that it reaches the
    // ERP whole or not at all, and under a lock that keeps two stations
    // from taking the same identifiers. The texts kBeginText, kCommitText
    // and kRollbackText go to the engine as they are (and appear so in the
    // trace), except that
    //  - on SQLite the transaction begins IMMEDIATE: it takes the database's
    //    write lock before anything is read, and a second writer waits for
    //    it (busy timeout) instead of failing at once;
    //  - on SQL Server kLockText follows the begin: an exclusive application
    //    lock on the account set held until the transaction ends, so a
    //    second writer waits for the first to commit or roll back; and the
    //    rollback is skipped when the server has already ended the
    //    transaction.
    // A rollback that fails closes the connection: the engine then discards
    // the open transaction itself.
    bool beginTransaction();
    // Begins the transaction and runs the statements `then` inside it, in
    // the same execute on SQL Server (one round trip for both). When a
    // statement of `then` fails the transaction is rolled back; *failedAt is
    // then its index, and -1 when the transaction itself could not begin.
    bool beginTransaction(const QStringList& then, int* failedAt);
    bool commitTransaction();
    bool rollbackTransaction();
    bool inTransaction() const { return m_inTransaction; }

    // Runs statements as one batch, in order. A distant server costs a
    // round trip per execute, so on SQL Server the statements go in one
    // execute, one per line, and every result is read so that a failure of
    // any of them reaches the caller (a voucher batch starts with SET
    // XACT_ABORT ON, so that such a failure also ends the transaction).
    // An engine that takes one statement at a time (SQLite, embedded or
    // through its ODBC driver) gets them one by one; SET options, which
    // have no meaning there, are not sent. Every statement passes the trace
    // and the statement seam on its own; a statement the seam refuses fails
    // the batch after the ones before it have run, as a failure in the
    // middle of a batch does on the server. On failure *failedIndex is the
    // index of the failing statement, or -1 when the driver does not tell.
    bool executeBatch(const QStringList& statements, int* failedIndex = nullptr);

    // Pieces of one batch sent one by one to an SQLite engine over ODBC
    // carry this comment in front (after the first piece), so that a trace
    // of the wire can tell them from round trips of their own.
    static const QString kBatchContinuation;

    // Round trips to the server: every execute, and a batch once (on an
    // engine that takes it piece by piece, as SQL Server would take it).
    // Logins are not counted.
    int roundTrips() const { return m_roundTrips; }
    void countRoundTrip() { ++m_roundTrips; }

    static const QString kBeginText;
    static const QString kCommitText;
    static const QString kRollbackText;
    static const QString kLockText;
    static constexpr int kLockTimeoutMilliseconds = 15000;

    // Test seam: called for every statement before it reaches the engine,
    // transaction steps included, with its number (from 1, counted since the
    // seam was set) and its T-SQL text. Returning false fails the statement
    // as the engine would; the seam may also close the connection, as a
    // dropped network link does. An empty function removes the seam.
    using StatementSeam = std::function<bool(int number, const QString& tsql)>;
    void setStatementSeam(StatementSeam seam);
    // The error text a statement refused by the seam reports, as the
    // engine's own text would (e.g. "database or disk is full"); empty: a
    // text naming the seam and the statement.
    void setSeamError(const QString& text) { m_seamError = text; }

    // Test seam: the text the engine runs in place of a statement the test
    // engine cannot run (a SQL Server procedure on the SQLite ODBC driver),
    // or nullopt to run the statement as it stands. The trace and the
    // statement seam still see the program's own text. An empty function
    // removes the seam.
    using EngineTextSeam = std::function<std::optional<QString>(const QString& tsql)>;
    void setEngineTextSeam(EngineTextSeam seam) { m_engineText = std::move(seam); }
    bool hasEngineTextSeam() const { return bool(m_engineText); }

    // Statement trace: every text the program sent, as it sent it (before
    // any rewriting), in order. Off until switched on.
    void setTracing(bool on) { m_tracing = on; }
    const QStringList& trace() const { return m_trace; }
    void clearTrace() { m_trace.clear(); }

    static const QString kEmbeddedPrefix; // "sqlite:"

    // How long the embedded engine waits for a lock another connection
    // holds before a statement fails (5 s); connections opened afterwards
    // use it. Tests shorten it so that a locked database fails quickly.
    static void setEmbeddedBusyTimeout(int milliseconds);
    static constexpr int kEmbeddedBusyTimeoutMilliseconds = 5000;
    static constexpr int kLoginTimeoutSeconds = 5;

    // "DRIVER=SQL Server;SERVER=…;UID=…;PWD=…;DATABASE=…;"
    static QString odbcConnectionString(const QString& server, const QString& login, const QString& password,
                                        const QString& database);
    // A value as it stands in a connection string: in braces (with "}"
    // doubled) when it holds ";", "{" or "}", so that it cannot end early and
    // add attributes of its own; unchanged otherwise.
    static QString odbcValue(const QString& value);

private:
    enum class Proof { OnEveryEngine, OnSqliteOnly };
    bool openDatabase(const QString& server, const QString& login, const QString& password, const QString& database,
                      const QString& requiredTable, Proof proof);
    bool proveTable(const QString& table);
    bool openEmbedded(const QString& folder, const QString& database);
    bool openOdbc(const QString& server, const QString& login, const QString& password, const QString& database);
    // Attaches master.db and UFSystem.db when the folder has them; the
    // driver is given them in driverFolder when it sees the files elsewhere.
    bool attachSiblings(const QString& folder, const QString& driverFolder = QString());
    static QString localPathOfDriverFile(const QString& path);
    bool fail(const QString& why);
    bool admits(const QString& tsql);
    bool execDirect(const QString& text);
    bool execServerBatch(const QStringList& statements, int* failedIndex);

    QString m_purpose;
    QString m_connectionName;
    QSqlDatabase m_db;
    bool m_sqlite = false;
    bool m_embedded = false;
    bool m_declaredTypes = false;
    bool m_tracing = false;
    bool m_inTransaction = false;
    int m_roundTrips = 0;
    bool m_continuing = false; // the batch continues the one begun before
    StatementSeam m_seam;
    EngineTextSeam m_engineText;
    int m_seamCount = 0;
    QString m_seamError;
    QStringList m_trace;
    QString m_lastError;
    QString m_lastCode;
    QString m_sqliteFile;
};

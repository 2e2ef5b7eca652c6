#include "erp/ErpConnection.h"

#include "app/AppPaths.h"
#include "erp/SqlRewriter.h"
#include "erp/SqlText.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

const QString ErpConnection::kEmbeddedPrefix = QStringLiteral("sqlite:");
const QString ErpConnection::kBeginText = QStringLiteral("BEGIN TRANSACTION");
const QString ErpConnection::kCommitText = QStringLiteral("COMMIT TRANSACTION");
const QString ErpConnection::kRollbackText = QStringLiteral("ROLLBACK TRANSACTION");
const QString ErpConnection::kBatchContinuation = QStringLiteral("/*+*/ ");
// sp_getapplock reports a lock it could not get by its return code, not by
// an error; the batch turns that code into an error the caller sees.
const QString ErpConnection::kLockText =
    QStringLiteral("SET NOCOUNT ON; DECLARE @r int; "
                   "EXEC @r = sp_getapplock @Resource = N'Quillmark.rdrecord11', "
                   "@LockMode = N'Exclusive', @LockOwner = N'Transaction', @LockTimeout = %1; "
                   "IF @r < 0 RAISERROR(N'Quillmark voucher lock not granted', 16, 1); SET NOCOUNT OFF")
        .arg(ErpConnection::kLockTimeoutMilliseconds);

namespace {

int g_busyTimeout = ErpConnection::kEmbeddedBusyTimeoutMilliseconds;

QString uniqueConnectionName(const QString& purpose)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("quillmark-%1-%2").arg(purpose).arg(++counter);
}

// The DBMS an ODBC connection reports (SQL_DBMS_NAME), e.g. "Microsoft SQL
// Server" or "SQLite".
QString odbcDbmsName(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    // Qt hands the connection handle over as a void* (SQLHANDLE).
    if (!handle.isValid() || (qstrcmp(handle.typeName(), "SQLHANDLE") != 0 && qstrcmp(handle.typeName(), "void*") != 0))
        return {};
    SQLHANDLE hdbc = *static_cast<const SQLHANDLE*>(handle.constData());
    if (!hdbc)
        return {};
    // The wide call on every platform: with UNICODE defined (as Qt builds
    // for Windows are) the narrow name is the wide call anyway.
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC's wide characters are UTF-16");
    SQLWCHAR name[256] = {};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(static_cast<SQLHDBC>(hdbc), SQL_DBMS_NAME, name, sizeof name, &bytes)))
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name));
}

} // namespace

ErpConnection::ErpConnection(QString purpose) : m_purpose(std::move(purpose))
{
}

ErpConnection::~ErpConnection()
{
    close();
}

QString ErpConnection::odbcValue(const QString& value)
{
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) && !value.contains(QLatin1Char('}')))
        return value;
    QString v = value;
    v.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

QString ErpConnection::odbcConnectionString(const QString& server, const QString& login, const QString& password,
                                            const QString& database)
{
    return QStringLiteral("DRIVER=SQL Server;SERVER=") + odbcValue(server) + QStringLiteral(";UID=") + odbcValue(login)
        + QStringLiteral(";PWD=") + odbcValue(password) + QStringLiteral(";DATABASE=") + odbcValue(database)
        + QStringLiteral(";");
}

void ErpConnection::setEmbeddedBusyTimeout(int milliseconds)
{
    g_busyTimeout = milliseconds;
}

bool ErpConnection::open(const QString& server, const QString& login, const QString& password, const QString& database)
{
    return openDatabase(server, login, password, database, QStringLiteral("inventory"), Proof::OnEveryEngine);
}

bool ErpConnection::openServer(const QString& server, const QString& login, const QString& password)
{
    // SQL Server's master always lists its databases; only a file standing
    // in for it on SQLite has to show that it does.
    return openDatabase(server, login, password, QStringLiteral("master"), QStringLiteral("SysDatabases"),
                        Proof::OnSqliteOnly);
}

bool ErpConnection::openDatabase(const QString& server, const QString& login, const QString& password,
                                 const QString& database, const QString& requiredTable, Proof proof)
{
    close();
    m_lastError.clear();
    m_lastCode.clear();
    const bool opened = server.startsWith(kEmbeddedPrefix) ? openEmbedded(server.mid(kEmbeddedPrefix.size()), database)
                                                           : openOdbc(server, login, password, database);
    if (!opened)
        return false;
    return (proof == Proof::OnSqliteOnly && !m_sqlite) || proveTable(requiredTable);
}

bool ErpConnection::proveTable(const QString& table)
{
    // Opening an SQLite file proves nothing: any file opens, and its first
    // read tells whether it is a database at all. Asking for the table's
    // object id reads the schema on every engine (through the rewriter on
    // SQLite) and changes nothing.
    ++m_roundTrips;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT OBJECT_ID(N'") + sqltext::quoted(table) + QStringLiteral("')");
    if (!q.exec(m_sqlite ? sqlrewriter::toSqlite(sql) : sql))
        return fail(q.lastError().text());
    if (!q.next() || q.value(0).isNull())
        return fail(QStringLiteral("not an account-set database: no table ") + table);
    return true;
}

bool ErpConnection::fail(const QString& why)
{
    m_lastError = why;
    close();
    return false;
}

bool ErpConnection::openEmbedded(const QString& folderText, const QString& database)
{
    QString folder = folderText;
    if (QDir::isRelativePath(folder))
        folder = apppaths::path(folder);
    // The database names a file in the folder and nothing else.
    if (database.isEmpty() || database.contains(QLatin1Char('/')) || database.contains(QLatin1Char('\\'))
        || database.startsWith(QLatin1Char('.')))
        return fail(QStringLiteral("no such database: ") + database);
    const QString file = QDir(folder).filePath(database + QStringLiteral(".db"));
    // Opening a missing file would create an empty database.
    if (!QFileInfo(file).isFile())
        return fail(QStringLiteral("no such database: ") + file);

    m_connectionName = uniqueConnectionName(m_purpose);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(file);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(g_busyTimeout));
    if (!m_db.open())
        return fail(m_db.lastError().text());
    m_sqlite = true;
    m_embedded = true;
    m_sqliteFile = QFileInfo(file).absoluteFilePath();
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        m_declaredTypes = q.exec(QStringLiteral("SELECT sqlite_version()")) && q.next()
            && q.value(0).toString() == QLatin1String(sqlite3_libversion());
    }
    if (!attachSiblings(folder))
        return false;
    return true;
}

bool ErpConnection::openOdbc(const QString& server, const QString& login, const QString& password,
                             const QString& database)
{
    m_connectionName = uniqueConnectionName(m_purpose);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connectionName);
    // The whole connection string goes in as the database name; login and
    // password stay empty so that the driver adds nothing after it.
    m_db.setDatabaseName(odbcConnectionString(server, login, password, database));
    // Without a login timeout an unreachable server keeps the window frozen
    // for as long as the network stack takes to give up.
    m_db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(kLoginTimeoutSeconds));
    m_db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!m_db.open())
        return fail(m_db.lastError().text());
    if (odbcDbmsName(m_db).startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive)) {
        m_sqlite = true;
        // The account set's neighbours master.db and UFSystem.db, when the
        // database file has them beside it.
        // Forward-only: a scrollable cursor would ask the server again for
        // every row.
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        QString mainFile;
        if (q.exec(QStringLiteral("PRAGMA database_list")))
            while (q.next())
                if (q.value(1).toString() == QLatin1String("main"))
                    mainFile = q.value(2).toString();
        q.finish();
        const QString localFile = localPathOfDriverFile(mainFile);
        m_sqliteFile = localFile.isEmpty() ? QString() : QFileInfo(localFile).absoluteFilePath();
        // The driver's own spelling of the folder, which this platform may
        // not read as a path.
        const QString driverFolder = mainFile.left(std::max<qsizetype>(0, mainFile.lastIndexOf(QLatin1Char('/'))));
        if (!mainFile.isEmpty() && !attachSiblings(QFileInfo(localFile).absolutePath(), driverFolder))
            return false;
    }
    return true;
}

QString ErpConnection::localPathOfDriverFile(const QString& path)
{
#ifdef Q_OS_WIN
    // Under Wine, odbc32 hands the calls to the host's unixODBC, and an
    // SQLite driver there names its file by the host's path ("/tmp/…").
    // Wine maps that path to one this program can open.
    if (path.startsWith(QLatin1Char('/'))) {
        using ToDos = wchar_t*(__cdecl*)(const char*);
        const auto toDos = reinterpret_cast<ToDos>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
        if (toDos) {
            if (wchar_t* dos = toDos(path.toUtf8().constData())) {
                const QString result = QDir::fromNativeSeparators(QString::fromWCharArray(dos));
                HeapFree(GetProcessHeap(), 0, dos);
                return result;
            }
        }
    }
#endif
    return path;
}

bool ErpConnection::attachSiblings(const QString& folder, const QString& driverFolder)
{
    for (const QString& schema : {QStringLiteral("master"), QStringLiteral("UFSystem")}) {
        const QString file = QDir(folder).filePath(schema + QStringLiteral(".db"));
        if (!QFileInfo(file).isFile())
            continue;
        // The driver opens the file by its own path for it.
        const QString driverFile =
            driverFolder.isEmpty() ? file : driverFolder + QLatin1Char('/') + schema + QStringLiteral(".db");
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("ATTACH DATABASE '") + sqltext::quoted(driverFile) + QStringLiteral("' AS ")
                    + schema))
            return fail(q.lastError().text());
    }
    return true;
}

void ErpConnection::close()
{
    if (m_connectionName.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
    m_inTransaction = false;
    m_sqliteFile.clear();
    m_sqlite = false;
    m_embedded = false;
    m_declaredTypes = false;
}

bool ErpConnection::isOpen() const
{
    return m_db.isValid() && m_db.isOpen();
}

QString ErpConnection::statementFor(const QString& tsql)
{
    if (m_tracing)
        m_trace << tsql;
    if (m_engineText)
        if (std::optional<QString> text = m_engineText(tsql))
            return *text;
    return m_sqlite ? sqlrewriter::toSqlite(tsql) : tsql;
}

bool ErpConnection::prepare(const QString& tsql, QString& engineText)
{
    engineText = statementFor(tsql);
    return admits(tsql);
}

void ErpConnection::setStatementSeam(StatementSeam seam)
{
    m_seam = std::move(seam);
    m_seamCount = 0;
}

bool ErpConnection::admits(const QString& tsql)
{
    if (!m_seam)
        return true;
    if (m_seam(++m_seamCount, tsql))
        return true;
    m_lastError = m_seamError.isEmpty() ? QStringLiteral("statement failed at the test seam: ") + tsql : m_seamError;
    return false;
}

QString ErpConnection::errorCodeOf(const QSqlQuery& failed) const
{
    QStringList codes;
    const QString native = failed.lastError().nativeErrorCode();
    if (!native.isEmpty())
        codes << native;
    if (!m_embedded && m_db.isValid() && m_db.driverName() == QLatin1String("QODBC")) {
        const auto handleOf = [](const QVariant& v) -> SQLHANDLE {
            if (!v.isValid() || (qstrcmp(v.typeName(), "SQLHANDLE") != 0 && qstrcmp(v.typeName(), "void*") != 0))
                return nullptr;
            return *static_cast<const SQLHANDLE*>(v.constData());
        };
        const std::pair<SQLSMALLINT, SQLHANDLE> handles[] = {
            {SQL_HANDLE_STMT, failed.result() ? handleOf(failed.result()->handle()) : nullptr},
            {SQL_HANDLE_DBC, handleOf(m_db.driver()->handle())}};
        for (const auto& [type, handle] : handles) {
            for (SQLSMALLINT record = 1; handle && record <= 8; ++record) {
                SQLINTEGER number = 0;
                SQLSMALLINT length = 0;
#ifdef _WIN32
                // Qt builds with UNICODE on Windows: the wide function, by name.
                SQLWCHAR state[6] = {};
                SQLWCHAR message[2] = {};
                if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, record, state, &number, message, 2, &length)))
                    break;
                codes << QString::fromUtf16(reinterpret_cast<const char16_t*>(state), 5);
#else
                SQLCHAR state[6] = {};
                SQLCHAR message[2] = {};
                if (!SQL_SUCCEEDED(
                        SQLGetDiagRec(type, handle, record, state, &number, message, sizeof message, &length)))
                    break;
                codes << QString::fromLatin1(reinterpret_cast<const char*>(state));
#endif
            }
        }
    }
    codes.removeDuplicates();
    return codes.join(u';');
}

bool ErpConnection::execDirect(const QString& text)
{
    ++m_roundTrips;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (q.exec(text))
        return true;
    m_lastError = q.lastError().text();
    m_lastCode = errorCodeOf(q);
    return false;
}

namespace {

// A SET option (SET XACT_ABORT ON, SET IDENTITY_INSERT t ON …): SQLite has
// none of them, and explicit values always go into its identity columns.
bool isSetOption(const QString& tsql)
{
    const QString t = tsql.trimmed();
    return t.size() > 4 && t.startsWith(QLatin1String("set"), Qt::CaseInsensitive) && t[3].isSpace();
}

// Whether a statement of a batch gives SQL Server a row count (and so a
// result of its own while NOCOUNT is off).
bool countsRows(const QString& tsql)
{
    const QString t = tsql.trimmed();
    for (const char* verb : {"insert", "update", "delete"})
        if (t.startsWith(QLatin1String(verb), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

bool ErpConnection::executeBatch(const QStringList& statements, int* failedIndex)
{
    if (failedIndex)
        *failedIndex = -1;
    m_lastError.clear();
    m_lastCode.clear();
    if (!isOpen()) {
        m_lastError = QStringLiteral("the connection is not open");
        return false;
    }
    if (statements.isEmpty())
        return true;
    if (!m_sqlite)
        return execServerBatch(statements, failedIndex);

    ++m_roundTrips;
    bool first = true;
    for (int i = 0; i < statements.size(); ++i) {
        QString text;
        if (!prepare(statements[i], text)) {
            if (failedIndex)
                *failedIndex = i;
            return false;
        }
        if (isSetOption(statements[i]))
            continue;
        if (!m_embedded && (!first || m_continuing))
            text.prepend(kBatchContinuation);
        first = false;
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.exec(text)) {
            m_lastError = q.lastError().text();
            m_lastCode = errorCodeOf(q);
            if (failedIndex)
                *failedIndex = i;
            return false;
        }
    }
    return true;
}

bool ErpConnection::execServerBatch(const QStringList& statements, int* failedIndex)
{
    // The statements up to the first one the seam refuses go to the server;
    // the refusal then fails the batch there.
    QStringList texts;
    int refused = -1;
    QString refusal;
    for (int i = 0; i < statements.size(); ++i) {
        QString text;
        if (!prepare(statements[i], text)) {
            refused = i;
            refusal = m_lastError;
            break;
        }
        texts << text;
    }
    if (!texts.isEmpty()) {
        ++m_roundTrips;
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        bool ok = q.exec(texts.join(QLatin1Char('\n')));
        // The server reports a failure of a later statement only when its
        // result is reached: every result is read. Each INSERT, UPDATE and
        // DELETE gives one, which tells which statement failed.
        int results = ok ? 1 : 0;
        while (ok && q.nextResult())
            ++results;
        if (!ok || q.lastError().type() != QSqlError::NoError) {
            m_lastError = q.lastError().text();
            m_lastCode = errorCodeOf(q);
            if (failedIndex) {
                int counted = 0;
                for (int i = 0; i < texts.size(); ++i)
                    if (countsRows(statements[i]) && ++counted > results) {
                        *failedIndex = i;
                        break;
                    }
            }
            return false;
        }
    }
    if (refused >= 0) {
        m_lastError = refusal;
        if (failedIndex)
            *failedIndex = refused;
        return false;
    }
    return true;
}

bool ErpConnection::beginTransaction()
{
    int ignored = -1;
    return beginTransaction({}, &ignored);
}

bool ErpConnection::beginTransaction(const QStringList& then, int* failedAt)
{
    *failedAt = -1;
    m_lastError.clear();
    m_lastCode.clear();
    if (!isOpen() || m_inTransaction) {
        m_lastError =
            isOpen() ? QStringLiteral("a transaction is already open") : QStringLiteral("the connection is not open");
        return false;
    }
    const auto undo = [this] {
        const QString why = m_lastError;
        rollbackTransaction();
        m_lastError = why;
        return false;
    };
    if (m_sqlite) {
        QString ignored;
        if (!prepare(kBeginText, ignored))
            return false;
        // On SQLite the write lock is taken at once, so that the maxima read
        // afterwards are the ones this transaction's inserts build on.
        if (!execDirect(QStringLiteral("BEGIN IMMEDIATE TRANSACTION")))
            return false;
        m_inTransaction = true;
        if (then.isEmpty())
            return true;
        // The statements belong to the begin's batch: no round trip of
        // their own.
        --m_roundTrips;
        m_continuing = true;
        int failed = -1;
        const bool ok = executeBatch(then, &failed);
        m_continuing = false;
        if (ok)
            return true;
        *failedAt = failed;
        return undo();
    }
    // On SQL Server the begin, the lock and what follows go in one execute.
    // When the lock is not granted the transaction is open already and is
    // rolled back.
    int failed = -1;
    if (executeBatch(QStringList{kBeginText, kLockText} + then, &failed)) {
        m_inTransaction = true;
        return true;
    }
    if (failed == 0)
        return false;
    *failedAt = failed >= 2 ? failed - 2 : -1;
    m_inTransaction = true;
    return undo();
}

bool ErpConnection::commitTransaction()
{
    m_lastError.clear();
    m_lastCode.clear();
    if (!m_inTransaction || !isOpen()) {
        m_lastError = QStringLiteral("no transaction is open");
        return false;
    }
    QString ignored;
    if (!prepare(kCommitText, ignored) || !execDirect(kCommitText))
        return false;
    m_inTransaction = false;
    return true;
}

bool ErpConnection::rollbackTransaction()
{
    if (!isOpen()) {
        // A closed connection has no transaction left to undo.
        m_inTransaction = false;
        return true;
    }
    if (!m_inTransaction)
        return true;
    m_lastError.clear();
    m_lastCode.clear();
    QString ignored;
    // SQL Server ends a transaction itself after some errors; the rollback
    // then has nothing left to do and must not fail for it.
    if (!prepare(kRollbackText, ignored)
        || !execDirect(m_sqlite ? kRollbackText : QStringLiteral("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION"))) {
        const QString why = m_lastError;
        // Without a rollback the changes must not stay pending on this
        // connection: closing it makes the engine discard them.
        close();
        m_lastError = why;
        return false;
    }
    m_inTransaction = false;
    return true;
}

#include "tools/demo-erp/DemoErp.h"

#include "erp/SqlRewriter.h"
#include "tools/demo-erp/LargeAccountSet.h"
#include "tools/demo-erp/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

// The resource lives in a static library: make sure it is linked in.
static void initDemoErpResource()
{
    Q_INIT_RESOURCE(demo_erp);
}

namespace demoerp {
namespace {

const QStringList& databaseFiles()
{
    static const QStringList files{QStringLiteral("master.db"), QStringLiteral("UFSystem.db"),
                                   QString::fromUtf16(kAccountSet) + QStringLiteral(".db")};
    return files;
}

// Removes a database file with the journal files SQLite may leave beside it.
bool removeDatabase(const QDir& dir, const QString& file)
{
    bool ok = true;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        const QString path = dir.filePath(file + QLatin1String(suffix));
        if (QFile::exists(path) && !QFile::remove(path))
            ok = false;
    }
    return ok;
}

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

class Database {
public:
    ~Database() { sqlite3_close(m_db); }
    bool open(const QString& path)
    {
        return sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
            == SQLITE_OK;
    }
    // Runs one statement with one text parameter.
    bool run(const char* sql, const QString& parameter)
    {
        SqliteStatement statement(m_db, sql);
        return statement.bind(1, parameter).run();
    }
    bool runScript(const QString& script)
    {
        return sqlite3_exec(m_db, script.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

QString resourceText(const QString& name)
{
    QFile file(QStringLiteral(":/demo-erp/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The tables, translated statement by statement (statements end at a line
// "GO") the way the program translates its own CREATE TABLE, so that they
// are typed the same way.
QString schemaForSqlite(const QString& tsql)
{
    static const QRegularExpression go(QStringLiteral("^GO[ \\t]*$"),
                                       QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    QString out;
    for (const QString& statement : tsql.split(go)) {
        if (!statement.trimmed().isEmpty())
            out += sqlrewriter::toSqlite(statement) + QStringLiteral(";\n");
    }
    return out;
}

// Creates the tables and runs the demo data script in one transaction;
// large tops the account set up to the benchmark size in the same one.
bool fill(const QDir& dir, bool large, QString* error)
{
    const QString schema = resourceText(QStringLiteral("demo_erp_schema.sql"));
    const QString rows = resourceText(QStringLiteral("demo_erp.sql"));
    if (schema.isEmpty() || rows.isEmpty())
        return fail(error, QStringLiteral("the demo data scripts are missing from the program"));

    const QString accountSet = dir.filePath(databaseFiles().at(2));
    Database db;
    if (!db.open(accountSet))
        return fail(error, QStringLiteral("cannot create %1").arg(accountSet));
    if (!db.run("ATTACH DATABASE ?1 AS master", dir.filePath(databaseFiles().at(0)))
        || !db.run("ATTACH DATABASE ?1 AS UFSystem", dir.filePath(databaseFiles().at(1))))
        return fail(error, QStringLiteral("cannot attach the system databases: %1").arg(db.lastError()));
    const QString script = QStringLiteral("BEGIN;\n") + schemaForSqlite(schema) + rows;
    if (!db.runScript(script))
        return fail(error, QStringLiteral("demo data script failed: %1").arg(db.lastError()));
    if (large && !LargeAccountSet(db.handle(), kLargeInventoryItems, kLargePeople, kLargeDevices).topUp(error))
        return false;
    if (!db.runScript(QStringLiteral("COMMIT;")))
        return fail(error, QStringLiteral("cannot save the demo data: %1").arg(db.lastError()));
    return true;
}

} // namespace

static bool buildFolder(const QString& folder, bool large, QString* error)
{
    initDemoErpResource();
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(folder));

    for (const QString& file : databaseFiles()) {
        if (!removeDatabase(dir, file))
            return fail(error, QStringLiteral("cannot replace %1").arg(dir.filePath(file)));
    }
    if (fill(dir, large, error))
        return true;
    for (const QString& file : databaseFiles())
        removeDatabase(dir, file);
    return false;
}

bool build(const QString& folder, QString* error)
{
    return buildFolder(folder, false, error);
}

bool buildLarge(const QString& folder, QString* error)
{
    return buildFolder(folder, true, error);
}

} // namespace demoerp

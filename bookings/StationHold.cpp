#include "bookings/StationHold.h"

#include "app/Clock.h"
#include "app/OperationLog.h"
#include "erp/RecordSet.h"
#include "erp/SqlText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

const QString StationHold::kReleaseText =
    QStringLiteral("DECLARE @resource nvarchar(255); SET @resource = N'Quillmark.station.' + DB_NAME(); "
                   "EXEC sp_releaseapplock @Resource = @resource, @LockOwner = N'Session'");

namespace {

// sp_getapplock's answer when the lock is held by another session and the
// timeout has passed (at once here).
constexpr int kHeldByAnotherSession = -1;

} // namespace

QString StationHold::createTableStatement()
{
    return QStringLiteral(
        "CREATE TABLE [dbo].[quillmark_station]([host] [nvarchar](128) NULL,[since] [nvarchar](19) NULL) "
        "ON [PRIMARY]");
}

QString StationHold::clearHolderStatement()
{
    return QStringLiteral("delete from quillmark_station");
}

QString StationHold::writeHolderStatement(const Holder& holder)
{
    return QStringLiteral("insert into quillmark_station (host,since) values (N'") + sqltext::quoted(holder.host)
        + QStringLiteral("',N'") + sqltext::quoted(holder.since) + QStringLiteral("')");
}

// The whole hold is one batch, so that opening the station costs one round
// trip beyond its login however far away the server is.
//  - The resource is named after the account set as the server knows it
//    (DB_NAME()), so the spelling of the name in set.ini does not matter;
//    application locks are kept per database anyway.
//  - A lock timeout of 0 answers at once: 0 when granted, -1 when another
//    session holds it.
//  - A granted lock writes this station into quillmark_station. The
//    station works without that row (only a refused one misses the name),
//    so a failure there is caught and comes back as "failed" to be logged
//    instead of failing the batch.
//  - The one result row gives the lock's answer and the holder the table
//    names: this station when granted, the other one when refused.
QString StationHold::takeStatement(const Holder& self)
{
    return QStringLiteral(
               "SET NOCOUNT ON; DECLARE @r int, @resource nvarchar(255), @failed nvarchar(2048); "
               "SET @resource = N'Quillmark.station.' + DB_NAME(); "
               "EXEC @r = sp_getapplock @Resource = @resource, @LockMode = N'Exclusive', @LockOwner = N'Session', "
               "@LockTimeout = 0; "
               "IF @r >= 0 BEGIN BEGIN TRY "
               "IF OBJECT_ID(N'quillmark_station', N'U') IS NULL ")
        + createTableStatement() + QStringLiteral("; ") + clearHolderStatement() + QStringLiteral("; ")
        + writeHolderStatement(self)
        + QStringLiteral(
               "; END TRY BEGIN CATCH SET @failed = ERROR_MESSAGE(); END CATCH END; "
               "IF OBJECT_ID(N'quillmark_station', N'U') IS NULL "
               "SELECT @r AS result, CAST(NULL AS nvarchar(128)) AS host, CAST(NULL AS nvarchar(19)) AS since, "
               "@failed AS failed "
               "ELSE SELECT @r AS result, (SELECT TOP 1 host FROM quillmark_station) AS host, "
               "(SELECT TOP 1 since FROM quillmark_station) AS since, @failed AS failed");
}

QString StationHold::lockFileFor(const QString& databaseFile)
{
    const QFileInfo info(databaseFile);
    return info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".station");
}

QByteArray StationHold::holderFileText(const Holder& holder, qint64 pid)
{
    return (QStringLiteral("host=") + holder.host + QStringLiteral("\npid=") + QString::number(pid)
            + QStringLiteral("\nsince=") + holder.since + u'\n')
        .toUtf8();
}

StationHold::Holder StationHold::holderFromFileText(const QByteArray& text)
{
    Holder holder;
    for (const QString& line : QString::fromUtf8(text).split(u'\n')) {
        if (line.startsWith(QStringLiteral("host=")))
            holder.host = line.mid(5).trimmed();
        else if (line.startsWith(QStringLiteral("since=")))
            holder.since = line.mid(6).trimmed();
    }
    return holder;
}

StationHold::Holder StationHold::thisStation()
{
    return {QSysInfo::machineHostName(), 日期时间文本(appclock::now())};
}

StationHold::Result StationHold::take(const QString& server, const QString& login, const QString& password,
                                      const QString& accountSet)
{
    release();
    m_holder = {};
    m_error.clear();
    if (!m_connection.open(server, login, password, accountSet))
        return fail(m_connection.lastError());
    // The hold follows the engine: an SQLite account set, embedded or
    // reached through an ODBC driver, is held by a lock on its own file. (A
    // test that answers SQL Server's statements through the engine-text
    // seam takes SQL Server's way.)
    if (m_connection.isSqlite() && !m_connection.hasEngineTextSeam()) {
        const QString file = m_connection.sqliteFile();
        m_connection.close();
        if (file.isEmpty())
            return fail(QStringLiteral("the SQLite driver does not name the account set's file"));
        return takeFileLock(file);
    }
    return takeAppLock();
}

StationHold::Result StationHold::takeFileLock(const QString& databaseFile)
{
    // The lock is on the account set's database file itself: deleting or
    // replacing the file beside it, which only names the holder, cannot end
    // it. The named file is locked as well, so that a station of an earlier
    // version, which locks only that file, is refused too.
    auto guard = std::make_unique<FileLock>(databaseFile, FileLock::Mode::ExistingFile);
    const QString textFile = lockFileFor(databaseFile);
    switch (guard->tryLock()) {
    case FileLock::Result::Locked:
        break;
    case FileLock::Result::HeldByAnother:
        m_holder = holderFromFileText(FileLock::readNoFollow(textFile, 4096));
        return Result::HeldElsewhere;
    case FileLock::Result::Failed:
        return fail(guard->errorString());
    }
    auto text = std::make_unique<FileLock>(textFile);
    switch (text->tryLock()) {
    case FileLock::Result::Locked:
        m_holder = thisStation();
        // The text only names the holder; the lock holds without it.
        if (!text->write(holderFileText(m_holder, QCoreApplication::applicationPid())))
            写日志(QStringLiteral("记录扫码站占用者失败  ") + textFile);
        m_textLock = std::move(text);
        break;
    case FileLock::Result::HeldByAnother:
        m_holder = holderFromFileText(FileLock::readNoFollow(textFile, 4096));
        return Result::HeldElsewhere;
    case FileLock::Result::Failed:
        // A link or something else that cannot be written in its place:
        // left alone; the hold stands without the holder's name.
        m_holder = thisStation();
        写日志(QStringLiteral("记录扫码站占用者失败  ") + text->errorString());
        break;
    }
    m_fileLock = std::move(guard);
    return Result::Taken;
}

StationHold::Result StationHold::takeAppLock()
{
    const Holder self = thisStation();
    const QString statement = takeStatement(self);
    RecordSet rs;
    rs.bind(&m_connection);
    QString answer;
    bool isNumber = false;
    const bool read = rs.open(statement) && rs.readText(QStringLiteral("result"), answer);
    const int code = answer.toInt(&isNumber);
    const QString why = read && isNumber ? QString() : rs.lastError();
    Holder named;
    QString failed;
    if (read) {
        rs.readText(QStringLiteral("host"), named.host);
        rs.readText(QStringLiteral("since"), named.since);
        rs.readText(QStringLiteral("failed"), failed);
    }
    rs.close();
    if (!read || !isNumber) {
        写日志(QStringLiteral("取扫码站锁失败  ") + statement);
        return fail(why.isEmpty() ? QStringLiteral("no answer from sp_getapplock") : why);
    }
    if (code >= 0) {
        m_appLock = true;
        m_holder = self;
        if (!failed.isEmpty())
            写日志(QStringLiteral("记录扫码站占用者失败  ") + failed);
        return Result::Taken;
    }
    if (code == kHeldByAnotherSession) {
        m_holder = named;
        m_connection.close();
        return Result::HeldElsewhere;
    }
    // -2 cancelled, -3 chosen as deadlock victim, -999 a parameter or call
    // error: the hold is not taken, and who has it is unknown.
    return fail(QStringLiteral("sp_getapplock returned %1").arg(code));
}

StationHold::Result StationHold::fail(const QString& why)
{
    m_error = why;
    m_connection.close();
    return Result::Failed;
}

void StationHold::release()
{
    if (m_appLock) {
        // Closing the connection ends the session and its lock as well; the
        // explicit release also covers a driver that keeps sessions pooled.
        RecordSet rs;
        rs.bind(&m_connection);
        rs.open(kReleaseText);
        rs.close();
        m_appLock = false;
    }
    m_connection.close();
    m_textLock.reset();
    m_fileLock.reset();
}

QString StationHold::message(Result result) const
{
    if (result == Result::Failed)
        return QStringLiteral("无法确认本账套的扫码出库窗口是否已在别处打开，窗口没有打开：") + m_error;
    const QString where = m_holder.host.isEmpty() ? QStringLiteral("别处")
                                                  : QStringLiteral("计算机“") + m_holder.host + QStringLiteral("”上");
    const QString since =
        m_holder.since.isEmpty() ? QString() : QStringLiteral("（自 ") + m_holder.since + QStringLiteral(" 起）");
    return QStringLiteral("本账套的扫码出库窗口已在") + where + QStringLiteral("打开") + since
        + QStringLiteral("。\n同一账套同时只能打开一个扫码出库窗口，请先关闭那里的扫码出库窗口，或改用其他账套。");
}

// The station hold: one open scanning window per account set. On the
// embedded engine two holds in one process stand for two programs (the
// kernel lock belongs to the open file, not to the process); the test with
// real separate processes, one of them killed, is in tests/shell. The SQL
// Server statements run over the real ODBC path with the SQLite ODBC driver
// as "SQL Server"; the lock procedures, which SQLite cannot run, are
// answered through the engine-text seam, and the trace shows every text
// the program sent.
#include "bookings/StationHold.h"
#include "app/Clock.h"
#include "tests/support/ErpFixture.h"
#include "tests/support/QStringPrinter.h"

#include "tests/support/OdbcSetup.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

const QString kRelease = u("DECLARE @resource nvarchar(255); SET @resource = N'Quillmark.station.' + DB_NAME(); "
                           "EXEC sp_releaseapplock @Resource = @resource, @LockOwner = N'Session'");

class StationHoldTest : public ::testing::Test {
protected:
    void SetUp() override { appclock::setFixedNow(QDateTime(QDate(2021, 6, 24), QTime(8, 5, 9))); }
    void TearDown() override { appclock::setFixedNow({}); }

    ErpFixture erp;
};

} // namespace

TEST_F(StationHoldTest, EmbeddedHoldRefusesASecondStationAndNamesTheHolder)
{
    StationHold first, second;
    ASSERT_EQ(first.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet), StationHold::Result::Taken)
        << first.lastError().toStdString();
    const QString host = QSysInfo::machineHostName();
    EXPECT_EQ(first.holder().host, host);
    EXPECT_EQ(first.holder().since, u("2021-06-24 08:05:09"));
    const QString lockFile = erp.folder() + u("/UFDATA_001_2021.station");
    QFile text(lockFile);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << "readable while held";
    EXPECT_EQ(text.readAll(),
              QStringLiteral("host=%1\npid=%2\nsince=2021-06-24 08:05:09\n")
                  .arg(host)
                  .arg(QCoreApplication::applicationPid())
                  .toUtf8());

    appclock::setFixedNow(QDateTime(QDate(2021, 6, 24), QTime(9, 0, 0)));
    EXPECT_EQ(second.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet),
              StationHold::Result::HeldElsewhere);
    EXPECT_FALSE(second.isHeld());
    EXPECT_EQ(second.holder().host, host);
    EXPECT_EQ(second.holder().since, u("2021-06-24 08:05:09"));
    EXPECT_EQ(second.message(StationHold::Result::HeldElsewhere),
              u("本账套的扫码出库窗口已在计算机“") + host
                  + u("”上打开（自 2021-06-24 08:05:09 起）。\n同一账套同时只能打开一个扫码出库窗口，"
                      "请先关闭那里的扫码出库窗口，或改用其他账套。"));

    first.release();
    EXPECT_FALSE(first.isHeld());
    EXPECT_EQ(second.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet), StationHold::Result::Taken);
    EXPECT_EQ(second.holder().since, u("2021-06-24 09:00:00"));
}

// Where the holder cannot be read, the message still refuses; where the
// hold cannot be taken at all, it says why.
TEST_F(StationHoldTest, UnknownHolderAndFailuresAreToldApart)
{
    StationHold hold;
    EXPECT_EQ(hold.message(StationHold::Result::HeldElsewhere),
              u("本账套的扫码出库窗口已在别处打开。\n同一账套同时只能打开一个扫码出库窗口，"
                "请先关闭那里的扫码出库窗口，或改用其他账套。"));
    EXPECT_EQ(hold.take(erp.server(), u("sa"), QString(), u("UFDATA_999_2021")), StationHold::Result::Failed);
    EXPECT_FALSE(hold.isHeld());
    EXPECT_TRUE(hold.message(StationHold::Result::Failed)
                    .startsWith(u("无法确认本账套的扫码出库窗口是否已在别处打开，窗口没有打开：no such database")))
        << hold.message(StationHold::Result::Failed).toStdString();
}

// The SQL Server hold is one batch, byte for byte, for each answer
// sp_getapplock can give: granted (0 at once, 1 after waiting), held by
// another session (-1, the holder comes back in the same row), and a call
// error (-999).
TEST_F(StationHoldTest, SqlServerHoldIsOneBatchForEachLockAnswer)
{
    const QString host = QSysInfo::machineHostName();
    const QString take =
        u("SET NOCOUNT ON; DECLARE @r int, @resource nvarchar(255), @failed nvarchar(2048); "
          "SET @resource = N'Quillmark.station.' + DB_NAME(); "
          "EXEC @r = sp_getapplock @Resource = @resource, @LockMode = N'Exclusive', @LockOwner = N'Session', "
          "@LockTimeout = 0; "
          "IF @r >= 0 BEGIN BEGIN TRY IF OBJECT_ID(N'quillmark_station', N'U') IS NULL "
          "CREATE TABLE [dbo].[quillmark_station]([host] [nvarchar](128) NULL,[since] [nvarchar](19) NULL) "
          "ON [PRIMARY]; delete from quillmark_station; insert into quillmark_station (host,since) values (N'")
        + host
        + u("',N'2021-06-24 08:05:09'); END TRY BEGIN CATCH SET @failed = ERROR_MESSAGE(); END CATCH END; "
            "IF OBJECT_ID(N'quillmark_station', N'U') IS NULL SELECT @r AS result, CAST(NULL AS nvarchar(128)) "
            "AS host, CAST(NULL AS nvarchar(19)) AS since, @failed AS failed ELSE SELECT @r AS result, "
            "(SELECT TOP 1 host FROM quillmark_station) AS host, (SELECT TOP 1 since FROM quillmark_station) "
            "AS since, @failed AS failed");
    struct Case {
        const char* name;
        int answer;
        StationHold::Result result;
    };
    const Case cases[] = {
        {"granted, first time", 0, StationHold::Result::Taken},
        {"granted after a wait", 1, StationHold::Result::Taken},
        {"held by another session", -1, StationHold::Result::HeldElsewhere},
        {"call error", -999, StationHold::Result::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StationHold hold;
        ErpConnection& connection = hold.connection();
        connection.setTracing(true);
        connection.setEngineTextSeam([&](const QString& tsql) -> std::optional<QString> {
            if (tsql == take)
                return c.answer >= 0 ? QStringLiteral("SELECT %1 AS result, '%2' AS host, '2021-06-24 08:05:09' AS "
                                                      "since, NULL AS failed")
                                           .arg(c.answer)
                                           .arg(host)
                                     : QStringLiteral("SELECT %1 AS result, 'PC-2' AS host, '2021-06-24 07:00:00' "
                                                      "AS since, NULL AS failed")
                                           .arg(c.answer);
            if (tsql == kRelease)
                return u("SELECT 0");
            return std::nullopt;
        });
        ASSERT_EQ(hold.take(u("localhost"), u("sa"), u("pw"), pathForOdbcDriver(erp.file(ErpFixture::kAccountSet))),
                  c.result)
            << hold.lastError().toStdString();
        EXPECT_EQ(connection.trace(), QStringList{take});
        EXPECT_EQ(hold.isHeld(), c.result == StationHold::Result::Taken);
        if (c.result == StationHold::Result::Taken) {
            EXPECT_EQ(hold.holder().host, host);
        }
        if (c.result == StationHold::Result::HeldElsewhere) {
            EXPECT_EQ(hold.holder().host, u("PC-2"));
            EXPECT_EQ(hold.holder().since, u("2021-06-24 07:00:00"));
        }
        if (c.result == StationHold::Result::Failed) {
            EXPECT_EQ(hold.lastError(), u("sp_getapplock returned -999"));
        }
        connection.clearTrace();
        hold.release();
        EXPECT_EQ(connection.trace(), c.result == StationHold::Result::Taken ? QStringList{kRelease} : QStringList{});
        EXPECT_FALSE(connection.isOpen());
    }
}

// The hold outlives what can happen to the file that names the holder: it
// is deleted, replaced by another file, or a link stands in its place
// before the station opens (the link's target is never written).
TEST_F(StationHoldTest, HoldSurvivesTheNamingFileDeletedReplacedOrLinked)
{
    const QString named = erp.folder() + u("/UFDATA_001_2021.station");
    const QString target = erp.folder() + u("/precious.txt");
    const struct {
        const char* name;
        std::function<void()> before; // before the first station opens
        std::function<void()> after; // while it holds
    } cases[] = {
        {"deleted", [] {}, [&] { ASSERT_TRUE(QFile::remove(named)); }},
        {"replaced", [] {},
         [&] {
             const QString other = erp.folder() + u("/other.station");
             QFile f(other);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write("host=nobody\n");
             f.close();
             std::error_code failed;
             std::filesystem::rename(other.toStdWString(), named.toStdWString(), failed);
#ifdef Q_OS_WIN
             // Windows may refuse to replace a file another program holds
             // open; where it does not, the hold must survive it as well.
             (void)failed;
#else
             ASSERT_FALSE(failed) << failed.message();
#endif
         }},
        {"a link in its place",
         [&] {
             QFile f(target);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write("keep me");
             f.close();
             QFile::remove(named);
             ASSERT_TRUE(QFile::link(target, named));
         },
         [] {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        {
            StationHold first, second;
            ASSERT_EQ(first.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet), StationHold::Result::Taken)
                << first.lastError().toStdString();
            c.after();
            EXPECT_EQ(second.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet),
                      StationHold::Result::HeldElsewhere);
            EXPECT_FALSE(second.isHeld());
        }
        if (QFileInfo(named).isSymLink()) {
            QFile f(target);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), QByteArray("keep me"));
        }
        QFile::remove(named);
    }
}

// Through an SQLite ODBC driver the account set is held as the embedded
// one is: a station over ODBC and one embedded exclude each other.
TEST_F(StationHoldTest, AnSqliteAccountSetOverOdbcIsHeldByItsFile)
{
    StationHold overOdbc, embedded;
    ASSERT_EQ(overOdbc.take(u("localhost"), u("sa"), u("pw"), pathForOdbcDriver(erp.file(ErpFixture::kAccountSet))),
              StationHold::Result::Taken)
        << overOdbc.lastError().toStdString();
    EXPECT_EQ(embedded.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet),
              StationHold::Result::HeldElsewhere);
    EXPECT_EQ(embedded.holder().host, QSysInfo::machineHostName());
    overOdbc.release();
    EXPECT_EQ(embedded.take(erp.server(), u("sa"), QString(), ErpFixture::kAccountSet), StationHold::Result::Taken);
}

int main(int argc, char** argv)
{
    useTestOdbcDrivers();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

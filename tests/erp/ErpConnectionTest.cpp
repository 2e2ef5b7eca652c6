// Choosing and opening the engine, the ODBC connection string, the account
// number. Runs with the SQLite ODBC driver registered as "SQL Server".
#include "erp/ErpConnection.h"
#include "app/AppPaths.h"
#include "erp/ConnectionSetup.h"
#include "erp/ErpSession.h"
#include "erp/RecordSet.h"
#include "tests/support/ErpFixture.h"
#include "tests/support/QStringPrinter.h"

#include "tests/support/OdbcSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {
QString u(const char* s)
{
    return QString::fromUtf8(s);
}
} // namespace

TEST(ErpConnection, ConnectionStringQuotesValuesThatCouldAddAttributes)
{
    EXPECT_EQ(ErpConnection::odbcConnectionString(u("srv\\U8"), u("sa"), u("pw"), u("UFDATA_001_2021")),
              u("DRIVER=SQL Server;SERVER=srv\\U8;UID=sa;PWD=pw;DATABASE=UFDATA_001_2021;"));
    // A password with ";" must not end early and inject attributes.
    EXPECT_EQ(ErpConnection::odbcConnectionString(u("s"), u("sa"), u("x;DATABASE=master"), u("d")),
              u("DRIVER=SQL Server;SERVER=s;UID=sa;PWD={x;DATABASE=master};DATABASE=d;"));
    const std::pair<const char*, const char*> values[] = {
        {"", ""}, {"密码 'x'", "密码 'x'"}, {"a}b", "{a}}b}"}, {"{a", "{{a}"}, {"}", "{}}}"}, {"a;b}", "{a;b}}}"}};
    for (const auto& [value, expected] : values)
        EXPECT_EQ(ErpConnection::odbcValue(u(value)), u(expected)) << value;
}

TEST(ErpConnection, EmbeddedEngineOpensOnlyAnExistingAccountSet)
{
    ErpFixture erp;
    ErpConnection c;
    EXPECT_TRUE(c.open(erp.server(), QString(), QString(), ErpFixture::kAccountSet));
    EXPECT_TRUE(c.isOpen() && c.isSqlite() && c.isEmbedded());
    for (const char* name : {"UFDATA_999", "", "../UFDATA_001_2021", "sub/x", ".hidden"}) {
        EXPECT_FALSE(c.open(erp.server(), QString(), QString(), u(name))) << name;
        EXPECT_FALSE(c.isOpen());
    }
    EXPECT_FALSE(QFileInfo::exists(erp.file(u("UFDATA_999")))) << "no empty database made up";

    // A relative folder is taken from the data directory.
    apppaths::setDataDirectory(QFileInfo(erp.folder()).absolutePath());
    EXPECT_TRUE(
        c.open(u("sqlite:") + QFileInfo(erp.folder()).fileName(), QString(), QString(), ErpFixture::kAccountSet));
    apppaths::setDataDirectory(QString());
}

// Any file opens as an SQLite database; only its schema tells whether it is
// an account set. Files that are not fail to open, on both paths, and are
// left as they were.
TEST(ErpConnection, WhatIsNotAnAccountSetDoesNotOpen)
{
    ErpFixture erp;
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    const std::pair<const char*, QByteArray> files[] = {{"UFDATA_900_noise", noise}, {"UFDATA_901_empty", {}}};
    for (const auto& [name, bytes] : files) {
        QFile f(erp.file(u(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    ErpConnection embedded, odbc;
    ConnectionSetup setup;
    for (const char* name : {"UFDATA_900_noise", "UFDATA_901_empty", "master", "UFSystem"}) {
        EXPECT_FALSE(embedded.open(erp.server(), QString(), QString(), u(name))) << name;
        EXPECT_FALSE(embedded.isOpen()) << name;
        EXPECT_FALSE(embedded.lastError().isEmpty()) << name;
        EXPECT_FALSE(setup.test(erp.server(), u("sa"), u("pw"), u(name))) << name;
        EXPECT_FALSE(odbc.open(u("localhost"), u("sa"), u("pw"), erp.file(u(name)))) << name;
        EXPECT_FALSE(odbc.isOpen()) << name;
    }
    for (const auto& [name, bytes] : files) {
        QFile f(erp.file(u(name)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes) << name << ": untouched, no staging table made inside";
    }
    // The server's own database opens for the listing, and only for it.
    EXPECT_TRUE(embedded.openServer(erp.server(), QString(), QString())) << embedded.lastError().toStdString();
    EXPECT_TRUE(embedded.open(erp.server(), QString(), QString(), ErpFixture::kAccountSet));
}

TEST(ErpConnection, ServerDatabasesAreReachableOnBothPaths)
{
    ErpFixture erp;
    ErpConnection embedded, odbc;
    ASSERT_TRUE(embedded.open(erp.server(), QString(), QString(), ErpFixture::kAccountSet));
    ASSERT_TRUE(odbc.open(u("localhost"), u("sa"), u("pw"), erp.file(ErpFixture::kAccountSet)))
        << odbc.lastError().toStdString();
    EXPECT_TRUE(odbc.isSqlite() && !odbc.isEmbedded()) << "the driver reports an SQLite DBMS";
    for (ErpConnection* c : {&embedded, &odbc}) {
        RecordSet rs;
        rs.bind(c);
        ASSERT_TRUE(rs.open(u("SELECT Name FROM Master..SysDatabases ORDER BY Name")));
        QString name;
        EXPECT_TRUE(rs.readText(u("Name"), name));
        EXPECT_EQ(name, ErpFixture::kAccountSet);
        EXPECT_TRUE(rs.open(u("update UFSystem.dbo.UA_Identity set iChildId=5,iFatherId =6  where cAcc_Id='001' "
                              "and cVouchType='rd'")));
    }
    // Two connections at once, each under its own name, and none left behind.
    const QStringList names = QSqlDatabase::connectionNames();
    EXPECT_EQ(names.size(), 2);
    embedded.close();
    odbc.close();
    EXPECT_TRUE(QSqlDatabase::connectionNames().isEmpty());
}

TEST(ErpSession, AccountNumberIsBytesEightToTenOfTheAccountSet)
{
    const std::pair<const char*, const char*> cases[] = {
        {"UFDATA_001_2021", "001"}, {"UFDATA_123_2020", "123"}, {"UFDATA_", ""},
        {"UFDATA_1", "1"},          {"UFDATA_12", "12"},        {"", ""}};
    for (const auto& [name, number] : cases)
        EXPECT_EQ(ErpSession::accountNumber(u(name)), u(number)) << name;
}

int main(int argc, char** argv)
{
    useTestOdbcDrivers();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The demo-ERP generator: same bytes on every run, quick, rebuilds a folder
// in place, and its program is usable from a script.
#include "tools/demo-erp/DemoErp.h"
#include "erp/ErpConnection.h"
#include "erp/MasterData.h"
#include "erp/RecordSet.h"
#include "tests/support/QStringPrinter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QStringList kFiles{QStringLiteral("master.db"), QStringLiteral("UFSystem.db"),
                         QStringLiteral("UFDATA_001_2021.db")};

QByteArray digest(const QString& folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& name : kFiles) {
        QFile f(QDir(folder).filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        hash.addData(f.readAll());
    }
    return hash.result().toHex();
}

// The first field of the first row of a query on the account set in folder.
QString scalar(const QString& folder, const QString& sql)
{
    ErpConnection connection(QStringLiteral("large"));
    RecordSet rs;
    rs.bind(&connection);
    QString value;
    if (connection.open(ErpConnection::kEmbeddedPrefix + folder, QString(), QString(),
                        QStringLiteral("UFDATA_001_2021"))
        && rs.open(sql) && rs.moveFirst())
        rs.readText(0, value);
    return value;
}

} // namespace

class DemoErpGenerator : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "demo-erp-test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
};

TEST_F(DemoErpGenerator, BuildsTheSameDatabasesEveryTimeAndQuickly)
{
    QTemporaryDir a;
    QTemporaryDir b;
    QElapsedTimer timer;
    timer.start();
    QString error;
    ASSERT_TRUE(demoerp::build(a.path(), &error)) << error.toStdString();
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_TRUE(demoerp::build(b.path() + QStringLiteral("/new/folder"), &error)) << error.toStdString();
    EXPECT_FALSE(digest(a.path()).isEmpty());
    EXPECT_EQ(digest(a.path()), digest(b.path() + QStringLiteral("/new/folder")));
}

TEST_F(DemoErpGenerator, RebuildingReplacesTheDatabasesAndLeavesOtherFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(demoerp::build(dir.path()));
    const QByteArray fresh = digest(dir.path());

    QFile(dir.filePath(QStringLiteral("UFDATA_001_2021.db"))).resize(4096); // damaged
    QFile journal(dir.filePath(QStringLiteral("UFDATA_001_2021.db-journal")));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("stale");
    journal.close();
    QFile other(dir.filePath(QStringLiteral("set.ini")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[x]\r\n");
    other.close();

    ASSERT_TRUE(demoerp::build(dir.path()));
    EXPECT_EQ(digest(dir.path()), fresh);
    EXPECT_FALSE(QFile::exists(journal.fileName()));
    EXPECT_TRUE(QFile::exists(other.fileName()));
}

TEST_F(DemoErpGenerator, AFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString error;
    EXPECT_FALSE(demoerp::build(blocker + QStringLiteral("/sub"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DemoErpGenerator, ProgramBuildsTheFolderGivenOnItsCommandLine)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("demo"));
    QProcess p;
    p.start(QStringLiteral(QUILLMARK_DEMO_ERP_PROGRAM), {folder});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    for (const QString& name : kFiles)
        EXPECT_TRUE(QFile::exists(QDir(folder).filePath(name))) << name.toStdString();

    const QStringList wrong[] = {{}, {QStringLiteral("--large")}, {QStringLiteral("--big"), folder}, {folder, folder}};
    for (const QStringList& args : wrong) {
        p.start(QStringLiteral(QUILLMARK_DEMO_ERP_PROGRAM), args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains("usage: quillmark-demo-erp [--large] <folder>"));
    }
}

TEST_F(DemoErpGenerator, LargeAccountSetHasItsSizesAndIsTheSameEveryRun)
{
    QTemporaryDir a;
    QTemporaryDir b;
    QString error;
    ASSERT_TRUE(demoerp::buildLarge(a.path(), &error)) << error.toStdString();
    ASSERT_TRUE(demoerp::buildLarge(b.path(), &error)) << error.toStdString();
    EXPECT_EQ(digest(a.path()), digest(b.path()));

    // Exact sizes, and most items placed and stocked, most people scannable.
    struct Count {
        const char* sql;
        int expected;
        bool exact;
    };
    const Count counts[] = {
        {"select count(*) from inventory", demoerp::kLargeInventoryItems, true},
        {"select count(*) from hr_hi_person", demoerp::kLargePeople, true},
        {"select count(*) from U8CUSTDEF_0001_E001", demoerp::kLargeDevices, true},
        {"select count(*) from inventory where cPosition is not null and dEDate is null", 43000, false},
        {"select count(distinct cInvCode) from CurrentStock", 44000, false},
        {"select count(*) from hr_hi_person where JobNumber is not null", 4800, false},
    };
    for (const Count& c : counts) {
        const int got = scalar(a.path(), QString::fromUtf8(c.sql)).toInt();
        if (c.exact)
            EXPECT_EQ(got, c.expected) << c.sql;
        else
            EXPECT_GT(got, c.expected) << c.sql;
    }

    // The small demo's codes work here too, and generated ones scan like them.
    ErpConnection connection(QStringLiteral("scan"));
    RecordSet rs;
    rs.bind(&connection);
    ASSERT_TRUE(connection.open(ErpConnection::kEmbeddedPrefix + a.path(), QString(), QString(),
                                QStringLiteral("UFDATA_001_2021")));
    masterdata::Inventory item;
    ASSERT_TRUE(masterdata::findInventory(rs, QStringLiteral("L000001"), item));
    EXPECT_FALSE(item.货位编码.isEmpty());
    EXPECT_FALSE(item.单位.isEmpty());
    EXPECT_EQ(masterdata::stockOnHand(rs, QStringLiteral("01"), QStringLiteral("L000001")), QStringLiteral("233"));
    EXPECT_EQ(masterdata::stockOnHand(rs, QStringLiteral("02|五金仓"), QStringLiteral("QM-001")),
              QStringLiteral("12.5"));
    masterdata::Person person;
    ASSERT_TRUE(masterdata::findPerson(rs, QStringLiteral("20001"), person));
    EXPECT_TRUE(person.found());
}

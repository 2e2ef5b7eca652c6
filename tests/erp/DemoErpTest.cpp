// The demo-ERP generator: same bytes on every run, quick, rebuilds a folder
// in place, and its program is usable from a script.
#include "DemoErp.h"
#include "QStringPrinter.h"

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

    p.start(QStringLiteral(QUILLMARK_DEMO_ERP_PROGRAM), {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("usage: quillmark-demo-erp <folder>"));
}

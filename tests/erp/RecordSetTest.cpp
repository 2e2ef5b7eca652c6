// Record sets on both paths the program has: the embedded engine (native
// SQLite driver) and ODBC with a real driver registered as "SQL Server"
// (the SQLite ODBC driver, which reports an SQLite DBMS so the rewriter
// runs there too). The ODBC connection uses the program's own connection
// string.
#include "erp/RecordSet.h"
#include "erp/ErpConnection.h"
#include "erp/FailureCause.h"
#include "erp/SqlText.h"
#include "tests/support/ErpFixture.h"
#include "tests/support/QStringPrinter.h"

#include "tests/support/OdbcSetup.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

enum class Path { Embedded, Odbc };

class RecordSetTest : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override
    {
        const bool opened = GetParam() == Path::Embedded
            ? connection.open(fixture.server(), QStringLiteral("sa"), QString(), ErpFixture::kAccountSet)
            : connection.open(QStringLiteral("localhost"), QStringLiteral("sa"), QStringLiteral("pw"),
                              fixture.file(ErpFixture::kAccountSet));
        ASSERT_TRUE(opened) << connection.lastError().toStdString();
        ASSERT_TRUE(connection.isSqlite());
        rs.bind(&connection);
    }

    ErpFixture fixture;
    ErpConnection connection;
    RecordSet rs{QStringLiteral("记录集1")};
};

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

} // namespace

TEST_P(RecordSetTest, WalksTheWholeResultWithAnExactCount)
{
    ASSERT_TRUE(rs.open(u("select i,t as 名称 from kinds order by i")));
    EXPECT_EQ(rs.recordCount(), 3);
    QStringList seen;
    ASSERT_TRUE(rs.moveFirst());
    for (int k = 0; k < rs.recordCount(); ++k) {
        QString byIndex, byName;
        EXPECT_TRUE(rs.readText(0, byIndex));
        EXPECT_TRUE(rs.readText(u("名称"), byName)); // a Chinese alias read back by name
        seen << byIndex + u(":") + byName;
        EXPECT_TRUE(rs.moveNext());
    }
    EXPECT_EQ(seen, (QStringList{u("1:螺丝刀"), u("2:扳手"), u("3:")}));

    QString text;
    EXPECT_FALSE(rs.readText(0, text)) << "past the last row";
    EXPECT_FALSE(rs.moveNext());
    EXPECT_TRUE(rs.moveFirst()) << "the cursor goes back to the first row";
    EXPECT_TRUE(rs.readText(u("I"), text)) << "field names ignore case";
    EXPECT_EQ(text, u("1"));
    EXPECT_FALSE(rs.readText(u("nosuchfield"), text));
    EXPECT_FALSE(rs.readText(5, text));

    rs.close();
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_FALSE(rs.readText(0, text));
    EXPECT_FALSE(rs.moveFirst());
}

TEST_P(RecordSetTest, ReadsEachFieldOnlyAsItsKind)
{
    ASSERT_TRUE(rs.open(u("select i,b,d,t,dt from kinds where i=1")));
    double number = 0;
    qint64 integer = 0;
    QDateTime moment;
    QString text;

    EXPECT_TRUE(rs.readNumber(u("d"), number));
    EXPECT_DOUBLE_EQ(number, 2.5);
    EXPECT_TRUE(rs.readInteger(u("i"), integer));
    EXPECT_EQ(integer, 1);
    EXPECT_TRUE(rs.readInteger(u("b"), integer));
    EXPECT_EQ(integer, 10000000000LL);
    EXPECT_TRUE(rs.readDateTime(u("dt"), moment));
    EXPECT_EQ(moment, QDateTime(QDate(2021, 6, 24), QTime(8, 5, 9)));

    EXPECT_FALSE(rs.readNumber(u("t"), number));
    EXPECT_FALSE(rs.readNumber(u("dt"), number));
    EXPECT_FALSE(rs.readInteger(u("d"), integer));
    if (GetParam() == Path::Embedded) {
        EXPECT_FALSE(rs.readNumber(u("i"), number));
    }
    EXPECT_FALSE(rs.readInteger(u("t"), integer));
    EXPECT_FALSE(rs.readDateTime(u("t"), moment));
    EXPECT_FALSE(rs.readDateTime(u("i"), moment));

    const std::pair<const char*, const char*> texts[] = {
        {"i", "1"}, {"b", "10000000000"}, {"d", "2.5"}, {"t", "螺丝刀"}, {"dt", "2021-06-24 08:05:09"}};
    for (const auto& [field, expected] : texts) {
        EXPECT_TRUE(rs.readText(u(field), text)) << field;
        EXPECT_EQ(text, u(expected)) << field;
    }

    // NULL reads as an empty text and as no number at all.
    ASSERT_TRUE(rs.open(u("select i,b,d,t,dt from kinds where i=3")));
    EXPECT_TRUE(rs.readText(u("d"), text));
    EXPECT_EQ(text, QString());
    EXPECT_FALSE(rs.readNumber(u("d"), number));
}

TEST_P(RecordSetTest, AggregatesArriveAsNumbers)
{
    ASSERT_TRUE(rs.open(u("select count(*)as 行数, sum(d) as 现存量, max(i)+1 as ID from kinds")));
    qint64 count = 0, id = 0;
    double sum = 0;
    EXPECT_TRUE(rs.readInteger(u("行数"), count));
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(rs.readNumber(u("现存量"), sum));
    EXPECT_DOUBLE_EQ(sum, 5.5);
    EXPECT_TRUE(rs.readInteger(u("ID"), id));
    EXPECT_EQ(id, 4);

    // A sum of whole quantities is still a number.
    ASSERT_TRUE(rs.open(u("select sum(d ) as 现存量 from kinds where i=2 group by i")));
    EXPECT_TRUE(rs.readNumber(u("现存量"), sum));
    EXPECT_DOUBLE_EQ(sum, 3);
}

TEST_P(RecordSetTest, FailuresComeBackAsFalse)
{
    QString text;
    EXPECT_FALSE(rs.open(u("select nonsense from nowhere")));
    EXPECT_FALSE(rs.lastError().isEmpty());
    EXPECT_FALSE(rs.hasResult());
    // The driver's error number comes with the text, over ODBC the
    // SQLSTATE too (here the general error S1000; a broken link is 08S01);
    // the clerk reads a cause, never the engine's English.
    EXPECT_EQ(rs.lastErrorCode(), GetParam() == Path::Odbc ? u("1;S1000") : u("1"));
    EXPECT_EQ(failurecause::describe(rs), failurecause::kOther);

    // A quantity that is not a number is refused by the table, as by SQL Server.
    EXPECT_FALSE(rs.open(u("update kinds set d='abc' where i=1")));
    EXPECT_FALSE(rs.open(u("insert into kinds (i) values ('x')")));
    ASSERT_TRUE(rs.open(u("select d from kinds where i=1")));
    EXPECT_TRUE(rs.readText(0, text));
    EXPECT_EQ(text, u("2.5"));

    // A statement without rows runs and leaves no result; opening it closes
    // the earlier result.
    EXPECT_TRUE(rs.open(u("update kinds set d=4 where i=1")));
    EXPECT_FALSE(rs.hasResult());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_FALSE(rs.readText(0, text));

    RecordSet unbound;
    EXPECT_FALSE(unbound.open(u("select 1")));
    connection.close();
    EXPECT_FALSE(rs.open(u("select i from kinds")));
    EXPECT_EQ(failurecause::describe(rs), failurecause::kDisconnected);
}

TEST_P(RecordSetTest, TraceHoldsTheTextsAsSent)
{
    connection.setTracing(true);
    const QStringList sent = {u("select top 1 t as 名称 from [dbo].[kinds] where t=N'扳手'"),
                              u("select  i from kinds  where i <> 2"), u("select broken from")};
    for (const QString& s : sent)
        rs.open(s);
    EXPECT_EQ(connection.trace(), sent);
    connection.clearTrace();
    EXPECT_TRUE(connection.trace().isEmpty());
}

// Values with quotes, statement separators, comment starts, wildcards,
// brackets or Chinese text go into a statement and come back unchanged, and
// nothing else in the table moves.
TEST_P(RecordSetTest, BadInputNeitherBreaksNorAltersAStatement)
{
    const QStringList values = {
        u("O'Brien"), u("a;b"), u("x--y"), u("50%"), u("[abc]"), u("螺丝刀 M3"), u("'; delete from kinds; --"),
        u("''")};
    int i = 100;
    for (const QString& v : values) {
        ASSERT_TRUE(rs.open(u("insert into kinds (i,t) values (") + QString::number(i++) + u(",'") + sqltext::quoted(v)
                            + u("')")))
            << v.toStdString() << rs.lastError().toStdString();
    }
    for (const QString& v : values) {
        ASSERT_TRUE(rs.open(u("select t from kinds where t='") + sqltext::quoted(v) + u("'")));
        ASSERT_EQ(rs.recordCount(), 1) << v.toStdString();
        QString back;
        rs.readText(0, back);
        EXPECT_EQ(back, v);
    }
    ASSERT_TRUE(rs.open(u("select count(*)as 行数 from kinds")));
    qint64 count = 0;
    rs.readInteger(u("行数"), count);
    EXPECT_EQ(count, 3 + values.size());
}

INSTANTIATE_TEST_SUITE_P(BothPaths, RecordSetTest, ::testing::Values(Path::Embedded, Path::Odbc),
                         [](const auto& path) { return path.param == Path::Embedded ? "Embedded" : "Odbc"; });

int main(int argc, char** argv)
{
    useTestOdbcDrivers();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

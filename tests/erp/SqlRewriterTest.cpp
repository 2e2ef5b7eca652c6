#include "erp/SqlRewriter.h"
#include "tests/support/QStringPrinter.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* tsql;
    const char* sqlite;
};

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

} // namespace

// One row per construct: the T-SQL the program sends and what the embedded
// engine receives.
TEST(SqlRewriter, TranslatesEachConstruct)
{
    const Case cases[] = {
        // Nothing to do: the text stays byte for byte.
        {"select cwhcode,cwhname  from Warehouse  order by cwhcode",
         "select cwhcode,cwhname  from Warehouse  order by cwhcode"},
        {"select count(*)as 行数 from ckmx", "select count(*)as 行数 from ckmx"},
        {"select max(ID)+1 as ID from rdrecord11", "select max(ID)+1 as ID from rdrecord11"},
        // TOP n becomes LIMIT n where its SELECT ends.
        {"select top 1 cNo as 当前设备号 from U8CUSTDEF_0001_E001 where cNo='S1'",
         "select cNo as 当前设备号 from U8CUSTDEF_0001_E001 where cNo='S1' LIMIT 1"},
        {"select * from (select top (2) a from t order by a) x",
         "select * from (select a from t order by a LIMIT (2)) x"},
        {"SELECT DISTINCT TOP 3 a FROM t;", "SELECT DISTINCT a FROM t LIMIT 3;"},
        // In a UNION each half with TOP becomes a subquery; the last ORDER BY
        // orders the whole result.
        {"select top 1 a from t union all select top 2 b from u order by a",
         "SELECT * FROM (select a from t LIMIT 1) union all SELECT * FROM (select b from u LIMIT 2) order by a"},
        {"select a from t union select top 2 b from u",
         "select a from t union SELECT * FROM (select b from u LIMIT 2)"},
        // ISNULL and N'…'
        {"select ISNULL( MAX(id),1000000000) as x from t", "select IFNULL( MAX(id),1000000000) as x from t"},
        {"select * from t where a=N'中文'", "select * from t where a='中文'"},
        // Bracketed names, schemas and databases.
        {"select [a b],[x]]y],\"c\" from [dbo].[t]", "select [a b],`x]y`,[c] from [t]"},
        {"SELECT Name FROM Master..SysDatabases ORDER BY Name", "SELECT Name FROM Master.SysDatabases ORDER BY Name"},
        {"update UFSystem.dbo.UA_Identity set iChildId=1", "update UFSystem.UA_Identity set iChildId=1"},
        {"select ry.cPsn_Name from dbo.hr_hi_person ry", "select ry.cPsn_Name from hr_hi_person ry"},
        // + on texts
        {"select * from t where isnull(a,'') + isnull(b,'') + isnull(c ,'') like '%x%'",
         "select * from t where IFNULL(a,'') || IFNULL(b,'') || IFNULL(c ,'') like '%x%'"},
        {"select a + b + 'x' from t", "select a || b || 'x' from t"},
        {"select a + 1, 'x' + b from t where c+2 > 3", "select a + 1, 'x' || b from t where c+2 > 3"},
        // Literals and comments are never touched.
        {"select 'top 1 [x] isnull(a,b) + dbo.t' from t -- top 1",
         "select 'top 1 [x] isnull(a,b) + dbo.t' from t -- top 1"},
        {"select 'it''s', N'a''b' from t", "select 'it''s', 'a''b' from t"},
        // Nested block comments are one comment, as in T-SQL.
        {"select a /* x /* y */ top 1 */ from t", "select a /* x / * y * / top 1 */ from t"},
        // System objects.
        {"select count(*) as hs from sysObjects where Id=OBJECT_ID(N'ckmx') and xtype='U'",
         "select count(*) as hs from (SELECT rowid AS id, name, CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' "
         "WHEN 'index' THEN 'I' WHEN 'trigger' THEN 'TR' ELSE '' END AS xtype FROM sqlite_master) AS sysObjects "
         "where Id=(SELECT rowid FROM sqlite_master WHERE type IN ('table','view') AND name = 'ckmx' COLLATE NOCASE) "
         "and xtype='U'"},
        // Statements that change as a whole.
        {"set identity_insert InvPosition ON", "SELECT 1 FROM InvPosition WHERE 0"},
        {"SET IDENTITY_INSERT dbo.InvPosition OFF", "SELECT 1 FROM InvPosition WHERE 0"},
        {"begin tran", "BEGIN TRANSACTION"},
        {"COMMIT TRANSACTION", "COMMIT TRANSACTION"},
        {"rollback tran", "ROLLBACK TRANSACTION"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sqlrewriter::toSqlite(u(c.tsql)), u(c.sqlite)) << c.tsql;
}

TEST(SqlRewriter, CreateTableGetsStrictColumns)
{
    const QString ckmx =
        u("CREATE TABLE [dbo].[ckmx]([autoid] [bigint] IDENTITY(1000,1) NOT NULL,[hh] [nvarchar](50) NULL,"
          "[chbm] [nvarchar](50) NULL,[chmc] [nvarchar](50) NULL,[ggxh] [nvarchar](50) NULL,[dw] [nvarchar](50) NULL,"
          "[sl] [decimal](18, 2) NULL,[hwbm] [nvarchar](50) NULL,[llr] [nvarchar](50) NULL,[llbm] [nvarchar](50) NULL,"
          "[sb] [nvarchar](50) NULL,[sj] [datetime] NULL ) ON [PRIMARY]");
    EXPECT_EQ(sqlrewriter::toSqlite(ckmx),
              u("CREATE TABLE [ckmx]("
                "[autoid] integer PRIMARY KEY AUTOINCREMENT NOT NULL,"
                "[hh] nvarchar(50) COLLATE NOCASE NULL CHECK (length([hh]) <= 50),"
                "[chbm] nvarchar(50) COLLATE NOCASE NULL CHECK (length([chbm]) <= 50),"
                "[chmc] nvarchar(50) COLLATE NOCASE NULL CHECK (length([chmc]) <= 50),"
                "[ggxh] nvarchar(50) COLLATE NOCASE NULL CHECK (length([ggxh]) <= 50),"
                "[dw] nvarchar(50) COLLATE NOCASE NULL CHECK (length([dw]) <= 50),"
                "[sl] numeric(18,2) NULL CHECK (typeof([sl]) IN ('integer','real','null')),"
                "[hwbm] nvarchar(50) COLLATE NOCASE NULL CHECK (length([hwbm]) <= 50),"
                "[llr] nvarchar(50) COLLATE NOCASE NULL CHECK (length([llr]) <= 50),"
                "[llbm] nvarchar(50) COLLATE NOCASE NULL CHECK (length([llbm]) <= 50),"
                "[sb] nvarchar(50) COLLATE NOCASE NULL CHECK (length([sb]) <= 50),"
                "[sj] datetime NULL CHECK ([sj] IS NULL OR julianday([sj]) IS NOT NULL))"));
}

namespace {

// An embedded engine in a temporary folder: the account set as main
// database, master and UFSystem attached, as the connection does it.
class Engine {
public:
    Engine()
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("rewriter-test"));
        db.setDatabaseName(dir.filePath(QStringLiteral("UFDATA_001_2021.db")));
        EXPECT_TRUE(db.open());
        EXPECT_TRUE(raw(QStringLiteral("ATTACH '%1' AS master").arg(dir.filePath(QStringLiteral("master.db")))));
        EXPECT_TRUE(raw(QStringLiteral("ATTACH '%1' AS UFSystem").arg(dir.filePath(QStringLiteral("UFSystem.db")))));
    }
    ~Engine()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("rewriter-test"));
    }
    bool raw(const QString& sql)
    {
        QSqlQuery q(db);
        return q.exec(sql);
    }
    // Runs a T-SQL statement; error text or "" and the rows as texts.
    QString run(const char* tsql, QStringList* rows = nullptr)
    {
        QSqlQuery q(db);
        if (!q.exec(sqlrewriter::toSqlite(u(tsql))))
            return q.lastError().text();
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i)
                cells << q.value(i).toString();
            if (rows)
                *rows << cells.join(QLatin1Char('|'));
        }
        return {};
    }
    QStringList rows(const char* tsql)
    {
        QStringList out;
        const QString error = run(tsql, &out);
        EXPECT_EQ(error, QString()) << tsql;
        return out;
    }

    QTemporaryDir dir;
    QSqlDatabase db;
};

} // namespace

TEST(SqlRewriter, RewrittenStatementsRunOnTheEmbeddedEngine)
{
    Engine e;
    const char* exists = "select count(*) as hs from sysObjects where Id=OBJECT_ID(N'ckmx') and xtype='U'";
    EXPECT_EQ(e.rows(exists), QStringList{u("0")});
    EXPECT_EQ(e.run("CREATE TABLE [dbo].[ckmx]([autoid] [bigint] IDENTITY(1000,1) NOT NULL,[hh] [nvarchar](50) NULL,"
                    "[chbm] [nvarchar](50) NULL,[sl] [decimal](18, 2) NULL,[sj] [datetime] NULL ) ON [PRIMARY]"),
              QString());
    EXPECT_EQ(e.rows(exists), QStringList{u("1")});

    EXPECT_EQ(e.run("insert into ckmx (hh,chbm ,sl,sj) values ('1','A-1',2.5,'2021-06-24 08:05:09')"), QString());
    EXPECT_EQ(e.run("insert into ckmx (hh,chbm ,sl,sj) values ('2','b-2','3','2021-06-24 08:05:10')"), QString());
    EXPECT_EQ(e.rows("select top 1 hh 行号 from ckmx where chbm='B-2'"), QStringList{u("2")})
        << "texts compare without regard to case";
    EXPECT_EQ(e.rows("select sum(sl ) as 现存量 from ckmx"), QStringList{u("5.5")});
    EXPECT_EQ(e.rows("select * from ( select hh as 行号, chbm as 编码 from ckmx ) x "
                     "where isnull(行号,'') + isnull(编码,'') like '%1A%'"),
              QStringList{u("1|A-1")});

    // Values SQL Server would refuse are refused here too.
    EXPECT_NE(e.run("insert into ckmx (hh,sl) values ('3','abc')"), QString());
    EXPECT_NE(e.run("update ckmx set sl='1x' where hh='1'"), QString());
    EXPECT_NE(e.run("insert into ckmx (hh,sj) values ('3','not a time')"), QString());
    EXPECT_NE(e.run("insert into ckmx (hh,chbm) values ('3','123456789012345678901234567890123456789012345678901')"),
              QString());
    EXPECT_EQ(e.rows("select count(*)as 行数 from ckmx"), QStringList{u("2")});

    // A mistyped name is an error, as on SQL Server, not a text of its own.
    EXPECT_NE(e.run("select [hhh] from ckmx"), QString());
    EXPECT_NE(e.run("select \"hhh\" from ckmx"), QString());
    EXPECT_EQ(e.rows("select [hh] from ckmx where [chbm]='A-1'"), QStringList{u("1")});
    EXPECT_EQ(e.rows("select top 1 hh from ckmx /* /* nested */ */ union all select top 1 chbm from ckmx order by hh"),
              (QStringList{u("1"), u("A-1")}));

    // Other databases of the server.
    EXPECT_EQ(e.run("CREATE TABLE master.dbo.SysDatabases (Name nvarchar(128) NOT NULL PRIMARY KEY)"), QString());
    EXPECT_EQ(e.run("insert into Master..SysDatabases (Name) values (N'UFDATA_001_2021')"), QString());
    EXPECT_EQ(e.rows("SELECT Name FROM Master..SysDatabases ORDER BY Name"), QStringList{u("UFDATA_001_2021")});
    EXPECT_EQ(e.run("CREATE TABLE UFSystem.dbo.UA_Identity (cAcc_Id char(3) NOT NULL, cVouchType nvarchar(50) NOT "
                    "NULL, iFatherId int NOT NULL, iChildId int NOT NULL, PRIMARY KEY (cAcc_Id, cVouchType))"),
              QString());
    EXPECT_EQ(e.run("insert into UFSystem..UA_Identity values ('001','rd',1,1)"), QString());
    EXPECT_EQ(e.run("update UFSystem.dbo.UA_Identity set iChildId=7,iFatherId =3  where cAcc_Id='001' and "
                    "cVouchType='rd'"),
              QString());
    EXPECT_EQ(e.rows("select iFatherId, iChildId from UFSystem.dbo.UA_Identity"), QStringList{u("3|7")});

    // Identity columns take explicit values between the two switches.
    EXPECT_EQ(e.run("CREATE TABLE InvPosition (AutoID int IDENTITY(1,1) NOT NULL, cInvCode nvarchar(60), "
                    "CONSTRAINT PK_InvPosition PRIMARY KEY CLUSTERED (AutoID))"),
              QString());
    EXPECT_EQ(e.run("set identity_insert InvPosition ON"), QString());
    EXPECT_EQ(e.run("INSERT INTO InvPosition (AutoID,cInvCode)  VALUES  (41,'A')"), QString());
    EXPECT_EQ(e.run("set identity_insert InvPosition OFF"), QString());
    EXPECT_EQ(e.run("insert into InvPosition (cInvCode) values ('B')"), QString());
    EXPECT_EQ(e.rows("select AutoID from InvPosition order by AutoID"), (QStringList{u("41"), u("42")}));
    EXPECT_NE(e.run("set identity_insert NoSuchTable ON"), QString());

    EXPECT_EQ(e.run("begin tran"), QString());
    EXPECT_EQ(e.run("delete from ckmx"), QString());
    EXPECT_EQ(e.run("rollback tran"), QString());
    EXPECT_EQ(e.rows("select count(*)as 行数 from ckmx"), QStringList{u("2")});
}

#pragma once
// Translates the T-SQL the program sends into SQLite for the embedded ERP
// (and for an ODBC driver that turns out to be SQLite). It works on tokens,
// construct by construct, and knows no whole statements:
//
//   TOP n                      → LIMIT n at the end of its SELECT; in a
//                                UNION that SELECT becomes a subquery
//   ISNULL(a,b)                → IFNULL(a,b)
//   N'text'                    → 'text'
//   [name], "name"             → [name] (an unknown name stays an error)
//   dbo.t, db.dbo.t, db..t     → t, db.t, db.t
//   a + b on texts             → a || b
//   sysObjects, OBJECT_ID(x)   → views of sqlite_master
//   CREATE TABLE … IDENTITY … ON [PRIMARY]
//                              → a strictly typed SQLite table (see below)
//   SET IDENTITY_INSERT t ON/OFF → a statement without effect
//   BEGIN/COMMIT/ROLLBACK TRAN[SACTION] → BEGIN/COMMIT/ROLLBACK
//   /* nested /* comments */ */ → one comment
//
// Strict column types. SQLite stores any value in any column; SQL Server
// refuses a quantity "abc" for a decimal column. Tables of the embedded ERP
// therefore keep the SQL Server type name (so that the record sets can tell
// integers, numbers, date-times and texts apart) and carry a CHECK per
// column:
//   tinyint, smallint, int, bigint, bit   → same name, integer values only
//   decimal(p,s), numeric(p,s), money, float, real
//                                         → numeric(p,s), numbers only
//   datetime, date, smalldatetime         → datetime / date, valid date texts
//   nvarchar(n), varchar(n), nchar, char  → nvarchar(n) COLLATE NOCASE,
//                                           at most n characters
// The demo-ERP generator writes its schema in T-SQL and passes it through
// this rewriter, so its tables follow the same rules.
#include <QString>

namespace sqlrewriter {

QString toSqlite(const QString& tsql);

} // namespace sqlrewriter

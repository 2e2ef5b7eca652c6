#pragma once
// A small embedded ERP in a temporary folder, built from T-SQL through the
// program's own rewriter: UFDATA_001_2021.db with a few typed tables and
// the inventory table every account set has,
// master.db listing the databases, UFSystem.db with the counters.
#include "erp/SqlRewriter.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ErpFixture {
public:
    static inline const QString kAccountSet = QStringLiteral("UFDATA_001_2021");

    explicit ErpFixture(const QStringList& databases = {QStringLiteral("UFDATA_001_2021")})
    {
        run(QStringLiteral("master"), {QStringLiteral("CREATE TABLE SysDatabases (Name nvarchar(128) NOT NULL)")});
        QStringList names;
        for (const QString& name : databases)
            names << QStringLiteral("insert into SysDatabases values (N'%1')").arg(name);
        run(QStringLiteral("master"), names);
        run(QStringLiteral("UFSystem"),
            {QStringLiteral("CREATE TABLE UA_Identity (cAcc_Id char(3) NOT NULL, cVouchType nvarchar(50) NOT NULL, "
                            "iFatherId int NOT NULL, iChildId int NOT NULL)"),
             QStringLiteral("insert into UA_Identity values ('001','rd',1,1)")});
        run(kAccountSet,
            {QStringLiteral("CREATE TABLE [dbo].[kinds]([i] [int] NULL,[b] [bigint] NULL,[d] [decimal](18, 2) NULL,"
                            "[t] [nvarchar](50) NULL,[dt] [datetime] NULL) ON [PRIMARY]"),
             QStringLiteral("insert into kinds values (1, 10000000000, 2.5, N'螺丝刀', '2021-06-24 08:05:09')"),
             QStringLiteral("insert into kinds values (2, 20, 3, N'扳手', '2021-12-31 23:59:59')"),
             QStringLiteral("insert into kinds values (3, NULL, NULL, NULL, NULL)"),
             QStringLiteral("CREATE TABLE inventory (cInvCode nvarchar(60) NOT NULL)")});
    }

    QString folder() const { return m_dir.path(); }
    QString server() const { return QStringLiteral("sqlite:") + m_dir.path(); }
    QString file(const QString& database) const { return m_dir.filePath(database + QStringLiteral(".db")); }

    // Runs T-SQL statements on one database file directly.
    void run(const QString& database, const QStringList& statements)
    {
        const QString name = QStringLiteral("fixture-") + database;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file(database));
            db.open();
            for (const QString& s : statements) {
                QSqlQuery q(db);
                if (!q.exec(sqlrewriter::toSqlite(s)))
                    qFatal("fixture statement failed: %s: %s", qPrintable(s), qPrintable(q.lastError().text()));
            }
        }
        QSqlDatabase::removeDatabase(name);
    }

private:
    QTemporaryDir m_dir;
};

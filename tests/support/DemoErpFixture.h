#pragma once
// A fresh demo ERP per test, opened the way the program opens it (server
// "sqlite:<folder>", account set UFDATA_001_2021), with the three record
// sets bound, the statement trace on and the operation log in the folder.
#include "app/OperationLog.h"
#include "app/TextCodec.h"
#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/RecordSetRows.h"
#include "tools/demo-erp/DemoErp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class DemoErpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "erp-test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QString error;
        ASSERT_TRUE(demoerp::build(dir.path(), &error)) << error.toStdString();
        ASSERT_TRUE(connection.open(server(), QStringLiteral("sa"), QString(), QStringLiteral("UFDATA_001_2021")))
            << connection.lastError().toStdString();
        for (RecordSet* rs : {&记录集1, &记录集2, &记录集3})
            rs->bind(&connection);
        connection.setTracing(true);

        logPath = dir.filePath(QStringLiteral("yxlog.txt"));
        QFile log(logPath);
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.close();
        ASSERT_TRUE(OperationLog::instance().open(logPath));
    }

    void TearDown() override { OperationLog::instance().close(); }

    QString server() const { return ErpConnection::kEmbeddedPrefix + dir.path(); }

    // The log's entries, without their time stamps.
    QStringList logEntries() const
    {
        QFile log(logPath);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList entries;
        const QStringList raw = textcodec::fromGbk(log.readAll()).split(QStringLiteral("\r\n\r\n"), Qt::SkipEmptyParts);
        for (const QString& entry : raw)
            entries << entry.mid(entry.indexOf(QStringLiteral("]:")) + 2);
        return entries;
    }

    // Rows of a query read on a connection of its own (not traced): the
    // fields of each row joined with "|", NULL as "".
    QStringList rows(const QString& sql) const
    {
        ErpConnection checker(QStringLiteral("checker"));
        if (!checker.open(server(), QString(), QString(), QStringLiteral("UFDATA_001_2021")))
            return {QStringLiteral("<no connection>")};
        RecordSet rs;
        rs.bind(&checker);
        if (!rs.open(sql))
            return {QStringLiteral("<failed: ") + rs.lastError() + u'>'};
        return allRows(rs);
    }

    static QStringList allRows(RecordSet& rs) { return recordSetRows(rs); }

    // Runs a statement on a connection of its own (not traced).
    bool exec(const QString& sql) const
    {
        ErpConnection checker(QStringLiteral("checker"));
        RecordSet rs;
        rs.bind(&checker);
        return checker.open(server(), QString(), QString(), QStringLiteral("UFDATA_001_2021")) && rs.open(sql);
    }

    QString scalar(const QString& sql) const
    {
        const QStringList r = rows(sql);
        return r.isEmpty() ? QString() : r.first();
    }

    QTemporaryDir dir;
    QString logPath;
    ErpConnection connection{QStringLiteral("test")};
    RecordSet 记录集1{QStringLiteral("记录集1")};
    RecordSet 记录集2{QStringLiteral("记录集2")};
    RecordSet 记录集3{QStringLiteral("记录集3")};
};

#pragma once
// What every station test starts from: a data directory of its own with a
// fresh demo ERP, a set.ini that points at it (embedded engine, or ODBC
// with the SQLite ODBC driver registered as "SQL Server") and holds the
// voucher header, the operation log open, the ERP session connected,
// message boxes answered by the test and prompts recorded.
#include "app/AppPaths.h"
#include "app/OperationLog.h"
#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "erp/ErpConnection.h"
#include "erp/ErpSession.h"
#include "erp/RecordSet.h"
#include "tests/support/OdbcSetup.h"
#include "tests/support/RecordingPromptPlayer.h"
#include "tests/support/RecordSetRows.h"
#include "tools/demo-erp/DemoErp.h"
#include "ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <memory>

class StationFixture {
public:
    enum class Path { Embedded, Odbc };

    explicit StationFixture(Path path = Path::Embedded) : m_path(path)
    {
        apppaths::setDataDirectory(dir.path());
        QString error;
        ok = demoerp::build(erpFolder(), &error);
        if (!ok) {
            qWarning("demo ERP: %s", qPrintable(error));
            return;
        }
        const QString section = QStringLiteral("连接配制");
        if (path == Path::Embedded) {
            settings::writeKey(section, QStringLiteral("服务器"), ErpConnection::kEmbeddedPrefix + erpFolder());
            settings::writeKey(section, QStringLiteral("账套"), QStringLiteral("UFDATA_001_2021"));
        } else {
            settings::writeKey(section, QStringLiteral("服务器"), QStringLiteral("localhost"));
            settings::writeKey(section, QStringLiteral("账套"), pathForOdbcDriver(accountSetFile()));
        }
        settings::writeKey(section, QStringLiteral("用户名"), QStringLiteral("sa"));
        settings::writeKey(section, QStringLiteral("密码"), 加密密码(QStringLiteral("pw")));
        const QString header = QStringLiteral("材料出库单表头");
        settings::writeKey(header, QStringLiteral("仓库"), QStringLiteral("02|五金仓"));
        settings::writeKey(header, QStringLiteral("经手人"), QStringLiteral("0001|王洋国"));
        settings::writeKey(header, QStringLiteral("出库类别"), QStringLiteral("202|生产领料"));

        QDir().mkpath(apppaths::logDirectory());
        QFile log(apppaths::logFile());
        log.open(QIODevice::WriteOnly);
        log.close();
        OperationLog::instance().open(apppaths::logFile());

        msgbox::setInterceptor([this](const msgbox::Message& m) {
            messages.append(m);
            return answer;
        });
        erp = std::make_unique<ErpSession>();
        ok = erp->connectOnce();
        if (ok)
            erp->数据库连接.setTracing(true);
    }

    ~StationFixture()
    {
        erp.reset();
        msgbox::setInterceptor({});
        OperationLog::instance().close();
        apppaths::setDataDirectory({});
    }
    StationFixture(const StationFixture&) = delete;
    StationFixture& operator=(const StationFixture&) = delete;

    QString erpFolder() const { return dir.filePath(QStringLiteral("erp")); }
    QString accountSetFile() const { return dir.filePath(QStringLiteral("erp/UFDATA_001_2021.db")); }

    // Rows of a query read on a connection of its own (not traced), fields
    // joined with "|".
    QStringList rows(const QString& sql) const
    {
        ErpConnection checker(QStringLiteral("checker"));
        if (!checker.open(ErpConnection::kEmbeddedPrefix + erpFolder(), QString(), QString(),
                          QStringLiteral("UFDATA_001_2021")))
            return {QStringLiteral("<no connection>")};
        RecordSet rs;
        rs.bind(&checker);
        if (!rs.open(sql))
            return {QStringLiteral("<failed: ") + rs.lastError() + u'>'};
        return recordSetRows(rs);
    }
    QString scalar(const QString& sql) const
    {
        const QStringList r = rows(sql);
        return r.isEmpty() ? QString() : r.first();
    }
    // Runs statements on a connection of its own, in one transaction.
    bool exec(const QStringList& statements) const
    {
        ErpConnection writer(QStringLiteral("writer"));
        if (!writer.open(ErpConnection::kEmbeddedPrefix + erpFolder(), QString(), QString(),
                         QStringLiteral("UFDATA_001_2021")))
            return false;
        QSqlDatabase db = writer.database();
        db.transaction();
        RecordSet rs;
        rs.bind(&writer);
        for (const QString& s : statements) {
            if (!rs.open(s)) {
                qWarning("%s: %s", qPrintable(s), qPrintable(rs.lastError()));
                db.rollback();
                return false;
            }
        }
        return db.commit();
    }

    // The staged rows, top grid line first (highest line number first), as
    // the grid shows them: columns 0-10 joined with "|".
    QStringList stagedRows() const
    {
        return rows(QStringLiteral("select hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj from ckmx "
                                   "order by cast(hh as integer) desc"));
    }

    // The log's entries without their time stamps.
    QStringList logEntries() const
    {
        QFile log(apppaths::logFile());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList entries;
        const QStringList raw = textcodec::fromGbk(log.readAll()).split(QStringLiteral("\r\n\r\n"), Qt::SkipEmptyParts);
        for (const QString& entry : raw)
            entries << entry.mid(entry.indexOf(QStringLiteral("]:")) + 2);
        return entries;
    }

    Path m_path;
    QTemporaryDir dir;
    bool ok = false;
    std::unique_ptr<ErpSession> erp;
    RecordingPromptPlayer player;
    QList<msgbox::Message> messages;
    bool answer = true; // the answer to Yes/No questions
};

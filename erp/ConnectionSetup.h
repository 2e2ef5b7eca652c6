#pragma once
// What the connection window does, without its widgets: read the stored
// connection settings, list the account sets of a server, test a
// connection, store the settings. The window copies its boxes into these
// calls and shows the messages.
#include "erp/ErpConnection.h"

#include <QString>
#include <QStringList>

class ConnectionSetup {
public:
    struct Values {
        QString server;
        QString login;
        QString password; // deciphered
        QString accountSet;
    };

    // The four keys of section "连接配制" ("" when missing).
    static Values stored();

    // Opens the short-lived second connection on database "master" and
    // reads the names of the account-set databases: names beginning with
    // "UFDATA", in upper case. False when the connection fails; names is
    // then untouched.
    bool listAccountSets(const QString& server, const QString& login, const QString& password, QStringList& names);

    // Opens the short-lived second connection on the account set and closes
    // it again. Sets 测试通过 to the outcome.
    bool test(const QString& server, const QString& login, const QString& password, const QString& accountSet);

    // "" when every value, trimmed, can be stored in set.ini and read back
    // unchanged; otherwise the message that refuses the first one that
    // cannot, naming its field. A value GBK cannot hold would come back as
    // "?" and the next start could not connect, although a test with the
    // typed values passed.
    static QString refusal(const QString& server, const QString& login, const QString& password,
                           const QString& accountSet);

    // Writes "服务器", "用户名", "账套" and the enciphered "密码", in this
    // order, each trimmed, in one write of the file. False, with a message
    // for the user in error, when nothing could be written.
    static bool store(const QString& server, const QString& login, const QString& password, const QString& accountSet,
                      QString* error = nullptr);

    // Why the last listing or test failed, as the driver said it ("" after
    // one that worked).
    const QString& lastFailure() const { return m_lastFailure; }

    // The reason to show for a driver's failure text: when no ODBC driver is
    // registered as "SQL Server" (or its library is missing) exactly that,
    // with the odbcinst.ini lines that register FreeTDS under that name;
    // otherwise the driver's own words.
    static QString failureReason(const QString& driverText);
    static bool isDriverMissing(const QString& driverText);
    static const QString kOdbcinstLines;

    // Whether a connection test passed in this run of the program. It is not
    // reset when the window opens again.
    static bool& 测试通过();
    // The values (trimmed) of the last test that passed: Apply stores only
    // what was tested. "" (the field's name) when they still match, else the
    // name of the first field changed since.
    static QString changedSinceTest(const QString& server, const QString& login, const QString& password,
                                    const QString& accountSet);

    static bool isAccountSetName(const QString& databaseName);

    static const QString kListQuery; // "SELECT Name FROM Master..SysDatabases ORDER BY Name"

    ErpConnection 外部数据库_配制{QStringLiteral("setup")};

private:
    static Values& tested();
    QString m_lastFailure;
};

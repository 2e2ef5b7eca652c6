#pragma once
// What the connection window does, without its widgets: read the stored
// connection settings, list the account sets of a server, test a
// connection, store the settings. The window copies its boxes into these
// calls and shows the messages.
#include "ErpConnection.h"

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
    bool listAccountSets(const QString& server, const QString& login, const QString& password,
                         QStringList& names);

    // Opens the short-lived second connection on the account set and closes
    // it again. Sets 测试通过 to the outcome.
    bool test(const QString& server, const QString& login, const QString& password, const QString& accountSet);

    // Writes "服务器", "用户名", "账套" and the enciphered "密码", in this
    // order, each trimmed.
    static void store(const QString& server, const QString& login, const QString& password,
                      const QString& accountSet);

    // Whether a connection test passed in this run of the program. It is not
    // reset when the window opens again.
    static bool& 测试通过();

    static bool isAccountSetName(const QString& databaseName);

    static const QString kListQuery; // "SELECT Name FROM Master..SysDatabases ORDER BY Name"

    ErpConnection 外部数据库_配制{QStringLiteral("setup")};
};

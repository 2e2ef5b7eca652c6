#pragma once
// The process-wide ERP objects the start window owns: the one connection
// 数据库连接 and the three record sets every part of the program runs its
// statements through.
#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"

#include <QString>

class ErpSession {
public:
    ErpSession();
    ~ErpSession();
    ErpSession(const ErpSession&) = delete;
    ErpSession& operator=(const ErpSession&) = delete;

    ErpConnection 数据库连接{QStringLiteral("erp")};
    RecordSet 记录集1{QStringLiteral("记录集1")};
    RecordSet 记录集2{QStringLiteral("记录集2")};
    RecordSet 记录集3{QStringLiteral("记录集3")};

    // Bytes 8 to 10 of the account-set name, taken at every connect.
    QString 账套号;

    // One attempt with the settings stored in set.ini, without messages or
    // windows (the connection window's loop is erp_ui/SessionConnect.h).
    bool connectOnce();

    bool isOpen() const;
    void close();

    // Bytes 8 to 10 (counted from 1) of the GBK form of an account-set name:
    // "UFDATA_001_2021" → "001"; "" when the name is shorter than 8 bytes.
    static QString accountNumber(const QString& accountSet);

    // The settings of the last connect, read from set.ini (the station hold
    // opens its own connection with them).
    struct Login {
        QString server;
        QString login;
        QString password;
        QString accountSet;
    };
    const Login& lastLogin() const { return m_login; }

private:
    Login m_login;
};

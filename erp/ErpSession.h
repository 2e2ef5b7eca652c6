#pragma once
// The process-wide ERP objects the start window owns: the one connection
// 数据库连接 and the three record sets every part of the program runs its
// statements through.
#include "ErpConnection.h"
#include "RecordSet.h"
#include "StationHold.h"

#include <QString>

class QWidget;

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

    // The hold on the account set's scanning station (one open scanning
    // window per account set).
    StationHold stationHold;

    // Takes stationHold for the account set of the last connect. When
    // another program holds it, or it cannot be taken, tells the user why
    // (message box owned by owner) and returns false.
    bool takeStationHold(QWidget* owner);

    // Opens the connection from set.ini. Returns only with an open
    // connection: on failure it tells the user, shows the connection window
    // (owned by owner) and tries again; that window's cancel button ends the
    // program.
    void 连接账套(QWidget* owner);

    // One attempt with the stored settings, without messages or windows.
    bool connectOnce();

    bool isOpen() const;
    void close();

    // The session of the running program (the one created last and not yet
    // destroyed), or nullptr.
    static ErpSession* current();

    // Bytes 8 to 10 (counted from 1) of the GBK form of an account-set name:
    // "UFDATA_001_2021" → "001"; "" when the name is shorter than 8 bytes.
    static QString accountNumber(const QString& accountSet);

private:
    // The settings of the last connect, read from set.ini.
    struct Login {
        QString server;
        QString login;
        QString password;
        QString accountSet;
    };
    Login m_login;
};

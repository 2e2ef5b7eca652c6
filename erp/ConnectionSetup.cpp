#include "erp/ConnectionSetup.h"

#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "erp/RecordSet.h"

namespace {
const QString kSection = QStringLiteral("连接配制");
}

const QString ConnectionSetup::kListQuery = QStringLiteral("SELECT Name FROM Master..SysDatabases ORDER BY Name");

ConnectionSetup::Values ConnectionSetup::stored()
{
    return {settings::readKey(kSection, QStringLiteral("服务器")),
            settings::readKey(kSection, QStringLiteral("用户名")),
            解密密码(settings::readKey(kSection, QStringLiteral("密码"))),
            settings::readKey(kSection, QStringLiteral("账套"))};
}

bool& ConnectionSetup::测试通过()
{
    static bool passed = false;
    return passed;
}

ConnectionSetup::Values& ConnectionSetup::tested()
{
    static Values values;
    return values;
}

QString ConnectionSetup::changedSinceTest(const QString& server, const QString& login, const QString& password,
                                          const QString& accountSet)
{
    using textcodec::trimBlanks;
    const Values& t = tested();
    // A test that passed in an earlier opening of the window was stored
    // then: the values read back from set.ini count as tested too.
    const Values now{trimBlanks(server), trimBlanks(login), trimBlanks(password), trimBlanks(accountSet)};
    const Values s = stored();
    const auto same = [](const Values& a, const Values& b) {
        return a.server == b.server && a.login == b.login && a.password == b.password && a.accountSet == b.accountSet;
    };
    if (same(now, t) || same(now, s))
        return {};
    if (now.server != t.server)
        return QStringLiteral("服务器");
    if (now.login != t.login)
        return QStringLiteral("用户名");
    if (now.password != t.password)
        return QStringLiteral("密码");
    return QStringLiteral("U8账套");
}

bool ConnectionSetup::isAccountSetName(const QString& databaseName)
{
    return databaseName.startsWith(QLatin1String("UFDATA"), Qt::CaseSensitive);
}

const QString ConnectionSetup::kOdbcinstLines =
    QStringLiteral("[SQL Server]\n"
                   "Description=FreeTDS under the name the program asks for\n"
                   "Driver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so\n"
                   "TDS_Version=7.4");

bool ConnectionSetup::isDriverMissing(const QString& driverText)
{
    // unixODBC's words when no driver of that name is registered (IM002), or
    // when the registered driver's library cannot be loaded (01000).
    return driverText.contains(QLatin1String("Data source name not found"), Qt::CaseInsensitive)
        || driverText.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive)
        || driverText.contains(QLatin1String("IM002"));
}

QString ConnectionSetup::failureReason(const QString& driverText)
{
    if (isDriverMissing(driverText))
        return QStringLiteral("本机没有登记名为“SQL Server”的 ODBC 驱动程序。请安装 FreeTDS（Debian 软件包 tdsodbc），"
                              "并以管理员身份把下面几行加入 /etc/odbcinst.ini：\n")
            + kOdbcinstLines + QStringLiteral("\n（驱动程序原文：") + driverText.trimmed() + QStringLiteral("）");
    return QStringLiteral("原因（驱动程序原文）：") + driverText.trimmed();
}

bool ConnectionSetup::listAccountSets(const QString& server, const QString& login, const QString& password,
                                      QStringList& names)
{
    using textcodec::trimBlanks;
    m_lastFailure.clear();
    if (!外部数据库_配制.openServer(trimBlanks(server), trimBlanks(login), trimBlanks(password))) {
        m_lastFailure = 外部数据库_配制.lastError();
        return false;
    }
    names.clear();
    RecordSet list;
    list.bind(&外部数据库_配制);
    if (list.open(kListQuery)) {
        list.moveFirst();
        for (int i = 0, n = list.recordCount(); i < n; ++i) {
            QString name;
            if (list.readText(QStringLiteral("Name"), name) && isAccountSetName(name))
                names << name;
            list.moveNext();
        }
    }
    list.close();
    外部数据库_配制.close();
    return true;
}

bool ConnectionSetup::test(const QString& server, const QString& login, const QString& password,
                           const QString& accountSet)
{
    using textcodec::trimBlanks;
    测试通过() = 外部数据库_配制.open(trimBlanks(server), trimBlanks(login), trimBlanks(password), accountSet);
    m_lastFailure = 测试通过() ? QString() : 外部数据库_配制.lastError();
    if (测试通过())
        tested() = {trimBlanks(server), trimBlanks(login), trimBlanks(password), trimBlanks(accountSet)};
    外部数据库_配制.close();
    return 测试通过();
}

QString ConnectionSetup::refusal(const QString& server, const QString& login, const QString& password,
                                 const QString& accountSet)
{
    using textcodec::trimBlanks;
    // The password is stored enciphered, so only its GBK bytes matter.
    for (const QString& why : {settings::refusal(QStringLiteral("服务器"), trimBlanks(server)),
                               settings::refusal(QStringLiteral("用户名"), trimBlanks(login)),
                               settings::gbkRefusal(QStringLiteral("密码"), trimBlanks(password)),
                               settings::refusal(QStringLiteral("U8账套"), trimBlanks(accountSet))})
        if (!why.isEmpty())
            return why;
    return {};
}

bool ConnectionSetup::store(const QString& server, const QString& login, const QString& password,
                            const QString& accountSet, QString* error)
{
    using textcodec::trimBlanks;
    const QString why = refusal(server, login, password, accountSet);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    return settings::writeKeys(kSection,
                               {{QStringLiteral("服务器"), trimBlanks(server)},
                                {QStringLiteral("用户名"), trimBlanks(login)},
                                {QStringLiteral("账套"), trimBlanks(accountSet)},
                                {QStringLiteral("密码"), 加密密码(trimBlanks(password))}},
                               error);
}

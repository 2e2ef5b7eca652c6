#include "erp/ErpSession.h"

#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "app/TextCodec.h"

namespace {
const QString kSection = QStringLiteral("连接配制");
}

ErpSession::ErpSession() = default;

ErpSession::~ErpSession()
{
    close();
}

QString ErpSession::accountNumber(const QString& accountSet)
{
    const QByteArray bytes = textcodec::toGbk(accountSet);
    if (bytes.size() < 8)
        return {};
    return textcodec::fromGbk(bytes.mid(7, 3));
}

bool ErpSession::connectOnce()
{
    m_login.server = settings::readKey(kSection, QStringLiteral("服务器"));
    m_login.login = settings::readKey(kSection, QStringLiteral("用户名"));
    m_login.password = 解密密码(settings::readKey(kSection, QStringLiteral("密码")));
    m_login.accountSet = settings::readKey(kSection, QStringLiteral("账套"));
    账套号 = accountNumber(m_login.accountSet);
    for (RecordSet* r : {&记录集1, &记录集2, &记录集3})
        r->bind(&数据库连接);
    return 数据库连接.open(m_login.server, m_login.login, m_login.password, m_login.accountSet);
}

bool ErpSession::isOpen() const
{
    return 数据库连接.isOpen();
}

void ErpSession::close()
{
    for (RecordSet* r : {&记录集1, &记录集2, &记录集3})
        r->close();
    数据库连接.close();
}

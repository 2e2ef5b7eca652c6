#include "ErpSession.h"

#include "ConnectionWindow.h"
#include "MessageBox.h"
#include "OperationLog.h"
#include "PasswordCipher.h"
#include "Settings.h"
#include "TextCodec.h"

namespace {
ErpSession* g_current = nullptr;
const QString kSection = QStringLiteral("连接配制");
}

ErpSession::ErpSession()
{
    g_current = this;
}

ErpSession::~ErpSession()
{
    close();
    if (g_current == this)
        g_current = nullptr;
}

ErpSession* ErpSession::current()
{
    return g_current;
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

void ErpSession::连接账套(QWidget* owner)
{
    while (!connectOnce()) {
        msgbox::show(QStringLiteral("连接U8账套失败，请重新配制数据库连接信息"), msgbox::Icon::Error,
                     msgbox::kDefaultCaption, owner);
        窗口_数据库连接配制 window(owner);
        window.exec();
    }
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

bool ErpSession::takeStationHold(QWidget* owner)
{
    const StationHold::Result result =
        stationHold.take(m_login.server, m_login.login, m_login.password, m_login.accountSet);
    if (result == StationHold::Result::Taken)
        return true;
    const QString message = stationHold.message(result);
    写日志(message);
    msgbox::show(message,
                 result == StationHold::Result::Failed ? msgbox::Icon::Error : msgbox::Icon::Information,
                 msgbox::kDefaultCaption, owner);
    return false;
}

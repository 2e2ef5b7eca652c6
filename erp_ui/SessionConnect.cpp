#include "erp_ui/SessionConnect.h"

#include "app/OperationLog.h"
#include "erp/ConnectionSetup.h"
#include "erp/ErpSession.h"
#include "erp_ui/ConnectionWindow.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>

namespace erpui {
namespace {
// Set once 按钮_取消 was pressed: from then on no window is shown again
// (no event loop runs any more) and no connect is retried.
bool g_ending = false;
} // namespace

bool editConnection(QWidget* owner)
{
    if (g_ending)
        return false;
    ConnectionWindow window(owner);
    if (window.exec() != ConnectionWindow::kCancelled)
        return true;
    // 按钮_取消: every running event loop returns, the outermost one with
    // exit code 0, and main ends the program.
    g_ending = true;
    QCoreApplication::exit(0);
    return false;
}

bool connectSession(ErpSession& session, QWidget* owner)
{
    while (!g_ending && !session.connectOnce()) {
        // The driver's reason goes to the screen and to the log: without it
        // the IT person can only guess between a wrong password, a server
        // that does not answer and a missing driver.
        const QString why = session.数据库连接.lastError();
        写日志(QStringLiteral("连接U8账套失败：") + why.trimmed());
        msgbox::show(QStringLiteral("连接U8账套失败，请重新配制数据库连接信息\n") + ConnectionSetup::failureReason(why),
                     msgbox::Icon::Error, msgbox::kDefaultCaption, owner);
        if (!editConnection(owner))
            return false;
    }
    return !g_ending;
}

} // namespace erpui

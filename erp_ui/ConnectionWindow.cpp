#include "erp_ui/ConnectionWindow.h"

#include "app/OperationLog.h"
#include "ui/DropDownList.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <typename W> W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace

const QString ConnectionWindow::kServerHint = QStringLiteral("主机,端口/主机\\实例/sqlite:目录");
const QString ConnectionWindow::kServerHelp = QStringLiteral(
    "SQL Server：主机名或地址（如 192.168.1.10），可加端口（192.168.1.10,1433）或实例名（U8SERVER\\U8）\n"
    "内置演示账套：sqlite:<目录>，目录中有 master.db、UFSystem.db 和账套数据库");

ConnectionWindow::ConnectionWindow(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("窗口_数据库连接配制"));
    setWindowTitle(QStringLiteral("数据库连接配制"));
    setGeometry(50, 50, 380, 253);

    分组框1 = place(new QGroupBox(this), "分组框1", 7, 16, 360, 160);
    place(new QLabel(QStringLiteral("服务器"), 分组框1), "标签_服务器", 16, 18, 72, 24);
    编辑框_服务器 = place(new QLineEdit(分组框1), "编辑框_服务器", 96, 18, 201, 24);
    // What the box accepts, so that a newcomer without a SQL Server finds
    // the embedded demo ERP too.
    编辑框_服务器->setPlaceholderText(kServerHint);
    编辑框_服务器->setToolTip(kServerHelp);
    place(new QLabel(QStringLiteral("用户名"), 分组框1), "标签_用户名", 16, 53, 72, 24);
    编辑框_用户名 = place(new QLineEdit(QStringLiteral("sa"), 分组框1), "编辑框_用户名", 96, 53, 201, 24);
    place(new QLabel(QStringLiteral("密码"), 分组框1), "标签_密码", 16, 88, 72, 24);
    编辑框_密码 = place(new QLineEdit(分组框1), "编辑框_密码", 96, 88, 201, 24);
    编辑框_密码->setEchoMode(QLineEdit::Password);
    编辑框_密码->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"
    place(new QLabel(QStringLiteral("U8账套"), 分组框1), "标签_账套", 16, 123, 72, 24);
    auto* list = place(new DropDownList(分组框1), "组合框_账套列表", 97, 123, 201, 24);
    list->setEditable(false);
    list->aboutToOpen = [this] { 列出账套(); };
    组合框_账套列表 = list;

    按钮_测试 = place(new QPushButton(QStringLiteral("测试"), this), "按钮_测试", 24, 182, 80, 32);
    按钮_应用 = place(new QPushButton(QStringLiteral("应用"), this), "按钮_应用", 132, 182, 80, 32);
    按钮_取消 = place(new QPushButton(QStringLiteral("取消"), this), "按钮_取消", 240, 182, 80, 32);
    for (QPushButton* b : {按钮_测试, 按钮_应用, 按钮_取消})
        b->setAutoDefault(false);
    connect(按钮_测试, &QPushButton::clicked, this, [this] { 测试(); });
    connect(按钮_应用, &QPushButton::clicked, this, [this] { 应用(); });
    connect(按钮_取消, &QPushButton::clicked, this, [this] { 取消(); });

    填充设置();
}

void ConnectionWindow::填充设置()
{
    const ConnectionSetup::Values v = ConnectionSetup::stored();
    编辑框_服务器->setText(v.server);
    编辑框_用户名->setText(v.login);
    编辑框_密码->setText(v.password);
    // The stored name shows as the list's text while no item is selected.
    m_storedAccountSet = v.accountSet;
    组合框_账套列表->setPlaceholderText(v.accountSet);
    组合框_账套列表->setCurrentIndex(-1);
}

void ConnectionWindow::列出账套()
{
    QStringList names;
    if (!m_setup.listAccountSets(编辑框_服务器->text(), 编辑框_用户名->text(), 编辑框_密码->text(), names)) {
        showFailure(QStringLiteral("获取账套失败，请检查数据库连接配制"), m_setup.lastFailure());
        return;
    }
    组合框_账套列表->clear();
    组合框_账套列表->addItems(names);
    组合框_账套列表->setCurrentIndex(-1);
}

void ConnectionWindow::测试()
{
    if (组合框_账套列表->currentIndex() < 0) {
        msgbox::show(QStringLiteral("请指定账套：请在“U8账套”列表中选择要连接的账套"), msgbox::Icon::None,
                     msgbox::kDefaultCaption, this);
        return;
    }
    // A test must not pass with values that the settings file would store
    // differently.
    if (refused(组合框_账套列表->currentText()))
        return;
    if (m_setup.test(编辑框_服务器->text(), 编辑框_用户名->text(), 编辑框_密码->text(),
                     组合框_账套列表->currentText())) {
        // The fields stay editable: a typo seen after the test can still be
        // mended (Apply then asks for a new test).
        msgbox::show(QStringLiteral("测试连接成功！"), msgbox::Icon::None, msgbox::kDefaultCaption, this);
    } else {
        showFailure(QStringLiteral("测试连接操失败！请检查相关配制"), m_setup.lastFailure());
    }
}

QString ConnectionWindow::selectedAccountSet() const
{
    // Without a selection (the window reopened after a test that passed
    // earlier in this run) the stored name stays, rather than an empty one
    // that would make every later connection fail.
    return 组合框_账套列表->currentIndex() >= 0 ? 组合框_账套列表->currentText() : m_storedAccountSet;
}

bool ConnectionWindow::refused(const QString& accountSet)
{
    const QString why =
        ConnectionSetup::refusal(编辑框_服务器->text(), 编辑框_用户名->text(), 编辑框_密码->text(), accountSet);
    if (why.isEmpty())
        return false;
    msgbox::show(why, msgbox::Icon::Error, msgbox::kDefaultCaption, this);
    return true;
}

void ConnectionWindow::showFailure(const QString& message, const QString& driverText)
{
    写日志(message + QStringLiteral("：") + driverText.trimmed());
    msgbox::show(message + QStringLiteral("\n") + ConnectionSetup::failureReason(driverText), msgbox::Icon::None,
                 msgbox::kDefaultCaption, this);
}

void ConnectionWindow::应用()
{
    // An empty password is valid (the demo ERP's login has none); server
    // and login are needed, and the refusal names the one missing.
    for (const auto& [box, field] :
         {std::pair{编辑框_服务器, QStringLiteral("服务器")}, std::pair{编辑框_用户名, QStringLiteral("用户名")}}) {
        if (box->text().isEmpty()) {
            msgbox::show(QStringLiteral("信息不完整请重新录入：请填写“%1”").arg(field), msgbox::Icon::Question,
                         msgbox::kDefaultCaption, this);
            box->setFocus();
            return;
        }
    }
    if (!ConnectionSetup::测试通过()) {
        msgbox::show(QStringLiteral("测试连接不通过或未测试连接！请先点“测试”，测试成功后再点“应用”"),
                     msgbox::Icon::Question, msgbox::kDefaultCaption, this);
        return;
    }
    if (refused(selectedAccountSet()))
        return;
    const QString changed = ConnectionSetup::changedSinceTest(编辑框_服务器->text(), 编辑框_用户名->text(),
                                                              编辑框_密码->text(), selectedAccountSet());
    if (!changed.isEmpty()) {
        msgbox::show(QStringLiteral("“%1”在测试之后改过了，请再点“测试”测试连接").arg(changed), msgbox::Icon::Question,
                     msgbox::kDefaultCaption, this);
        return;
    }
    QString error;
    if (!ConnectionSetup::store(编辑框_服务器->text(), 编辑框_用户名->text(), 编辑框_密码->text(), selectedAccountSet(),
                                &error)) {
        msgbox::show(error, msgbox::Icon::Error, msgbox::kDefaultCaption, this);
        return;
    }
    msgbox::show(QStringLiteral("配制完成！"), msgbox::Icon::None, msgbox::kDefaultCaption, this);
    accept();
}

void ConnectionWindow::取消()
{
    done(kCancelled);
}

#pragma once
// ConnectionWindow (ConnectionWindow): the window in which the user enters
// server, login and password, picks the account set, tests the connection
// and stores the settings. Opened modally at start-up when set.ini is
// missing, after every failed connection attempt, and from the start
// window's 数据库连接 button. It cannot dead-end: the fields stay editable
// after a test, an empty password is valid, every refusal names its field,
// and a failed connection shows (and logs) the driver's reason.
#include "erp/ConnectionSetup.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class ConnectionWindow : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionWindow(QWidget* owner = nullptr);

    // The result of exec() when 按钮_取消 was pressed: the program is to end
    // (erp_ui/SessionConnect.h). Closing the window otherwise rejects it.
    static constexpr int kCancelled = 2;

    // The hint 编辑框_服务器 shows while it is empty, and its tool tip.
    static const QString kServerHint;
    static const QString kServerHelp;

private:
    void 填充设置();
    void 列出账套();
    void 测试();
    void 应用();
    void 取消();
    QString selectedAccountSet() const;
    // Shows why a typed value cannot be stored, if one cannot.
    bool refused(const QString& accountSet);
    // Shows a failed listing or test with the driver's reason, and logs it.
    void showFailure(const QString& message, const QString& driverText);

    ConnectionSetup m_setup;
    QString m_storedAccountSet;
    QGroupBox* 分组框1;
    QLineEdit* 编辑框_服务器;
    QLineEdit* 编辑框_用户名;
    QLineEdit* 编辑框_密码;
    QComboBox* 组合框_账套列表;
    QPushButton* 按钮_测试;
    QPushButton* 按钮_应用;
    QPushButton* 按钮_取消;
};

#include "shell/StartWindow.h"

#include "app/OperationLog.h"
#include "app/Settings.h"
#include "erp_ui/ConnectionWindow.h"
#include "erp_ui/SessionConnect.h"
#include "labels/DeviceLabelWindow.h"
#include "labels/PersonLabelWindow.h"
#include "scanner_setup/ScannerSetupWindow.h"
#include "shell/DataDirectories.h"
#include "shell/HeaderSettings.h"
#include "shell/Skin.h"
#include "station/ScanWindow.h"
#include "ui/Controls.h"
#include "ui/MessageBox.h"
#include "ui/WavPromptPlayer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

using controls::make;

namespace {

std::optional<QString> selectedItem(const QComboBox* list)
{
    if (list->currentIndex() < 0)
        return std::nullopt;
    return list->currentText();
}

} // namespace

StartWindow::StartWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("窗口_启动"));
    setWindowTitle(QStringLiteral("Quillmark"));
    setGeometry(50, 50, 810, 134);

    m_group = make<QGroupBox>(this, QStringLiteral("分组框1"), 0, -1, 800, 97);
    make<QLabel>(m_group, QStringLiteral("标签_仓库"), 3, 10, 72, 24, QStringLiteral("出库仓库"));
    m_warehouse = make<QComboBox>(m_group, QStringLiteral("组合框_仓库"), 81, 10, 128, 20);
    make<QLabel>(m_group, QStringLiteral("标签_经手人"), 215, 10, 72, 24, QStringLiteral("经手人"));
    m_handler = make<QComboBox>(m_group, QStringLiteral("组合框_经手人"), 296, 10, 128, 20);
    make<QLabel>(m_group, QStringLiteral("标签_出库日期"), 3, 40, 72, 24, QStringLiteral("出库日期"));
    // Every voucher is written with the day it is written on: the box shows
    // that day and cannot be changed, so nobody believes a back-dated
    // voucher was written. It follows the clock past midnight.
    m_date = make<QDateEdit>(m_group, QStringLiteral("日期框_盘点日期"), 82, 40, 128, 24, QDate::currentDate());
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setReadOnly(true);
    m_date->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_date->setFocusPolicy(Qt::NoFocus);
    m_date->setToolTip(QStringLiteral("出库单一律按写入当天的日期生成"));
    m_dateTimer = new QTimer(this);
    m_dateTimer->setInterval(30 * 1000);
    connect(m_dateTimer, &QTimer::timeout, this, [this] { m_date->setDate(QDate::currentDate()); });
    m_dateTimer->start();
    make<QLabel>(m_group, QStringLiteral("标签_出库类别"), 215, 40, 72, 24, QStringLiteral("出库类别"));
    m_category = make<QComboBox>(m_group, QStringLiteral("组合框_出库类别"), 296, 40, 128, 20);
    // Beside the lists: which saved header value the ERP no longer has.
    m_headerHint = make<QLabel>(m_group, QStringLiteral("标签_表头提示"), 3, 68, 424, 24);
    m_headerHint->setStyleSheet(QStringLiteral("color: red;"));
    m_saveSettings =
        make<QPushButton>(m_group, QStringLiteral("按钮_保存设置"), 432, 13, 80, 32, QStringLiteral("保存设置"));
    m_scannerSetup =
        make<QPushButton>(m_group, QStringLiteral("按钮_条码枪设置"), 520, 13, 80, 32, QStringLiteral("条码枪设置"));
    m_onlineMode =
        make<QPushButton>(m_group, QStringLiteral("按钮_在线模式"), 610, 13, 80, 32, QStringLiteral("在线模式"));
    m_personLabels = make<QPushButton>(m_group, QStringLiteral("按钮_打印人员条码"), 432, 56, 80, 32,
                                       QStringLiteral("打印人员条码"));
    m_deviceLabels = make<QPushButton>(m_group, QStringLiteral("按钮_打印设备条码"), 520, 56, 80, 32,
                                       QStringLiteral("打印设备条码"));
    // The connection window at any time, not only when set.ini is missing.
    m_connection =
        make<QPushButton>(m_group, QStringLiteral("按钮_数据库连接"), 610, 56, 80, 32, QStringLiteral("数据库连接"));
    m_connection->setToolTip(QStringLiteral("查看或修改 U8 数据库连接（服务器、用户名、密码、账套）"));

    connect(m_saveSettings, &QPushButton::clicked, this, &StartWindow::onSaveSettingsClicked);
    connect(m_scannerSetup, &QPushButton::clicked, this, &StartWindow::onScannerSetupClicked);
    // The label windows are opened modally without an owner window.
    connect(m_personLabels, &QPushButton::clicked, this, [this] {
        PersonLabelWindow window(m_erp.记录集2);
        window.exec();
    });
    connect(m_deviceLabels, &QPushButton::clicked, this, [this] {
        DeviceLabelWindow window(m_erp.记录集2);
        window.exec();
    });
    connect(m_onlineMode, &QPushButton::clicked, this, &StartWindow::onOnlineModeClicked);
    connect(m_connection, &QPushButton::clicked, this, &StartWindow::onConnectionClicked);
}

void StartWindow::onConnectionClicked()
{
    // Opened by the clerk or the IT person: 取消 or closing only closes the
    // window, and the program goes on with the connection it has.
    ConnectionWindow window(this);
    if (window.exec() != QDialog::Accepted)
        return;
    // New settings were tested and stored: work on them from now on.
    m_erp.close();
    if (!connectToErp())
        return;
    fillHeaderLists();
}

StartWindow::~StartWindow()
{
    m_erp.close();
}

void StartWindow::onCreated()
{
    skin::apply();
    if (!settings::fileExists() && !erpui::editConnection(this))
        return;
    if (!connectToErp())
        return;
    if (!datadirectories::prepareAndOpenLog())
        return;
    fillHeaderLists();
}

bool StartWindow::connectToErp()
{
    // Returns with an open connection, or false when the connection window
    // was cancelled on the way: the program is then ending.
    return erpui::connectSession(m_erp, this);
}

void StartWindow::fillHeaderLists()
{
    const QString handler = fillHeaderList(m_handler, headerlists::Kind::Handler);
    const QString warehouse = fillHeaderList(m_warehouse, headerlists::Kind::Warehouse);
    const QString category = fillHeaderList(m_category, headerlists::Kind::Category);
    QStringList missing;
    for (const QString& m : {warehouse, handler, category})
        if (!m.isEmpty())
            missing << m;
    const QString hint = headersettings::missingHint(missing);
    m_headerHint->setToolTip(hint);
    m_headerHint->setText(m_headerHint->fontMetrics().elidedText(hint, Qt::ElideRight, m_headerHint->width()));
}

QString StartWindow::fillHeaderList(QComboBox* list, headerlists::Kind kind)
{
    const auto items = headerlists::readItems(m_erp.记录集1, headerlists::query(kind));
    if (!items)
        return {}; // a failed query leaves the list as it was, without a message
    list->clear();
    list->addItems(*items);
    // The saved choice is shown again, found by its code among what the ERP
    // lists today, so that the clerk sees the header the next voucher
    // carries; a saved value the ERP no longer has leaves the list empty.
    const headersettings::Restored restored = headersettings::restore(kind, headersettings::savedValue(kind), *items);
    list->setCurrentIndex(restored.index);
    return restored.missing;
}

void StartWindow::onScannerSetupClicked()
{
    // A new window each time: nothing is kept between openings.
    ScannerSetupWindow window(this);
    window.exec();
}

void StartWindow::onSaveSettingsClicked()
{
    const headersettings::Choice choice{selectedItem(m_warehouse), selectedItem(m_handler), selectedItem(m_category)};
    QString error;
    switch (headersettings::save(choice, &error)) {
    case headersettings::SaveResult::Incomplete:
        msgbox::show(headersettings::kIncompleteMessage, msgbox::Icon::Question);
        return;
    case headersettings::SaveResult::Failed:
        msgbox::show(error, msgbox::Icon::Error);
        return;
    case headersettings::SaveResult::Saved:
        break;
    }
    msgbox::show(headersettings::kSavedMessage);
}

bool StartWindow::takeStationHold()
{
    const ErpSession::Login& login = m_erp.lastLogin();
    const StationHold::Result result = m_stationHold.take(login.server, login.login, login.password, login.accountSet);
    if (result == StationHold::Result::Taken)
        return true;
    const QString message = m_stationHold.message(result);
    写日志(message);
    msgbox::show(message, result == StationHold::Result::Failed ? msgbox::Icon::Error : msgbox::Icon::Information,
                 msgbox::kDefaultCaption, this);
    return false;
}

void StartWindow::onOnlineModeClicked()
{
    // One scanning window per account set: it opens only under the
    // station hold, which ends when this handler returns, i.e. once the
    // window has closed. When refused, the user has been told why.
    if (!takeStationHold())
        return;
    const auto releaseHold = qScopeGuard([this] { m_stationHold.release(); });
    // The scanning station, modal, on this window's ERP session. Its prompts
    // are read from wav/ beside the program each time it opens.
    WavPromptPlayer player(QCoreApplication::applicationDirPath() + QStringLiteral("/wav"));
    ScanWindow window(m_erp, &player, this);
    window.exec();
}

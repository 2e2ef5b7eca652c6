// ConnectionWindow and the connect loop, driven offscreen by object
// names. Account sets live in embedded ERP folders; a server that cannot be
// reached is FreeTDS (registered as "SQL Server") aimed at a closed port.
#include "erp_ui/ConnectionWindow.h"
#include "app/AppPaths.h"
#include "app/OperationLog.h"
#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "erp/ConnectionSetup.h"
#include "erp/ErpSession.h"
#include "erp_ui/SessionConnect.h"
#include "tests/support/ErpFixture.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString kDeadServer = QStringLiteral("127.0.0.1,1"); // nothing listens on port 1
const QString kSection = QStringLiteral("连接配制");

template <typename T> T* child(QWidget* window, const char* name)
{
    T* w = window->findChild<T*>(QString::fromUtf8(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void storeSettings(const QString& server, const QString& login, const QString& password, const QString& accountSet)
{
    settings::writeKey(kSection, QStringLiteral("服务器"), server);
    settings::writeKey(kSection, QStringLiteral("用户名"), login);
    settings::writeKey(kSection, QStringLiteral("密码"), 加密密码(password));
    settings::writeKey(kSection, QStringLiteral("账套"), accountSet);
}

// Runs action on the modal connection window once it is shown.
void whenWindowShows(std::function<void(QDialog*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!w || w->objectName() != QStringLiteral("窗口_数据库连接配制"))
            return;
        timer->stop();
        timer->deleteLater();
        action(w);
    });
    timer->start();
}

} // namespace

class ConnectionWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;
    QList<msgbox::Message> m_messages;

    static QByteArray iniBytes()
    {
        QFile f(apppaths::settingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList texts() const
    {
        QStringList out;
        for (const auto& m : m_messages)
            out << m.text;
        return out;
    }

private slots:
    void init()
    {
        QFile::remove(m_data.filePath(QStringLiteral("set.ini")));
        apppaths::setDataDirectory(m_data.path());
        ConnectionSetup::测试通过() = false;
        m_messages.clear();
        msgbox::setInterceptor([this](const msgbox::Message& m) {
            m_messages << m;
            return true;
        });
    }

    void controlsStandWhereTheyBelong()
    {
        ConnectionWindow w;
        QCOMPARE(w.objectName(), QStringLiteral("窗口_数据库连接配制"));
        QCOMPARE(w.windowTitle(), QStringLiteral("数据库连接配制"));
        QCOMPARE(w.geometry(), QRect(50, 50, 380, 253));
        const struct {
            const char* name;
            const char* caption;
            QRect rect;
        } controls[] = {
            {"分组框1", "", {7, 16, 360, 160}},
            {"标签_服务器", "服务器", {16, 18, 72, 24}},
            {"编辑框_服务器", nullptr, {96, 18, 201, 24}},
            {"标签_用户名", "用户名", {16, 53, 72, 24}},
            {"编辑框_用户名", nullptr, {96, 53, 201, 24}},
            {"标签_密码", "密码", {16, 88, 72, 24}},
            {"编辑框_密码", nullptr, {96, 88, 201, 24}},
            {"标签_账套", "U8账套", {16, 123, 72, 24}},
            {"组合框_账套列表", nullptr, {97, 123, 201, 24}},
            {"按钮_测试", "测试", {24, 182, 80, 32}},
            {"按钮_应用", "应用", {132, 182, 80, 32}},
            {"按钮_取消", "取消", {240, 182, 80, 32}},
        };
        for (const auto& c : controls) {
            QWidget* widget = child<QWidget>(&w, c.name);
            QCOMPARE(widget->geometry(), c.rect);
            if (auto* label = qobject_cast<QLabel*>(widget))
                QCOMPARE(label->text(), QString::fromUtf8(c.caption));
            if (auto* button = qobject_cast<QPushButton*>(widget))
                QCOMPARE(button->text(), QString::fromUtf8(c.caption));
        }
        QCOMPARE(child<QLineEdit>(&w, "编辑框_密码")->echoMode(), QLineEdit::Password);
        // The server box tells what it accepts, the embedded demo ERP included.
        auto* server = child<QLineEdit>(&w, "编辑框_服务器");
        for (const char* form : {"主机,端口", "主机\\实例", "sqlite:"})
            QVERIFY2(server->placeholderText().contains(QString::fromUtf8(form)), form);
        QVERIFY(server->toolTip().contains(QStringLiteral("sqlite:<目录>")));
        QCOMPARE(child<QComboBox>(&w, "组合框_账套列表")->isEditable(), false);
        QCOMPARE(child<QComboBox>(&w, "组合框_账套列表")->count(), 0);
    }

    void fillsFromTheStoredSettings()
    {
        {
            ConnectionWindow w;
            // No stored login: the design text "sa" is replaced by nothing.
            QCOMPARE(child<QLineEdit>(&w, "编辑框_用户名")->text(), QString());
        }
        storeSettings(QStringLiteral("srv"), QStringLiteral("u8"), QStringLiteral("p;w"), QStringLiteral("UFDATA_9"));
        ConnectionWindow w;
        QCOMPARE(child<QLineEdit>(&w, "编辑框_服务器")->text(), QStringLiteral("srv"));
        QCOMPARE(child<QLineEdit>(&w, "编辑框_用户名")->text(), QStringLiteral("u8"));
        QCOMPARE(child<QLineEdit>(&w, "编辑框_密码")->text(), QStringLiteral("p;w"));
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        QCOMPARE(list->placeholderText(), QStringLiteral("UFDATA_9"));
        QCOMPARE(list->currentIndex(), -1);
    }

    void listsOnlyAccountSetsWhenTheListOpens()
    {
        ErpFixture erp({QStringLiteral("UFDATA_001_2021"), QStringLiteral("ufdata_002"), QStringLiteral("XUFDATA_3"),
                        QStringLiteral("UFDATA"), QStringLiteral("master"), QStringLiteral("UFSystem")});
        storeSettings(erp.server(), QStringLiteral("sa"), QStringLiteral("pw"), QString());
        ConnectionWindow w;
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QCOMPARE(items, (QStringList{QStringLiteral("UFDATA"), QStringLiteral("UFDATA_001_2021")}));
        QVERIFY(m_messages.isEmpty());

        // An unreachable server: the message, and the list keeps its items.
        child<QLineEdit>(&w, "编辑框_服务器")->setText(kDeadServer);
        list->showPopup();
        list->hidePopup();
        // With the driver's reason, also in the log.
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().text.startsWith(
                     QStringLiteral("获取账套失败，请检查数据库连接配制\n原因（驱动程序原文）：")),
                 qPrintable(m_messages.first().text));
        QVERIFY(m_messages.first().text.size() > 40);
        QCOMPARE(m_messages.first().icon, msgbox::Icon::None);
        QCOMPARE(list->count(), 2);
    }

    void testNeedsASelectedAccountSet()
    {
        storeSettings(kDeadServer, QStringLiteral("sa"), QStringLiteral("pw"), QStringLiteral("UFDATA_001_2021"));
        ConnectionWindow w;
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{QStringLiteral("请指定账套：请在“U8账套”列表中选择要连接的账套")});
        QVERIFY(!ConnectionSetup::测试通过());
        QVERIFY(child<QPushButton>(&w, "按钮_测试")->isEnabled());
    }

    void failedAndPassedTests()
    {
        ErpFixture erp;
        storeSettings(erp.server(), QStringLiteral("sa"), QStringLiteral("pw"), QString());
        ConnectionWindow w;
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        list->setCurrentIndex(0);

        child<QLineEdit>(&w, "编辑框_服务器")->setText(kDeadServer);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QVERIFY2(clock.elapsed() < 10000, "an unreachable server must not freeze the window");
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().text.startsWith(
                     QStringLiteral("测试连接操失败！请检查相关配制\n原因（驱动程序原文）：")),
                 qPrintable(m_messages.first().text));
        QVERIFY(!ConnectionSetup::测试通过());
        QVERIFY(child<QGroupBox>(&w, "分组框1")->isEnabled());

        m_messages.clear();
        child<QLineEdit>(&w, "编辑框_服务器")->setText(QStringLiteral(" ") + erp.server() + QStringLiteral("\u3000"));
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{QStringLiteral("测试连接成功！")});
        QVERIFY(ConnectionSetup::测试通过());
        // Tested: every field stays editable, nothing dead-ends.
        for (QWidget* c : w.findChildren<QWidget*>())
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));

        // A field changed after the test: Apply names it and asks for a new
        // test; the new test passes and Apply stores.
        m_messages.clear();
        child<QLineEdit>(&w, "编辑框_用户名")->setText(QStringLiteral("sb"));
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{QStringLiteral("“用户名”在测试之后改过了，请再点“测试”测试连接")});
        QVERIFY(!settings::fileExists()
                || settings::readKey(kSection, QStringLiteral("用户名")) == QStringLiteral("sa"));
        m_messages.clear();
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), (QStringList{QStringLiteral("测试连接成功！"), QStringLiteral("配制完成！")}));
        QCOMPARE(settings::readKey(kSection, QStringLiteral("用户名")), QStringLiteral("sb"));
    }

    // The demo's login has no password: it tests and applies, and is stored
    // as the encoding of the empty text.
    void anEmptyPasswordIsValid()
    {
        ErpFixture erp;
        ConnectionWindow w;
        child<QLineEdit>(&w, "编辑框_服务器")->setText(erp.server());
        child<QLineEdit>(&w, "编辑框_用户名")->setText(QStringLiteral("sa"));
        child<QLineEdit>(&w, "编辑框_密码")->clear();
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        list->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), (QStringList{QStringLiteral("测试连接成功！"), QStringLiteral("配制完成！")}));
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(解密密码(settings::readKey(kSection, QStringLiteral("密码"))), QString());
    }

    // Run by its own ctest entry with no ODBC driver registered at all: the
    // message says exactly that, with the odbcinst.ini lines, and the log
    // has the driver's words.
    void aMissingSqlServerDriverIsNamed()
    {
        if (qEnvironmentVariableIsEmpty("QUILLMARK_NO_ODBC_DRIVER"))
            QSKIP("run by erp_connection_window_no_driver");
        QVERIFY(QDir().mkpath(m_data.filePath(QStringLiteral("syslog"))));
        QFile(m_data.filePath(QStringLiteral("syslog/yxlog.txt"))).open(QIODevice::WriteOnly);
        QVERIFY(OperationLog::instance().open(m_data.filePath(QStringLiteral("syslog/yxlog.txt"))));
        storeSettings(QStringLiteral("192.0.2.1"), QStringLiteral("sa"), QStringLiteral("pw"), QString());
        ConnectionWindow w;
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        QCOMPARE(m_messages.size(), 1);
        const QString text = m_messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral(
                     "获取账套失败，请检查数据库连接配制\n本机没有登记名为“SQL Server”的 ODBC 驱动程序。")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("[SQL Server]\nDescription=FreeTDS under the name the program asks for\n"
                                             "Driver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so\nTDS_Version=7.4")));
        OperationLog::instance().close();
        QFile log(m_data.filePath(QStringLiteral("syslog/yxlog.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(textcodec::fromGbk(log.readAll()).contains(QStringLiteral("获取账套失败，请检查数据库连接配制：")));
    }

    void applyRefusesIncompleteOrUntestedSettings_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("tested");
        QTest::addColumn<QString>("message");
        // Each refusal names its field.
        QTest::addRow("no server") << ""
                                   << "sa"
                                   << "pw" << true << QStringLiteral("信息不完整请重新录入：请填写“服务器”");
        QTest::addRow("no login") << "srv"
                                  << ""
                                  << "pw" << true << QStringLiteral("信息不完整请重新录入：请填写“用户名”");
        QTest::addRow("not tested") << "srv"
                                    << "sa"
                                    << "" << false
                                    << QStringLiteral("测试连接不通过或未测试连接！请先点“测试”，测试成功后再点“应用”");
        QTest::addRow("changed since the test")
            << "srv"
            << "sa"
            << "pw" << true << QStringLiteral("“服务器”在测试之后改过了，请再点“测试”测试连接");
    }
    void applyRefusesIncompleteOrUntestedSettings()
    {
        QFETCH(QString, server);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(bool, tested);
        QFETCH(QString, message);
        ConnectionSetup::测试通过() = tested;
        ConnectionWindow w;
        child<QLineEdit>(&w, "编辑框_服务器")->setText(server);
        child<QLineEdit>(&w, "编辑框_用户名")->setText(login);
        child<QLineEdit>(&w, "编辑框_密码")->setText(password);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{message});
        QCOMPARE(m_messages.first().icon, msgbox::Icon::Question);
        QVERIFY(!settings::fileExists());
        QCOMPARE(w.result(), 0);
    }

    void applyAfterATestStoresTheSettingsInOrder()
    {
        ErpFixture erp;
        ConnectionWindow w;
        child<QLineEdit>(&w, "编辑框_服务器")->setText(erp.server() + QStringLiteral(" "));
        child<QLineEdit>(&w, "编辑框_用户名")->setText(QStringLiteral(" sa"));
        child<QLineEdit>(&w, "编辑框_密码")->setText(QStringLiteral("a;b}'"));
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        list->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), (QStringList{QStringLiteral("测试连接成功！"), QStringLiteral("配制完成！")}));
        QCOMPARE(w.result(), int(QDialog::Accepted));

        QFile ini(apppaths::settingsFile());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QStringList keys;
        for (const QByteArray& line : ini.readAll().split('\n'))
            if (line.contains('='))
                keys << textcodec::fromGbk(line.left(line.indexOf('=')));
        QCOMPARE(keys,
                 (QStringList{QStringLiteral("服务器"), QStringLiteral("用户名"), QStringLiteral("账套"),
                              QStringLiteral("密码")}));
        QCOMPARE(settings::readKey(kSection, QStringLiteral("服务器")), erp.server());
        QCOMPARE(settings::readKey(kSection, QStringLiteral("用户名")), QStringLiteral("sa"));
        QCOMPARE(settings::readKey(kSection, QStringLiteral("账套")), ErpFixture::kAccountSet);
        const QString stored = settings::readKey(kSection, QStringLiteral("密码"));
        QVERIFY(stored != QStringLiteral("a;b}'"));
        QCOMPARE(解密密码(stored), QStringLiteral("a;b}'"));

        // The passed test lives for the process: the window opened again
        // applies without a new test and keeps the stored account set.
        m_messages.clear();
        ConnectionWindow again;
        QTest::mouseClick(child<QPushButton>(&again, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{QStringLiteral("配制完成！")});
        QCOMPARE(settings::readKey(kSection, QStringLiteral("账套")), ErpFixture::kAccountSet);
    }

    // Values set.ini would store as "?" are refused before the test and
    // before Apply, by the name of their field; nothing is tested or stored.
    void valuesTheSettingsFileCannotHoldAreRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("characters");
        QTest::addRow("password") << "编辑框_密码" << QStringLiteral("Pässwörd") << "密码" << QStringLiteral("äö");
        QTest::addRow("login") << "编辑框_用户名" << QStringLiteral("관리자") << "用户名" << QStringLiteral("관리자");
        QTest::addRow("server folder") << "编辑框_服务器" << QStringLiteral("sqlite:재고") << "服务器"
                                       << QStringLiteral("재고");
    }
    void valuesTheSettingsFileCannotHoldAreRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, field);
        QFETCH(QString, characters);
        ErpFixture erp;
        storeSettings(erp.server(), QStringLiteral("sa"), QStringLiteral("pw"), QString());
        const QByteArray before = iniBytes();
        ConnectionWindow w;
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        list->setCurrentIndex(0);
        child<QLineEdit>(&w, box.toUtf8().constData())->setText(value);
        const QString refusal =
            field + QStringLiteral("中有设置文件无法保存的字符“") + characters + QStringLiteral("”，请修改后重试");

        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{refusal});
        QCOMPARE(m_messages.first().icon, msgbox::Icon::Error);
        QVERIFY(!ConnectionSetup::测试通过());
        QVERIFY(child<QPushButton>(&w, "按钮_测试")->isEnabled());

        // A test that passed earlier in this run does not let them through.
        m_messages.clear();
        ConnectionSetup::测试通过() = true;
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QCOMPARE(texts(), QStringList{refusal});
        QCOMPARE(w.result(), 0);
        QCOMPARE(iniBytes(), before);
    }

    // Apply that cannot write set.ini says so instead of "配制完成！" and
    // keeps the window open.
    void applyThatCannotStoreSaysSo()
    {
        ErpFixture erp;
        ConnectionWindow w;
        child<QLineEdit>(&w, "编辑框_服务器")->setText(erp.server());
        child<QLineEdit>(&w, "编辑框_用户名")->setText(QStringLiteral("sa"));
        child<QLineEdit>(&w, "编辑框_密码")->setText(QStringLiteral("pw"));
        auto* list = child<QComboBox>(&w, "组合框_账套列表");
        list->showPopup();
        list->hidePopup();
        list->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(&w, "按钮_测试"), Qt::LeftButton);
        m_messages.clear();
        QVERIFY(QDir().mkpath(apppaths::settingsFile())); // there, but no file to read
        QTest::mouseClick(child<QPushButton>(&w, "按钮_应用"), Qt::LeftButton);
        QDir(apppaths::settingsFile()).removeRecursively();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().text.startsWith(QStringLiteral("无法读取设置文件")),
                 qPrintable(m_messages.first().text));
        QCOMPARE(m_messages.first().icon, msgbox::Icon::Error);
        QCOMPARE(w.result(), 0);
    }

    // 按钮_取消 ends the program, closing the window does not: the window
    // only says which it was, and whoever opened it ends the program.
    void cancelEndsTheProgram()
    {
        ConnectionWindow w;
        QTest::mouseClick(child<QPushButton>(&w, "按钮_取消"), Qt::LeftButton);
        QCOMPARE(w.result(), ConnectionWindow::kCancelled);
        // Closed otherwise, the window lets its opener go on. (What cancel
        // does to the program is seen from outside, in the probe below:
        // once the program is ending no event loop runs in this process.)
        whenWindowShows([](QDialog* window) { window->reject(); });
        QVERIFY(erpui::editConnection(nullptr));
    }

    // The connect loop: a failure shows the message and the window; closing
    // the window with its title-bar button saves nothing and tries again.
    void connectRetriesUntilTheConnectionOpens()
    {
        ErpFixture erp;
        storeSettings(kDeadServer, QStringLiteral("sa"), QStringLiteral("pw"), ErpFixture::kAccountSet);
        int windows = 0;
        std::function<void(QDialog*)> onWindow = [&](QDialog* w) {
            ++windows;
            if (windows == 2) // the user has mended the settings meanwhile
                storeSettings(erp.server(), QStringLiteral("sa"), QStringLiteral("pw"), ErpFixture::kAccountSet);
            else
                whenWindowShows(onWindow);
            w->reject();
        };
        whenWindowShows(onWindow);
        ErpSession session;
        QVERIFY(erpui::connectSession(session, nullptr));
        QVERIFY(session.isOpen());
        QCOMPARE(windows, 2);
        const QString failed = QStringLiteral("连接U8账套失败，请重新配制数据库连接信息\n原因（驱动程序原文）：");
        QCOMPARE(m_messages.size(), 2);
        for (const QString& text : texts())
            QVERIFY2(text.startsWith(failed) && text.size() > failed.size() + 5, qPrintable(text));
        QCOMPARE(m_messages.first().icon, msgbox::Icon::Error);
        QCOMPARE(session.账套号, QStringLiteral("001"));

        // Every record set runs on the connection.
        for (RecordSet* rs : {&session.记录集1, &session.记录集2, &session.记录集3})
            QVERIFY(rs->open(QStringLiteral("select count(*) as n from kinds")));
        session.close();
        QVERIFY(!session.isOpen());
    }

    // In a process of its own: the real ending of the program.
    void cancelAfterAFailedConnectExitsWithCodeZero()
    {
        storeSettings(kDeadServer, QStringLiteral("sa"), QStringLiteral("pw"), ErpFixture::kAccountSet);
        QProcess probe;
        probe.start(QStringLiteral(QUILLMARK_CONNECT_PROBE), {m_data.path()});
        QVERIFY(probe.waitForFinished(30000));
        const QString out = QString::fromUtf8(probe.readAllStandardOutput());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        QVERIFY2(
            out.startsWith(QStringLiteral("message: 连接U8账套失败，请重新配制数据库连接信息\n原因（驱动程序原文）：")),
            qPrintable(out));
        QVERIFY2(out.endsWith(QStringLiteral("\nwindow: 窗口_数据库连接配制\n")), qPrintable(out));
    }
};

QTEST_MAIN(ConnectionWindowTest)
#include "ConnectionWindowTest.moc"

// The start window driven as a user would: by control names, with message
// boxes answered by the test.
#include "shell/StartWindow.h"
#include "app/AppPaths.h"
#include "app/OperationLog.h"
#include "app/ProfileFile.h"
#include "app/TextCodec.h"
#include "shell/DataDirectories.h"
#include "shell/Skin.h"
#include "shell/Translations.h"
#include "tests/support/ShellTestEnvironment.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

class StartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_env.reset(new ShellTestEnvironment);
        QVERIFY(m_env->dir.isValid());
    }
    void cleanup() { m_env.reset(); }

    void controlsAreWhereTheWindowTableSays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addRow("group") << "分组框1" << QRect(0, -1, 800, 97) << "";
        QTest::addRow("warehouse label") << "标签_仓库" << QRect(3, 10, 72, 24) << "出库仓库";
        QTest::addRow("warehouse") << "组合框_仓库" << QRect(81, 10, 128, 20) << "";
        QTest::addRow("handler label") << "标签_经手人" << QRect(215, 10, 72, 24) << "经手人";
        QTest::addRow("handler") << "组合框_经手人" << QRect(296, 10, 128, 20) << "";
        QTest::addRow("date label") << "标签_出库日期" << QRect(3, 40, 72, 24) << "出库日期";
        QTest::addRow("date") << "日期框_盘点日期" << QRect(82, 40, 128, 24) << "";
        QTest::addRow("category label") << "标签_出库类别" << QRect(215, 40, 72, 24) << "出库类别";
        QTest::addRow("category") << "组合框_出库类别" << QRect(296, 40, 128, 20) << "";
        QTest::addRow("save") << "按钮_保存设置" << QRect(432, 13, 80, 32) << "保存设置";
        QTest::addRow("scanner") << "按钮_条码枪设置" << QRect(520, 13, 80, 32) << "条码枪设置";
        QTest::addRow("online") << "按钮_在线模式" << QRect(610, 13, 80, 32) << "在线模式";
        QTest::addRow("person labels") << "按钮_打印人员条码" << QRect(432, 56, 80, 32) << "打印人员条码";
        QTest::addRow("device labels") << "按钮_打印设备条码" << QRect(520, 56, 80, 32) << "打印设备条码";
        QTest::addRow("connection") << "按钮_数据库连接" << QRect(610, 56, 80, 32) << "数据库连接";
    }
    void controlsAreWhereTheWindowTableSays()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        StartWindow w;
        QCOMPARE(w.objectName(), QStringLiteral("窗口_启动"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillmark"));
        QCOMPARE(w.geometry().size(), QSize(810, 134));
        auto* control = w.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(), geometry);
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), caption);
        if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->text(), caption);
        if (name != QStringLiteral("分组框1"))
            QCOMPARE(control->parentWidget()->objectName(), QStringLiteral("分组框1"));
    }

    // Every voucher takes the day it is written: the date box shows today
    // and no key, wheel or typing changes it.
    void issueDateShowsTodayAndCannotBeChanged()
    {
        StartWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* date = w.findChild<QDateEdit*>(QStringLiteral("日期框_盘点日期"));
        QCOMPARE(date->date(), QDate::currentDate());
        QVERIFY(date->isReadOnly());
        QVERIFY(!date->calendarPopup());
        date->setFocus();
        QTest::keyClick(date, Qt::Key_Up);
        QTest::keyClick(date, Qt::Key_Down);
        QTest::keyClicks(date, QStringLiteral("2020-01-01"));
        QWheelEvent wheel(QPointF(5, 5), date->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(date, &wheel);
        QCOMPARE(date->date(), QDate::currentDate());
    }

    // Qt's own buttons and calendar speak Chinese like the rest.
    void qtOwnTextsAreChinese()
    {
        QVERIFY(!translations::installChinese(*qApp).isEmpty());
        QMessageBox box(QMessageBox::Question, QStringLiteral("信息："), QStringLiteral("是否还要保存?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY2(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")),
                 qPrintable(box.button(QMessageBox::Yes)->text()));
        QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
        QVERIFY(box.button(QMessageBox::Ok)->text().contains(QStringLiteral("确定")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("取消")));
        QCalendarWidget calendar;
        QCOMPARE(calendar.locale().monthName(1), QStringLiteral("一月"));
    }

    void saveWithAListUnselectedWritesNothing()
    {
        StartWindow w;
        fill(w);
        w.findChild<QComboBox*>(u"组合框_仓库"_s)->setCurrentIndex(0);
        w.findChild<QComboBox*>(u"组合框_经手人"_s)->setCurrentIndex(0);
        QTest::mouseClick(w.findChild<QPushButton*>(u"按钮_保存设置"_s), Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("信息不完整请重新录入"));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Question);
        QCOMPARE(m_env->messages[0].caption, QStringLiteral("信息："));
        QVERIFY(!QFile::exists(apppaths::settingsFile()));
    }

    void saveWritesTheSelectedItemsTrimmedInOrder()
    {
        StartWindow w;
        fill(w);
        w.findChild<QComboBox*>(u"组合框_仓库"_s)->setCurrentIndex(1);
        w.findChild<QComboBox*>(u"组合框_经手人"_s)->setCurrentIndex(0);
        w.findChild<QComboBox*>(u"组合框_出库类别"_s)->setCurrentIndex(0);
        QTest::mouseClick(w.findChild<QPushButton*>(u"按钮_保存设置"_s), Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("保存成功！"));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::None);
        QFile f(apppaths::settingsFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(),
                 textcodec::toGbk(QStringLiteral(
                     "[材料出库单表头]\r\n仓库=02|成品仓\r\n经手人=0301|张三\r\n出库类别=201|生产领用\r\n")));
    }

    // A failed save says why instead of "保存成功！" and leaves set.ini as it
    // was: a name GBK cannot hold would come back as "?", and a settings
    // file that cannot be read must not be replaced by the three keys alone.
    void saveThatCannotBeStoredSaysSo()
    {
        {
            StartWindow w;
            fill(w);
            auto* handler = w.findChild<QComboBox*>(u"组合框_经手人"_s);
            handler->addItem(QStringLiteral("0302|김철수"));
            for (auto* name : {"组合框_仓库", "组合框_出库类别"})
                w.findChild<QComboBox*>(QString::fromUtf8(name))->setCurrentIndex(0);
            handler->setCurrentIndex(1);
            QTest::mouseClick(w.findChild<QPushButton*>(u"按钮_保存设置"_s), Qt::LeftButton);
            QCOMPARE(m_env->messages.size(), 1);
            QCOMPARE(m_env->messages[0].text, QStringLiteral("经手人中有设置文件无法保存的字符“김철수”，请修改后重试"));
            QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
            QVERIFY(!QFile::exists(apppaths::settingsFile()));
        }
        m_env->messages.clear();
        // Something that is there but cannot be read as a file.
        QVERIFY(QDir().mkpath(apppaths::settingsFile()));
        StartWindow w;
        fill(w);
        for (auto* name : {"组合框_仓库", "组合框_经手人", "组合框_出库类别"})
            w.findChild<QComboBox*>(QString::fromUtf8(name))->setCurrentIndex(0);
        QTest::mouseClick(w.findChild<QPushButton*>(u"按钮_保存设置"_s), Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 1);
        QVERIFY2(m_env->messages[0].text.startsWith(QStringLiteral("无法读取设置文件")),
                 qPrintable(m_env->messages[0].text));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
        QVERIFY(QFileInfo(apppaths::settingsFile()).isDir());
    }

    void existingLogIsKeptAndDirectoriesMade()
    {
        QVERIFY(QDir().mkpath(m_env->filePath(u"syslog"_s)));
        QFile old(m_env->filePath(u"syslog/yxlog.txt"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier run\r\n\r\n");
        old.close();
        QVERIFY(datadirectories::prepareAndOpenLog());
        QVERIFY(QFileInfo(m_env->filePath(u"数据采集记录"_s)).isDir());
        写日志(QStringLiteral("x"));
        QFile log(m_env->filePath(u"syslog/yxlog.txt"_s));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().startsWith("earlier run\r\n\r\n["));
    }

    void directoryThatCannotBeMadeLeavesTheLogClosed()
    {
        // A file where the directory should be: it cannot be created.
        QFile blocker(m_env->filePath(u"syslog"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!datadirectories::prepareAndOpenLog());
        QVERIFY(!OperationLog::instance().isOpen());
    }

    void skinIsCompiledInAndApplied()
    {
        skin::apply();
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("QPushButton")));
        qApp->setStyleSheet({});
    }

private:
    static void fill(StartWindow& w)
    {
        auto* warehouse = w.findChild<QComboBox*>(u"组合框_仓库"_s);
        warehouse->addItems({QStringLiteral("01|原料仓"), QStringLiteral("\u300002|成品仓 ")});
        warehouse->setCurrentIndex(-1);
        auto* handler = w.findChild<QComboBox*>(u"组合框_经手人"_s);
        handler->addItem(QStringLiteral("0301|张三"));
        handler->setCurrentIndex(-1);
        auto* category = w.findChild<QComboBox*>(u"组合框_出库类别"_s);
        category->addItem(QStringLiteral("201|生产领用"));
        category->setCurrentIndex(-1);
    }

    std::unique_ptr<ShellTestEnvironment> m_env;
};

QTEST_MAIN(StartWindowTest)
#include "StartWindowTest.moc"

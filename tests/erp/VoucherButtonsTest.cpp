// The voucher buttons wired into a window that holds the scanning window's
// controls by name, on the demo ERP: a click writes the voucher, shows its
// number, empties the grid and the scan field; a second click right after
// meets a disabled button; the counter button tells how it went.
#include "DemoErp.h"
#include "ErpSession.h"
#include "MessageBox.h"
#include "PromptPlayer.h"
#include "VoucherButtons.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

class VoucherButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void clickWritesTheVoucherAndTheCounterButtonReports()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY2(demoerp::build(dir.path(), &error), qPrintable(error));
        ErpSession session;
        QVERIFY(session.数据库连接.open(ErpConnection::kEmbeddedPrefix + dir.path(), QStringLiteral("sa"), QString(),
                                        QStringLiteral("UFDATA_001_2021")));
        for (RecordSet* rs : {&session.记录集1, &session.记录集2, &session.记录集3})
            rs->bind(&session.数据库连接);
        session.账套号 = QStringLiteral("001");
        QVERIFY(staging::ensureTable(session.记录集1));

        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto add = [&](QWidget* w, const char* name) {
            w->setObjectName(QString::fromUtf8(name));
            layout->addWidget(w);
            return w;
        };
        auto* generate = static_cast<QPushButton*>(add(new QPushButton(QStringLiteral("生成材料出库单")), "按钮_生成材料出库单"));
        auto* counters = static_cast<QPushButton*>(add(new QPushButton(QStringLiteral("更新最大单据号")), "按钮_更新最大单据号"));
        auto* prompt = static_cast<QPlainTextEdit*>(add(new QPlainTextEdit, "编辑框_提示"));
        auto* scan = static_cast<QLineEdit*>(add(new QLineEdit, "编辑框_条码"));
        static_cast<QLineEdit*>(add(new QLineEdit(QStringLiteral("02|五金仓")), "编辑框_出库仓库"));
        static_cast<QLineEdit*>(add(new QLineEdit(QStringLiteral("0001|王洋国")), "编辑框_经手人"));
        static_cast<QLineEdit*>(add(new QLineEdit(QStringLiteral("202|生产领料")), "编辑框_出库类别"));

        QVector<staging::Line> grid{{QStringLiteral("1"), QStringLiteral("QM-001"), QStringLiteral("扫码演示物料"),
                                     QStringLiteral("DEMO-1"), QStringLiteral("个"), QStringLiteral("2"),
                                     QStringLiteral("B01-1"), QStringLiteral("李秀建"), QStringLiteral("生产课"),
                                     QString(), QStringLiteral("2021-06-24 08:05:09")}};
        RecordingPromptPlayer player;
        QVERIFY(connectVoucherButtons(&window, session, player, [&] { return grid; }, [&] { grid.clear(); }));
        QVector<msgbox::Message> boxes;
        msgbox::setInterceptor([&](const msgbox::Message& m) {
            boxes << m;
            return true;
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        scan->setText(QStringLiteral("QM-002"));

        QTest::mouseClick(generate, Qt::LeftButton);
        QVERIFY2(prompt->toPlainText().startsWith(QStringLiteral("材料出库生成完成，材料出库单号：CLCK")),
                 qPrintable(prompt->toPlainText()));
        QVERIFY(grid.isEmpty());
        QVERIFY(scan->text().isEmpty());
        QCOMPARE(player.played, QStringList{prompts::kVoucherGenerated});
        QVERIFY(boxes.isEmpty());
        // A click queued during the writing finds the button still disabled.
        QVERIFY(!generate->isEnabled());
        QTest::mouseClick(generate, Qt::LeftButton);
        QVERIFY(prompt->toPlainText().startsWith(QStringLiteral("材料出库生成完成")));
        QTRY_VERIFY(generate->isEnabled());
        QTest::mouseClick(generate, Qt::LeftButton);
        QCOMPARE(prompt->toPlainText(), QStringLiteral("没有明细材料需要生成材料出库单！"));

        RecordSet check;
        check.bind(&session.数据库连接);
        QVERIFY(check.open(QStringLiteral("select count(*) as n from rdrecords11 where ID=1000000061")));
        qint64 n = 0;
        QVERIFY(check.readInteger(QStringLiteral("n"), n));
        QCOMPARE(n, 1);

        QTest::mouseClick(counters, Qt::LeftButton);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("更新成功！"));
        QCOMPARE(boxes[0].icon, msgbox::Icon::Information);
        msgbox::setInterceptor({});
    }

    void missingControlsWireNothing()
    {
        QWidget window;
        ErpSession session;
        RecordingPromptPlayer player;
        QVERIFY(!connectVoucherButtons(&window, session, player, [] { return QVector<staging::Line>{}; }, {}));
    }
};

QTEST_MAIN(VoucherButtonsTest)
#include "VoucherButtonsTest.moc"

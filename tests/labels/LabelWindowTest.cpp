// The personnel and device label windows driven by their control names, on
// a copy of the demo ERP, with message boxes answered by the test and
// print jobs sent to PDF files.
#include "app/Settings.h"
#include "app/TextCodec.h"
#include "labels/DeviceLabelWindow.h"
#include "labels/PersonLabelWindow.h"
#include "shell/DataDirectories.h"
#include "shell/StartWindow.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/ShellTestEnvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

using namespace labeltest;

namespace {

const QString kPersonSection = QStringLiteral("人员打印机配制");
const QString kDeviceSection = QStringLiteral("设备打印机配制");
const QStringList kKeys = {u"纸张长"_s, u"纸张宽"_s, u"二维码长"_s, u"二维码宽"_s, u"打印机"_s,
                           u"边距上"_s, u"边距下"_s, u"边距左"_s,   u"边距右"_s};

template <class T> T* child(QWidget* w, const QString& name)
{
    T* c = w->findChild<T*>(name);
    if (!c)
        qWarning("no control %s", qPrintable(name));
    return c;
}

void click(QWidget* w, const QString& button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

QTableWidget* grid(QWidget* w)
{
    return child<QTableWidget>(w, QStringLiteral("高级表格_人员"));
}

QStringList column(QWidget* w, int c)
{
    QStringList out;
    for (int r = 0; r < grid(w)->rowCount(); ++r)
        out << grid(w)->item(r, c)->text();
    return out;
}

QStringList decodedCell(QWidget* w, int row)
{
    const QImage picture = grid(w)->item(row - 1, 4)->data(Qt::DecorationRole).value<QImage>();
    // The 50-pixel picture has a narrow quiet zone; zbar reads it surely
    // with a white border around it.
    QImage framed(picture.width() + 40, picture.height() + 40, QImage::Format_RGB32);
    framed.fill(Qt::white);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            framed.setPixel(x + 20, y + 20, picture.pixel(x, y));
    return decode(framed.scaled(framed.size() * 4));
}

// The label most tests print: 50 x 30 mm, QR 22 mm, margins 2.
void fillSizes(QWidget* w)
{
    setBox(w, "编辑框_纸张长", QStringLiteral("50"));
    setBox(w, "编辑框_纸张宽", QStringLiteral("30"));
    setBox(w, "编辑框_二维码长", QStringLiteral("22"));
    setBox(w, "编辑框_二维码宽", QStringLiteral("22"));
    setBox(w, "编辑框_上", QStringLiteral("2"));
    setBox(w, "编辑框_左", QStringLiteral("2"));
}

// Data rows for a test that runs on both windows.
void bothWindows()
{
    QTest::addColumn<bool>("person");
    QTest::addRow("person") << true;
    QTest::addRow("device") << false;
}

std::unique_ptr<LabelWindow> open(bool person, RecordSet& records)
{
    if (person)
        return std::make_unique<PersonLabelWindow>(records);
    return std::make_unique<DeviceLabelWindow>(records);
}

} // namespace

class LabelWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { startQrModule(); }
    void init()
    {
        m_env = std::make_unique<ShellTestEnvironment>();
        m_erp = std::make_unique<DemoErp>();
        m_out = std::make_unique<QTemporaryDir>();
        QVERIFY(m_erp->isReady());
    }
    void cleanup()
    {
        m_erp.reset();
        m_env.reset();
    }

    void controlsAreWhereTheWindowTablesSay_data()
    {
        QTest::addColumn<bool>("person");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        for (bool person : {true, false}) {
            const char* w = person ? "person " : "device ";
            auto row = [&](const char* tag) -> QTestData& { return QTest::addRow("%s%s", w, tag) << person; };
            row("group") << "分组框1" << (person ? QRect(0, 3, 984, 96) : QRect(8, 8, 984, 96)) << "设置";
            row("paper group") << "分组框_纸张长宽" << QRect(8, 15, 191, 70) << "纸张长宽(毫米)";
            row("paper w label") << "标签_长" << QRect(8, 16, 24, 23) << "宽:";
            row("paper w") << "编辑框_纸张长" << QRect(40, 16, 48, 20) << "";
            row("paper h label") << "标签_宽" << QRect(96, 16, 24, 23) << "高:";
            row("paper h") << "编辑框_纸张宽" << QRect(128, 16, 48, 20) << "";
            row("paper save") << "按钮_纸张设置" << QRect(120, 40, 64, 22) << "保存";
            row("qr group") << "分组框_二维码" << QRect(200, 16, 191, 70) << "二维码长宽(毫米)";
            // 二维码长 sets the printed height, 二维码宽 the width.
            row("qr h label") << "标签_长1" << QRect(8, 16, 24, 23) << "高:";
            row("qr long") << "编辑框_二维码长" << QRect(40, 16, 48, 20) << "";
            row("qr w label") << "标签_宽1" << QRect(96, 16, 24, 23) << "宽:";
            row("qr wide") << "编辑框_二维码宽" << QRect(128, 16, 48, 20) << "";
            row("qr save") << "按钮_二维码设置" << QRect(120, 40, 64, 22) << "保存";
            row("margin group") << "分组框_打印边距" << QRect(400, 16, 240, 70) << "打印边距(毫米)";
            row("top label") << "标签_上" << QRect(8, 16, 24, 23) << "上:";
            row("top") << "编辑框_上" << QRect(40, 16, 48, 20) << "";
            row("bottom label") << "标签_宽2" << QRect(96, 16, 24, 23) << "下:";
            row("bottom") << "编辑框_下" << QRect(128, 16, 48, 20) << "";
            row("left label") << "标签_长3" << QRect(8, 40, 24, 23) << "左:";
            row("left") << "编辑框_左" << QRect(40, 40, 48, 20) << "";
            row("right label") << "标签_宽3" << QRect(96, 40, 24, 23) << "右:";
            row("right") << "编辑框_右" << QRect(128, 40, 48, 20) << "";
            row("margin save") << "按钮_边距设置" << QRect(184, 14, 48, 41) << "保存";
            row("printer group") << "分组框_打印机设置" << QRect(648, 16, 191, 70) << "打印机设置";
            row("printer") << "组合框_打印机" << QRect(8, 16, 176, 20) << "";
            row("printer save") << "按钮_默认打印机" << QRect(112, 40, 64, 22) << "保存";
            row("read") << "按钮_读取U8" << QRect(848, 13, 128, 32) << (person ? "读取U8人员档案" : "读取U8设备档案");
            row("print") << "按钮_打印" << QRect(848, 56, 128, 32) << "打  印";
            row("grid") << "高级表格_人员" << (person ? QRect(0, 104, 728, 272) : QRect(8, 109, 728, 443)) << "";
        }
        QTest::addRow("person select all") << true << "按钮_全选" << QRect(744, 112, 80, 32) << "全选";
        QTest::addRow("person select none") << true << "按钮_全不选" << QRect(744, 160, 80, 32) << "全不选";
        QTest::addRow("device select all") << false << "按钮_全选" << QRect(752, 117, 80, 32) << "全选";
        QTest::addRow("device select none") << false << "按钮_全不选" << QRect(752, 165, 80, 32) << "全不选";
    }
    void controlsAreWhereTheWindowTablesSay()
    {
        QFETCH(bool, person);
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        auto w = open(person, m_erp->记录集2);
        QCOMPARE(w->objectName(), person ? QStringLiteral("窗口_人员条码打印") : QStringLiteral("窗口_设备码打印"));
        QCOMPARE(w->windowTitle(), person ? QStringLiteral("打印人员条码") : QStringLiteral("设备码打印"));
        QCOMPARE(w->geometry(), person ? QRect(50, 50, 996, 413) : QRect(50, 50, 1002, 598));
        QCOMPARE(w->parent(), nullptr);
        auto* control = w->findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(), geometry);
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), caption);
        if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->text(), caption);
        if (auto* group = qobject_cast<QGroupBox*>(control))
            QCOMPARE(group->title(), caption);
    }

    void startWindowOpensThemModallyWithoutOwner_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addRow("person") << "按钮_打印人员条码"
                                << "窗口_人员条码打印";
        QTest::addRow("device") << "按钮_打印设备条码"
                                << "窗口_设备码打印";
    }
    void startWindowOpensThemModallyWithoutOwner()
    {
        QFETCH(QString, button);
        QFETCH(QString, window);
        StartWindow start;
        QString opened;
        bool owned = true;
        QTimer::singleShot(0, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            opened = modal->objectName();
            owned = modal->parentWidget() != nullptr;
            modal->close();
        });
        click(&start, button); // returns once the window has closed
        QCOMPARE(opened, window);
        QVERIFY(!owned);
    }

    void selectAllTicksTheRowsTheFilterShows_data() { bothWindows(); }
    void selectAllTicksTheRowsTheFilterShows()
    {
        QFETCH(bool, person);
        auto w = open(person, m_erp->记录集2);
        click(w.get(), QStringLiteral("按钮_读取U8"));
        const QStringList codes = column(w.get(), 1);
        QVERIFY(codes.size() > 3);
        // One code typed in lower case finds its row among all the others.
        const QString wanted = codes[2];
        QTest::keyClicks(child<QLineEdit>(w.get(), QStringLiteral("编辑框_筛选")), wanted.toLower());
        QTableWidget* g = grid(w.get());
        QStringList shown;
        for (int r = 0; r < g->rowCount(); ++r)
            if (!g->isRowHidden(r))
                shown << g->item(r, 1)->text();
        QVERIFY(shown.contains(wanted));
        QVERIFY(shown.size() < codes.size());
        click(w.get(), QStringLiteral("按钮_全选"));
        for (int row = 1; row <= w->dataRowCount(); ++row)
            QCOMPARE(w->isTicked(row), shown.contains(codes[row - 1]));
        child<QLineEdit>(w.get(), QStringLiteral("编辑框_筛选"))->clear();
        for (int r = 0; r < g->rowCount(); ++r)
            QVERIFY(!g->isRowHidden(r));
        click(w.get(), QStringLiteral("按钮_全选"));
        click(w.get(), QStringLiteral("按钮_全不选"));
        for (int row = 1; row <= w->dataRowCount(); ++row)
            QVERIFY(!w->isTicked(row));
    }

    void theListGrowsWithTheWindow_data() { bothWindows(); }
    void theListGrowsWithTheWindow()
    {
        QFETCH(bool, person);
        auto w = open(person, m_erp->记录集2);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTableWidget* g = grid(w.get());
        const QRect before = g->geometry();
        auto* selectAll = child<QPushButton>(w.get(), QStringLiteral("按钮_全选"));
        const QPoint buttonBefore = selectAll->pos();
        w->resize(w->width() + 200, w->height() + 150);
        QTRY_COMPARE(g->geometry(), before.adjusted(0, 0, 200, 150));
        QCOMPARE(selectAll->pos(), buttonBefore + QPoint(200, 0));
        QVERIFY(selectAll->geometry().left() > g->geometry().right());
    }

    void gridHasItsColumns_data()
    {
        QTest::addColumn<bool>("person");
        QTest::addColumn<QStringList>("headers");
        QTest::addRow("person") << true << QStringList{u"选择"_s, u"工号"_s, u"姓名"_s, u"部门"_s, u"二维码"_s};
        QTest::addRow("device") << false
                                << QStringList{u"选择"_s, u"设备编码"_s, u"设备名称"_s, u"线别"_s, u"二维码"_s};
    }
    void gridHasItsColumns()
    {
        QFETCH(bool, person);
        QFETCH(QStringList, headers);
        auto w = open(person, m_erp->记录集2);
        QTableWidget* g = grid(w.get());
        QCOMPARE(g->columnCount(), 5);
        QCOMPARE(g->rowCount(), 0);
        const int widths[] = {40, 100, 100, 150, 100};
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(g->horizontalHeaderItem(c)->text(), headers[c]);
            QCOMPARE(g->columnWidth(c), widths[c]);
        }
    }

    void settingsAreLoadedIntoTheBoxes_data() { bothWindows(); }
    void settingsAreLoadedIntoTheBoxes()
    {
        QFETCH(bool, person);
        const QString section = person ? kPersonSection : kDeviceSection;
        const QString other = person ? kDeviceSection : kPersonSection;
        const QStringList values = {u"60"_s, u"40"_s, u"20"_s, u"30"_s, u"标签 打印机"_s,
                                    u"1"_s,  u"2"_s,  u"3"_s,  u"4"_s};
        for (int i = 0; i < kKeys.size(); ++i) {
            settings::writeKey(section, kKeys[i], values[i]);
            settings::writeKey(other, kKeys[i], QStringLiteral("9"));
        }
        auto w = open(person, m_erp->记录集2);
        const QStringList boxes = {
            u"编辑框_纸张长"_s, u"编辑框_纸张宽"_s, u"编辑框_二维码长"_s, u"编辑框_二维码宽"_s, u""_s,
            u"编辑框_上"_s,     u"编辑框_下"_s,     u"编辑框_左"_s,       u"编辑框_右"_s};
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes[i].isEmpty())
                QCOMPARE(child<QComboBox>(w.get(), QStringLiteral("组合框_打印机"))->currentText(), values[i]);
            else
                QCOMPARE(child<QLineEdit>(w.get(), boxes[i])->text(), values[i]);
        }
    }

    // A box keeps what is typed: "1e9" is not silently read as 19, nor "5O"
    // (letter O) as 5. Saving refuses it and says why.
    void sizesThatAreNoWholeNumberAreRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("says");
        QTest::addRow("paper 1e9")
            << "编辑框_纸张长"
            << "1e9"
            << "按钮_纸张设置"
            << "纸张尺寸未保存：纸张长宽的“宽:”框中的“1e9”不是整数（只能填数字，不能有字母、小数点或符号）："
               "应为 1 到 500 之间的整毫米数";
        QTest::addRow("QR 5O")
            << "编辑框_二维码宽"
            << "5O"
            << "按钮_二维码设置"
            << "二维码尺寸未保存：二维码长宽的“宽:”框中的“5O”不是整数（只能填数字，不能有字母、小数点或符号）："
               "应为 1 到 500 之间的整毫米数";
        QTest::addRow("QR 2.5")
            << "编辑框_二维码长"
            << "2.5"
            << "按钮_二维码设置"
            << "二维码尺寸未保存：二维码长宽的“高:”框中的“2.5”不是整数（只能填数字，不能有字母、小数点或符号）："
               "应为 1 到 500 之间的整毫米数";
        QTest::addRow("margin -1")
            << "编辑框_右"
            << "-1"
            << "按钮_边距设置"
            << "打印边距未保存：打印边距的“右:”框中的“-1”无效：应为 0 到 500 之间的整毫米数（只能填数字）";
        QTest::addRow("margin 501")
            << "编辑框_上"
            << "501"
            << "按钮_边距设置"
            << "打印边距未保存：打印边距的“上:”框中的“501”无效：应为 0 到 500 之间的整毫米数（只能填数字）";
    }
    void sizesThatAreNoWholeNumberAreRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, says);
        auto w = open(true, m_erp->记录集2);
        fillSizes(w.get());
        QLineEdit* edit = child<QLineEdit>(w.get(), box);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), typed);
        click(w.get(), button);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, says);
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
        QVERIFY(!QFile::exists(m_env->filePath(u"set.ini"_s)));
    }

    void eachSaveButtonWritesExactlyItsKeys_data()
    {
        QTest::addColumn<bool>("person");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("keys");
        for (bool person : {true, false}) {
            const char* w = person ? "person " : "device ";
            QTest::addRow("%spaper", w) << person << "按钮_纸张设置" << QStringList{u"纸张长"_s, u"纸张宽"_s};
            QTest::addRow("%sqr", w) << person << "按钮_二维码设置" << QStringList{u"二维码长"_s, u"二维码宽"_s};
            QTest::addRow("%smargins", w)
                << person << "按钮_边距设置" << QStringList{u"边距上"_s, u"边距下"_s, u"边距左"_s, u"边距右"_s};
        }
    }
    void eachSaveButtonWritesExactlyItsKeys()
    {
        QFETCH(bool, person);
        QFETCH(QString, button);
        QFETCH(QStringList, keys);
        const QString section = person ? kPersonSection : kDeviceSection;
        auto w = open(person, m_erp->记录集2);
        const QStringList boxes = {
            u"编辑框_纸张长"_s, u"编辑框_纸张宽"_s, u"编辑框_二维码长"_s, u"编辑框_二维码宽"_s, u""_s,
            u"编辑框_上"_s,     u"编辑框_下"_s,     u"编辑框_左"_s,       u"编辑框_右"_s};
        for (int i = 0; i < boxes.size(); ++i)
            if (!boxes[i].isEmpty())
                QTest::keyClicks(child<QLineEdit>(w.get(), boxes[i]), QString::number(90 - 10 * i));
        child<QLineEdit>(w.get(), QStringLiteral("编辑框_下"))->clear(); // an empty margin is stored empty
        click(w.get(), button);
        for (int i = 0; i < kKeys.size(); ++i) {
            const QString expected = !keys.contains(kKeys[i]) || i == 6 ? QString() : QString::number(90 - 10 * i);
            QCOMPARE(settings::readKey(section, kKeys[i]), expected);
            QCOMPARE(settings::readKey(person ? kDeviceSection : kPersonSection, kKeys[i]), QString());
        }
        if (keys.contains(QStringLiteral("边距下"))) // written, as the empty text typed
            QVERIFY(QFile(m_env->filePath(u"set.ini"_s)).open(QIODevice::ReadOnly));
        QVERIFY(m_env->messages.isEmpty());
    }

    void printerSaveWithNothingSelectedStoresEmptyAndPrintingAsksForAPrinter()
    {
        settings::writeKey(kPersonSection, QStringLiteral("打印机"), QStringLiteral("Label"));
        auto w = open(true, m_erp->记录集2);
        w->labelPrinter().setTarget(pdfFiles(m_out->path()));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        click(w.get(), QStringLiteral("按钮_默认打印机"));
        QCOMPARE(settings::readKey(kPersonSection, QStringLiteral("打印机")), QString());
        click(w.get(), QStringLiteral("按钮_读取U8"));
        click(w.get(), QStringLiteral("按钮_全选"));
        click(w.get(), QStringLiteral("按钮_打印"));
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("请先设置打印机！！"));
        QCOMPARE(m_env->messages[0].caption, QStringLiteral("错误提示"));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), QStringLiteral("组合框_打印机")));
        QVERIFY(QDir(m_out->path()).isEmpty());
    }

    void printerNameTheSettingsFileCannotHoldIsRefused()
    {
        settings::writeKey(kPersonSection, QStringLiteral("打印机"), QStringLiteral("Label"));
        QFile ini(m_env->filePath(u"set.ini"_s));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray before = ini.readAll();
        ini.close();
        auto w = open(true, m_erp->记录集2);
        auto* list = child<QComboBox>(w.get(), QStringLiteral("组合框_打印机"));
        // Hangul has no place in GBK: stored, it would come back as "?".
        list->addItem(QStringLiteral("라벨 프린터"));
        list->setCurrentIndex(list->count() - 1);
        click(w.get(), QStringLiteral("按钮_默认打印机"));
        QCOMPARE(m_env->messages.size(), 1);
        QVERIFY2(m_env->messages[0].text.contains(QStringLiteral("打印机")), qPrintable(m_env->messages[0].text));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), before);
        QCOMPARE(settings::readKey(kPersonSection, QStringLiteral("打印机")), QStringLiteral("Label"));
    }

    void printerThatIsNotInstalledStopsPrinting()
    {
        // Stored name with Chinese and blanks; the system has no such printer.
        settings::writeKey(kDeviceSection, QStringLiteral("打印机"), QStringLiteral("仓库 标签 打印机 2"));
        auto w = open(false, m_erp->记录集2);
        click(w.get(), QStringLiteral("按钮_读取U8"));
        w->setTicked(1, true);
        click(w.get(), QStringLiteral("按钮_打印"));
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("请先设置打印机！！"));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
    }

    void readFillsPeopleInQueryOrder()
    {
        QVERIFY(m_erp->exec(QStringLiteral("insert into hr_hi_person (cPsn_Num, cPsn_Name, cDept_num, JobNumber) "
                                           "values ('9001', '测试工', '03', '00123')")));
        QVERIFY(m_erp->exec(QStringLiteral("insert into hr_hi_person (cPsn_Num, cPsn_Name, cDept_num, JobNumber) "
                                           "values ('9002', '无工号', '03', NULL)")));
        auto w = open(true, m_erp->记录集2);
        m_erp->connection.clearTrace();
        click(w.get(), QStringLiteral("按钮_读取U8"));
        QCOMPARE(m_erp->connection.trace(),
                 QStringList{QStringLiteral(
                     "select  ry.JobNumber as 工号,cPsn_Name as 姓名,bm.cDepName as 部门名称 from hr_hi_person ry "
                     "inner join department bm on ry.cDept_num=bm.cDepCode  and ry.JobNumber is not null order by "
                     "ry.JobNumber")});
        const QStringList expected = m_erp->column(
            QStringLiteral("select JobNumber from hr_hi_person p join department d on p.cDept_num = d.cDepCode "
                           "where JobNumber is not null order by JobNumber"));
        QVERIFY(expected.size() > 10);
        QCOMPARE(column(w.get(), 1), expected);
        QVERIFY(!column(w.get(), 2).contains(QStringLiteral("无工号")));
        QCOMPARE(w->dataRowCount(), expected.size());
        QCOMPARE(expected.first(), QStringLiteral("00123"));
        QCOMPARE(grid(w.get())->item(0, 2)->text(), QStringLiteral("测试工"));
        QCOMPARE(decodedCell(w.get(), 1), QStringList{QStringLiteral("R00123")});
        QCOMPARE(decodedCell(w.get(), w->dataRowCount()), QStringList{u"R"_s + expected.last()});
        QCOMPARE(grid(w.get())->rowHeight(0), 60);
        QCOMPARE(grid(w.get())->item(0, 0)->checkState(), Qt::Unchecked);
        QVERIFY(m_env->messages.isEmpty());
    }

    void readListsEveryDeviceWithACode()
    {
        QVERIFY(m_erp->exec(QStringLiteral(
            "insert into U8CUSTDEF_0001_E001 (ID, cNo, cCardName, cx) values (90, 'A-01', '测试设备', '测试线')")));
        auto w = open(false, m_erp->记录集2);
        click(w.get(), QStringLiteral("按钮_读取U8"));
        const QStringList expected =
            m_erp->column(QStringLiteral("select cNo from U8CUSTDEF_0001_E001 where cNo is not null"));
        QCOMPARE(column(w.get(), 1), expected); // all n of them, the last included
        QCOMPARE(column(w.get(), 1).last(), QStringLiteral("A-01"));
        QCOMPARE(column(w.get(), 2).last(), QStringLiteral("测试设备"));
        QCOMPARE(column(w.get(), 3).last(), QStringLiteral("测试线"));
        QCOMPARE(decodedCell(w.get(), w->dataRowCount()), QStringList{QStringLiteral("SA-01")});
        QVERIFY(!column(w.get(), 2).contains(QStringLiteral("新购激光打标机"))); // cNo is NULL
    }

    void aSingleDeviceShowsOneRow()
    {
        QVERIFY(m_erp->exec(QStringLiteral("delete from U8CUSTDEF_0001_E001 where ID <> 3")));
        auto w = open(false, m_erp->记录集2);
        click(w.get(), QStringLiteral("按钮_读取U8"));
        QCOMPARE(w->dataRowCount(), 1);
    }

    void failedOrEmptyReadLeavesTheGrid_data()
    {
        QTest::addColumn<bool>("person");
        QTest::addColumn<QString>("spoil");
        QTest::addRow("person, no rows") << true << "update hr_hi_person set JobNumber = NULL";
        QTest::addRow("person, query fails") << true << "drop table department";
        QTest::addRow("device, no rows") << false << "delete from U8CUSTDEF_0001_E001";
        QTest::addRow("device, query fails") << false << "drop table U8CUSTDEF_0001_E001";
    }
    void failedOrEmptyReadLeavesTheGrid()
    {
        QFETCH(bool, person);
        QFETCH(QString, spoil);
        auto w = open(person, m_erp->记录集2);
        click(w.get(), QStringLiteral("按钮_读取U8"));
        const QStringList before = column(w.get(), 1);
        QVERIFY(!before.isEmpty());
        w->setTicked(2, true);
        QVERIFY(m_erp->exec(spoil));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        QCOMPARE(column(w.get(), 1), before);
        QVERIFY(w->isTicked(2));
        QVERIFY(m_env->messages.isEmpty());
    }

    void selectAllAndNone()
    {
        auto w = open(true, m_erp->记录集2);
        click(w.get(), QStringLiteral("按钮_全选")); // an empty grid is fine
        click(w.get(), QStringLiteral("按钮_读取U8"));
        w->setTicked(3, true);
        click(w.get(), QStringLiteral("按钮_全选"));
        for (int row = 1; row <= w->dataRowCount(); ++row)
            QVERIFY(w->isTicked(row));
        click(w.get(), QStringLiteral("按钮_全不选"));
        for (int row = 1; row <= w->dataRowCount(); ++row)
            QVERIFY(!w->isTicked(row));
    }

    void aRowIsTickedFromTheKeyboardAndTheMouse()
    {
        auto w = open(false, m_erp->记录集2);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        QTableWidget* g = grid(w.get());
        g->setFocus();
        g->setCurrentCell(1, 0);
        QTest::keyClick(g, Qt::Key_Space);
        QVERIFY(w->isTicked(2));
        QVERIFY(!w->isTicked(1));
        // The box sits at the left of its cell, centred in height.
        const QRect cell = g->visualItemRect(g->item(0, 0));
        for (int x = cell.left() + 2; x < cell.right() && !w->isTicked(1); x += 3)
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, QPoint(x, cell.center().y()));
        QVERIFY(w->isTicked(1));
    }

    void sizesOutsideTheRangeAreNotSaved_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("values"); // paper width, height, QR 长, QR 宽
        QTest::addColumn<QString>("says");
        QTest::addRow("paper height 0") << "按钮_纸张设置" << QStringList{u"50"_s, u"0"_s, u"20"_s, u"20"_s}
                                        << "纸张尺寸未保存：纸张长宽的“高:”框中的“0”无效：应为 1 到 500 之间的整毫米数";
        QTest::addRow("paper 501") << "按钮_纸张设置" << QStringList{u"501"_s, u"30"_s, u"20"_s, u"20"_s}
                                   << "纸张尺寸未保存：纸张长宽的“宽:”框中的“501”无效：应为 1 到 500 之间的整毫米数";
        QTest::addRow("QR empty") << "按钮_二维码设置" << QStringList{u"50"_s, u"30"_s, u""_s, u"20"_s}
                                  << "二维码尺寸未保存：二维码长宽的“高:”框中的“”无效：应为 1 到 500 之间的整毫米数";
        QTest::addRow("QR higher than the label")
            << "按钮_二维码设置" << QStringList{u"50"_s, u"30"_s, u"31"_s, u"20"_s}
            << "二维码尺寸未保存：二维码（印出宽 20 × 高 31 毫米）大于标签（50 × 30 毫米）";
    }
    void sizesOutsideTheRangeAreNotSaved()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, values);
        QFETCH(QString, says);
        auto w = open(true, m_erp->记录集2);
        const char* boxes[] = {"编辑框_纸张长", "编辑框_纸张宽", "编辑框_二维码长", "编辑框_二维码宽"};
        for (int i = 0; i < 4; ++i)
            setBox(w.get(), boxes[i], values[i]);
        click(w.get(), button);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, says);
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
        QVERIFY(!QFile::exists(m_env->filePath(u"set.ini"_s)));
    }

    void printingOrPreviewWithNothingTickedAsksToTick_data()
    {
        QTest::addColumn<bool>("person");
        QTest::addColumn<QString>("button");
        QTest::addRow("person, print") << true << "按钮_打印";
        QTest::addRow("device, print") << false << "按钮_打印";
        QTest::addRow("person, preview") << true << "按钮_预览";
        QTest::addRow("device, preview") << false << "按钮_预览";
    }
    void printingOrPreviewWithNothingTickedAsksToTick()
    {
        QFETCH(bool, person);
        QFETCH(QString, button);
        settings::writeKey(person ? kPersonSection : kDeviceSection, QStringLiteral("打印机"), QStringLiteral("P"));
        auto w = open(person, m_erp->记录集2);
        w->labelPrinter().setTarget(pdfFiles(m_out->path()));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        click(w.get(), button);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("请先勾选要打印的标签"));
        QCOMPARE(m_env->messages[0].icon, msgbox::Icon::Error);
        QVERIFY(QDir(m_out->path()).isEmpty());
    }

    void badStoredSizeIsNamedWhenPrinting()
    {
        settings::writeKey(kDeviceSection, QStringLiteral("打印机"), QStringLiteral("P"));
        settings::writeKey(kDeviceSection, QStringLiteral("纸张长"), QStringLiteral("99999"));
        settings::writeKey(kDeviceSection, QStringLiteral("纸张宽"), QStringLiteral("30"));
        auto w = open(false, m_erp->记录集2);
        w->labelPrinter().setTarget(pdfFiles(m_out->path()));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        w->setTicked(1, true);
        click(w.get(), QStringLiteral("按钮_打印"));
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(
            m_env->messages[0].text,
            QStringLiteral(
                "纸张长宽的“宽:”框中的“99999”无效：应为 1 到 500 之间的整毫米数。未打印任何标签，请改正后再打印。"));
        QVERIFY(QDir(m_out->path()).isEmpty());
    }

    void labelsThatCannotBeSentAreNamed()
    {
        settings::writeKey(kPersonSection, QStringLiteral("打印机"), QStringLiteral("P"));
        auto w = open(true, m_erp->记录集2);
        fillSizes(w.get());
        // Jobs 2 and 3 go where no file can be made.
        w->labelPrinter().setTarget(pdfFiles(m_out->path(), 203, [this](int job) {
            return m_out->filePath(job > 0 ? QStringLiteral("missing/label.pdf") : QStringLiteral("label-1.pdf"));
        }));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        for (int row : {1, 2, 4})
            w->setTicked(row, true);
        click(w.get(), QStringLiteral("按钮_打印"));
        QCOMPARE(m_env->messages.size(), 1);
        const msgbox::Message& m = m_env->messages[0];
        QCOMPARE(m.icon, msgbox::Icon::Error);
        const QStringList codes = column(w.get(), 1);
        QCOMPARE(m.text,
                 QStringLiteral("2 张标签未能发送到打印机：%1、%2\r\n全部未打印的编号及原因已写入操作日志。\r\n"
                                "其余 1 张已发送到打印机，请等待打印结束！！")
                     .arg(codes[1], codes[3]));
        QVERIFY(QFile::exists(m_out->filePath(QStringLiteral("label-1.pdf"))));
    }

    void cancellingALongRunNamesTheLabelsNotSent()
    {
        settings::writeKey(kPersonSection, QStringLiteral("打印机"), QStringLiteral("P"));
        QVERIFY(datadirectories::prepareAndOpenLog());
        auto w = open(true, m_erp->记录集2);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        fillSizes(w.get());
        w->labelPrinter().setTarget(pdfFiles(m_out->path()));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        click(w.get(), QStringLiteral("按钮_全选"));
        const int total = w->dataRowCount();
        QVERIFY(total > 10);
        // The clerk presses 取消 once the dialog shows three labels sent.
        QTimer clerk;
        bool pressed = false;
        QObject::connect(&clerk, &QTimer::timeout, [&] {
            auto* dialog = w->findChild<QProgressDialog*>(QStringLiteral("进度_打印"));
            if (!pressed && dialog && dialog->value() >= 3) {
                QVERIFY(dialog->isVisible());
                QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
                pressed = true;
            }
        });
        clerk.start(0);
        click(w.get(), QStringLiteral("按钮_打印"));
        clerk.stop();
        QVERIFY(pressed);
        QCOMPARE(m_env->messages.size(), 1);
        const int sent = int(QDir(m_out->path()).entryList(QDir::Files).size());
        QVERIFY(sent >= 3 && sent < total);
        const QStringList notSent = column(w.get(), 1).mid(sent);
        // The message names the first ten; the log has every one.
        QVERIFY(notSent.size() > 10);
        QCOMPARE(m_env->messages[0].text,
                 QStringLiteral("打印已取消，%1 张标签未打印：%2 等\r\n全部未打印的编号及原因已写入操作日志。\r\n"
                                "其余 %3 张已发送到打印机，请等待打印结束！！")
                     .arg(notSent.size())
                     .arg(notSent.mid(0, 10).join(QStringLiteral("、")))
                     .arg(sent));
        QFile log(m_env->filePath(QStringLiteral("syslog/yxlog.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(textcodec::fromGbk(log.readAll())
                    .contains(QStringLiteral("打印已取消，%1 张标签未打印：%2")
                                  .arg(notSent.size())
                                  .arg(notSent.join(QStringLiteral("、")))));
        QVERIFY(!w->findChild<QProgressDialog*>(QStringLiteral("进度_打印")));
    }

    void previewShowsTheFirstTickedLabelAsItPrints_data() { bothWindows(); }
    void previewShowsTheFirstTickedLabelAsItPrints()
    {
        QFETCH(bool, person);
        settings::writeKey(person ? kPersonSection : kDeviceSection, QStringLiteral("打印机"), QStringLiteral("P"));
        auto w = open(person, m_erp->记录集2);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        fillSizes(w.get());
        w->labelPrinter().setTarget(pdfFiles(m_out->path(), 300));
        click(w.get(), QStringLiteral("按钮_读取U8"));
        w->setTicked(2, true);
        w->setTicked(4, true);

        // The button sits in a free place: it covers no other control.
        auto* preview = child<QPushButton>(w.get(), QStringLiteral("按钮_预览"));
        QCOMPARE(preview->text(), QStringLiteral("预览"));
        const QRect place(preview->mapTo(w.get(), QPoint()), preview->size());
        for (QWidget* other : w->findChildren<QWidget*>()) {
            if (other == preview || other->parentWidget() == nullptr || !other->isVisible()
                || other->objectName().isEmpty() || other->isAncestorOf(preview))
                continue;
            const QRect r(other->mapTo(w.get(), QPoint()), other->size());
            QVERIFY2(!r.intersects(place), qPrintable(other->objectName()));
        }

        click(w.get(), QStringLiteral("按钮_预览"));
        auto* dialog = w->findChild<QDialog*>(QStringLiteral("窗口_标签预览"));
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QPixmap shown = child<QLabel>(dialog, QStringLiteral("图片_标签"))->pixmap();
        const QString code = (person ? u"R"_s : u"S"_s) + column(w.get(), 1)[1];
        QCOMPARE(decode(shown.toImage()), QStringList{code});
        // 50 x 30 mm at 300 dpi is 591 x 354 dots, shown whole dots enlarged
        // by a whole factor, framed by one pixel.
        QCOMPARE((shown.width() - 2) % 591, 0);
        QCOMPARE((shown.height() - 2) / ((shown.width() - 2) / 591), 354);
        const QString text = child<QLabel>(dialog, QStringLiteral("标签_预览说明"))->text();
        QVERIFY2(text.contains(QStringLiteral("打印机：P（300 dpi）")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("每模块 10 × 10 点")), qPrintable(text));
        QVERIFY(m_env->messages.isEmpty());
        QVERIFY(QDir(m_out->path()).isEmpty()); // a preview prints nothing
        dialog->close();
    }

private:
    std::unique_ptr<ShellTestEnvironment> m_env;
    std::unique_ptr<DemoErp> m_erp;
    std::unique_ptr<QTemporaryDir> m_out;
};

QTEST_MAIN(LabelWindowTest)
#include "LabelWindowTest.moc"

// 窗口_条码枪设置 driven as the clerk and the scanner would: buttons clicked
// by name, scans typed as keys into whatever has the focus, pictures read
// back by zbar.
#include "scanner_setup/ScannerSetupWindow.h"
#include "qr/facade.h"
#include "scanner_setup/PictureBox.h"
#include "scanner_setup/ScanSelfTest.h"
#include "shell/StartWindow.h"
#include "tests/support/ZbarDecode.h"
#include "ui/MessageBox.h"

#include <QApplication>

#include <algorithm>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kAssets = QStringLiteral(QUILLMARK_ASSETS_DIR);

std::vector<std::uint8_t> bytesOf(const QByteArray& a)
{
    return {a.begin(), a.end()};
}

// Types as a keyboard-wedge scanner does, into the focused widget: '\n'
// presses Enter, '\t' Tab, everything else is typed as text.
void scan(const QString& keys)
{
    for (const QChar c : keys) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        if (c == u'\n')
            QTest::keyClick(target, Qt::Key_Return);
        else if (c == u'\t')
            QTest::keyClick(target, Qt::Key_Tab);
        else
            QTest::keyClicks(target, QString(c));
    }
}

} // namespace

class ScannerSetupWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qr::初始化二维码模块(); }

    void init()
    {
        QVERIFY(m_dir.isValid());
        m_window.reset(new ScannerSetupWindow(nullptr, m_dir.path()));
        m_window->setScanPause(std::chrono::milliseconds(30));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        QFile::remove(m_dir.filePath(QStringLiteral("sd.png")));
        QFile::remove(m_dir.filePath(QStringLiteral("zd.png")));
    }

    void controlsAreWhereTheWindowTableSays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addRow("text box") << "编辑框_扫描内容" << QRect(8, 8, 272, 416) << "";
        QTest::addRow("picture box") << "图片框_二维码" << QRect(289, 16, 207, 200) << "";
        QTest::addRow("group") << "分组框1" << QRect(506, 8, 312, 424) << "";
        QTest::addRow("normal") << "按钮_普通模式" << QRect(14, 16, 80, 32) << "普通模式";
        QTest::addRow("inventory") << "按钮_盘点模式" << QRect(104, 16, 80, 32) << "盘点模式";
        QTest::addRow("record count") << "按钮_显示记录数" << QRect(14, 72, 80, 32) << "显示记录数";
        QTest::addRow("battery") << "按钮_显示电量" << QRect(104, 72, 80, 32) << "显示电量";
        QTest::addRow("manual") << "按钮_手动模式" << QRect(16, 128, 80, 32) << "手动模式";
        QTest::addRow("continuous") << "按钮_连续模式" << QRect(106, 128, 80, 32) << "连续模式";
        QTest::addRow("clear") << "按钮_清除数据" << QRect(16, 176, 80, 32) << "清除数据";
        QTest::addRow("self-test") << "按钮_扫描测试" << QRect(16, 224, 80, 32) << "扫描测试";
        QTest::addRow("what the code sets") << "标签_二维码说明" << QRect(289, 220, 207, 44) << "";
        QTest::addRow("self-test verdict") << "标签_测试结果" << QRect(289, 268, 207, 156) << "";
        QTest::addRow("write the voucher") << "图片框_命令_生成出库单" << QRect(6, 282, 100, 100) << "";
        QTest::addRow("undo the last scan") << "图片框_命令_撤销" << QRect(106, 282, 100, 100) << "";
        QTest::addRow("cancel") << "图片框_命令_取消" << QRect(206, 282, 100, 100) << "";
        QTest::addRow("instructions") << "标签_使用说明" << QRect(8, 436, 810, 22) << "";
    }
    void controlsAreWhereTheWindowTableSays()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QCOMPARE(m_window->objectName(), QStringLiteral("窗口_条码枪设置"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("条码枪设置"));
        QCOMPARE(m_window->geometry().size(), QSize(826, 464));
        auto* control = m_window->findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(), geometry);
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("分组框1"));
        }
    }

    void codeButtonShowsItsCommandCentredAndSharp_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QRgb>("dark");
        QTest::addRow("normal") << "按钮_普通模式"
                                << "%%SpecCode10" << qRgb(0, 0, 0);
        QTest::addRow("inventory") << "按钮_盘点模式"
                                   << "%%SpecCode11" << qRgb(0, 0, 0);
        QTest::addRow("record count") << "按钮_显示记录数"
                                      << "%%SpecCode17" << qRgb(0, 0, 0);
        QTest::addRow("battery") << "按钮_显示电量"
                                 << "%%SpecCode15" << qRgb(0, 0, 0);
        // Black too: a red-light scanner cannot read red.
        QTest::addRow("clear") << "按钮_清除数据"
                               << "%%SpecCode18" << qRgb(0, 0, 0);
    }
    void codeButtonShowsItsCommandCentredAndSharp()
    {
        QFETCH(QString, button);
        QFETCH(QString, command);
        QFETCH(QRgb, dark);
        click(button);
        const QByteArray bmp = box()->picture();
        const auto found = qrtest::decodeBmp(bytesOf(bmp));
        QCOMPARE(found.size(), 1u);
        QCOMPARE(QString::fromStdString(found[0]), command);

        const QImage picture = QImage::fromData(bmp, "BMP");
        QCOMPARE(picture.size(), QSize(100, 100));
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                colours.insert(picture.pixel(x, y) & 0xFFFFFF);
        QCOMPARE(colours, (QSet<QRgb>{qRgb(255, 255, 255) & 0xFFFFFF, dark & 0xFFFFFF}));

        // On screen: the modules' colours only (no smoothing), and the
        // symbol in the middle of the box.
        const QImage shown = box()->grab().toImage();
        QRect symbol;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if ((shown.pixel(x, y) & 0xFFFFFF) == (dark & 0xFFFFFF))
                    symbol |= QRect(x, y, 1, 1);
        QCOMPARE(symbol.size(), QSize(75, 75)); // 25 modules of 3 pixels
        QVERIFY(qAbs(symbol.center().x() - shown.width() / 2) <= 1);
        QVERIFY(qAbs(symbol.center().y() - shown.height() / 2) <= 1);
        QCOMPARE(QApplication::focusWidget(), textBox());

        // Under the picture, what the code sets; the dangerous one in a red
        // frame with a red caption that says so, the others without.
        auto* purpose = m_window->findChild<QLabel*>(QStringLiteral("标签_二维码说明"));
        const QString caption = m_window->findChild<QPushButton*>(button)->text();
        QVERIFY2(purpose->text().startsWith(caption + u'：') || purpose->text().startsWith(QStringLiteral("危险：")),
                 qPrintable(purpose->text()));
        const bool dangerous = button == QStringLiteral("按钮_清除数据");
        QCOMPARE(purpose->text().contains(QStringLiteral("危险")), dangerous);
        const QRgb frame = shown.pixel(1, shown.height() / 2);
        QCOMPARE(qRed(frame) > 150 && qGreen(frame) < 80 && qBlue(frame) < 80, dangerous);
        const QImage text = purpose->grab().toImage();
        bool red = false;
        for (int y = 0; y < text.height() && !red; ++y)
            for (int x = 0; x < text.width() && !red; ++x)
                red = qRed(text.pixel(x, y)) > 150 && qGreen(text.pixel(x, y)) < 80;
        QCOMPARE(red, dangerous);
    }

    // The station's command barcodes, read by zbar off the window as a
    // scanner would read them off the screen, each with its caption.
    void commandBarcodesAreReadOffTheWindow()
    {
        const QImage shot = m_window->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
        std::vector<unsigned char> grey;
        for (int y = 0; y < shot.height(); ++y)
            grey.insert(grey.end(), shot.constScanLine(y), shot.constScanLine(y) + shot.width());
        std::vector<std::string> found = qrtest::decodeGrey(grey, unsigned(shot.width()), unsigned(shot.height()));
        std::sort(found.begin(), found.end());
        QCOMPARE(found, (std::vector<std::string>{"#QM-CANCEL", "#QM-UNDO", "#QM-WRITE"}));
        const QList<std::pair<QString, QString>> captions = {{u"图片框_命令_生成出库单"_s, u"生成出库单"_s},
                                                             {u"图片框_命令_撤销"_s, u"撤销上一次扫码"_s},
                                                             {u"图片框_命令_取消"_s, u"取消"_s}};
        for (const auto& [box, caption] : captions) {
            auto* label = m_window->findChild<QLabel*>(box + QStringLiteral("_说明"));
            QVERIFY2(label, qPrintable(box));
            QCOMPARE(label->text(), caption);
            auto* picture = m_window->findChild<PictureBox*>(box);
            QCOMPARE(label->geometry().top(), picture->geometry().bottom() + 3); // right under its code
            QCOMPARE(label->geometry().left(), picture->geometry().left());
            // Each code alone decodes to its own text.
            const auto one = qrtest::decodeBmp(bytesOf(picture->picture()));
            QCOMPARE(one.size(), 1u);
        }
        QVERIFY(!m_window->findChild<QLabel*>(QStringLiteral("标签_使用说明"))->text().isEmpty());
    }

    void nextCodeReplacesThePictureAndKeepsTheTypedText()
    {
        click(QStringLiteral("按钮_普通模式"));
        scan(QStringLiteral("R10001\n"));
        click(QStringLiteral("按钮_显示电量"));
        const auto found = qrtest::decodeBmp(bytesOf(box()->picture()));
        QCOMPARE(found, std::vector<std::string>{"%%SpecCode15"});
        QCOMPARE(textBox()->toPlainText(), QStringLiteral("R10001\n"));
    }

    void pictureButtonsShowTheFileUnchanged()
    {
        QVERIFY(QFile::copy(kAssets + QStringLiteral("/sd.png"), m_dir.filePath(QStringLiteral("sd.png"))));
        QFile file(m_dir.filePath(QStringLiteral("sd.png")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        click(QStringLiteral("按钮_手动模式"));
        QCOMPARE(box()->picture(), file.readAll());
        QVERIFY(!box()->pixmap().isNull());
        QCOMPARE(box()->pixmap().size(), QSize(200, 190)); // fits: shown at its own size
        QCOMPARE(QApplication::focusWidget(), textBox());
    }

    void pictureLargerThanTheBoxIsReducedNotCut()
    {
        // A site's photo of the manual's page, larger than the box.
        QImage photo(600, 300, QImage::Format_RGB32);
        photo.fill(Qt::white);
        QVERIFY(photo.save(m_dir.filePath(QStringLiteral("zd.png"))));
        click(QStringLiteral("按钮_连续模式"));
        QFile file(m_dir.filePath(QStringLiteral("zd.png")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(box()->picture(), file.readAll());
        QCOMPARE(box()->pixmap().size(), QSize(207, 103));
    }

    void missingPictureLeavesTheBoxEmpty()
    {
        click(QStringLiteral("按钮_普通模式"));
        click(QStringLiteral("按钮_连续模式")); // no zd.png in the directory
        QVERIFY(box()->picture().isEmpty());
        QVERIFY(box()->pixmap().isNull());
        QCOMPARE(QApplication::focusWidget(), textBox());
        scan(QStringLiteral("x"));
        QCOMPARE(textBox()->toPlainText(), QStringLiteral("x"));
    }

    void typingAfterAnyClickLandsInTheTextBox()
    {
        QCOMPARE(QApplication::focusWidget(), textBox()); // from the start
        QString expected;
        for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
            QTest::mouseClick(button, Qt::LeftButton);
            const QString code = QStringLiteral("R1000%1\n").arg(expected.size());
            scan(code);
            expected += code;
        }
        QCOMPARE(textBox()->toPlainText(), expected);
        QCOMPARE(m_window->findChildren<QPushButton*>().size(), 8);
    }

    void selfTestJudgesTheScan_data()
    {
        const QString t = ScanSelfTest::kTestText;
        QString swapped;
        for (const QChar c : t)
            swapped += c.isUpper() ? c.toLower() : c.toUpper();
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("verdict");
        QTest::addRow("exact with Enter") << t + u'\n' << "测试通过：内容正确，结尾有回车。";
        QTest::addRow("Caps Lock") << swapped + u'\n'
                                   << "测试未通过：字母大小写反了（大写锁定 Caps Lock 开着，或键盘布局不对）。";
        QTest::addRow("no Enter") << t << "测试未通过：条码后没有回车（请给条码枪设置回车后缀）。";
        QTest::addRow("Tab") << t + u'\t' << "测试未通过：条码后是 Tab 而不是回车（请把条码枪的后缀改为回车）。";
        QTest::addRow("prefix and suffix") << u"]Q1"_s + t
                + u"#\n"_s << "测试未通过：条码前多了“]Q1”（条码枪设了前缀）；条码后多了“#”（条码枪设了后缀）。";
        QTest::addRow("twice") << t + u'\n' + t + u'\n'
                               << "测试未通过：同一个码输入了两次（条码枪重复发送或扫了两次）。";
    }
    void selfTestJudgesTheScan()
    {
        QFETCH(QString, keys);
        QFETCH(QString, verdict);
        click(QStringLiteral("按钮_扫描测试"));
        const auto found = qrtest::decodeBmp(bytesOf(box()->picture()));
        QCOMPARE(found, std::vector<std::string>{ScanSelfTest::kTestText.toStdString()});
        QCOMPARE(result()->text(), QStringLiteral("请用条码枪扫描上方的测试码。"));
        scan(keys);
        QTRY_COMPARE(result()->text(), verdict);
        // The box shows what arrived, as always.
        QCOMPARE(textBox()->toPlainText(), keys);
    }

    void theBoxIsNotReadOutsideTheSelfTest()
    {
        click(QStringLiteral("按钮_扫描测试"));
        click(QStringLiteral("按钮_普通模式"));
        QVERIFY(result()->text().isEmpty());
        scan(ScanSelfTest::kTestText);
        QTest::qWait(100);
        QVERIFY(result()->text().isEmpty());
    }

    void startWindowOpensAFreshModalWindowEachTime()
    {
        m_window.reset();
        StartWindow start;
        start.show();
        auto* open = start.findChild<QPushButton*>(QStringLiteral("按钮_条码枪设置"));
        QVERIFY(open);
        QStringList seen;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, &start, [&] {
                auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!w)
                    return;
                auto* text = w->findChild<QPlainTextEdit*>(QStringLiteral("编辑框_扫描内容"));
                auto* picture = w->findChild<PictureBox*>(QStringLiteral("图片框_二维码"));
                seen << w->objectName() + (w->parentWidget() == &start ? u"|owned"_s : u"|unowned"_s)
                        + (text->toPlainText().isEmpty() && picture->picture().isEmpty() ? u"|empty"_s : u"|kept"_s);
                // Leave something behind that the next opening must not show.
                text->setPlainText(QStringLiteral("R10001"));
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("按钮_普通模式")), Qt::LeftButton);
                w->close();
            });
            QTest::mouseClick(open, Qt::LeftButton); // returns when the window has closed
        }
        QCOMPARE(seen, QStringList(2, QStringLiteral("窗口_条码枪设置|owned|empty")));
    }

private:
    void click(const QString& name)
    {
        auto* button = m_window->findChild<QPushButton*>(name);
        QVERIFY2(button, qPrintable(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    PictureBox* box() const { return m_window->findChild<PictureBox*>(QStringLiteral("图片框_二维码")); }
    QPlainTextEdit* textBox() const { return m_window->findChild<QPlainTextEdit*>(QStringLiteral("编辑框_扫描内容")); }
    QLabel* result() const { return m_window->findChild<QLabel*>(QStringLiteral("标签_测试结果")); }

    QTemporaryDir m_dir;
    std::unique_ptr<ScannerSetupWindow> m_window;
};

QTEST_MAIN(ScannerSetupWindowTest)
#include "ScannerSetupWindowTest.moc"

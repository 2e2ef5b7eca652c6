// Labels printed for real through QPrinter into PDF files, looked at as a
// printer would see them: page size (pdfinfo), the code read back by zbar
// from the page rendered at a thermal printer's 203 dpi (pdftoppm), where
// the picture sits, and the name beside it (pdftotext).
#include "LabelTestSupport.h"
#include "PersonLabelWindow.h"
#include "Settings.h"
#include "ShellTestEnvironment.h"

#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace labeltest;

Q_DECLARE_METATYPE(LabelSettings)

namespace {

constexpr int kDpi = 203;
// Qt writes PDF page boxes in whole points.
constexpr double kHalfPointMm = 0.5 * 25.4 / 72;

LabelSettings boxes(const QString& paperW, const QString& paperH, const QString& qrLong, const QString& qrWide,
                    const QString& top = {}, const QString& left = {})
{
    LabelSettings s;
    s.纸张长 = paperW;
    s.纸张宽 = paperH;
    s.二维码长 = qrLong;
    s.二维码宽 = qrWide;
    s.边距上 = top;
    s.边距左 = left;
    s.边距下 = QStringLiteral("7"); // bottom and right margins move nothing
    s.边距右 = QStringLiteral("9");
    return s;
}

void fuzzyCompare(double actual, double expected, double tolerance, const char* what)
{
    QVERIFY2(std::abs(actual - expected) <= tolerance,
             qPrintable(QStringLiteral("%1: %2 instead of %3").arg(QLatin1String(what)).arg(actual).arg(expected)));
}

} // namespace

class LabelPrintTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { startQrModule(); }
    void init()
    {
        m_env = std::make_unique<ShellTestEnvironment>();
        m_out = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_out.reset();
        m_env.reset();
    }

    void twoTickedPeopleGiveTwoLabels()
    {
        DemoErp erp;
        QVERIFY(erp.isReady());
        settings::writeKey(QStringLiteral("人员打印机配制"), QStringLiteral("打印机"), QStringLiteral("Label"));
        窗口_人员条码打印 w(erp.记录集2);
        w.labelPrinter().setTarget(pdfFiles(m_out->path()));
        // Typed but not saved: printing takes the boxes as they are.
        setBox(&w, "编辑框_纸张长", "60");
        setBox(&w, "编辑框_纸张宽", "40");
        setBox(&w, "编辑框_二维码长", "25");
        setBox(&w, "编辑框_二维码宽", "25");
        setBox(&w, "编辑框_上", "3");
        setBox(&w, "编辑框_左", "5");
        setBox(&w, "编辑框_下", "20");
        setBox(&w, "编辑框_右", "30");
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_读取U8")), Qt::LeftButton);
        w.setTicked(2, true);
        w.setTicked(5, true);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_打印")), Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("已发送到打印机，请等待打印结束！！"));

        const auto* grid = w.findChild<QTableWidget*>(QStringLiteral("高级表格_人员"));
        QCOMPARE(QDir(m_out->path()).entryList(QDir::Files).size(), 2);
        int job = 0;
        for (int row : {2, 5}) {
            const QString pdf = m_out->filePath(QStringLiteral("label-%1.pdf").arg(++job));
            QCOMPARE(pageCount(pdf), 1);
            const QSizeF size = pageSizeMm(pdf);
            fuzzyCompare(size.width(), 60, kHalfPointMm, "page width");
            fuzzyCompare(size.height(), 40, kHalfPointMm, "page height");
            const QImage page = render(pdf, kDpi);
            QCOMPARE(decode(page), QStringList{"R" + grid->item(row - 1, 1)->text()});
            // The picture starts 0.1 mm inside the margins; its symbol (21
            // modules scaled by 2 into 50 pixels) 4 pixels further in.
            const QRectF symbol = darkBoxMm(page, kDpi, 5 + 25 + 0.5);
            fuzzyCompare(symbol.left(), 5 + 0.1 + 25 * 4 / 50.0, 0.3, "symbol left");
            fuzzyCompare(symbol.top(), 3 + 0.1 + 25 * 4 / 50.0, 0.3, "symbol top");
            fuzzyCompare(symbol.width(), 25 * 42 / 50.0, 0.3, "symbol width");
            const QList<Word> text = words(pdf);
            QVERIFY(!text.isEmpty());
            QString name;
            for (const Word& word : text) {
                name += word.text;
                QVERIFY(word.box.left() >= 5 + 25 + 1 - 0.3); // right of the picture
                QVERIFY(word.box.top() >= 3 + 4 - 0.5);
            }
            QCOMPARE(name, grid->item(row - 1, 2)->text().remove(u' '));
        }
    }

    void deviceLabelCarriesNoText()
    {
        LabelPrinter printer(LabelKind::device());
        printer.setTarget(pdfFiles(m_out->path()));
        const auto outcome = printer.print(QStringLiteral("P"), boxes("50", "30", "20", "20"), {{"A-01", "空压机"}});
        QCOMPARE(outcome.sent, 1);
        const QString pdf = m_out->filePath(QStringLiteral("label-1.pdf"));
        QCOMPARE(decode(render(pdf, kDpi)), QStringList{QStringLiteral("SA-01")});
        QVERIFY(words(pdf).isEmpty());
    }

    void qrBoxesWorkCrosswise()
    {
        // "宽:" (二维码长) 20 and "高:" (二维码宽) 30: 30 mm wide, 20 mm high.
        LabelPrinter printer(LabelKind::device());
        printer.setTarget(pdfFiles(m_out->path()));
        QCOMPARE(printer.print(QStringLiteral("P"), boxes("50", "30", "20", "30"), {{"A-01", {}}}).sent, 1);
        const QRectF symbol = darkBoxMm(render(m_out->filePath(QStringLiteral("label-1.pdf")), kDpi), kDpi);
        fuzzyCompare(symbol.width(), 30 * 42 / 50.0, 0.3, "symbol width");
        fuzzyCompare(symbol.height(), 20 * 42 / 50.0, 0.3, "symbol height");
    }

    void paperBoxes_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<bool>("custom");
        QTest::addRow("both empty") << "" << "" << false;
        QTest::addRow("width zero") << "0" << "40" << false;
        QTest::addRow("height empty") << "60" << "" << false;
        QTest::addRow("both set") << "60" << "40" << true;
        QTest::addRow("leading zeros") << "0060" << "040" << true;
    }
    void paperBoxes()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(bool, custom);
        LabelPrinter printer(LabelKind::person());
        printer.setTarget(pdfFiles(m_out->path()));
        QCOMPARE(printer.print(QStringLiteral("P"), boxes(width, height, "20", "20"), {{"1", "张三"}}).sent, 1);
        const QSizeF size = pageSizeMm(m_out->filePath(QStringLiteral("label-1.pdf")));
        QPrinter own(QPrinter::HighResolution);
        own.setOutputFormat(QPrinter::PdfFormat);
        const QSizeF expected = custom ? QSizeF(60, 40) : own.pageLayout().fullRect(QPageLayout::Millimeter).size();
        fuzzyCompare(size.width(), expected.width(), kHalfPointMm, "page width");
        fuzzyCompare(size.height(), expected.height(), kHalfPointMm, "page height");
    }

    void unusualInputPrintsOrSaysWhy_data()
    {
        QTest::addColumn<LabelSettings>("settings");
        QTest::addColumn<QString>("name");
        QTest::addRow("9999 mm paper") << boxes("9999", "9999", "20", "20") << "张三";
        QTest::addRow("more digits than a number") << boxes("99999999999999999999999", "40", "20", "20") << "张三";
        QTest::addRow("9999 mm picture") << boxes("60", "40", "9999", "9999") << "张三";
        QTest::addRow("zero picture") << boxes("60", "40", "0", "") << "张三";
        QTest::addRow("margins beyond the page") << boxes("60", "40", "20", "20", "500", "500") << "张三";
        QTest::addRow("quote in name") << boxes("60", "40", "20", "20") << "O'Neil";
        QTest::addRow("200 characters") << boxes("60", "40", "20", "20") << QString(200, u'长');
    }
    void unusualInputPrintsOrSaysWhy()
    {
        QFETCH(LabelSettings, settings);
        QFETCH(QString, name);
        LabelPrinter printer(LabelKind::person());
        printer.setTarget(pdfFiles(m_out->path()));
        const auto outcome = printer.print(QStringLiteral("P"), settings, {{"10001", name}});
        QCOMPARE(outcome.sent + outcome.failedCodes.size(), 1);
        if (outcome.sent == 1)
            QCOMPARE(pageCount(m_out->filePath(QStringLiteral("label-1.pdf"))), 1);
        else
            QCOMPARE(LabelPrinter::failureMessage(outcome), QStringLiteral("1 张标签未能发送到打印机：10001"));
        if (name.startsWith(u'O'))
            QVERIFY(run(QStringLiteral("pdftotext"), {m_out->filePath(QStringLiteral("label-1.pdf")), "-"})
                        .contains(name));
    }

    void tenthsOfAMillimetre_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<qint64>("tenths");
        QTest::addRow("empty") << "" << qint64(0);
        QTest::addRow("zero") << "0" << qint64(0);
        QTest::addRow("whole mm") << "25" << qint64(250);
        QTest::addRow("leading zeros") << "007" << qint64(70);
        QTest::addRow("100 m") << "100000" << qint64(1'000'000);
        QTest::addRow("beyond 100 m") << "123456789" << qint64(1'000'000);
        QTest::addRow("too many digits") << "99999999999999999999999" << qint64(1'000'000);
    }
    void tenthsOfAMillimetre()
    {
        QFETCH(QString, box);
        QFETCH(qint64, tenths);
        QCOMPARE(LabelPrinter::tenths(box), tenths);
    }

private:
    std::unique_ptr<ShellTestEnvironment> m_env;
    std::unique_ptr<QTemporaryDir> m_out;
};

QTEST_MAIN(LabelPrintTest)
#include "LabelPrintTest.moc"

// Labels printed for real into PDF files, looked at as a printer would see
// them: page size (pdfinfo), the code read back by zbar from the page
// rendered at the printer's 203 dpi (pdftoppm), where the symbol sits in
// whole dots, the name beside it (pdftotext), and the QR stored losslessly
// and small (pdfimages).
#include "app/Settings.h"
#include "labels/PersonLabelWindow.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/ShellTestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using namespace labeltest;

Q_DECLARE_METATYPE(LabelSettings)

namespace {

constexpr int kDpi = 203;
constexpr double kDotMm = 25.4 / kDpi;
constexpr double kPageMm = 0.01;
// What a label page may weigh: a 1-bit QR and a line of text.
constexpr qint64 kMaxLabelPdf = 10 * 1024;

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

// The image lines of pdfimages -list: the code and the name, each 1-bit,
// none JPEG.
void checkImagesLossless(const QString& pdf, int expected)
{
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n');
    QVERIFY(lines.size() > 2);
    int images = 0;
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() < 10)
            continue;
        ++images;
        QVERIFY2(f[8] != QLatin1String("jpeg") && f[8] != QLatin1String("jpx"), qPrintable(line));
        QCOMPARE(f[7], QStringLiteral("1")); // bits per component
    }
    QCOMPARE(images, expected);
    QVERIFY2(QFileInfo(pdf).size() <= kMaxLabelPdf, qPrintable(QString::number(QFileInfo(pdf).size())));
}

// The text under the code on a printed page: exactly the expected caption
// (checked on the label's own picture of it) and, on the page, dark dots
// where that picture has them, below the code and within the label.
void checkCaption(const QImage& page, const LabelKind& kind, const LabelSettings& settings, const LabelJob& job,
                  const QString& caption)
{
    const LabelPage expected = LabelPage::make(kind, *LabelSizes::from(settings, nullptr), job, kDpi);
    QCOMPARE(expected.caption, caption);
    const int below = expected.qrAt.y() + expected.qr.height();
    const int right = kind.printsName ? expected.nameAt.x() : page.width();
    const QRectF printed = darkBoxMm(page.copy(0, below, right, page.height() - below), kDpi);
    if (caption.isEmpty()) {
        QVERIFY(printed.isEmpty());
        return;
    }
    QVERIFY(!printed.isEmpty());
    // The dark box of the caption's own dots, placed where the label says.
    const QImage dots = expected.captionDots.convertToFormat(QImage::Format_RGB32);
    const QRectF own = darkBoxMm(dots, kDpi);
    fuzzyCompare(printed.left() / kDotMm, expected.captionAt.x() + own.left() / kDotMm, 1.01, "caption left");
    fuzzyCompare((printed.top() / kDotMm) + below, expected.captionAt.y() + own.top() / kDotMm, 1.01, "caption top");
    fuzzyCompare(printed.width() / kDotMm, own.width() / kDotMm, 1.01, "caption width");
    fuzzyCompare(printed.height() / kDotMm, own.height() / kDotMm, 1.01, "caption height");
    QVERIFY(expected.captionAt.y() + expected.captionDots.height() <= expected.heightDots());
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
        PersonLabelWindow w(erp.记录集2);
        w.labelPrinter().setTarget(pdfFiles(m_out->path()));
        // Typed but not saved: printing takes the boxes as they are.
        setBox(&w, "编辑框_纸张长", u"60"_s);
        setBox(&w, "编辑框_纸张宽", u"40"_s);
        setBox(&w, "编辑框_二维码长", u"25"_s);
        setBox(&w, "编辑框_二维码宽", u"25"_s);
        setBox(&w, "编辑框_上", u"3"_s);
        setBox(&w, "编辑框_左", u"5"_s);
        setBox(&w, "编辑框_下", u"20"_s);
        setBox(&w, "编辑框_右", u"30"_s);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_读取U8")), Qt::LeftButton);
        w.setTicked(2, true);
        w.setTicked(5, true);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_打印")), Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("已发送 2 张标签到打印机，请等待打印结束！！"));

        const auto* grid = w.findChild<QTableWidget*>(QStringLiteral("高级表格_人员"));
        QCOMPARE(QDir(m_out->path()).entryList(QDir::Files).size(), 2);
        int job = 0;
        for (int row : {2, 5}) {
            const QString pdf = m_out->filePath(QStringLiteral("label-%1.pdf").arg(++job));
            QCOMPARE(pageCount(pdf), 1);
            const QSizeF size = pageSizeMm(pdf);
            fuzzyCompare(size.width(), 60, kPageMm, "page width");
            fuzzyCompare(size.height(), 40, kPageMm, "page height");
            checkImagesLossless(pdf, 3); // the code, the name, the job number
            const QImage page = render(pdf, kDpi);
            const QString code = grid->item(row - 1, 1)->text();
            checkCaption(page, LabelKind::person(), boxes(u"60"_s, u"40"_s, u"25"_s, u"25"_s, u"3"_s, u"5"_s),
                         {code, grid->item(row - 1, 2)->text()}, code);
            QCOMPARE(decode(page), QStringList{u"R"_s + code});
            // The symbol in whole dots: 21 modules of 7 dots (25 mm is 199
            // dots; 199 / 25 with the quiet zone), centred in the QR box
            // that starts 0.1 mm inside the margins. Poppler draws a 1-bit
            // picture up to a dot wider than it is; the printers' own
            // rasteriser is checked dot for dot in the CUPS test.
            const QRectF symbol = darkBoxMm(page, kDpi, 5 + 25 + 0.5);
            const int m = 199 / 25;
            const double box = LabelPage::dots(5.1, kDpi) + (199 - 25 * m) / 2 + 2 * m;
            fuzzyCompare(symbol.left() / kDotMm, box, 1.01, "symbol left in dots");
            fuzzyCompare(symbol.top() / kDotMm, LabelPage::dots(3.1, kDpi) + (199 - 25 * m) / 2 + 2 * m, 1.01,
                         "symbol top in dots");
            fuzzyCompare(symbol.width() / kDotMm, 21 * m, 1.01, "symbol width in dots");
            // The name, in the printer's dots too, 1 mm right of the QR box
            // and 4 mm below the top margin.
            const int from = int((5 + 25 + 0.5) / kDotMm);
            const QRectF name = darkBoxMm(page.copy(from, 0, page.width() - from, page.height()), kDpi);
            QVERIFY(!name.isEmpty());
            fuzzyCompare(name.left() + 5 + 25 + 0.5, 5 + 25 + 1, 1.0, "name left");
            QVERIFY(name.top() >= 3 + 4 - kDotMm);
            QVERIFY(name.bottom() < 3 + 4 + 6);
        }
    }

    // Under the code, what a person can read: the device code and name, or
    // the code alone, or nothing, as the label has room; the code keeps its
    // size and place.
    void captionUnderTheCodeWhereTheLabelHasRoom_data()
    {
        QTest::addColumn<QString>("paperW");
        QTest::addColumn<QString>("paperH");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addRow("code and name") << "50"
                                       << "30"
                                       << "空压机"
                                       << "A-01 空压机";
        QTest::addRow("name too long: code") << "22"
                                             << "30"
                                             << "空压机房二号机组"
                                             << "A-01";
        QTest::addRow("no room under the code") << "50"
                                                << "22"
                                                << "空压机"
                                                << "";
    }
    void captionUnderTheCodeWhereTheLabelHasRoom()
    {
        QFETCH(QString, paperW);
        QFETCH(QString, paperH);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        LabelPrinter printer(LabelKind::device());
        printer.setTarget(pdfFiles(m_out->path()));
        const LabelSettings settings = boxes(paperW, paperH, u"20"_s, u"20"_s);
        const auto outcome = printer.print(QStringLiteral("P"), settings, {{u"A-01"_s, name}});
        QCOMPARE(outcome.sent, 1);
        const QString pdf = m_out->filePath(QStringLiteral("label-1.pdf"));
        const QImage page = render(pdf, kDpi);
        QCOMPARE(decode(page), QStringList{QStringLiteral("SA-01")});
        // The symbol where it is without any text: 20 mm box from 0.1 mm.
        const LabelPage bare =
            LabelPage::make(LabelKind::device(), *LabelSizes::from(boxes(u"50"_s, u"21"_s, u"20"_s, u"20"_s), nullptr),
                            {u"A-01"_s, {}}, kDpi);
        const QRectF symbol = darkBoxMm(page.copy(0, 0, page.width(), bare.qrAt.y() + bare.qr.height()), kDpi);
        fuzzyCompare(symbol.left() / kDotMm, bare.qrAt.x() + 2 * bare.moduleDots, 1.01, "symbol left in dots");
        fuzzyCompare(symbol.top() / kDotMm, bare.qrAt.y() + 2 * bare.moduleDots, 1.01, "symbol top in dots");
        fuzzyCompare(symbol.width() / kDotMm, 21 * bare.moduleDots, 1.01, "symbol width in dots");
        checkCaption(page, LabelKind::device(), settings, {u"A-01"_s, name}, caption);
        QVERIFY(words(pdf).isEmpty()); // drawn in the printer's dots, not as a font
        checkImagesLossless(pdf, caption.isEmpty() ? 1 : 2);
    }

    void moduleSizeInWholeDots_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("qrLong");
        QTest::addColumn<QString>("qrWide");
        QTest::addColumn<int>("moduleDots");
        // A version-1 symbol: 21 modules and a quiet zone of 2 on each side.
        QTest::addRow("22 mm at 203 dpi") << 203 << "22"
                                          << "22" << 7; // 175 dots / 25
        QTest::addRow("22 mm at 300 dpi") << 300 << "22"
                                          << "22" << 10; // 259 dots / 25
        QTest::addRow("crosswise 20 high, 30 wide") << 203 << "20"
                                                    << "30" << 6; // the smaller side rules
        QTest::addRow("tiny box: never below 2") << 203 << "3"
                                                 << "3" << 2;
        QTest::addRow("600 dpi") << 600 << "22"
                                 << "22" << 20;
    }
    void moduleSizeInWholeDots()
    {
        QFETCH(int, dpi);
        QFETCH(QString, qrLong);
        QFETCH(QString, qrWide);
        QFETCH(int, moduleDots);
        const LabelSizes sizes = *LabelSizes::from(boxes(u"50"_s, u"30"_s, qrLong, qrWide), nullptr);
        const LabelPage page = LabelPage::make(LabelKind::device(), sizes, {u"A-01"_s, {}}, dpi);
        QCOMPARE(page.modules, 21);
        QCOMPARE(page.moduleDots, moduleDots);
        QCOMPARE(page.qr.format(), QImage::Format_Mono);
        QCOMPARE(page.qr.width(), 25 * moduleDots);
        // Centred in the QR box on whole dots, never above or left of it.
        const int boxWidth = int(sizes.qrWidth * dpi / 25.4);
        QCOMPARE(page.qrAt.x(), LabelPage::dots(0.1, dpi) + std::max(0, (boxWidth - page.qr.width()) / 2));
        QCOMPARE(decode(page.toImage()), QStringList{QStringLiteral("SA-01")});
    }

    void sizesOutsideTheRangeAreRefused_data()
    {
        QTest::addColumn<LabelSettings>("settings");
        QTest::addColumn<QString>("error");
        QTest::addRow("paper empty") << boxes(u""_s, u"30"_s, u"20"_s, u"20"_s) << "纸张长宽的“宽:”框中的“”无效";
        QTest::addRow("paper zero") << boxes(u"50"_s, u"0"_s, u"20"_s, u"20"_s) << "纸张长宽的“高:”框中的“0”无效";
        QTest::addRow("paper 501") << boxes(u"501"_s, u"30"_s, u"20"_s, u"20"_s) << "纸张长宽的“宽:”框中的“501”无效";
        QTest::addRow("more digits than a number") << boxes(u"99999999999999999999999"_s, u"30"_s, u"20"_s, u"20"_s)
                                                   << "纸张长宽的“宽:”框中的“99999999999999999999999”无效";
        QTest::addRow("minus") << boxes(u"-5"_s, u"30"_s, u"20"_s, u"20"_s) << "纸张长宽的“宽:”框中的“-5”不是整数";
        QTest::addRow("QR zero") << boxes(u"50"_s, u"30"_s, u"0"_s, u"20"_s) << "二维码长宽的“高:”框中的“0”无效";
        QTest::addRow("letters") << boxes(u"5O"_s, u"30"_s, u"20"_s, u"20"_s) << "纸张长宽的“宽:”框中的“5O”不是整数";
        QTest::addRow("exponent") << boxes(u"50"_s, u"1e9"_s, u"20"_s, u"20"_s) << "纸张长宽的“高:”框中的“1e9”不是整数";
        QTest::addRow("margin letters") << boxes(u"50"_s, u"30"_s, u"20"_s, u"20"_s, u"2x"_s)
                                        << "打印边距的“上:”框中的“2x”无效";
        QTest::addRow("QR wider than the label")
            << boxes(u"50"_s, u"30"_s, u"20"_s, u"60"_s) << "二维码（印出宽 60 × 高 20 毫米）大于标签（50 × 30 毫米）";
    }
    void sizesOutsideTheRangeAreRefused()
    {
        QFETCH(LabelSettings, settings);
        QFETCH(QString, error);
        LabelPrinter printer(LabelKind::person());
        printer.setTarget(pdfFiles(m_out->path()));
        const auto outcome = printer.print(QStringLiteral("P"), settings, {{u"10001"_s, u"张三"_s}});
        QCOMPARE(outcome.status, LabelPrinter::Status::BadSizes);
        QVERIFY2(outcome.error.startsWith(error), qPrintable(outcome.error));
        QVERIFY(QDir(m_out->path()).isEmpty());
    }

    void unusualInputPrintsOrSaysWhy_data()
    {
        QTest::addColumn<LabelSettings>("settings");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("failure");
        QTest::addRow("500 mm label") << boxes(u"500"_s, u"500"_s, u"500"_s, u"500"_s) << "张三"
                                      << "";
        QTest::addRow("leading zeros") << boxes(u"0060"_s, u"040"_s, u"020"_s, u"20"_s) << "张三"
                                       << "";
        QTest::addRow("margins beyond the page")
            << boxes(u"60"_s, u"40"_s, u"20"_s, u"20"_s, u"500"_s, u"500"_s) << "张三"
            << "二维码超出标签边缘（请减小边距或二维码尺寸），1 "
               "张标签未打印：10001\r\n全部未打印的编号及原因已写入操作日志。";
        QTest::addRow("200 characters") << boxes(u"60"_s, u"40"_s, u"20"_s, u"20"_s) << QString(200, u'长') << "";
    }
    void unusualInputPrintsOrSaysWhy()
    {
        QFETCH(LabelSettings, settings);
        QFETCH(QString, name);
        QFETCH(QString, failure);
        LabelPrinter printer(LabelKind::person());
        printer.setTarget(pdfFiles(m_out->path()));
        const auto outcome = printer.print(QStringLiteral("P"), settings, {{u"10001"_s, name}});
        QCOMPARE(outcome.status, LabelPrinter::Status::Done);
        if (!failure.isEmpty()) {
            QCOMPARE(LabelPrinter::failureMessage(outcome), failure);
            return;
        }
        QCOMPARE(outcome.sent, 1);
        const QString pdf = m_out->filePath(QStringLiteral("label-1.pdf"));
        QCOMPARE(pageCount(pdf), 1);
        QCOMPARE(decode(render(pdf, kDpi)), QStringList{QStringLiteral("R10001")});
    }

private:
    std::unique_ptr<ShellTestEnvironment> m_env;
    std::unique_ptr<QTemporaryDir> m_out;
};

QTEST_MAIN(LabelPrintTest)
#include "LabelPrintTest.moc"

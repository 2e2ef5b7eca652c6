// A label printed by the Windows program under Wine reaches a CUPS label
// printer: the program's label code prints through Qt's Windows print
// support to Wine's spooler, which hands the job to the host's CUPS (here a
// cupsd of the test's own with a queue of CUPS's Zebra ZPL driver). What the
// printer receives is read back: the label's size in dots and its code,
// read by zbar.
//
// The label is 50 x 80 mm, a size the driver's PPD names ("80x50mm"): Wine's
// PostScript driver offers only the PPD's named sizes and drops a custom
// one ("unsupported pagesize 0"), so a label of another size comes out on
// the printer's default media under Wine. Windows' own label printer
// drivers take custom sizes.
#include "labels/LabelKind.h"
#include "labels/LabelPage.h"
#include "tests/labels/LabelPrinterOutput.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/LabelBoxes.h"
#include "tests/support/PrivateCups.h"

#include <QProcess>
#include <QTest>

using namespace labeltest;

class LabelsThroughWineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startQrModule(); }

    void personLabelComesOutOfTheZebraQueue()
    {
        PrivateCups cups;
        const QString why = cups.start();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        QVERIFY(cups.addQueue(QStringLiteral("Zpl203"), QStringLiteral("drv:///sample.drv/zebra.ppd")).isEmpty());

        // CUPS_SERVER (set by PrivateCups) reaches Wine's spooler through
        // the environment the program starts in.
        QProcess probe;
        probe.setProcessChannelMode(QProcess::MergedChannels);
        probe.start(QStringLiteral(QUILLMARK_WINE_RUN),
                    {QStringLiteral(QUILLMARK_LABEL_PROBE), QStringLiteral("Zpl203"), QStringLiteral("10001"),
                     QStringLiteral("张三")});
        QVERIFY(probe.waitForFinished(180000));
        const QByteArray said = probe.readAll();
        if (probe.exitCode() == 77)
            QSKIP(said.constData());
        QVERIFY2(probe.exitCode() == 0, said.constData());

        FifoDevice* device = cups.device(QStringLiteral("Zpl203"));
        QTRY_VERIFY2_WITH_TIMEOUT(!device->jobs().isEmpty(), cups.errorLog().right(4000).constData(), 120000);
        const QList<PrintedLabel> printed = readZpl(device->jobs().first());
        QCOMPARE(printed.size(), 1);
        // The boxes the probe prints with.
        const LabelSizes sizes = *LabelSizes::from(labelBoxes(50, 80, 22), nullptr);
        const LabelPage expected =
            LabelPage::make(LabelKind::person(), sizes, {QStringLiteral("10001"), QStringLiteral("张三")}, 203);
        QVERIFY2(std::abs(printed.first().widthDots - expected.widthDots()) <= 1,
                 qPrintable(QStringLiteral("%1 dots wide").arg(printed.first().widthDots)));
        QVERIFY2(std::abs(printed.first().heightDots - expected.heightDots()) <= 1,
                 qPrintable(QStringLiteral("%1 dots high").arg(printed.first().heightDots)));
        QCOMPARE(decode(printed.first().picture), QStringList{QStringLiteral("R10001")});
    }
};

QTEST_MAIN(LabelsThroughWineTest)
#include "LabelsThroughWineTest.moc"

// End to end through real print queues: a cupsd of the test's own with
// CUPS's own label drivers (Zebra ZPL and EPL2 at 203 and 300 dpi, DYMO
// without custom sizes) writing to devices the test reads back. The raw
// printer output is turned back into a picture and checked as a label
// printer would print it. Where cupsd cannot be started the test says why
// and skips.
#include "app/Settings.h"
#include "labels/LabelPicture.h"
#include "labels/PersonLabelWindow.h"
#include "tests/labels/LabelPrinterOutput.h"
#include "tests/labels/LabelTestSupport.h"
#include "tests/support/LabelBoxes.h"
#include "tests/support/PrivateCups.h"
#include "tests/support/ShellTestEnvironment.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using namespace labeltest;

namespace {

const QString kZpl = QStringLiteral("drv:///sample.drv/zebra.ppd");
const QString kEpl2 = QStringLiteral("drv:///sample.drv/zebraep2.ppd");
const QString kDymo = QStringLiteral("drv:///sample.drv/dymo.ppd");
// The clerk's own printer, the system default: it must never get a label.
const QString kBystander = QStringLiteral("Office");

LabelSettings label50x30()
{
    return labelBoxes(50, 30, 22);
}

// Checks one printed label: its size in dots, the code zbar reads, and
// that every module of the symbol is the same square of whole dots, where
// the label says it is, dark exactly where the symbol is dark.
void checkLabel(const PrintedLabel& printed, const LabelKind& kind, const LabelJob& job, int dpi)
{
    const LabelSizes sizes = *LabelSizes::from(label50x30(), nullptr);
    const LabelPage expected = LabelPage::make(kind, sizes, job, dpi);
    QVERIFY2(std::abs(printed.widthDots - expected.widthDots()) <= 1,
             qPrintable(QStringLiteral("%1 dots wide").arg(printed.widthDots)));
    if (printed.heightDots >= 0)
        QVERIFY2(std::abs(printed.heightDots - expected.heightDots()) <= 1,
                 qPrintable(QStringLiteral("%1 dots high").arg(printed.heightDots)));
    QVERIFY(printed.picture.height() <= expected.heightDots() + 1);
    QCOMPARE(decode(printed.picture), QStringList{kind.qrPrefix + job.code});

    // The symbol's dark box, looking left of where the name starts and
    // above the text under the code.
    const QImage& p = printed.picture;
    const int maxX = LabelPage::dots(sizes.left + sizes.qrWidth + 0.5, dpi);
    const int maxY = std::min(p.height(), expected.qrAt.y() + expected.qr.height());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < maxY; ++y)
        for (int x = 0; x < std::min(maxX, p.width()); ++x)
            if (p.constScanLine(y)[x] == 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const labelpicture::Symbol symbol = labelpicture::symbolForCode(kind, job.code);
    const int m = expected.moduleDots;
    QVERIFY(m >= 2);
    QCOMPARE(right - left + 1, symbol.size * m);
    QCOMPARE(bottom - top + 1, symbol.size * m);
    const QPoint at = expected.qrAt + QPoint(2 * m, 2 * m);
    QVERIFY2(std::abs(left - at.x()) <= 1 && std::abs(top - at.y()) <= 1,
             qPrintable(QStringLiteral("symbol at %1,%2 instead of %3,%4").arg(left).arg(top).arg(at.x()).arg(at.y())));
    for (int my = 0; my < symbol.size; ++my)
        for (int mx = 0; mx < symbol.size; ++mx)
            for (int j = 0; j < m; ++j)
                for (int i = 0; i < m; ++i) {
                    const bool dark = p.constScanLine(top + my * m + j)[left + mx * m + i] == 0;
                    if (dark != symbol.dark(mx, my))
                        QFAIL(
                            qPrintable(QStringLiteral("module %1,%2 dot %3,%4 differs").arg(mx).arg(my).arg(i).arg(j)));
                }
}

} // namespace

class LabelCupsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        startQrModule();
        if (const QString why = m_cups.start(); !why.isEmpty())
            QSKIP(qPrintable(why));
        struct Queue {
            QString name, model;
            QStringList options;
        };
        const QList<Queue> queues = {
            {u"Zpl203"_s, kZpl, {}},  {u"Zpl300"_s, kZpl, {u"Resolution=300dpi"_s}},
            {u"Epl203"_s, kEpl2, {}}, {u"Epl300"_s, kEpl2, {u"Resolution=300dpi"_s}},
            {u"Dymo"_s, kDymo, {}},   {u"Rejecting"_s, kZpl, {}},
            {u"Stopped"_s, kZpl, {}}, {kBystander, kZpl, {}},
        };
        for (const Queue& q : queues) {
            const QString why = m_cups.addQueue(q.name, q.model, q.options);
            QVERIFY2(why.isEmpty(), qPrintable(q.name + u": "_s + why));
        }
        // Jobs wait here until someone releases or cancels them.
        QVERIFY(m_cups.addQueue(u"Holding"_s, kZpl, {u"job-hold-until-default=indefinite"_s}).isEmpty());
        QVERIFY(!m_cups.tool(u"lpadmin"_s, {u"-d"_s, kBystander}).isNull());
        QVERIFY(!m_cups.tool(u"cupsreject"_s, {u"Rejecting"_s}).isNull());
        QVERIFY(!m_cups.tool(u"cupsdisable"_s, {u"Stopped"_s}).isNull());
        m_defaultBefore = m_cups.tool(u"lpstat"_s, {u"-d"_s});
        QVERIFY(m_defaultBefore.contains(kBystander));
    }

    void labelsComeOutAtTheLabelSizeInWholeDots_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("zpl");
        QTest::addRow("ZPL 203 dpi") << "Zpl203" << 203 << true;
        QTest::addRow("ZPL 300 dpi") << "Zpl300" << 300 << true;
        QTest::addRow("EPL2 203 dpi") << "Epl203" << 203 << false;
        QTest::addRow("EPL2 300 dpi") << "Epl300" << 300 << false;
    }
    void labelsComeOutAtTheLabelSizeInWholeDots()
    {
        QFETCH(QString, queue);
        QFETCH(int, dpi);
        QFETCH(bool, zpl);
        ShellTestEnvironment env;
        // A personnel label with its name, a device label with a longer code.
        const QList<std::pair<const LabelKind*, LabelJob>> labels = {
            {&LabelKind::person(), {QStringLiteral("10001"), QStringLiteral("张三")}},
            {&LabelKind::device(), {QStringLiteral("LINE-A-PRESS-0042"), QStringLiteral("压力机")}},
        };
        for (const auto& [kind, job] : labels) {
            LabelPrinter printer(*kind);
            const LabelPrinter::Outcome outcome = printer.print(queue, label50x30(), {job});
            QCOMPARE(outcome.status, LabelPrinter::Status::Done);
            QVERIFY2(outcome.failures.isEmpty(), qPrintable(LabelPrinter::failureMessage(outcome)));
            QCOMPARE(outcome.sent, 1);
        }
        FifoDevice* device = m_cups.device(queue);
        QTRY_VERIFY2_WITH_TIMEOUT(device->jobs().size() >= 2, m_cups.errorLog().constData(), 60000);
        QList<PrintedLabel> printed;
        for (const QByteArray& job : device->jobs())
            printed << (zpl ? readZpl(job) : readEpl2(job));
        QCOMPARE(printed.size(), 2);
        for (int i = 0; i < 2; ++i) {
            checkLabel(printed[i], *labels[i].first, labels[i].second, dpi);
            if (QTest::currentTestFailed())
                printed[i].picture.save(QDir::temp().filePath(QStringLiteral("quillmark-%1-%2.png").arg(queue).arg(i)));
        }
        checkNothingElsePrinted({queue});
    }

    void windowPrintsTickedLabelsThroughTheQueue()
    {
        ShellTestEnvironment env;
        DemoErp erp;
        QVERIFY(erp.isReady());
        const QString defaultBefore = QPrinterInfo::defaultPrinterName();
        PersonLabelWindow w(erp.记录集2);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        // The list is filled with the system's printers as it opens; picking
        // one stores it.
        auto* list = w.findChild<QComboBox*>(QStringLiteral("组合框_打印机"));
        list->showPopup();
        const int index = list->findText(QStringLiteral("Zpl203"));
        QVERIFY(index >= 0);
        list->view()->setCurrentIndex(list->model()->index(index, 0));
        QTest::keyClick(list->view(), Qt::Key_Return);
        QCOMPARE(settings::readKey(QStringLiteral("人员打印机配制"), QStringLiteral("打印机")),
                 QStringLiteral("Zpl203"));

        const LabelSettings s = label50x30();
        setBox(&w, "编辑框_纸张长", s.纸张长);
        setBox(&w, "编辑框_纸张宽", s.纸张宽);
        setBox(&w, "编辑框_二维码长", s.二维码长);
        setBox(&w, "编辑框_二维码宽", s.二维码宽);
        setBox(&w, "编辑框_上", s.边距上);
        setBox(&w, "编辑框_左", s.边距左);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_读取U8")), Qt::LeftButton);
        const auto* grid = w.findChild<QTableWidget*>(QStringLiteral("高级表格_人员"));
        QStringList expected;
        for (int row : {1, 3, 6}) {
            w.setTicked(row, true);
            expected << u"R"_s + grid->item(row - 1, 1)->text();
        }
        const qsizetype before = m_cups.device(u"Zpl203"_s)->jobs().size();
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("按钮_打印")), Qt::LeftButton);
        QCOMPARE(env.messages.size(), 1);
        QVERIFY2(env.messages[0].text.startsWith(QStringLiteral("已发送 3 张标签到打印机，")),
                 qPrintable(env.messages[0].text));

        FifoDevice* device = m_cups.device(u"Zpl203"_s);
        QTRY_VERIFY2_WITH_TIMEOUT(device->jobs().size() >= before + 3, m_cups.errorLog().constData(), 60000);
        QStringList found;
        for (const QByteArray& job : device->jobs().mid(before))
            for (const PrintedLabel& label : readZpl(job))
                found << decode(label.picture);
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(QPrinterInfo::defaultPrinterName(), defaultBefore);
        checkNothingElsePrinted({u"Zpl203"_s});
    }

    void queueProblemsNameTheLabelsNotPrinted_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("says");
        QTest::addRow("rejecting jobs") << "Rejecting"
                                        << "打印机“Rejecting”拒绝接收打印任务";
        QTest::addRow("stopped") << "Stopped"
                                 << "打印机“Stopped”已暂停";
        QTest::addRow("no custom size") << "Dymo"
                                        << "打印机“Dymo”不支持 50 × 30 毫米的标签尺寸";
        QTest::addRow("jobs cancelled on the server") << "Holding"
                                                      << "打印机“Holding”的打印任务被打印服务中止或取消";
    }
    void queueProblemsNameTheLabelsNotPrinted()
    {
        QFETCH(QString, queue);
        QFETCH(QString, says);
        LabelPrinter printer(LabelKind::person());
        const QList<LabelJob> jobs = {{u"10001"_s, u"张三"_s}, {u"10002"_s, u"李四"_s}};
        // While the run watches its jobs, the server's administrator cancels
        // whatever waits in the holding queue.
        bool cancelled = false;
        const auto progress = [&](int done, int total) {
            if (done == total && queue == QLatin1String("Holding") && !cancelled)
                cancelled = !m_cups.tool(u"cancel"_s, {u"-a"_s, queue}).isNull();
            return true;
        };
        const LabelPrinter::Outcome outcome = printer.print(queue, label50x30(), jobs, progress);
        QCOMPARE(outcome.status, LabelPrinter::Status::Done);
        QVERIFY2(outcome.sent == 0,
                 qPrintable(m_cups.tool(u"lpstat"_s, {u"-W"_s, u"all"_s, u"-l"_s, u"-o"_s, queue})
                            + QString::fromUtf8(m_cups.errorLog())));
        QCOMPARE(LabelPrinter::failureMessage(outcome),
                 says + QStringLiteral("，2 张标签未打印：10001、10002\r\n全部未打印的编号及原因已写入操作日志。"));
        // Nothing is left waiting in the queue to come out later.
        QCOMPARE(m_cups.tool(u"lpstat"_s, {u"-o"_s, queue}).trimmed(), QString());
        checkNothingElsePrinted({});
    }

    // Jobs the queue holds are sent, and the message says they still wait.
    void labelsStillQueuedAreCountedAsWaiting()
    {
        ShellTestEnvironment env;
        QVERIFY(m_cups.addQueue(u"Waiting"_s, kZpl, {u"job-hold-until-default=indefinite"_s}).isEmpty());
        LabelPrinter printer(LabelKind::person());
        const LabelPrinter::Outcome outcome =
            printer.print(u"Waiting"_s, label50x30(), {{u"10001"_s, u"张三"_s}, {u"10002"_s, u"李四"_s}});
        QVERIFY2(outcome.failures.isEmpty(), qPrintable(LabelPrinter::failureMessage(outcome)));
        QCOMPARE(outcome.sent, 2);
        QCOMPARE(outcome.waiting, 2);
        QCOMPARE(LabelPrinter::sentMessage(outcome),
                 QStringLiteral("已发送 2 张标签到打印机，其中 2 张仍在打印机队列中等待，请等待打印结束！！"));
        QVERIFY(!m_cups.tool(u"cancel"_s, {u"-a"_s, u"Waiting"_s}).isNull());
    }

    // The queue is deleted while the run is half way: the labels taken
    // before are of unknown fate, the rest were not sent, and nothing is
    // counted as sent that the printer did not print.
    void queueDeletedMidRunIsNotCountedAsSent()
    {
        ShellTestEnvironment env;
        QVERIFY(m_cups.addQueue(u"Doomed"_s, kZpl).isEmpty());
        const QList<LabelJob> jobs = eightPeople();
        LabelPrinter printer(LabelKind::person());
        bool deleted = false;
        const LabelPrinter::Outcome outcome = printer.print(u"Doomed"_s, label50x30(), jobs, [&](int done, int) {
            if (done == 4 && !deleted)
                deleted = !m_cups.tool(u"lpadmin"_s, {u"-x"_s, u"Doomed"_s}).isNull();
            return true;
        });
        QVERIFY(deleted);
        checkNothingCountedBeyondThePrinted(outcome, jobs, m_cups.device(u"Doomed"_s));
    }

    // Last: the print server dies half way through the run.
    void printServerKilledMidRunIsNotCountedAsSent()
    {
        ShellTestEnvironment env;
        QVERIFY(m_cups.addQueue(u"Victim"_s, kZpl).isEmpty());
        const QList<LabelJob> jobs = eightPeople();
        LabelPrinter printer(LabelKind::person());
        bool killed = false;
        const LabelPrinter::Outcome outcome = printer.print(u"Victim"_s, label50x30(), jobs, [&](int done, int) {
            if (done == 4 && !killed) {
                m_cups.kill();
                killed = true;
            }
            return true;
        });
        QVERIFY(killed);
        checkNothingCountedBeyondThePrinted(outcome, jobs, m_cups.device(u"Victim"_s));
    }

private:
    static QList<LabelJob> eightPeople()
    {
        QList<LabelJob> jobs;
        for (int i = 1; i <= 8; ++i)
            jobs.append({QStringLiteral("2000%1").arg(i), QStringLiteral("工人%1").arg(i)});
        return jobs;
    }

    // Every label is either counted as sent or named; no more are counted
    // as sent than came out of the printer; the four taken before the fault
    // are named as of unknown state with a word to check the printer, and
    // every label not printed is in the log.
    void checkNothingCountedBeyondThePrinted(const LabelPrinter::Outcome& outcome, const QList<LabelJob>& jobs,
                                             FifoDevice* device)
    {
        QCOMPARE(outcome.status, LabelPrinter::Status::Done);
        QCOMPARE(outcome.sent + outcome.failedCodes().size(), jobs.size());
        QTest::qWait(1000); // whatever the printer got has arrived
        QVERIFY2(
            outcome.sent <= device->jobs().size(),
            qPrintable(QStringLiteral("%1 counted as sent, %2 printed").arg(outcome.sent).arg(device->jobs().size())));
        const QString message = LabelPrinter::failureMessage(outcome);
        QVERIFY2(message.contains(QStringLiteral("张标签状态未知")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("请到打印机处查看这些标签是否已打印")));
        for (const LabelPrinter::Failure& f : outcome.failures)
            QVERIFY2(f.problem == LabelQueue::Problem::Unknown || f.problem == LabelQueue::Problem::NotSent
                         || f.problem == LabelQueue::Problem::Aborted, // cancelled by the deletion, and read so
                     qPrintable(message));
        for (int i = 4; i < jobs.size(); ++i)
            QVERIFY(outcome.failedCodes().contains(jobs[i].code));
        if (outcome.sent == 0)
            QVERIFY(!message.contains(QStringLiteral("其余")));
    }

    // No queue but the given ones ever got a job, and the default printer
    // is the one set at the start.
    void checkNothingElsePrinted(const QStringList& used)
    {
        for (const QString& queue : {u"Zpl203"_s, u"Zpl300"_s, u"Epl203"_s, u"Epl300"_s, u"Dymo"_s, u"Rejecting"_s,
                                     u"Stopped"_s, u"Holding"_s, u"Office"_s})
            if (!used.contains(queue) && !m_used.contains(queue))
                QVERIFY2(m_cups.device(queue)->jobs().isEmpty(), qPrintable(queue + u" got a job"_s));
        m_used << used;
        QCOMPARE(m_cups.tool(u"lpstat"_s, {u"-d"_s}), m_defaultBefore);
    }

    PrivateCups m_cups;
    QString m_defaultBefore;
    QStringList m_used;
};

QTEST_MAIN(LabelCupsTest)
#include "LabelCupsTest.moc"

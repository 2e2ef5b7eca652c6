// The station's logic without a window: command barcodes, the voucher's
// two presses, undo of the last scan, the question before 删除所有行,
// the line count and total, and what closing and reopening say. The
// station and its voucher run on the demo ERP as the window runs them.
#include "tests/support/StationFixture.h"

#include "app/Clock.h"
#include "app/Prompts.h"
#include "station/ScanStation.h"
#include "station/StationVoucher.h"
#include "tests/support/QStringPrinter.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const QString kTime = QStringLiteral("2026-03-04 08:05:09");

class StationCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "station-commands-test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
        appclock::setFixedNow(QDateTime::fromString(kTime, QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    }

    void SetUp() override
    {
        f = std::make_unique<StationFixture>();
        ASSERT_TRUE(f->ok);
        open();
    }
    void TearDown() override
    {
        voucher.reset();
        station.reset();
        f.reset();
    }

    // The station as the window opens it, with its voucher answering the
    // write requests (button, F12, #QM-WRITE).
    void open()
    {
        voucher.reset();
        station = std::make_unique<ScanStation>(*f->erp);
        station->setPlayer(&f->player);
        ASSERT_TRUE(station->setUp());
        voucher = std::make_unique<StationVoucher>(*station, nullptr);
        QObject::connect(station.get(), &ScanStation::writeRequested, station.get(),
                         [this] { outcomes << voucher->press(); });
        QObject::connect(station.get(), &ScanStation::boxDismissed, station.get(), [this] { ++dismissed; });
    }
    void scan(const QStringList& codes)
    {
        for (const QString& c : codes)
            station->handleScan(c);
    }
    QStringList codes() const
    {
        QStringList out;
        for (int r = 1; r < station->detailGrid().systemRowCount(); ++r)
            out << station->detailGrid().text(r, 1);
        return out;
    }
    QStringList gridRows() const
    {
        QStringList out;
        for (int r = 1; r < station->detailGrid().systemRowCount(); ++r)
            out << station->detailGrid().rowTexts(r).join(u'|');
        return out;
    }
    // The staged rows and the grid's rows hold the same lines (a deletion
    // numbers the lines 1…n from the top, a scan puts n+1 on top).
    void expectStagedAsGrid() const
    {
        QStringList staged = f->stagedRows();
        QStringList grid = gridRows();
        staged.sort();
        grid.sort();
        EXPECT_EQ(staged, grid);
    }
    QString top() const { return station->promptText().section(QStringLiteral("\r\n"), 0, 0); }
    int vouchers() const { return f->scalar(s("select count(*) from rdrecord11")).toInt(); }

    std::unique_ptr<StationFixture> f;
    std::unique_ptr<ScanStation> station;
    std::unique_ptr<StationVoucher> voucher;
    QList<StationVoucher::Outcome> outcomes;
    int dismissed = 0;
};

TEST_F(StationCommands, VoucherIsWrittenAtTheSecondPressWithTheLinesShown)
{
    const int before = vouchers();
    scan({s("R10001"), s("QM-001"), s("M6-25"), s("#QM-WRITE")});
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_TRUE(outcomes[0].previewed);
    EXPECT_FALSE(outcomes[0].written);
    EXPECT_TRUE(station->isWriteArmed());
    EXPECT_EQ(top(), s("即将生成材料出库单：出库明细 2 行，领料人 1 位（王洋国），合计数量 2"));
    EXPECT_EQ(vouchers(), before);

    // A scan changes the grid: the voucher waits for a new first press.
    scan({s("QM-001")});
    EXPECT_FALSE(station->isWriteArmed());
    EXPECT_EQ(station->promptText().section(QStringLiteral("\r\n"), 1, 1),
              s("出库明细已改变，生成材料出库单已取消，请重新确认。"));
    scan({s("#qm-write")}); // letters in either case
    EXPECT_EQ(top(), s("即将生成材料出库单：出库明细 3 行，领料人 1 位（王洋国），合计数量 3"));
    EXPECT_EQ(vouchers(), before);
    scan({s(" #QM-WRITE ")});
    ASSERT_EQ(outcomes.size(), 3);
    EXPECT_TRUE(outcomes[2].written);
    EXPECT_EQ(vouchers(), before + 1);
    EXPECT_EQ(f->scalar(s("select count(*) from rdrecords11 where ID=(select max(ID) from rdrecord11)")), s("3"));
    EXPECT_TRUE(codes().isEmpty());
    EXPECT_TRUE(f->stagedRows().isEmpty());
    EXPECT_FALSE(station->isWriteArmed());
    EXPECT_EQ(f->logEntries().last(),
              s("生成材料出库单【CLCK260304080509】：出库明细 3 行，合计数量 3，领料人 王洋国"));
    // Nothing to write is said at the first press.
    scan({s("#QM-WRITE")});
    EXPECT_EQ(top(), s("没有明细材料需要生成材料出库单！"));
    EXPECT_FALSE(station->isWriteArmed());
}

TEST_F(StationCommands, CancelAnswersWhatIsOpen)
{
    scan({s("#QM-CANCEL")});
    EXPECT_EQ(top(), s("没有需要取消的操作。"));
    // A voucher waiting for its second press.
    scan({s("R10001"), s("QM-001"), s("#QM-WRITE"), s("#QM-CANCEL")});
    EXPECT_FALSE(station->isWriteArmed());
    EXPECT_EQ(top(), s("已取消生成材料出库单，未写入任何数据。"));
    scan({s("#QM-WRITE")});
    EXPECT_TRUE(outcomes.last().previewed);
    scan({s("#QM-CANCEL")});

    // The question before 删除所有行: a scan waits for it, #QM-CANCEL
    // answers No at once and the waiting scan follows.
    station->deleteAllLines();
    ASSERT_TRUE(station->isAsking());
    scan({s("M6-25")});
    EXPECT_EQ(station->pendingScans(), 1);
    EXPECT_EQ(codes(), QStringList{s("QM-001")});
    scan({s("#qm-cancel")});
    EXPECT_EQ(dismissed, 1);
    EXPECT_FALSE(station->isAsking());
    EXPECT_EQ(station->pendingScans(), 0);
    EXPECT_EQ(codes(), QStringList({s("M6-25"), s("QM-001")}));
    expectStagedAsGrid();

    // Yes empties the grid and the table, and says so.
    station->deleteAllLines();
    station->answerQuestion(true);
    EXPECT_TRUE(codes().isEmpty());
    EXPECT_TRUE(f->stagedRows().isEmpty());
    EXPECT_EQ(top(), s("已删除出库明细全部 2 行"));
    // With no lines there is nothing to ask.
    station->deleteAllLines();
    EXPECT_FALSE(station->isAsking());
    EXPECT_EQ(top(), s("出库明细没有行，无需删除。"));
}

TEST_F(StationCommands, UndoDeletesTheNewestLine)
{
    scan({s("R10001"), s("QM-001"), s("M6-25"), s("QD-PC8-01")});
    f->player.played.clear();
    scan({s("#QM-UNDO")});
    EXPECT_EQ(codes(), QStringList({s("M6-25"), s("QM-001")}));
    expectStagedAsGrid();
    EXPECT_EQ(top(), s("已撤销最后一次扫码：删除行号【3】 存货编码【QD-PC8-01】"));
    EXPECT_EQ(f->player.played, QStringList{prompts::kScanSucceeded});
    EXPECT_TRUE(f->logEntries().last().startsWith(
        s("删除出库明细（撤销最后一次扫码）1 行：行号【3】 存货编码【QD-PC8-01】 数量【1】")))
        << f->logEntries().last().toStdString();
    // The next scan is numbered after the remaining lines.
    scan({s("QM-001")});
    EXPECT_EQ(station->detailGrid().text(1, 0), s("3"));
    scan({s("#QM-UNDO"), s("#QM-UNDO"), s("#QM-UNDO")});
    EXPECT_TRUE(codes().isEmpty());
    EXPECT_TRUE(f->stagedRows().isEmpty());
    f->player.played.clear();
    scan({s("#QM-UNDO")});
    EXPECT_EQ(top(), s("出库明细中没有可撤销的行！！"));
    EXPECT_EQ(f->player.played, QStringList{prompts::kScanFailed});
}

TEST_F(StationCommands, LowerCaseDeviceCodeIsADevice)
{
    scan({s("R10001"), s("ssb001"), s("QM-001")});
    EXPECT_EQ(station->detailGrid().text(1, 9), s("SB001"));
    EXPECT_EQ(station->fields().设备, s("SB001"));
}

TEST_F(StationCommands, ClosingAndReopeningNameTheStagedLines)
{
    EXPECT_EQ(station->leave(), QString());
    scan({s("R10001"), s("QM-001"), s("M6-25")});
    station->detailGrid().setText(1, 5, s("2.5"));
    station->quantityEdited(1, s("1"));
    EXPECT_EQ(top(), s("行号【2】 存货编码【M6-25】 的数量由【1】 改为【2.5】"));
    EXPECT_EQ(station->leave(),
              s("出库明细还有 2 行（合计数量 3.5）未生成材料出库单，已保留在缓存表中，下次打开扫码出库时恢复。"));
    EXPECT_EQ(f->logEntries().last(), s("关闭扫码出库，出库明细 2 行（合计数量 3.5）保留在缓存表中"));
    open();
    EXPECT_EQ(codes(), QStringList({s("M6-25"), s("QM-001")}));
    EXPECT_EQ(station->promptText(), s("已恢复上次未生成材料出库单的出库明细 2 行，合计数量 3.5\r\n"));
    EXPECT_EQ(f->logEntries().last(), s("打开扫码出库，恢复缓存表中的出库明细 2 行，合计数量 3.5"));
}

TEST(LineSummary, CountsCollectorsAndAddsUpExactly)
{
    const auto line = [](const char* quantity, const char* collector) {
        staging::Line l;
        l.quantity = QString::fromUtf8(quantity);
        l.collector = QString::fromUtf8(collector);
        return l;
    };
    struct Case {
        QVector<staging::Line> lines;
        int count;
        QStringList collectors;
        const char* total;
    };
    const Case cases[] = {
        {{}, 0, {}, "0"},
        {{line("0.1", "甲"), line("0.2", "乙")}, 2, {s("甲"), s("乙")}, "0.3"},
        {{line("0.01", "甲"), line("0.01", "甲"), line("0.01", "甲")}, 3, {s("甲")}, "0.03"},
        {{line("12.5", "乙"), line("1", "甲"), line("2.5", "乙")}, 3, {s("乙"), s("甲")}, "16"},
        {{line("9999999999999999.99", "甲"), line("0.01", "甲")}, 2, {s("甲")}, "10000000000000000"},
        {{line("1.10", "")}, 1, {}, "1.1"},
    };
    for (const Case& c : cases) {
        const ScanStation::LineSummary summary = ScanStation::summaryOf(c.lines);
        EXPECT_EQ(summary.lines, c.count);
        EXPECT_EQ(summary.collectors, c.collectors);
        EXPECT_EQ(summary.total, s(c.total));
    }
}

} // namespace

// Label windows: reading 5,000 people with their pictures into the
// personnel grid (target: 1 s), making 100 label pages as PDF in memory
// (target: 0.5 s, at most 10 KB a page), and sending 100 labels to a CUPS
// Zebra ZPL queue on a cupsd of the bench's own until the server has
// accepted the last job. Runs on a copy of the demo ERP with 5,000 extra
// people.
#include <benchmark/benchmark.h>

#include "app/AppPaths.h"
#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"
#include "labels/LabelPrinter.h"
#include "labels/LabelReader.h"
#include "labels/PersonLabelWindow.h"
#include "qr/facade.h"
#include "tests/support/LabelBoxes.h"
#include "tests/support/PrivateCups.h"
#include "tools/demo-erp/DemoErp.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* erpFolder()
{
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir;
        if (!demoerp::build(d->path())) {
            std::fprintf(stderr, "demo ERP could not be built\n");
            std::exit(1);
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
            db.setDatabaseName(d->filePath(QString::fromUtf16(demoerp::kAccountSet) + QStringLiteral(".db")));
            db.open();
            db.transaction();
            QSqlQuery q(db);
            q.prepare(QStringLiteral("insert into hr_hi_person (cPsn_Num, cPsn_Name, cDept_num, JobNumber) "
                                     "values (?, ?, '03', ?)"));
            for (int i = 0; i < 5000; ++i) {
                q.addBindValue(QStringLiteral("B%1").arg(i, 5, 10, QLatin1Char('0')));
                q.addBindValue(QStringLiteral("批量员工%1").arg(i));
                q.addBindValue(QStringLiteral("%1").arg(200000 + i));
                if (!q.exec()) {
                    std::fprintf(stderr, "insert failed\n");
                    std::exit(1);
                }
            }
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
        return d;
    }();
    return dir;
}

struct Erp {
    Erp()
    {
        connection.open(ErpConnection::kEmbeddedPrefix + erpFolder()->path(), QStringLiteral("sa"), QString(),
                        QString::fromUtf16(demoerp::kAccountSet));
        记录集2.bind(&connection);
    }
    ErpConnection connection{QStringLiteral("bench")};
    RecordSet 记录集2{QStringLiteral("记录集2")};
};

void ReadPeopleWithPictures(benchmark::State& state)
{
    Erp erp;
    int rows = 0;
    for (auto _ : state) {
        const auto read = labelreader::read(erp.记录集2, LabelKind::person());
        rows = read ? int(read->size()) : 0;
    }
    state.counters["rows"] = rows;
}

void ReadPeopleIntoTheWindow(benchmark::State& state)
{
    Erp erp;
    PersonLabelWindow window(erp.记录集2);
    auto* read = window.findChild<QPushButton*>(QStringLiteral("按钮_读取U8"));
    for (auto _ : state)
        read->click();
    state.counters["rows"] = window.dataRowCount();
}

LabelSettings label60x40()
{
    return labelBoxes(60, 40, 30);
}

QList<LabelJob> hundredPeople()
{
    QList<LabelJob> jobs;
    for (int i = 0; i < 100; ++i)
        jobs.append({QString::number(200000 + i), QStringLiteral("批量员工%1").arg(i)});
    return jobs;
}

// Label pages made as PDF in memory, as they go to the print queue.
class MemoryQueue final : public LabelQueue {
public:
    explicit MemoryQueue(qint64& largestPdf) : largest(largestPdf) { }
    int dpi() const override { return 203; }
    Problem check(const QSizeF&) override { return Problem::None; }
    Problem send(const LabelPage& page) override
    {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        if (!page.writePdf(pdf))
            return Problem::NotSent;
        largest = std::max<qint64>(largest, pdf.size());
        return Problem::None;
    }
    qint64& largest;
};

void Print100LabelsToPdf(benchmark::State& state)
{
    LabelPrinter printer(LabelKind::person());
    qint64 largest = 0;
    printer.setTarget({[](const QString&) { return true; },
                       [&largest](const QString&) { return std::make_unique<MemoryQueue>(largest); }});
    const QList<LabelJob> jobs = hundredPeople();
    int sent = 0;
    for (auto _ : state)
        sent = printer.print(QStringLiteral("PDF"), label60x40(), jobs).sent;
    state.counters["labels"] = sent;
    state.counters["largest_page_bytes"] = double(largest);
}

// Stopped when the benchmarks are done.
std::unique_ptr<labeltest::PrivateCups> cupsServer;

// The system's queue, without the short watch after the last job: the
// time measured ends when the server has accepted the last label.
class Accepted final : public LabelQueue {
public:
    explicit Accepted(std::unique_ptr<LabelQueue> queue) : m_queue(std::move(queue)) { }
    int dpi() const override { return m_queue->dpi(); }
    Problem check(const QSizeF& mm) override { return m_queue->check(mm); }
    Problem send(const LabelPage& page) override { return m_queue->send(page); }

private:
    std::unique_ptr<LabelQueue> m_queue;
};

void Send100LabelsToZplQueue(benchmark::State& state)
{
    static labeltest::PrivateCups* cups = [] {
        cupsServer = std::make_unique<labeltest::PrivateCups>();
        QString why = cupsServer->start();
        if (why.isEmpty())
            why = cupsServer->addQueue(QStringLiteral("Zebra"), QStringLiteral("drv:///sample.drv/zebra.ppd"));
        if (!why.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return static_cast<labeltest::PrivateCups*>(nullptr);
        }
        return cupsServer.get();
    }();
    if (!cups) {
        state.SkipWithError("no cupsd");
        return;
    }
    LabelPrinter printer(LabelKind::person());
    printer.setTarget({[](const QString&) { return true; },
                       [](const QString& name) { return std::make_unique<Accepted>(openSystemQueue(name)); }});
    const QList<LabelJob> jobs = hundredPeople();
    int sent = 0;
    for (auto _ : state) {
        sent = printer.print(QStringLiteral("Zebra"), label60x40(), jobs).sent;
        state.PauseTiming();
        cups->tool(QStringLiteral("cancel"), {QStringLiteral("-a"), QStringLiteral("Zebra")});
        state.ResumeTiming();
    }
    state.counters["labels"] = sent;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir data;
    apppaths::setDataDirectory(data.path());
    qr::初始化二维码模块();
    benchmark::RegisterBenchmark("labels/read_5000_people_with_pictures", ReadPeopleWithPictures)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("labels/read_5000_people_into_window", ReadPeopleIntoTheWindow)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("labels/print_100_labels_to_pdf", Print100LabelsToPdf)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("labels/send_100_labels_to_zpl_queue", Send100LabelsToZplQueue)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    cupsServer.reset();
    return 0;
}

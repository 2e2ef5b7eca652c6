// Label windows: reading 5,000 people with their pictures into the
// personnel grid (target: 1 s), and printing 100 labels to PDF files
// (target: 3 s). Runs on a copy of the demo ERP with 5,000 extra people.
#include <benchmark/benchmark.h>

#include "AppPaths.h"
#include "DemoErp.h"
#include "ErpConnection.h"
#include "LabelPrinter.h"
#include "LabelReader.h"
#include "PersonLabelWindow.h"
#include "RecordSet.h"
#include "qr/facade.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>
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
    窗口_人员条码打印 window(erp.记录集2);
    auto* read = window.findChild<QPushButton*>(QStringLiteral("按钮_读取U8"));
    for (auto _ : state)
        read->click();
    state.counters["rows"] = window.dataRowCount();
}

void Print100LabelsToPdf(benchmark::State& state)
{
    QTemporaryDir out;
    LabelPrinter printer(LabelKind::person());
    printer.setTarget({[](const QString&) { return true; },
                       [&out](QPrinter& p, const QString&, int job) {
                           p.setOutputFormat(QPrinter::PdfFormat);
                           p.setOutputFileName(out.filePath(QStringLiteral("label-%1.pdf").arg(job)));
                       }});
    LabelSettings boxes;
    boxes.纸张长 = QStringLiteral("60");
    boxes.纸张宽 = QStringLiteral("40");
    boxes.二维码长 = QStringLiteral("30");
    boxes.二维码宽 = QStringLiteral("30");
    boxes.边距上 = QStringLiteral("2");
    boxes.边距左 = QStringLiteral("2");
    QList<LabelJob> jobs;
    for (int i = 0; i < 100; ++i)
        jobs.append({QString::number(200000 + i), QStringLiteral("批量员工%1").arg(i)});
    int sent = 0;
    for (auto _ : state)
        sent = printer.print(QStringLiteral("PDF"), boxes, jobs).sent;
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
    benchmark::RegisterBenchmark("labels/print_100_labels_to_pdf", Print100LabelsToPdf)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

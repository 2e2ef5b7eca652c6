// Deleting one line of a 2,000-line detail grid on the embedded engine:
// the grid is renumbered and the staging table rewritten in one
// transaction (target ≤ 0.2 s), with the real window on the offscreen
// platform. A plain driver: `quillmark_staging_bench [lines] [samples]`
// prints the median and the slowest sample, from the menu command to the
// repainted window. Build it in Release without sanitizers for figures
// worth quoting.
#include "app/AppPaths.h"
#include "bookings/StagingTable.h"
#include "erp/ErpSession.h"
#include "station/ScanWindow.h"
#include "tests/support/RecordingPromptPlayer.h"
#include "tests/support/StationBenchSetup.h"
#include "tools/demo-erp/DemoErp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Replaces the staged lines by `lines` lines, as if scanned one by one.
bool stage(const QString& file, int lines)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stager"));
        db.setDatabaseName(file);
        QSqlQuery q(db);
        ok = db.open() && q.exec(QStringLiteral("delete from ckmx"))
            && q.exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                     "insert into ckmx (hh,chbm,chmc,ggxh,dw,sl,hwbm,llr,llbm,sb,sj) "
                                     "select i, printf('BULK-%05d', i), '批量物料', 'STD', '个', 1 + i % 7 * 0.25, "
                                     "'B01-1', '王洋国', '生产课', '', '2026-03-04 08:05:09' from n")
                          .arg(lines));
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("stager"));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(2, std::atoi(argv[1])) : 2000;
    const int samples = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    QTemporaryDir dir;
    apppaths::setDataDirectory(dir.path());
    const QString folder = dir.filePath(QStringLiteral("erp"));
    QString error;
    if (!demoerp::build(folder, &error)) {
        std::fprintf(stderr, "cannot build the demo ERP: %s\n", qPrintable(error));
        return 1;
    }
    benchsetup::useEmbeddedErp(folder);

    ErpSession erp;
    if (!erp.connectOnce()) {
        std::fprintf(stderr, "cannot connect\n");
        return 1;
    }
    RecordingPromptPlayer player;
    std::vector<double> times, cpu, rewrites;
    for (int i = 0; i < samples; ++i) {
        {
            // The first window creates the staging table.
            ScanWindow first(erp, &player);
        }
        if (!stage(folder + QStringLiteral("/UFDATA_001_2021.db"), lines))
            return 1;
        ScanWindow window(erp, &player);
        window.show();
        QApplication::processEvents();
        ScanStation& station = window.station();
        if (station.detailGrid().dataRowCount() != lines) {
            std::fprintf(stderr, "the window shows %d lines\n", station.detailGrid().dataRowCount());
            return 1;
        }
        QElapsedTimer t;
        const double cpuStart = benchsetup::threadCpuMs();
        t.start();
        station.deleteCurrentLine(lines / 2);
        window.repaint();
        QApplication::processEvents();
        times.push_back(t.nsecsElapsed() / 1e6);
        cpu.push_back(benchsetup::threadCpuMs() - cpuStart);
        if (station.detailGrid().dataRowCount() != lines - 1 || !station.promptText().isEmpty()) {
            std::fprintf(stderr, "the deletion failed: %s\n", qPrintable(station.promptText()));
            return 1;
        }
        // The same rewrite once more, without the grid: the engine's part.
        QVector<staging::Line> staged = station.gridLines();
        t.restart();
        if (!staging::rewrite(erp.记录集1, staged))
            return 1;
        rewrites.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(rewrites.begin(), rewrites.end());
    std::sort(cpu.begin(), cpu.end());
    std::sort(times.begin(), times.end());
    std::printf("deleting one line of a %d-line grid (renumbering, staging rewrite, repaint): median %.1f ms, "
                "slowest %.1f ms of %d\n",
                lines, times[times.size() / 2], times.back(), samples);
    // The wall time includes the engine's synchronous write to disk and
    // whatever else the machine runs; the processor time of this thread is
    // what the program itself spends.
    std::printf("  processor time of this thread: median %.1f ms\n", cpu[cpu.size() / 2]);
    std::printf("  of which the staging rewrite alone (%d statements in one transaction): median %.1f ms\n", lines + 2,
                rewrites[rewrites.size() / 2]);
    msgbox::setInterceptor({});
    return 0;
}

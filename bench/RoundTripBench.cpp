// What a distant ERP costs: the scanning window's operations over the real
// ODBC path (unixODBC, the SQLite ODBC driver registered as "SQL Server"),
// with every round trip counted and delayed by the preloaded shim
// (RoundTripShim.cpp). Run through bench/roundtrip.sh, which preloads the
// shim and sets up the driver; or by hand:
//
//   LD_PRELOAD=.../libquillmark_roundtrip_shim.so ODBCSYSINI=<dir> ODBCINSTINI=odbcinst.ini
//   quillmark_roundtrip_bench [lines…]
// (one command line).
//
// For each grid size (200 and 2,000 lines by default) and each delay (0,
// 1 and 20 ms) it prints per operation the round trips and the time.
#include "app/AppPaths.h"
#include "app/PasswordCipher.h"
#include "app/Settings.h"
#include "bookings/StationHold.h"
#include "erp/ErpSession.h"
#include "station/ScanWindow.h"
#include "tests/support/RecordingPromptPlayer.h"
#include "tools/demo-erp/DemoErp.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <dlfcn.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

long roundTrips()
{
    using Counter = long (*)();
    static auto counter = reinterpret_cast<Counter>(dlsym(RTLD_DEFAULT, "quillmark_round_trips"));
    return counter ? counter() : -1;
}

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
                                     "select i, 'QM-001', '批量物料', 'STD', '个', 1 + i % 7 * 0.25, "
                                     "'B01-1', '王洋国', '生产课', '', '2026-03-04 08:05:09' from n")
                          .arg(lines));
        if (!ok)
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("stager"));
    return ok;
}

struct Measure {
    long trips = 0;
    double ms = 0;
};

Measure measure(const std::function<void()>& operation)
{
    const long before = roundTrips();
    QElapsedTimer t;
    t.start();
    operation();
    return {roundTrips() - before, t.nsecsElapsed() / 1e6};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (roundTrips() < 0) {
        std::fprintf(stderr, "the round-trip shim is not preloaded (see bench/roundtrip.sh)\n");
        return 1;
    }
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << std::atoi(argv[i]);
    if (sizes.isEmpty())
        sizes = {200, 2000};
    msgbox::setInterceptor([](const msgbox::Message&) { return true; });

    for (int lines : sizes) {
        for (const char* delay : {"0", "1", "20"}) {
            qputenv("QUILLMARK_RTT_MS", "0");
            QTemporaryDir dir;
            apppaths::setDataDirectory(dir.path());
            const QString folder = dir.filePath(QStringLiteral("erp"));
            QString error;
            if (!demoerp::build(folder, &error)) {
                std::fprintf(stderr, "cannot build the demo ERP: %s\n", qPrintable(error));
                return 1;
            }
            const QString accountSet = folder + QStringLiteral("/UFDATA_001_2021.db");
            settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("服务器"), QStringLiteral("localhost"));
            settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("用户名"), QStringLiteral("sa"));
            settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("账套"), accountSet);
            settings::writeKey(QStringLiteral("连接配制"), QStringLiteral("密码"), 加密密码(QStringLiteral("pw")));
            const QString header = QStringLiteral("材料出库单表头");
            settings::writeKey(header, QStringLiteral("仓库"), QStringLiteral("02|五金仓"));
            settings::writeKey(header, QStringLiteral("经手人"), QStringLiteral("0001|王洋国"));
            settings::writeKey(header, QStringLiteral("出库类别"), QStringLiteral("202|生产领料"));
            {
                ErpSession erp;
                if (!erp.connectOnce())
                    return 1;
                ScanWindow first(erp, nullptr); // creates the staging table
            }
            if (!stage(accountSet, lines))
                return 1;

            qputenv("QUILLMARK_RTT_MS", delay);
            RecordingPromptPlayer player;
            ErpSession erp;
            StationHold hold;
            std::unique_ptr<ScanWindow> window;
            const Measure login = measure([&] { erp.connectOnce(); });
            const Measure open = measure([&] {
                const ErpSession::Login& l = erp.lastLogin();
                if (hold.take(l.server, l.login, l.password, l.accountSet) == StationHold::Result::Taken)
                    window = std::make_unique<ScanWindow>(erp, &player);
            });
            if (!window || window->station().detailGrid().dataRowCount() != lines) {
                std::fprintf(stderr, "the window did not open with %d lines\n", lines);
                return 1;
            }
            window->show();
            QApplication::processEvents();
            ScanStation& station = window->station();
            const Measure badge = measure([&] { station.handleScan(QStringLiteral("R10001")); });
            const Measure device = measure([&] { station.handleScan(QStringLiteral("SSB001")); });
            const Measure material = measure([&] { station.handleScan(QStringLiteral("M6-25")); });
            const Measure quantity = measure([&] {
                station.detailGrid().setText(1, 5, QStringLiteral("2"));
                station.quantityEdited(1, QStringLiteral("1"));
            });
            const Measure remove = measure([&] { station.deleteCurrentLine(lines / 2); });
            // The search fills the grid from a timer; it is measured to its end.
            const Measure search = measure([&] {
                station.search(QStringLiteral("轴承"));
                while (station.isBusy())
                    QApplication::processEvents(QEventLoop::AllEvents, 5);
            });
            const int voucherLines = station.detailGrid().dataRowCount();
            // Both presses: the first only shows what would be written.
            const Measure voucher = measure([&] {
                for (int press = 0; press < 2; ++press)
                    window->findChild<QPushButton*>(QStringLiteral("按钮_生成材料出库单"))->click();
            });
            if (station.detailGrid().dataRowCount() != 0)
                std::fprintf(stderr, "the voucher was not written: %s\n", qPrintable(station.promptText()));
            std::printf("%d-line grid, %s ms a round trip\n", lines, delay);
            const struct {
                const char* name;
                Measure m;
            } rows[] = {{"login (connect)", login}, {"open the scanning window", open}, {"badge scan", badge},
                        {"device scan", device},    {"material scan", material},        {"quantity edit", quantity},
                        {"delete 1 line", remove},  {"stock search", search},           {"voucher", voucher}};
            for (const auto& r : rows)
                std::printf("  %-26s %5ld round trips %9.1f ms\n", r.name, r.m.trips, r.m.ms);
            std::printf("  (voucher of %d lines)\n", voucherLines);
            std::fflush(stdout);
            window.reset();
            hold.release();
        }
    }
    msgbox::setInterceptor({});
    return 0;
}

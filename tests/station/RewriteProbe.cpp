// A station in a process of its own, for the test that kills it in the
// middle of rewriting the staging table. Arguments: the data directory,
// the grid row to delete, and where to stop: the start of the statement to
// stop at ("delete from ckmx", "update ckmx", "COMMIT"), or "none". At that
// statement it prints "paused" and waits to be killed; with "none" it
// prints "deleting" and runs the deletion to its end, then prints "done".
#include "app/AppPaths.h"
#include "erp/ErpSession.h"
#include "station/ScanStation.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    apppaths::setDataDirectory(args[1]);
    ErpSession erp;
    if (!erp.connectOnce())
        return 3;
    ScanStation station(erp);
    if (!station.setUp())
        return 4;
    const QString stop = args[3];
    erp.数据库连接.setStatementSeam([&](int, const QString& sql) {
        const bool here = stop != QLatin1String("none") && sql.startsWith(stop);
        if (here) {
            std::printf("paused\n");
            std::fflush(stdout);
            QThread::sleep(120);
        }
        return true;
    });
    std::printf("deleting\n");
    std::fflush(stdout);
    station.deleteCurrentLine(args[2].toInt());
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}

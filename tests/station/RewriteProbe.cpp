// A station in a process of its own, for the test that kills it in the
// middle of rewriting the staging table. Arguments: the data directory,
// the grid row to delete, and where to stop: "delete" (the removal of all
// staged lines), "insert:N" (the N-th insert), "commit", or "none". At that
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
    int inserts = 0;
    erp.数据库连接.setStatementSeam([&](int, const QString& sql) {
        if (sql.startsWith(QLatin1String("insert into ckmx")))
            ++inserts;
        const bool here = (stop == QLatin1String("delete") && sql == QLatin1String("delete from ckmx"))
            || (stop == QLatin1String("commit") && sql == ErpConnection::kCommitText)
            || (stop.startsWith(QLatin1String("insert:")) && sql.startsWith(QLatin1String("insert into ckmx"))
                && inserts == stop.mid(7).toInt());
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

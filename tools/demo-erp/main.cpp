// quillmark-demo-erp <folder>: builds the demo ERP in folder.
#include "DemoErp.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || args.at(1).startsWith(u'-')) {
        std::fprintf(stderr,
                     "usage: quillmark-demo-erp <folder>\n"
                     "Builds the demo ERP (master.db, UFSystem.db, UFDATA_001_2021.db) in <folder>.\n"
                     "Connect with server \"sqlite:<folder>\" and account set UFDATA_001_2021.\n");
        return 2;
    }
    QString error;
    if (!demoerp::build(args.at(1), &error)) {
        std::fprintf(stderr, "quillmark-demo-erp: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("demo ERP built in %s\n", qPrintable(QDir(args.at(1)).absolutePath()));
    return 0;
}

// quillmark-demo-erp [--large] <folder>: builds the demo ERP in folder.
#include "tools/demo-erp/DemoErp.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool large = !args.isEmpty() && args.first() == QLatin1String("--large");
    if (large)
        args.removeFirst();
    if (args.size() != 1 || args.first().startsWith(u'-')) {
        std::fprintf(stderr,
                     "usage: quillmark-demo-erp [--large] <folder>\n"
                     "Builds the demo ERP (master.db, UFSystem.db, UFDATA_001_2021.db) in <folder>.\n"
                     "Connect with server \"sqlite:<folder>\" and account set UFDATA_001_2021.\n"
                     "--large: the demo topped up to %d inventory items, %d people and %d devices,\n"
                     "         for benchmarks.\n",
                     demoerp::kLargeInventoryItems, demoerp::kLargePeople, demoerp::kLargeDevices);
        return 2;
    }
    const QString folder = args.first();
    QString error;
    if (!(large ? demoerp::buildLarge(folder, &error) : demoerp::build(folder, &error))) {
        std::fprintf(stderr, "quillmark-demo-erp: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("demo ERP built in %s\n", qPrintable(QDir(folder).absolutePath()));
    return 0;
}

// Prints one personnel label through the program's own label printing on
// the printer named by the first argument, as the label window does, and
// says on standard output what came of it:
//   label_print_probe PRINTER JOB-NUMBER NAME
//   -> "printers: A|B|…" and "status=<n> sent=<n> failures=<n> <message>"
// The Windows build runs it under Wine, whose print spooler passes the job
// on to the host's CUPS.
#include "labels/LabelKind.h"
#include "labels/LabelPrinter.h"
#include "qr/facade.h"
#include "tests/support/LabelBoxes.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: label_print_probe PRINTER JOB-NUMBER NAME\n");
        return 2;
    }
    qr::初始化二维码模块();
    std::printf("printers: %s\n", qPrintable(LabelPrinter::systemPrinterNames().join(QLatin1Char('|'))));
    LabelPrinter printer(LabelKind::person());
    const LabelPrinter::Outcome outcome = printer.print(args[1], labelBoxes(50, 80, 22), {{args[2], args[3]}});
    std::printf("status=%d sent=%d failures=%d %s\n", int(outcome.status), outcome.sent, int(outcome.failures.size()),
                qPrintable(outcome.error));
    std::fflush(stdout);
    return outcome.status == LabelPrinter::Status::Done && outcome.failures.isEmpty() && outcome.sent == 1 ? 0 : 1;
}

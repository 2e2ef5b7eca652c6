// Writes vouchers into an embedded ERP as one station would, for the test
// of two stations writing at once: voucher-probe <server> <tag> <count>.
// Each voucher has two lines whose device text names the station, the
// voucher and the line ("A-07-1"). Exit code 0 when every voucher was
// written.
#include "bookings/VoucherWriter.h"
#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"
#include "tests/support/RecordingVoucherView.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const QString tag = args[2];
    const int count = args[3].toInt();
    ErpConnection connection(QStringLiteral("probe"));
    RecordSet 记录集1;
    RecordSet 记录集3;
    QTextStream err(stderr);
    if (!connection.open(args[1], QStringLiteral("sa"), QString(), QStringLiteral("UFDATA_001_2021"))) {
        err << connection.lastError() << Qt::endl;
        return 1;
    }
    记录集1.bind(&connection);
    记录集3.bind(&connection);
    const QString account = QStringLiteral("001");
    RecordingVoucherView view;
    VoucherWriter writer(VoucherErp{connection, 记录集1, 记录集3, account, {}}, view);
    const VoucherHeader header{
        QStringLiteral("02|五金仓"), QStringLiteral("0001|王洋国"), QStringLiteral("202|生产领料"), {}};
    for (int v = 0; v < count; ++v) {
        QVector<staging::Line> lines;
        for (int lineNumber = 2; lineNumber >= 1; --lineNumber) {
            staging::Line line;
            line.number = QString::number(lineNumber);
            line.inventoryCode = QStringLiteral("QM-001");
            line.quantity = QStringLiteral("1");
            line.binCode = QStringLiteral("B01-1");
            line.device = QStringLiteral("%1-%2-%3").arg(tag).arg(v, 2, 10, QLatin1Char('0')).arg(lineNumber);
            lines << line;
        }
        if (!writer.click(header, lines)) {
            err << "voucher " << v << ": " << view.prompts().join(QStringLiteral(" / ")) << Qt::endl;
            return 1;
        }
    }
    return 0;
}

// Writing one 200-line material-issue voucher into the embedded demo ERP:
// the voucher writer (one transaction) against the very same statements
// sent one by one in autocommit, each on a freshly built demo ERP.
//   quillmark_voucher_bench [lines] [rounds]
// Prints the median and the fastest time of each and the statements sent.
#include "bookings/StagingTable.h"
#include "bookings/VoucherWriter.h"
#include "erp/ErpConnection.h"
#include "erp/RecordSet.h"
#include "tests/support/RecordingVoucherView.h"
#include "tools/demo-erp/DemoErp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

struct Erp {
    QTemporaryDir dir;
    ErpConnection connection{QStringLiteral("bench")};
    RecordSet 记录集1;
    RecordSet 记录集3;

    bool open(const QVector<staging::Line>& lines)
    {
        QString error;
        if (!demoerp::build(dir.path(), &error)
            || !connection.open(ErpConnection::kEmbeddedPrefix + dir.path(), QStringLiteral("sa"), QString(),
                                QString::fromUtf16(demoerp::kAccountSet)))
            return false;
        记录集1.bind(&connection);
        记录集3.bind(&connection);
        if (!staging::ensureTable(记录集1))
            return false;
        for (const staging::Line& line : lines)
            if (!staging::stageLine(记录集1, line))
                return false;
        connection.setTracing(true);
        connection.clearTrace();
        return true;
    }
};

QVector<staging::Line> gridLines(int count)
{
    QVector<staging::Line> lines;
    for (int lineNumber = count; lineNumber >= 1; --lineNumber)
        lines << staging::Line{QString::number(lineNumber),
                               QStringLiteral("QM-001"),
                               QStringLiteral("扫码演示物料"),
                               QStringLiteral("DEMO-1"),
                               QStringLiteral("个"),
                               QStringLiteral("2.5"),
                               QStringLiteral("B01-1"),
                               QStringLiteral("李秀建"),
                               QStringLiteral("生产课"),
                               QStringLiteral("SB001"),
                               QStringLiteral("2021-06-24 08:05:09")};
    return lines;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int lineCount = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTextStream out(stdout);
    const QVector<staging::Line> lines = gridLines(lineCount);
    const QString account = QStringLiteral("001");
    const VoucherHeader header{
        QStringLiteral("02|五金仓"), QStringLiteral("0001|王洋国"), QStringLiteral("202|生产领料"), {}};

    std::vector<double> inTransaction;
    std::vector<double> autocommit;
    QStringList statements;
    for (int round = 0; round < rounds; ++round) {
        {
            Erp erp;
            if (!erp.open(lines))
                return 1;
            RecordingVoucherView view;
            VoucherWriter writer(VoucherErp{erp.connection, erp.记录集1, erp.记录集3, account, {}}, view);
            QElapsedTimer timer;
            timer.start();
            if (!writer.click(header, lines)) {
                out << "voucher failed: " << view.prompts().join(QStringLiteral(" / ")) << Qt::endl;
                return 1;
            }
            inTransaction.push_back(double(timer.nsecsElapsed()) / 1e6);
            statements = erp.connection.trace();
        }
        {
            // The same texts on a fresh ERP, each its own transaction.
            Erp erp;
            if (!erp.open(lines))
                return 1;
            QElapsedTimer timer;
            timer.start();
            for (const QString& sql : statements) {
                if (sql == ErpConnection::kBeginText || sql == ErpConnection::kCommitText)
                    continue;
                if (!erp.记录集1.open(sql)) {
                    out << "statement failed: " << sql << Qt::endl;
                    return 1;
                }
                erp.记录集1.close();
            }
            autocommit.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    out << "voucher of " << lineCount << " lines, " << statements.size() << " statements sent (counter update "
        << "included), " << rounds << " rounds\n";
    out << "  one transaction:         median " << median(inTransaction) << " ms, fastest "
        << *std::min_element(inTransaction.begin(), inTransaction.end()) << " ms\n";
    out << "  autocommit, one by one: median " << median(autocommit) << " ms, fastest "
        << *std::min_element(autocommit.begin(), autocommit.end()) << " ms" << Qt::endl;
    return 0;
}

#include "labels/LabelPrinter.h"

#include <QPrinterInfo>
#include <QSet>

const QString LabelPrinter::kNoPrinterMessage = QStringLiteral("请先设置打印机！！");
const QString LabelPrinter::kNoPrinterCaption = QStringLiteral("错误提示");
const QString LabelPrinter::kSentMessage = QStringLiteral("已发送到打印机，请等待打印结束！！");
const QString LabelPrinter::kSentCaption = QStringLiteral("打印成功");
const QString LabelPrinter::kNothingTickedMessage = QStringLiteral("请先勾选要打印的标签");

namespace {

constexpr int kPreviewDpi = 203;

using Problem = LabelQueue::Problem;

void addFailure(LabelPrinter::Outcome& outcome, Problem problem, const QString& code)
{
    for (LabelPrinter::Failure& f : outcome.failures) {
        if (f.problem == problem) {
            f.codes << code;
            return;
        }
    }
    outcome.failures.append({problem, {code}});
}

} // namespace

LabelPrinter::Target LabelPrinter::installedPrinters()
{
    return {
        [](const QString& printer) { return systemPrinterNames().contains(printer); },
        [](const QString& printer) { return openSystemQueue(printer); },
    };
}

QStringList LabelPrinter::systemPrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

LabelPrinter::LabelPrinter(const LabelKind& kind) : m_kind(kind), m_target(installedPrinters()) {}

QStringList LabelPrinter::Outcome::failedCodes() const
{
    QStringList codes;
    for (const Failure& f : failures)
        codes << f.codes;
    return codes;
}

LabelPrinter::Outcome LabelPrinter::print(const QString& printerName, const LabelSettings& boxes,
                                          const QList<LabelJob>& jobs, const Progress& progress) const
{
    Outcome outcome;
    outcome.printer = printerName;
    if (printerName.isEmpty()) {
        outcome.status = Status::NoPrinter;
        return outcome;
    }
    if (!m_target.isInstalled(printerName)) {
        outcome.status = Status::PrinterNotInstalled;
        return outcome;
    }
    if (jobs.isEmpty()) {
        outcome.status = Status::NothingTicked;
        return outcome;
    }
    const std::optional<LabelSizes> sizes = LabelSizes::from(boxes, &outcome.error);
    if (!sizes) {
        outcome.status = Status::BadSizes;
        return outcome;
    }
    outcome.labelMm = QSizeF(sizes->paperWidth, sizes->paperHeight);

    const std::unique_ptr<LabelQueue> queue = m_target.open(printerName);
    const Problem ready = queue ? queue->check(outcome.labelMm) : Problem::NotSent;
    if (ready != Problem::None) {
        for (const LabelJob& job : jobs)
            addFailure(outcome, ready, job.code);
        return outcome;
    }

    QList<int> taken; // index into jobs of every job the queue took
    bool stopped = false;
    for (int i = 0; i < jobs.size(); ++i) {
        if (!stopped && progress && !progress(i, int(jobs.size())))
            stopped = true;
        if (stopped) {
            addFailure(outcome, Problem::Cancelled, jobs[i].code);
            continue;
        }
        const LabelPage page = LabelPage::make(m_kind, *sizes, jobs[i], queue->dpi());
        const Problem problem = page.qrFits ? queue->send(page) : Problem::DoesNotFit;
        if (problem == Problem::None)
            taken << i;
        else
            addFailure(outcome, problem, jobs[i].code);
    }
    QSet<int> lost;
    const auto keepAlive = [&] {
        if (progress)
            progress(int(jobs.size()), int(jobs.size()));
    };
    for (const auto& [job, problem] : queue->settle(keepAlive)) {
        if (job >= 0 && job < taken.size() && !lost.contains(job)) {
            lost.insert(job);
            addFailure(outcome, problem, jobs[taken[job]].code);
        }
    }
    outcome.sent = int(taken.size() - lost.size());
    return outcome;
}

LabelPrinter::Preview LabelPrinter::preview(const QString& printerName, const LabelSettings& boxes,
                                            const LabelJob& job) const
{
    Preview preview;
    const std::optional<LabelSizes> sizes = LabelSizes::from(boxes, &preview.error);
    if (!sizes)
        return preview;
    int dpi = kPreviewDpi;
    if (!printerName.isEmpty() && m_target.isInstalled(printerName)) {
        if (const std::unique_ptr<LabelQueue> queue = m_target.open(printerName); queue && queue->dpi() > 0) {
            dpi = queue->dpi();
            preview.usedPrinter = true;
        }
    }
    preview.page = LabelPage::make(m_kind, *sizes, job, dpi);
    return preview;
}

QString LabelPrinter::failureMessage(const Outcome& outcome)
{
    constexpr int kListed = 20;
    QStringList lines;
    for (const Failure& f : outcome.failures) {
        QStringList codes = f.codes.mid(0, kListed);
        if (f.codes.size() > kListed)
            codes << QStringLiteral("…");
        const QString list = codes.join(QStringLiteral("、"));
        const QString count = QString::number(f.codes.size());
        const QString& printer = outcome.printer;
        switch (f.problem) {
        case Problem::None:
        case Problem::NotSent:
            lines << QStringLiteral("%1 张标签未能发送到打印机：%2").arg(count, list);
            break;
        case Problem::Rejecting:
            lines << QStringLiteral("打印机“%1”拒绝接收打印任务，%2 张标签未打印：%3").arg(printer, count, list);
            break;
        case Problem::Paused:
            lines << QStringLiteral("打印机“%1”已暂停，%2 张标签未打印：%3").arg(printer, count, list);
            break;
        case Problem::Aborted:
            lines << QStringLiteral("打印机“%1”的打印任务被打印服务中止或取消，%2 张标签未打印：%3")
                         .arg(printer, count, list);
            break;
        case Problem::SizeNotSupported:
            lines << QStringLiteral("打印机“%1”不支持 %2 × %3 毫米的标签尺寸，%4 张标签未打印：%5")
                         .arg(printer)
                         .arg(outcome.labelMm.width())
                         .arg(outcome.labelMm.height())
                         .arg(count, list);
            break;
        case Problem::DoesNotFit:
            lines << QStringLiteral("二维码超出标签边缘（请减小边距或二维码尺寸），%1 张标签未打印：%2").arg(count, list);
            break;
        case Problem::Cancelled:
            lines << QStringLiteral("打印已取消，%1 张标签未打印：%2").arg(count, list);
            break;
        }
    }
    if (outcome.sent > 0)
        lines << QStringLiteral("其余 %1 张已发送到打印机，请等待打印结束！！").arg(outcome.sent);
    return lines.join(QStringLiteral("\r\n"));
}

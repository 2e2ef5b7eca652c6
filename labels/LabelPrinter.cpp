#include "labels/LabelPrinter.h"

#include "app/OperationLog.h"

#include <QPrinterInfo>
#include <QSet>

#include <algorithm>

const QString LabelPrinter::kNoPrinterMessage = QStringLiteral("请先设置打印机！！");
const QString LabelPrinter::kNoPrinterCaption = QStringLiteral("错误提示");
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

LabelPrinter::LabelPrinter(const LabelKind& kind) : m_kind(kind), m_target(installedPrinters())
{
}

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
    outcome.waiting = std::min(outcome.sent, queue->waiting());
    logFailures(outcome);
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

namespace {

// Why the labels of one failure were not printed, as one clause.
QString cause(const LabelPrinter::Outcome& outcome, Problem problem)
{
    const QString& printer = outcome.printer;
    switch (problem) {
    case Problem::None:
    case Problem::NotSent:
        return QStringLiteral("未能发送到打印机“%1”").arg(printer);
    case Problem::Rejecting:
        return QStringLiteral("打印机“%1”拒绝接收打印任务").arg(printer);
    case Problem::Paused:
        return QStringLiteral("打印机“%1”已暂停").arg(printer);
    case Problem::Aborted:
        return QStringLiteral("打印机“%1”的打印任务被打印服务中止或取消").arg(printer);
    case Problem::SizeNotSupported:
        return QStringLiteral("打印机“%1”不支持 %2 × %3 毫米的标签尺寸")
            .arg(printer)
            .arg(outcome.labelMm.width())
            .arg(outcome.labelMm.height());
    case Problem::DoesNotFit:
        return QStringLiteral("二维码超出标签边缘（请减小边距或二维码尺寸）");
    case Problem::Cancelled:
        return QStringLiteral("打印已取消");
    case Problem::Unknown:
        return QStringLiteral("打印机“%1”的打印任务状态未知（打印队列已被删除或打印服务已停止），"
                              "请到打印机处查看这些标签是否已打印")
            .arg(printer);
    }
    return {};
}

// One failure as one line: its cause, its count and the codes given.
QString failureLine(const LabelPrinter::Outcome& outcome, Problem problem, qsizetype count, const QString& codes)
{
    if (problem == Problem::None || problem == Problem::NotSent)
        return QStringLiteral("%1 张标签未能发送到打印机：%2").arg(count).arg(codes);
    const QString counted =
        problem == Problem::Unknown ? QStringLiteral("%1 张标签状态未知：%2") : QStringLiteral("%1 张标签未打印：%2");
    return cause(outcome, problem) + QStringLiteral("，") + counted.arg(count).arg(codes);
}

} // namespace

void LabelPrinter::logFailures(const Outcome& outcome)
{
    // Every code, however many: the log is where the clerk finds the labels
    // to print again.
    for (const Failure& f : outcome.failures)
        写日志(QStringLiteral("标签打印（%1）：").arg(outcome.printer)
               + failureLine(outcome, f.problem, f.codes.size(), f.codes.join(QStringLiteral("、"))));
}

QString LabelPrinter::sentMessage(const Outcome& outcome)
{
    if (outcome.waiting > 0)
        return QStringLiteral("已发送 %1 张标签到打印机，其中 %2 张仍在打印机队列中等待，请等待打印结束！！")
            .arg(outcome.sent)
            .arg(outcome.waiting);
    return QStringLiteral("已发送 %1 张标签到打印机，请等待打印结束！！").arg(outcome.sent);
}

QString LabelPrinter::failureMessage(const Outcome& outcome)
{
    QStringList lines;
    for (const Failure& f : outcome.failures) {
        const QString list = f.codes.mid(0, kListedCodes).join(QStringLiteral("、"))
            + (f.codes.size() > kListedCodes ? QStringLiteral(" 等") : QString());
        lines << failureLine(outcome, f.problem, f.codes.size(), list);
    }
    lines << QStringLiteral("全部未打印的编号及原因已写入操作日志。");
    if (outcome.sent > 0) {
        if (outcome.waiting > 0)
            lines << QStringLiteral("其余 %1 张已发送到打印机，其中 %2 张仍在打印机队列中等待，请等待打印结束！！")
                         .arg(outcome.sent)
                         .arg(outcome.waiting);
        else
            lines << QStringLiteral("其余 %1 张已发送到打印机，请等待打印结束！！").arg(outcome.sent);
    }
    return lines.join(QStringLiteral("\r\n"));
}

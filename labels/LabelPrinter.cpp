#include "LabelPrinter.h"

#include "LabelPicture.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

const QString LabelPrinter::kNoPrinterMessage = QStringLiteral("请先设置打印机！！");
const QString LabelPrinter::kNoPrinterCaption = QStringLiteral("错误提示");
const QString LabelPrinter::kSentMessage = QStringLiteral("已发送到打印机，请等待打印结束！！");
const QString LabelPrinter::kSentCaption = QStringLiteral("打印成功");

namespace {

constexpr qint64 kMaxTenths = 1'000'000; // 100 m

// Above this many pixels a side the picture is left to the print engine to
// enlarge instead of being enlarged here first.
constexpr double kMaxScaledSide = 8192;
// Finer than this the enlarged picture only makes the job bigger.
constexpr double kMaxPictureDpi = 600;

} // namespace

LabelPrinter::Target LabelPrinter::installedPrinters()
{
    return {
        [](const QString& printer) { return systemPrinterNames().contains(printer); },
        [](QPrinter& printer, const QString& printerName, int) { printer.setPrinterName(printerName); },
    };
}

QStringList LabelPrinter::systemPrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

LabelPrinter::LabelPrinter(const LabelKind& kind) : m_kind(kind), m_target(installedPrinters()) {}

qint64 LabelPrinter::tenths(const QString& box)
{
    const QString digits = box.trimmed();
    if (digits.isEmpty())
        return 0;
    bool ok = false;
    const qint64 mm = digits.toLongLong(&ok);
    if (!ok) // more digits than a number holds
        return kMaxTenths;
    return std::clamp<qint64>(mm, 0, kMaxTenths / 10) * 10;
}

LabelPrinter::Outcome LabelPrinter::print(const QString& printerName, const LabelSettings& boxes,
                                          const QList<LabelJob>& jobs) const
{
    Outcome outcome;
    if (printerName.isEmpty()) {
        outcome.status = Status::NoPrinter;
        return outcome;
    }
    if (!m_target.isInstalled(printerName)) {
        outcome.status = Status::PrinterNotInstalled;
        return outcome;
    }
    for (int i = 0; i < jobs.size(); ++i) {
        if (printOne(printerName, boxes, jobs[i], i))
            ++outcome.sent;
        else
            outcome.failedCodes << jobs[i].code;
    }
    return outcome;
}

bool LabelPrinter::printOne(const QString& printerName, const LabelSettings& boxes, const LabelJob& job,
                            int index) const
{
    const qint64 paperWidth = tenths(boxes.纸张长);
    const qint64 paperHeight = tenths(boxes.纸张宽);
    // The QR boxes work crosswise to their captions: "高:" gives the width.
    const qint64 qrWidth = tenths(boxes.二维码宽);
    const qint64 qrHeight = tenths(boxes.二维码长);
    const qint64 top = tenths(boxes.边距上);
    const qint64 left = tenths(boxes.边距左);

    QPrinter printer(QPrinter::HighResolution);
    m_target.direct(printer, printerName, index);
    printer.setDocName(m_kind.jobName);
    printer.setPageOrientation(QPageLayout::Portrait);
    // Positions are measured from the paper's corner plus the margins given
    // here, not from whatever unprintable border the driver reports.
    printer.setFullPage(true);
    if (paperWidth > 0 && paperHeight > 0) {
        const QPageSize size(QSizeF(paperWidth / 10.0, paperHeight / 10.0), QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
        if (!size.isValid() || !printer.setPageSize(size))
            return false; // the driver refuses the paper size
    }

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double dpi = printer.resolution();
    auto px = [dpi](qint64 t) { return double(t) * dpi / 254.0; };
    painter.translate(px(left), px(top));

    if (qrWidth > 0 && qrHeight > 0) {
        // The picture is made anew for every label and enlarged here without
        // smoothing, to the printer's own dots (label printers have 203 or
        // 300 dpi), so that no driver blurs the modules' edges.
        const QImage picture = labelpicture::toImage(labelpicture::forCode(m_kind, job.code));
        const QRectF place(px(1), px(1), px(qrWidth), px(qrHeight));
        const double scale = std::min(dpi, kMaxPictureDpi) / dpi;
        const double w = std::round(place.width() * scale);
        const double h = std::round(place.height() * scale);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (w >= 1 && h >= 1 && w <= kMaxScaledSide && h <= kMaxScaledSide)
            painter.drawImage(place, picture.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                         .convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
        else
            painter.drawImage(place, picture);
    }
    if (m_kind.printsName) {
        const QRectF box(px(qrWidth + 10), px(40), px(kMaxTenths), px(kMaxTenths));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, job.name);
    }
    return painter.end();
}

QString LabelPrinter::failureMessage(const Outcome& outcome)
{
    constexpr int kListed = 20;
    QStringList codes = outcome.failedCodes.mid(0, kListed);
    if (outcome.failedCodes.size() > kListed)
        codes << QStringLiteral("…");
    QString text = QStringLiteral("%1 张标签未能发送到打印机：%2")
                       .arg(outcome.failedCodes.size())
                       .arg(codes.join(QStringLiteral("、")));
    if (outcome.sent > 0)
        text += QStringLiteral("\r\n其余 %1 张已发送到打印机，请等待打印结束！！").arg(outcome.sent);
    return text;
}

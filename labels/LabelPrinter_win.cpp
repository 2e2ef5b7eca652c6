// The Windows print system, through QPrinter: there the driver reports the
// printer's own resolution, and the label is painted straight onto the
// printer's device in its dots.
#include "labels/LabelPrinter.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

using Problem = LabelQueue::Problem;

class WindowsQueue final : public LabelQueue {
public:
    explicit WindowsQueue(const QString& name) : m_name(name)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(m_name);
        m_dpi = printer.resolution();
    }

    int dpi() const override { return m_dpi; }

    Problem check(const QSizeF& labelMm) override
    {
        const QPrinterInfo info = QPrinterInfo::printerInfo(m_name);
        if (info.isNull())
            return Problem::NotSent;
        if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted)
            return Problem::Paused;
        m_size = QPageSize(labelMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        if (info.supportsCustomPageSizes())
            return Problem::None;
        for (const QPageSize& s : info.supportedPageSizes())
            if (s.isEquivalentTo(m_size))
                return Problem::None;
        return Problem::SizeNotSupported;
    }

    Problem send(const LabelPage& page) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(m_name);
        printer.setDocName(page.title);
        printer.setFullPage(true);
        printer.setPageOrientation(QPageLayout::Portrait);
        if (!printer.setPageSize(m_size) || printer.resolution() != page.dpi)
            return Problem::NotSent;
        QPainter painter;
        if (!painter.begin(&printer))
            return Problem::NotSent;
        page.paint(painter);
        return painter.end() ? Problem::None : Problem::NotSent;
    }

private:
    QString m_name;
    int m_dpi = 0;
    QPageSize m_size;
};

} // namespace

std::unique_ptr<LabelQueue> openSystemQueue(const QString& printer)
{
    return std::make_unique<WindowsQueue>(printer);
}

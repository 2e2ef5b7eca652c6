#include "labels/LabelPage.h"

#include "labels/LabelPicture.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QMap>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// The quiet zone around the symbol, in modules.
constexpr int kQuietModules = 2;
constexpr int kMinModuleDots = 2;

// A box in whole millimetres: digits only, 1 to 500. std::nullopt with the
// reason otherwise.
std::optional<int> millimetres(const QString& box, const QString& what, QString* error)
{
    const QString text = box.trimmed();
    bool ok = false;
    const qint64 mm = text.toLongLong(&ok);
    // ASCII digits only: "1e9", "5O", "1.5" and "-3" are refused, not read
    // as a part of them.
    const bool digits =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits && !text.isEmpty()) {
        if (error)
            *error = QStringLiteral(
                         "%1框中的“%2”不是整数（只能填数字，不能有字母、小数点或符号）：应为 %3 到 %4 之间的整毫米数")
                         .arg(what, box)
                         .arg(LabelSizes::kMinMm)
                         .arg(LabelSizes::kMaxMm);
        return std::nullopt;
    }
    if (!ok || mm < LabelSizes::kMinMm || mm > LabelSizes::kMaxMm) {
        if (error)
            *error = QStringLiteral("%1框中的“%2”无效：应为 %3 到 %4 之间的整毫米数")
                         .arg(what, box)
                         .arg(LabelSizes::kMinMm)
                         .arg(LabelSizes::kMaxMm);
        return std::nullopt;
    }
    return int(mm);
}

// A margin in whole millimetres: empty counts as 0; else digits only, 0 to
// 500. std::nullopt with the reason otherwise.
std::optional<int> marginMm(const QString& box, const QString& what, QString* error)
{
    if (box.trimmed().isEmpty())
        return 0;
    const QString text = box.trimmed();
    bool ok = false;
    const qint64 mm = text.toLongLong(&ok);
    const bool digits = std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits || !ok || mm > LabelSizes::kMaxMm) {
        if (error)
            *error = QStringLiteral("打印边距的“%1”框中的“%2”无效：应为 0 到 %3 之间的整毫米数（只能填数字）")
                         .arg(what, box)
                         .arg(LabelSizes::kMaxMm);
        return std::nullopt;
    }
    return int(mm);
}

QString qrLargerThanLabel(int qrWidth, int qrHeight, int paperWidth, int paperHeight)
{
    if (qrWidth <= paperWidth && qrHeight <= paperHeight)
        return {};
    return QStringLiteral("二维码（印出宽 %1 × 高 %2 毫米）大于标签（%3 × %4 毫米）")
        .arg(qrWidth)
        .arg(qrHeight)
        .arg(paperWidth)
        .arg(paperHeight);
}

// The height of the text under the code: small enough to leave the code
// its room, large enough to read at arm's length.
constexpr double kCaptionMm = 2.5;

QFont captionFont(int dpi)
{
    QFont font;
    font.setPixelSize(std::max(8, LabelPage::dots(kCaptionMm, dpi)));
    return font;
}

QFontMetrics metricsAt(const QFont& font, int dpi)
{
    const int perMetre = int(std::lround(dpi / 0.0254));
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(perMetre);
    probe.setDotsPerMeterY(perMetre);
    return QFontMetrics(font, &probe);
}

// A text as the printer's dots: drawn without smoothing in the given font
// at the printer's resolution, kept to maxWidth dots.
QImage nameInDots(const QString& name, int dpi, int maxWidth, const QFont& font = QFont())
{
    if (maxWidth <= 0)
        return {};
    const int perMetre = int(std::lround(dpi / 0.0254));
    const QFontMetrics metrics = metricsAt(font, dpi);
    const int width = std::min(maxWidth, metrics.horizontalAdvance(name) + 2);
    QImage canvas(width, metrics.height(), QImage::Format_RGB32);
    canvas.setDotsPerMeterX(perMetre);
    canvas.setDotsPerMeterY(perMetre);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(), canvas.size()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
    painter.end();
    QImage out(canvas.size(), QImage::Format_Mono);
    out.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    out.fill(1);
    for (int y = 0; y < canvas.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < canvas.width(); ++x)
            if (qGray(in[x]) < 128)
                line[x >> 3] &= uchar(~(0x80 >> (x & 7)));
    }
    return out;
}

} // namespace

std::optional<LabelSizes> LabelSizes::from(const LabelSettings& boxes, QString* error)
{
    QString why;
    const auto paperWidth = millimetres(boxes.纸张长, QStringLiteral("纸张长宽的“宽:”"), &why);
    const auto paperHeight =
        paperWidth ? millimetres(boxes.纸张宽, QStringLiteral("纸张长宽的“高:”"), &why) : std::nullopt;
    const auto qrHeight =
        paperHeight ? millimetres(boxes.二维码长, QStringLiteral("二维码长宽的“高:”"), &why) : std::nullopt;
    const auto qrWidth =
        qrHeight ? millimetres(boxes.二维码宽, QStringLiteral("二维码长宽的“宽:”"), &why) : std::nullopt;
    if (qrWidth)
        why = qrLargerThanLabel(*qrWidth, *qrHeight, *paperWidth, *paperHeight);
    std::optional<int> top, left;
    if (qrWidth && why.isEmpty()) {
        top = marginMm(boxes.边距上, QStringLiteral("上:"), &why);
        const auto bottom = top ? marginMm(boxes.边距下, QStringLiteral("下:"), &why) : std::nullopt;
        left = bottom ? marginMm(boxes.边距左, QStringLiteral("左:"), &why) : std::nullopt;
        if (left && !marginMm(boxes.边距右, QStringLiteral("右:"), &why))
            left.reset();
    }
    if (!left) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    return LabelSizes{*paperWidth, *paperHeight, *qrWidth, *qrHeight, *top, *left};
}

QString LabelSizes::paperError(const QString& width, const QString& height)
{
    QString why;
    if (millimetres(width, QStringLiteral("纸张长宽的“宽:”"), &why)
        && millimetres(height, QStringLiteral("纸张长宽的“高:”"), &why))
        return {};
    return why;
}

QString LabelSizes::qrError(const QString& qrLong, const QString& qrWide, const QString& paperWidth,
                            const QString& paperHeight)
{
    QString why;
    const auto height = millimetres(qrLong, QStringLiteral("二维码长宽的“高:”"), &why);
    const auto width = height ? millimetres(qrWide, QStringLiteral("二维码长宽的“宽:”"), &why) : std::nullopt;
    if (!width)
        return why;
    const auto pw = millimetres(paperWidth, QString(), nullptr);
    const auto ph = millimetres(paperHeight, QString(), nullptr);
    return pw && ph ? qrLargerThanLabel(*width, *height, *pw, *ph) : QString();
}

QString LabelSizes::marginError(const QString& top, const QString& bottom, const QString& left, const QString& right)
{
    QString why;
    if (marginMm(top, QStringLiteral("上:"), &why) && marginMm(bottom, QStringLiteral("下:"), &why)
        && marginMm(left, QStringLiteral("左:"), &why) && marginMm(right, QStringLiteral("右:"), &why))
        return {};
    return why;
}

int LabelPage::dots(double mm, int dpi)
{
    return int(std::floor(mm * dpi / 25.4 + 0.5));
}

int LabelPage::widthDots() const
{
    return dots(sizeMm.width(), dpi);
}

int LabelPage::heightDots() const
{
    return dots(sizeMm.height(), dpi);
}

LabelPage LabelPage::make(const LabelKind& kind, const LabelSizes& sizes, const LabelJob& job, int dpi)
{
    LabelPage page;
    page.sizeMm = QSizeF(sizes.paperWidth, sizes.paperHeight);
    page.dpi = dpi;
    page.title = kind.jobName;

    const labelpicture::Symbol symbol = labelpicture::symbolForCode(kind, job.code);
    page.modules = symbol.size;
    const int side = symbol.size + 2 * kQuietModules;
    // The QR box starts 0.1 mm inside the margins.
    const QPoint box(dots(sizes.left + 0.1, dpi), dots(sizes.top + 0.1, dpi));
    const int boxWidth = int(std::floor(sizes.qrWidth * dpi / 25.4));
    const int boxHeight = int(std::floor(sizes.qrHeight * dpi / 25.4));
    page.moduleDots = std::max(kMinModuleDots, std::min(boxWidth, boxHeight) / side);
    const int pictureDots = side * page.moduleDots;
    page.qrAt = box + QPoint(std::max(0, (boxWidth - pictureDots) / 2), std::max(0, (boxHeight - pictureDots) / 2));

    // Black first and white second is the colour table the PDF writer keeps
    // as a 1-bit picture (any other it turns into a JPEG): a 0 bit is a
    // dark dot.
    page.qr = QImage(pictureDots, pictureDots, QImage::Format_Mono);
    page.qr.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    page.qr.fill(1);
    const int m = page.moduleDots;
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            if (!symbol.dark(x, y))
                continue;
            for (int j = 0; j < m; ++j) {
                uchar* line = page.qr.scanLine((y + kQuietModules) * m + j);
                for (int i = 0; i < m; ++i) {
                    const int px = (x + kQuietModules) * m + i;
                    line[px >> 3] &= uchar(~(0x80 >> (px & 7)));
                }
            }
        }
    }
    page.qrFits = page.qrAt.x() + pictureDots <= page.widthDots() && page.qrAt.y() + pictureDots <= page.heightDots();

    if (kind.printsName && !job.name.isEmpty()) {
        page.name = job.name;
        page.nameAtMm = QPointF(sizes.left + sizes.qrWidth + 1.0, sizes.top + 4.0);
        page.nameAt = QPoint(dots(page.nameAtMm.x(), dpi), dots(page.nameAtMm.y(), dpi));
        page.nameDots = nameInDots(page.name, dpi, page.widthDots() - page.nameAt.x());
    }
    page.placeCaption(kind, job, pictureDots);
    return page;
}

void LabelPage::placeCaption(const LabelKind& kind, const LabelJob& job, int pictureDots)
{
    // Under the code, what a person reads: the code, and the name where the
    // label does not already carry it beside the code. The code keeps its
    // size and place; the text comes only where the label has room for it
    // whole, else the code alone, else nothing.
    const QFont font = captionFont(dpi);
    const QFontMetrics metrics = metricsAt(font, dpi);
    const int top = qrAt.y() + pictureDots;
    const int height = metrics.height();
    if (job.code.isEmpty() || top + height > heightDots())
        return;
    int right = widthDots();
    // Beside the code there may be the name: the text stays clear of it.
    if (!nameDots.isNull() && top < nameAt.y() + nameDots.height())
        right = std::min(right, nameAt.x());
    QStringList choices;
    if (!kind.printsName && !job.name.isEmpty())
        choices << job.code + u' ' + job.name;
    choices << job.code;
    for (const QString& text : choices) {
        const int width = metrics.horizontalAdvance(text) + 2;
        if (width > right)
            continue;
        const int centre = qrAt.x() + pictureDots / 2;
        const int left = std::clamp(centre - width / 2, 0, right - width);
        caption = text;
        captionDots = nameInDots(text, dpi, width, font);
        captionAt = QPoint(left, top);
        return;
    }
}

void LabelPage::paint(QPainter& painter) const
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawImage(QRect(qrAt, qr.size()), qr);
    if (!nameDots.isNull())
        painter.drawImage(QRect(nameAt, nameDots.size()), nameDots);
    if (!captionDots.isNull())
        painter.drawImage(QRect(captionAt, captionDots.size()), captionDots);
}

namespace {

// Qt keeps page sizes in whole points, so its page box can be a fraction of
// a point off the label (50 mm is 141.73 pt, not 142). A driver given the
// label's exact size then shifts or scales the page by that fraction, and
// a 1-bit picture no longer meets the printer's dots one to one. The page
// box is therefore written anew with the label's exact size, and the
// cross-reference table after it rebuilt.
QByteArray withExactPageBox(const QByteArray& pdf, const QSizeF& sizeMm)
{
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[[^\\]]*\\]"));
    const QString exact = QStringLiteral("/MediaBox [0 0 %1 %2]")
                              .arg(sizeMm.width() * 72 / 25.4, 0, 'f', 4)
                              .arg(sizeMm.height() * 72 / 25.4, 0, 'f', 4);
    QByteArray out = QString::fromLatin1(pdf).replace(box, exact).toLatin1();
    const qsizetype xref = out.lastIndexOf("\nxref\n");
    const qsizetype trailer = out.indexOf("trailer", xref);
    if (xref < 0 || trailer < 0)
        return pdf;
    // Every object's new place, by its number.
    static const QRegularExpression object(QStringLiteral("(?:^|\\n)(\\d+) 0 obj"));
    QMap<int, qsizetype> offsets;
    const QString text = QString::fromLatin1(out.left(xref));
    for (auto it = object.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        offsets[m.captured(1).toInt()] = m.capturedStart(1);
    }
    const int count = offsets.isEmpty() ? 1 : offsets.lastKey() + 1;
    QByteArray table = "xref\n0 " + QByteArray::number(count) + "\n0000000000 65535 f \n";
    for (int i = 1; i < count; ++i)
        table += offsets.contains(i) ? QByteArray::number(offsets[i]).rightJustified(10, '0') + " 00000 n \n"
                                     : QByteArray("0000000000 65535 f \n");
    QByteArray tail = out.mid(trailer);
    const qsizetype start = tail.indexOf("startxref");
    if (start < 0)
        return pdf;
    tail = tail.left(start) + "startxref\n" + QByteArray::number(xref + 1) + "\n%%EOF\n";
    return out.left(xref + 1) + table + tail;
}

} // namespace

bool LabelPage::writePdf(QIODevice& out) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writeQtPdf(buffer))
        return false;
    const QByteArray pdf = withExactPageBox(buffer.data(), sizeMm);
    return out.write(pdf) == pdf.size();
}

bool LabelPage::writeQtPdf(QIODevice& out) const
{
    QPdfWriter pdf(&out);
    pdf.setResolution(dpi);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Quillmark"));
    pdf.setPageLayout(QPageLayout(QPageSize(sizeMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paint(painter);
    return painter.end();
}

QImage LabelPage::toImage() const
{
    QImage image(widthDots(), heightDots(), QImage::Format_RGB32);
    const int perMetre = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(perMetre);
    image.setDotsPerMeterY(perMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    paint(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither | Qt::MonoOnly);
}

#include "tests/labels/LabelTestSupport.h"

#include "qr/facade.h"
#include "tools/demo-erp/DemoErp.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QXmlStreamReader>

#include <zbar.h>

namespace labeltest {

void startQrModule()
{
    static const bool started = [] {
        qr::初始化二维码模块();
        return true;
    }();
    (void)started;
}

namespace {

// The demo ERP is built once per process and copied for every test.
QString builtDemo()
{
    static QTemporaryDir dir;
    static const bool built = dir.isValid() && demoerp::build(dir.path());
    return built ? dir.path() : QString();
}

bool copyDemo(const QString& to)
{
    const QString from = builtDemo();
    if (from.isEmpty())
        return false;
    for (const QString& file : QDir(from).entryList({QStringLiteral("*.db")}, QDir::Files))
        if (!QFile::copy(QDir(from).filePath(file), QDir(to).filePath(file)))
            return false;
    return true;
}

} // namespace

DemoErp::DemoErp()
{
    if (!m_dir.isValid() || !copyDemo(m_dir.path()))
        return;
    if (!connection.open(server(), QStringLiteral("sa"), QString(), QString::fromUtf16(demoerp::kAccountSet)))
        return;
    记录集2.bind(&connection);
    connection.setTracing(true);
    m_ready = true;
}

QString DemoErp::server() const
{
    return ErpConnection::kEmbeddedPrefix + m_dir.path();
}

bool DemoErp::exec(const QString& sql) const
{
    ErpConnection other(QStringLiteral("labels-helper"));
    RecordSet rs;
    rs.bind(&other);
    return other.open(server(), QString(), QString(), QString::fromUtf16(demoerp::kAccountSet)) && rs.open(sql);
}

QStringList DemoErp::column(const QString& sql) const
{
    ErpConnection other(QStringLiteral("labels-helper"));
    RecordSet rs;
    rs.bind(&other);
    QStringList out;
    if (!other.open(server(), QString(), QString(), QString::fromUtf16(demoerp::kAccountSet)) || !rs.open(sql)
        || !rs.moveFirst())
        return out;
    for (int i = 0; i < rs.recordCount(); ++i) {
        QString v;
        rs.readText(0, v);
        out << v;
        rs.moveNext();
    }
    return out;
}

void setBox(QWidget* window, const char* box, const QString& text)
{
    if (auto* edit = window->findChild<QLineEdit*>(QString::fromUtf8(box)))
        edit->setText(text);
    else
        qWarning("no box %s", box);
}

QStringList decode(const QImage& image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const int w = grey.width(), h = grey.height();
    QByteArray pixels(qsizetype(w) * h, '\0');
    for (int y = 0; y < h; ++y)
        memcpy(pixels.data() + qsizetype(y) * w, grey.constScanLine(y), size_t(w));
    zbar::zbar_image_scanner_t* scanner = zbar::zbar_image_scanner_create();
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::zbar_image_t* img = zbar::zbar_image_create();
    zbar::zbar_image_set_format(img, zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(img, unsigned(w), unsigned(h));
    zbar::zbar_image_set_data(img, pixels.constData(), size_t(pixels.size()), nullptr);
    zbar::zbar_scan_image(scanner, img);
    QStringList found;
    for (const zbar::zbar_symbol_t* s = zbar::zbar_image_first_symbol(img); s; s = zbar::zbar_symbol_next(s))
        found << QString::fromUtf8(zbar::zbar_symbol_get_data(s), int(zbar::zbar_symbol_get_data_length(s)));
    zbar::zbar_image_destroy(img);
    zbar::zbar_image_scanner_destroy(scanner);
    return found;
}

namespace {

class PdfFolderQueue final : public LabelQueue {
public:
    PdfFolderQueue(int dpi, std::function<QString(int)> fileFor) : m_dpi(dpi), m_fileFor(std::move(fileFor)) { }
    int dpi() const override { return m_dpi; }
    Problem check(const QSizeF&) override { return Problem::None; }
    Problem send(const LabelPage& page) override
    {
        QFile file(m_fileFor(m_job++));
        return file.open(QIODevice::WriteOnly) && page.writePdf(file) ? Problem::None : Problem::NotSent;
    }

private:
    int m_dpi;
    std::function<QString(int)> m_fileFor;
    int m_job = 0;
};

} // namespace

LabelPrinter::Target pdfFiles(const QString& folder, int dpi, std::function<QString(int job)> fileFor)
{
    if (!fileFor)
        fileFor = [folder](int job) { return QDir(folder).filePath(QStringLiteral("label-%1.pdf").arg(job + 1)); };
    return {
        [](const QString& printer) { return !printer.isEmpty(); },
        [dpi, fileFor](const QString&) { return std::make_unique<PdfFolderQueue>(dpi, fileFor); },
    };
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF pageSizeMm(const QString& pdf)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                                          .match(run(QStringLiteral("pdfinfo"), {pdf}));
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72};
}

QImage render(const QString& pdf, int dpi)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
         QStringLiteral("1"), QStringLiteral("-singlefile"), QStringLiteral("-aa"), QStringLiteral("no"),
         QStringLiteral("-aaVector"), QStringLiteral("no"), QStringLiteral("-png"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

QList<Word> words(const QString& pdf)
{
    const QString html = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                              QStringLiteral("1"), pdf, QStringLiteral("-")});
    QList<Word> out;
    QXmlStreamReader xml(html);
    const double mm = 25.4 / 72;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            const QRectF box(
                QPointF(a.value(QLatin1String("xMin")).toDouble() * mm, a.value(QLatin1String("yMin")).toDouble() * mm),
                QPointF(a.value(QLatin1String("xMax")).toDouble() * mm,
                        a.value(QLatin1String("yMax")).toDouble() * mm));
            out.append({xml.readElementText(), box});
        }
    }
    return out;
}

QRectF darkBoxMm(const QImage& page, int dpi, double maxXmm)
{
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    const int maxX = int(std::min<double>(grey.width(), maxXmm * dpi / 25.4));
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < maxX; ++x) {
            if (line[x] < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    const double mm = 25.4 / dpi;
    return QRectF(QPointF(left * mm, top * mm), QPointF((right + 1) * mm, (bottom + 1) * mm));
}

} // namespace labeltest

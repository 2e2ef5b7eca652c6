#include "labels/LabelPreview.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The picture is enlarged by a whole factor so that every printer dot
// stays a sharp square on the screen.
constexpr int kMaxPreviewWidth = 720;
constexpr int kMaxPreviewHeight = 480;

QString mm(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

QString labelPreviewText(const LabelPage& page, const QString& printer)
{
    const double dotMm = 25.4 / page.dpi;
    const int side = page.qr.width();
    QStringList lines;
    lines << (printer.isEmpty() ? QStringLiteral("未找到已设置的打印机，按 %1 dpi 预览").arg(page.dpi)
                                : QStringLiteral("打印机：%1（%2 dpi）").arg(printer).arg(page.dpi));
    lines << QStringLiteral("标签：%1 × %2 毫米 = %3 × %4 点")
                 .arg(page.sizeMm.width())
                 .arg(page.sizeMm.height())
                 .arg(page.widthDots())
                 .arg(page.heightDots());
    lines << QStringLiteral("二维码：%1 × %1 模块，每模块 %2 × %2 点（%3 毫米），含静区 %4 点 = %5 毫米")
                 .arg(page.modules)
                 .arg(page.moduleDots)
                 .arg(QString::number(page.moduleDots * dotMm, 'f', 2))
                 .arg(side)
                 .arg(mm(side * dotMm));
    if (!page.qrFits)
        lines << QStringLiteral("二维码超出标签边缘，这张标签不能打印：请减小边距或二维码尺寸");
    return lines.join(u'\n');
}

void showLabelPreview(QWidget* owner, const LabelPage& page, const QString& printer)
{
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(QStringLiteral("窗口_标签预览"));
    dialog->setWindowTitle(QStringLiteral("标签预览"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);

    const QImage label = page.toImage().convertToFormat(QImage::Format_RGB32);
    const int factor = std::max(
        1, std::min(kMaxPreviewWidth / std::max(1, label.width()), kMaxPreviewHeight / std::max(1, label.height())));
    QImage shown = label.scaled(label.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    {
        // The label's edge, drawn just outside it.
        QImage framed(shown.size() + QSize(2, 2), QImage::Format_RGB32);
        framed.fill(QColor(160, 160, 160));
        QPainter p(&framed);
        p.drawImage(1, 1, shown);
        p.end();
        shown = framed;
    }
    auto* picture = new QLabel(dialog);
    picture->setObjectName(QStringLiteral("图片_标签"));
    picture->setPixmap(QPixmap::fromImage(shown));
    picture->setAlignment(Qt::AlignCenter);
    auto* figures = new QLabel(labelPreviewText(page, printer), dialog);
    figures->setObjectName(QStringLiteral("标签_预览说明"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(picture);
    layout->addWidget(figures);
    layout->addWidget(buttons);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->show();
}

#include "station/CachedCellDelegate.h"

#include <QAbstractItemView>
#include <QPaintDevice>
#include <QPainter>

namespace {

// Room for the pictures of a few screens of cells, in kilobytes.
constexpr int kCacheKilobytes = 16 * 1024;

QColor gridColor(const QStyleOptionViewItem& option)
{
    const QWidget* view = option.widget;
    const QStyle* style = view ? view->style() : nullptr;
    if (!style)
        return option.palette.color(QPalette::Mid);
    return QColor::fromRgba(QRgb(style->styleHint(QStyle::SH_Table_GridLineColor, &option, view)));
}

} // namespace

CachedCellDelegate::CachedCellDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
    m_pictures.setMaxCost(kCacheKilobytes);
}

void CachedCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QPaintDevice* device = painter->device();
    // Only what a copy reproduces exactly: an upright, unscaled painter.
    if (!device || painter->transform().type() > QTransform::TxTranslate || option.rect.width() < 2
        || option.rect.height() < 2) {
        paintCell(painter, option, index);
        return;
    }
    const qreal ratio = device->devicePixelRatio();
    const Look key{index.data(Qt::DisplayRole).toString(),
                   option.rect.size(),
                   ratio,
                   int(option.state),
                   option.palette.cacheKey(),
                   int(option.displayAlignment),
                   option.font,
                   painter->font(),
                   painter->pen().color().rgba()};
    if (const QPixmap* picture = m_pictures.object(key)) {
        painter->drawPixmap(option.rect.topLeft(), *picture);
        return;
    }

    auto* picture = new QPixmap(option.rect.size() * ratio);
    picture->setDevicePixelRatio(ratio);
    {
        QPainter p(picture);
        p.setFont(painter->font());
        p.setPen(painter->pen());
        p.setBrush(painter->brush());
        p.setRenderHints(painter->renderHints());
        QStyleOptionViewItem local = option;
        local.rect = QRect(QPoint(0, 0), option.rect.size());
        paintCell(&p, local, index);
    }
    ++m_drawn;
    painter->drawPixmap(option.rect.topLeft(), *picture);
    const int kilobytes = int(qint64(picture->width()) * picture->height() * picture->depth() / 8 / 1024) + 1;
    m_pictures.insert(key, picture, kilobytes);
}

void CachedCellDelegate::paintCell(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    // The grid's background, the cell as the style draws it within its
    // grid lines, and the lines on its right and bottom edge, where the
    // view would draw them.
    const QRect& r = option.rect;
    painter->fillRect(r, option.palette.brush(QPalette::Base));
    QStyleOptionViewItem inner = option;
    inner.rect = r.adjusted(0, 0, -1, -1);
    QStyledItemDelegate::paint(painter, inner, index);
    const QColor lines = gridColor(option);
    painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), lines);
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), lines);
}

#pragma once
// Paints a grid's cells, grid lines included, from pictures kept between
// repaints.
//
// A line scanned into the detail grid goes on top, so every visible row
// moves down one place and the whole grid is repainted, although only the
// new row holds anything not already drawn. Anti-aliased text and the
// view's own grid lines are by far the dearest part of a repaint, so each
// cell is drawn once (background, the ordinary delegate and style within
// its grid lines, then the lines on its right and bottom edge) onto an
// opaque picture, and later repaints copy that picture. The view is set to
// draw no grid of its own. A picture is found again by everything that
// decides how the cell looks (text, size, state, palette, font), so an
// edited, selected or resized cell is simply drawn anew; pictures not used
// for a while are dropped.
#include <QCache>
#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>

class CachedCellDelegate : public QStyledItemDelegate {
public:
    explicit CachedCellDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Pictures drawn so far (for tests: a repaint of unchanged rows draws
    // none).
    int drawnCells() const { return m_drawn; }

private:
    void paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // Everything that decides how a cell looks.
    struct Look {
        QString text;
        QSize size;
        qreal ratio = 1;
        int state = 0;
        qint64 palette = 0;
        int alignment = 0;
        QFont font;
        QFont painterFont;
        QRgb pen = 0;
        bool operator==(const Look&) const = default;
        friend size_t qHash(const Look& look, size_t seed = 0)
        {
            return qHashMulti(seed, look.text, look.size.width(), look.size.height(), look.state, look.palette);
        }
    };

    mutable QCache<Look, QPixmap> m_pictures;
    mutable int m_drawn = 0;
};

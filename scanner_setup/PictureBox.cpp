#include "scanner_setup/PictureBox.h"

#include <QPixmap>

PictureBox::PictureBox(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setScaledContents(false);
}

void PictureBox::setPicture(const QByteArray& bytes)
{
    m_bytes = bytes;
    QPixmap pixmap;
    if (bytes.isEmpty() || !pixmap.loadFromData(bytes)) {
        clear();
        return;
    }
    const QSize room = contentsRect().size();
    if (pixmap.width() > room.width() || pixmap.height() > room.height())
        pixmap = pixmap.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(pixmap);
}

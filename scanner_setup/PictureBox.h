#pragma once
// A picture box: shows the picture held in a file's bytes (BMP, PNG, ...)
// centred, at its own size and without smoothing, so a QR code on screen
// stays sharp enough for a scanner to read. A picture larger than the box
// is shown reduced to fit rather than cut off. Empty or unreadable bytes
// show nothing.
#include <QByteArray>
#include <QLabel>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QByteArray& bytes);
    const QByteArray& picture() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

#pragma once
// The QR picture of a label: "R" + job number for a person, "S" + device
// code for a device, level H, 50 × 50 pixels, black modules on white, as
// the bytes of a BMP file.
#include "labels/LabelKind.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace labelpicture {

// 取人员二维码 and 取设备二维码: the kind's letter + code.
QByteArray forCode(const LabelKind& kind, const QString& code);

// The picture as an image; a null image when the bytes are no picture.
QImage toImage(const QByteArray& bmp);

// The symbol behind that picture, module by module, for drawing it at a
// printer's own dots.
struct Symbol {
    int size = 0; // modules per side
    std::vector<bool> cells; // row by row, true where dark
    bool dark(int x, int y) const { return cells[std::size_t(y) * std::size_t(size) + std::size_t(x)]; }
};
Symbol symbolForCode(const LabelKind& kind, const QString& code);

} // namespace labelpicture

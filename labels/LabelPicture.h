#pragma once
// The QR picture of a label: "R" + job number for a person, "S" + device
// code for a device, level H, 50 × 50 pixels, black modules on white, as
// the bytes of a BMP file.
#include "LabelKind.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace labelpicture {

// 取人员二维码 and 取设备二维码: the kind's letter + code.
QByteArray forCode(const LabelKind& kind, const QString& code);

// The picture as an image; a null image when the bytes are no picture.
QImage toImage(const QByteArray& bmp);

} // namespace labelpicture

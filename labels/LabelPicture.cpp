#include "LabelPicture.h"

#include "qr/facade.h"

namespace labelpicture {

QByteArray forCode(const LabelKind& kind, const QString& code)
{
    const QByteArray text = (kind.qrPrefix + code).toUtf8();
    const std::vector<std::uint8_t> bmp =
        qr::创建二维码(std::string_view(text.constData(), std::size_t(text.size())), "H", 50, 50, 0xFFFFFF, 0);
    return QByteArray(reinterpret_cast<const char*>(bmp.data()), qsizetype(bmp.size()));
}

QImage toImage(const QByteArray& bmp)
{
    return QImage::fromData(bmp, "BMP");
}

} // namespace labelpicture

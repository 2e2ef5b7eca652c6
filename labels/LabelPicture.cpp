#include "labels/LabelPicture.h"

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

namespace labelpicture {

Symbol symbolForCode(const LabelKind& kind, const QString& code)
{
    forCode(kind, code); // leaves the symbol in the module's QR code object
    const auto& matrix = qr::取模块二维码().矩阵();
    Symbol symbol;
    symbol.size = matrix.取宽度();
    symbol.cells.resize(std::size_t(symbol.size) * std::size_t(symbol.size));
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size; ++x)
            symbol.cells[std::size_t(y) * std::size_t(symbol.size) + std::size_t(x)] = matrix.取值(x, y) == 1;
    return symbol;
}

} // namespace labelpicture

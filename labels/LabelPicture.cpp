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
    const QByteArray text = (kind.qrPrefix + code).toUtf8();
    const qr::二维码符号 qrSymbol =
        qr::生成二维码符号(std::string_view(text.constData(), std::size_t(text.size())), "H");
    Symbol symbol;
    symbol.size = qrSymbol.边长;
    symbol.cells.resize(std::size_t(symbol.size) * std::size_t(symbol.size));
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size; ++x)
            symbol.cells[std::size_t(y) * std::size_t(symbol.size) + std::size_t(x)] = qrSymbol.深色(x, y);
    return symbol;
}

} // namespace labelpicture

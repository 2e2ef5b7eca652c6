#include "tests/support/ZbarDecode.h"

#include <zbar.h>

namespace qrtest {

std::vector<std::string> decodeBmp(const std::vector<std::uint8_t>& bmp)
{
    auto u32 = [&](std::size_t at) {
        return bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) | (static_cast<std::uint32_t>(bmp[at + 3]) << 24);
    };
    const unsigned w = u32(18), h = u32(22);
    const std::size_t row = (24 * w + 31) / 32 * 4;
    std::vector<unsigned char> grey(static_cast<std::size_t>(w) * h);
    for (unsigned y = 0; y < h; ++y) {
        const std::uint8_t* src = bmp.data() + 54 + (h - 1 - y) * row;
        for (unsigned x = 0; x < w; ++x)
            grey[y * w + x] = static_cast<unsigned char>((src[3 * x] + 2 * src[3 * x + 1] + src[3 * x + 2]) / 4);
    }
    return decodeGrey(grey, w, h);
}

std::vector<std::string> decodeGrey(const std::vector<unsigned char>& grey, unsigned w, unsigned h)
{
    zbar::zbar_image_scanner_t* scanner = zbar::zbar_image_scanner_create();
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    // Raw bytes, no guessing of character sets.
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    zbar::zbar_image_t* image = zbar::zbar_image_create();
    zbar::zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(image, w, h);
    zbar::zbar_image_set_data(image, grey.data(), grey.size(), nullptr);
    zbar::zbar_scan_image(scanner, image);
    std::vector<std::string> found;
    for (const zbar::zbar_symbol_t* s = zbar::zbar_image_first_symbol(image); s; s = zbar::zbar_symbol_next(s))
        found.emplace_back(zbar::zbar_symbol_get_data(s), zbar::zbar_symbol_get_data_length(s));
    zbar::zbar_image_destroy(image);
    zbar::zbar_image_scanner_destroy(scanner);
    return found;
}

} // namespace qrtest

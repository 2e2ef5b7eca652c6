// zbar as the test oracle: every QR symbol in a picture, as raw bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qrtest {

// Decodes a 24-bit bottom-up BMP file (as 创建二维码 writes it).
std::vector<std::string> decodeBmp(const std::vector<std::uint8_t>& bmp);

// Decodes an 8-bit grey image of w x h pixels, rows top-down.
std::vector<std::string> decodeGrey(const std::vector<unsigned char>& grey, unsigned w, unsigned h);

} // namespace qrtest

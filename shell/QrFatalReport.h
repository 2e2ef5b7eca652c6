#pragma once
// How the program answers a failure the QR module reports: the module's
// text in an error box titled "程序运行异常提示", then the program ends
// with exit code 0.

namespace qrfatal {

void install();

} // namespace qrfatal

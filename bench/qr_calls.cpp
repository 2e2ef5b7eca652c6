// quillmark_qr_calls CASE COUNT: the module start-up, then COUNT calls of
// 创建二维码 for one benchmark case (0..3). Run twice under callgrind with
// different counts; the difference divided by the difference of the counts
// is the cost of one call, start-up excluded.
#include <cstdio>
#include <cstdlib>

#include "bench/qr_cases.h"
#include "qr/facade.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillmark_qr_calls CASE COUNT\n");
        return 2;
    }
    const int which = std::atoi(argv[1]);
    const long count = std::atol(argv[2]);
    if (which < 0 || which >= kQrBenchCaseCount || count < 0)
        return 2;
    qr::初始化二维码模块();
    const QrBenchCase& c = qrBenchCases()[which];
    std::size_t bytes = 0;
    for (long i = 0; i < count; ++i)
        bytes += qr::创建二维码(c.text, c.level, c.width, c.height, 0xFFFFFF, 0).size();
    std::printf("%s: %ld calls, %zu bytes\n", c.name, count, bytes);
    return 0;
}

// Encodes per second of 创建二维码 (encode and render) for the four cases.
#include <benchmark/benchmark.h>

#include "bench/qr_cases.h"
#include "qr/facade.h"

namespace {

void encode(benchmark::State& state, const QrBenchCase* c)
{
    for (auto _ : state) {
        auto bmp = qr::创建二维码(c->text, c->level, c->width, c->height, 0xFFFFFF, 0);
        benchmark::DoNotOptimize(bmp.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("version " + std::to_string(qr::取模块二维码().取版本号()));
}

} // namespace

int main(int argc, char** argv)
{
    qr::初始化二维码模块();
    for (int i = 0; i < kQrBenchCaseCount; ++i) {
        const QrBenchCase* c = &qrBenchCases()[i];
        benchmark::RegisterBenchmark(c->name, encode, c);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

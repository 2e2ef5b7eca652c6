// Time to build the demo ERP: the small one (every scripts/demo and most
// ERP tests build it) and the large one the other benchmarks run on. The
// large build should take a few seconds at most.
#include "tools/demo-erp/DemoErp.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

template <bool (*Build)(const QString&, QString*)> void buildDemoErp(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        QString error;
        if (!Build(dir.path(), &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}

} // namespace

BENCHMARK(buildDemoErp<demoerp::build>)->Name("demo_erp/small")->Unit(benchmark::kMillisecond);
BENCHMARK(buildDemoErp<demoerp::buildLarge>)->Name("demo_erp/large")->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
